#pragma once
// The profile menu: never shown, it only supplies the caption and tooltip of the main window's
// profile button. Position 0 is "<默认情景模式>" (command 9000), position 1 a separator,
// positions 2..4 one item per hardware profile (commands 9001..9003), each captioned with the
// store file's name.

#include "profile/storage_paths.h"

#include <optional>
#include <string>
#include <vector>

namespace tavrik {

inline constexpr int kDefaultProfileCommand = 9000;
inline constexpr int kFirstHardwareProfileCommand = 9001;

struct ProfileMenuItem {
    int command = 0; // 0 for the separator
    std::u16string caption;
    bool operator==(const ProfileMenuItem&) const = default;
};

struct ProfileMenu {
    std::vector<ProfileMenuItem> items;
    // Position 0 while the active profile is unknown, else active index + 2; nothing when that
    // position holds no item (an index above 2).
    std::optional<size_t> checkedPosition;
    std::u16string caption; // the checked item's caption, empty when none is checked
    std::u16string tooltip; // "当前情景模式: " and the caption
};

ProfileMenu BuildProfileMenu(int activeProfileIndex, const StoragePaths& paths);

} // namespace tavrik
