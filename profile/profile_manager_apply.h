#pragma once
// The profile manager's Apply (and OK): the checked row's position selects the keyboard's
// hardware profile, the rows go to the per-user store, and the live profile is read from the
// keyboard again. The files named in the rows are never loaded.

#include "profile/profile_manager_model.h"
#include "profile/profile_store.h"
#include "profile/user_preferences.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace tavrik {

// What Apply takes from the profile manager's rows.
struct ProfileListChoice {
    std::vector<std::filesystem::path> rowPaths; // each row's folder, name and ".tvk"
    std::optional<size_t> checkedRow;            // the first checked row, if any
};

// The main window's unsaved edits are first applied when the user says so (the question of a
// profile switch): the reload that ends an Apply would otherwise drop them unasked. When they
// cannot be written, or the keyboard refuses the checked row's index (a fourth row asks for a
// profile it does not have), the user is told and nothing else changes: no list is stored, the
// live profile and the main window's modified state stay as they are. True when the edits (if
// any were to be applied) were written, the selection (if any) was taken and the rest was done.
bool ApplyProfileList(ProfileStore& store, const ProfileListChoice& choice,
                      const UserPreferences& preferences);

// The two halves of ApplyProfileList, for a caller that must not hold the keyboard while the
// user is asked. Unsaved edits of the main window are applied when the user says so; otherwise
// the reload at the end of Apply drops them. False when they were to be applied and could not
// be (the window has said why and is still modified).
bool AskToSaveWindowEdits(ProfileWindow& window);
// The rest: the checked row's profile selected, the list stored, the live profile read again.
bool ApplyProfileChoice(ProfileStore& store, const ProfileListChoice& choice,
                        const UserPreferences& preferences);

// The same for the model's rows; the model is no longer modified when it succeeded.
void ApplyProfileManager(ProfileStore& store, ProfileManagerModel& manager,
                         const UserPreferences& preferences);

} // namespace tavrik
