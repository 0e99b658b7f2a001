#include "profile/profile_manager_apply.h"

namespace tavrik {

void ApplyProfileManager(ProfileStore& store, ProfileManagerModel& manager,
                         const UserPreferences& preferences) {
    preferences.WriteProfileList(manager.RowPaths());
    if (const auto checked = manager.FirstCheckedRow())
        store.Keyboard().SetActiveProfileIndex(static_cast<int>(*checked));
    store.ReloadProfileFromKeyboard(false);
    store.BuildProfileMenu();
    manager.ClearModified();
    store.Window().EnableApply(false);
}

} // namespace tavrik
