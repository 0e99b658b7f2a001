#include "skin/focus_frame.h"

#include <QPen>

namespace tavrik {

void DrawFocusFrame(QPainter& painter, const QRect& controlRect) {
    const QRect frame = controlRect.adjusted(1, 1, -2, -2);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.drawRect(frame);
}

} // namespace tavrik
