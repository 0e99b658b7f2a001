#pragma once
// The four ways a dialog places its controls from its skin file.

#include "skin/ini_file.h"
#include "skin/png_button.h"
#include "skin/skin_picture.h"

#include <QWidget>

#include <string_view>

namespace tavrik {

// Moves and sizes the button to the key's rectangle, gives it the five looks starting at the
// rectangle's corner and redraws it. A button left at (1, 1) is disabled.
void PlaceImageButton(CPngButton& button, const CIniFile& skin, std::u16string_view section,
                      std::u16string_view key, const StateImages& images);

// Moves and sizes the control to the key's rectangle.
void PlaceControl(QWidget& control, const CIniFile& skin, std::u16string_view section,
                  std::u16string_view key);

// Moves the control to the key's corner, keeping its size.
void PlaceControlAt(QWidget& control, const CIniFile& skin, std::u16string_view section,
                    std::u16string_view key);

// Position and size from (section, key); the one picture for all looks starts at the corner
// given by (section2, key2).
void PlaceImageButtonFrom(CPngButton& button, const CIniFile& skin, std::u16string_view section,
                          std::u16string_view key, std::u16string_view section2,
                          std::u16string_view key2, const SkinSurface* image);

} // namespace tavrik
