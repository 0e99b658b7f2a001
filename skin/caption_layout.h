#pragma once
// Where an image button's rotated caption goes: the caption box starts as the button's face and
// is moved so that the text, turned by its escapement, sits in the middle of the face.

namespace tavrik {

struct CaptionBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const CaptionBox&) const = default;
};

// Face of faceWidth x faceHeight, text of textWidth x textHeight in its font, escapement in
// tenths of a degree (counter-clockwise). With a = the angle: when trunc(w cos a) < W the left
// edge moves right by (W - trunc(w cos a)) / 2 and back by trunc(h sin a / 2); when
// trunc(w sin a) < H the bottom edge moves up by (H - trunc(w sin a)) / 2 and down by
// trunc(h cos a / 2). Integer division and truncation toward zero throughout.
CaptionBox RotatedCaptionBox(int faceWidth, int faceHeight, int textWidth, int textHeight,
                             int escapementTenths);

} // namespace tavrik
