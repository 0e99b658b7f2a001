#pragma once
// Draws a dialog's state pictures and its mask, and writes its skin file.

#include "layout.h"

#include <QDir>
#include <QImage>

namespace tavrik::painter {

// The whole dialog with every button in the look its role has in this picture.
QImage PaintDialogPicture(const DialogLayout& layout, const PictureSpec& picture);
// Black where the window is, white where it is cut away.
QImage PaintDialogMask(const DialogLayout& layout);

// The skin file: SCREEN, Mode, BUTTONINFO (buttons and positions) and BUTTONINFO2.
bool WriteSkinFile(const DialogLayout& layout,
                   const std::vector<std::pair<QString, QRect>>& pictureKeys, const QDir& skins);

} // namespace tavrik::painter
