#include "profile/profile_manager_apply.h"

#include "assign/key_function_entry.h"
#include "profile/decimal_text.h"
#include "profile/profile_messages.h"

namespace tavrik {
namespace {

// Sends the row's index to the keyboard; false, with the user told, when the keyboard keeps its
// profile. The keyboard is asked again which profile is active, since a refusal leaves it unknown.
bool SelectRowProfile(ProfileStore& store, size_t row) {
    ProfileKeyboard& keyboard = store.Keyboard();
    const int index = static_cast<int>(row);
    keyboard.SetActiveProfileIndex(index);
    if (keyboard.CachedActiveProfileIndex() == index)
        return true;
    keyboard.GetActiveProfileIndex();
    store.BuildProfileMenu();
    std::u16string message = std::u16string(profile_text::kProfileNotSelectedBefore) +
                             IntToDecimalText(index + 1) +
                             std::u16string(profile_text::kProfileNotSelectedAfter);
    if (row >= kHardwareProfileCount)
        message += profile_text::kOnlyThreeProfiles;
    store.Window().ShowMessage(message);
    return false;
}

} // namespace

bool AskToSaveWindowEdits(ProfileWindow& window) {
    if (!window.IsModified() || !window.AskYesNo(profile_text::kSaveProfileQuestion))
        return true;
    window.Apply();
    return !window.IsModified();
}

bool ApplyProfileList(ProfileStore& store, const ProfileListChoice& choice,
                      const UserPreferences& preferences) {
    return AskToSaveWindowEdits(store.Window()) && ApplyProfileChoice(store, choice, preferences);
}

bool ApplyProfileChoice(ProfileStore& store, const ProfileListChoice& choice,
                        const UserPreferences& preferences) {
    if (choice.checkedRow && !SelectRowProfile(store, *choice.checkedRow))
        return false;
    preferences.WriteProfileList(choice.rowPaths);
    store.ReloadProfileFromKeyboard(false);
    store.BuildProfileMenu();
    store.Window().EnableApply(false);
    return true;
}

void ApplyProfileManager(ProfileStore& store, ProfileManagerModel& manager,
                         const UserPreferences& preferences) {
    if (ApplyProfileList(store, {manager.RowPaths(), manager.FirstCheckedRow()}, preferences))
        manager.ClearModified();
}

} // namespace tavrik
