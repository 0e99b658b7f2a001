#pragma once
// Draws one element of a layout in one look: the keyboard's keys, the buttons of every kind and
// the decoration around them.

#include "layout.h"

#include <QPainter>

namespace tavrik::painter {

void PaintDecor(QPainter& painter, const Element& element);
void PaintButton(QPainter& painter, const Element& element, Look look, const PictureSpec& picture);
// The window's face and border (everything outside is white, cut away by the mask).
void PaintWindowFace(QPainter& painter, QSize size);
void PaintWindowMask(QPainter& painter, QSize size);

} // namespace tavrik::painter
