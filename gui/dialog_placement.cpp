#include "gui/dialog_placement.h"

namespace tavrik {

QPoint PlaceBeside(const QRect& control, QSize dialog, const QRect& screen) {
    const int right = control.x() + control.width();
    const int left = control.x() - dialog.width();
    const int below = control.y() + control.height();
    const int above = control.y() - dialog.height();
    const QPoint candidates[] = {{right, below}, {right, above}, {left, below}, {left, above}};
    for (const QPoint& corner : candidates) {
        if (screen.contains(QRect(corner, dialog)))
            return corner;
    }
    return candidates[0];
}

} // namespace tavrik
