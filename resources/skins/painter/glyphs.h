#pragma once
// Small vector pictograms drawn into a box: window buttons, arrows, tools and the logo mark.

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace tavrik::painter {

// Known names: menu, help, minimize, close, macro, reset, left, right, up, down, add, open,
// delete, keyboard, bulb, bulboff, info. Unknown names draw nothing.
void PaintGlyph(QPainter& painter, const QString& name, const QRectF& box, const QColor& colour);

// The program's mark: a "V" of two keycap-like strokes.
void PaintLogoMark(QPainter& painter, const QRectF& box, const QColor& ground, const QColor& mark,
                   bool gradientGround);

} // namespace tavrik::painter
