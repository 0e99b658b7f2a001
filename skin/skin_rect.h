#pragma once
// Control rectangles of the skin files: "x,y,w,h" in pixels of the dialog's face. A missing key
// reads as the default "1,1,1,1,x", and a control left at (1, 1) counts as not placed.

#include "skin/ini_file.h"

#include <string_view>

namespace tavrik {

struct SkinRect {
    int x = 1;
    int y = 1;
    int width = 1;
    int height = 1;
    bool operator==(const SkinRect&) const = default;
};

inline constexpr std::u16string_view kDefaultRectText = u"1,1,1,1,x";
// The longest rectangle value read (a 260-unit buffer with its terminator).
inline constexpr size_t kMaxRectTextLength = 259;
// Numbers beyond this magnitude are no coordinates of a dialog: they read as missing.
inline constexpr int kMaxSkinCoordinate = 32767;

// Parses "x,y,w,h" as "%d,%d,%d,%d" would: the fields are read left to right and reading stops
// at the first one that is not a number (or lies beyond kMaxSkinCoordinate); that field and
// the ones after it keep the default 1. Anything after the fourth number is ignored.
SkinRect ParseSkinRect(std::u16string_view text);

// The rectangle of a key, the default when the file, section or key is missing.
SkinRect ReadSkinRect(const CIniFile& ini, std::u16string_view section, std::u16string_view key);

// A control at (1, 1) was not placed by the skin: image buttons there are disabled, whatever
// size was given.
inline bool IsUnplacedRect(const SkinRect& rect) {
    return rect.x == 1 && rect.y == 1;
}

} // namespace tavrik
