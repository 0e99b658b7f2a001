#include "profile/profile_menu.h"

#include "assign/key_function_entry.h"
#include "profile/native_path.h"
#include "profile/profile_messages.h"

namespace tavrik {

ProfileMenu BuildProfileMenu(int activeProfileIndex, const StoragePaths& paths) {
    ProfileMenu menu;
    menu.items.push_back(
        {kDefaultProfileCommand, std::u16string(profile_text::kDefaultProfileCaption)});
    menu.items.push_back({0, {}});
    const std::u16string storeName = PathText(paths.storeFile.filename());
    for (int i = 0; i < static_cast<int>(kHardwareProfileCount); ++i)
        menu.items.push_back({kFirstHardwareProfileCommand + i, storeName});

    const size_t position =
        activeProfileIndex < 0 ? 0 : static_cast<size_t>(activeProfileIndex) + 2;
    if (position < menu.items.size()) {
        menu.checkedPosition = position;
        menu.caption = menu.items[position].caption;
    }
    menu.tooltip = std::u16string(profile_text::kCurrentProfileTooltip) + menu.caption;
    return menu;
}

} // namespace tavrik
