#pragma once
// Where a dialog opens beside the control it was opened from: to the right of the control and
// below it, else to the right and above, else to the left and below, else to the left and
// above, whichever first lies wholly on the screen; right and below when none does.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tavrik {

// `control` and `screen` in the same (global) coordinates; returns the dialog's top-left.
QPoint PlaceBeside(const QRect& control, QSize dialog, const QRect& screen);

} // namespace tavrik
