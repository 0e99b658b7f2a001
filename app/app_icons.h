#pragma once
// The program's icons, drawn with the skin and kept in the "icons" folder beside the program:
// "<id>-<size>.png" for icon ids 128 (the logo), 141 (the logo on a highlighted ground: a
// keyboard is attached) and 142 (a play symbol: the keyboard plays a macro).

#include <QIcon>

#include <filesystem>
#include <map>

namespace tavrik {

// Every size found of the icon; a null icon when there is none.
QIcon LoadAppIcon(const std::filesystem::path& iconFolder, int iconId);

// The icons of a folder, each loaded at its first use and handed out as that same QIcon from then
// on. Qt keeps what it makes of an icon (its pictures at each size, what the tray host is sent)
// per QIcon, under its cache key: an icon loaded anew at every change of the tray's state is new
// to Qt each time and costs memory at every plug and unplug for as long as the program runs.
class AppIconSet {
public:
    explicit AppIconSet(std::filesystem::path iconFolder);

    const QIcon& Icon(int iconId);

private:
    std::filesystem::path m_iconFolder;
    std::map<int, QIcon> m_icons;
};

} // namespace tavrik
