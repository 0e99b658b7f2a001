#pragma once
// The profile manager's Apply (and OK): the rows go to the per-user store, the checked row's
// position selects the keyboard's hardware profile, and the live profile is read from the
// keyboard again. The files named in the rows are never loaded.

#include "profile/profile_manager_model.h"
#include "profile/profile_store.h"
#include "profile/user_preferences.h"

namespace tavrik {

void ApplyProfileManager(ProfileStore& store, ProfileManagerModel& manager,
                         const UserPreferences& preferences);

} // namespace tavrik
