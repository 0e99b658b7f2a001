#pragma once
// The pictures besides the dialog faces: the lighting panel's bitmaps, the flip arrows' sheet
// and the program's icons. Each writer returns false when a file cannot be written.

#include "layout.h"

#include <QDir>

namespace tavrik::painter {

bool WritePanelPictures(const QJsonObject& panel, const QDir& skins);
// Writes the sheet and gives the BUTTONINFO2 keys of its cells (x, y of each cell).
bool WriteArrowSheet(const QJsonObject& arrows, const QDir& skins,
                     std::vector<std::pair<QString, QRect>>& cellKeys);
bool WriteIcons(const QDir& icons);

} // namespace tavrik::painter
