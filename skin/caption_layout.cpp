#include "skin/caption_layout.h"

#include <cmath>
#include <numbers>

namespace tavrik {

CaptionBox RotatedCaptionBox(int faceWidth, int faceHeight, int textWidth, int textHeight,
                             int escapementTenths) {
    const double angle = escapementTenths / 10.0 * std::numbers::pi / 180.0;
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    CaptionBox box{0, 0, faceWidth, faceHeight};

    const int runAcross = static_cast<int>(textWidth * cosine);
    if (runAcross < faceWidth) {
        box.left += (faceWidth - runAcross) / 2;
        box.left -= static_cast<int>(textHeight * sine / 2);
    }
    const int rise = static_cast<int>(textWidth * sine);
    if (rise < faceHeight) {
        box.bottom -= (faceHeight - rise) / 2;
        box.bottom += static_cast<int>(textHeight * cosine / 2);
    }
    return box;
}

} // namespace tavrik
