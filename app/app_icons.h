#pragma once
// The program's icons, drawn with the skin and kept in the "icons" folder beside the program:
// "<id>-<size>.png" for icon ids 128 (the logo), 141 (the logo on a highlighted ground: a
// keyboard is attached) and 142 (a play symbol: the keyboard plays a macro).

#include <QIcon>

#include <filesystem>

namespace tavrik {

// Every size found of the icon; a null icon when there is none.
QIcon LoadAppIcon(const std::filesystem::path& iconFolder, int iconId);

} // namespace tavrik
