#pragma once
// The frame every skinned control draws around itself while it has the keyboard focus.

#include <QPainter>
#include <QRect>

namespace tavrik {

// Seen on dark and light pictures alike: a dotted white line over a solid black one, one pixel
// inside the control's edge.
void DrawFocusFrame(QPainter& painter, const QRect& controlRect);

} // namespace tavrik
