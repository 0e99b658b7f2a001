#include "profile/profile_switcher.h"

#include "assign/key_function_entry.h"
#include "profile/profile_file.h"
#include "profile/profile_messages.h"

namespace tavrik {

ProfileSwitcher::ProfileSwitcher(ProfileStore& store, ProfileManagerModel& manager)
    : store_(store)
    , manager_(manager) {}

bool ProfileSwitcher::SwitchProfile(int n) {
    if (n >= static_cast<int>(kHardwareProfileCount))
        n = 0;
    ProfileWindow& window = store_.Window();
    if (window.IsAssignmentDialogOpen()) {
        window.ShowMessage(profile_text::kCloseEditorFirst);
        return false;
    }
    if (manager_.IsModified() || window.IsModified()) {
        if (!asking_) {
            asking_ = true;
            if (window.AskYesNo(profile_text::kSaveProfileQuestion))
                window.Apply();
            else
                DiscardEdits();
        }
        asking_ = false;
        store_.Keyboard().SetActiveProfileIndex(n);
    } else {
        store_.Keyboard().SetActiveProfileIndex(n);
        if (manager_.IsOpen())
            manager_.FollowActiveProfile(n);
    }
    FinishProfileSwitch();
    store_.BuildProfileMenu();
    return true;
}

void ProfileSwitcher::FinishProfileSwitch() {
    const LiveProfile::Lock lock = store_.Profile().LockProfile();
    store_.Window().RefreshKeyDescriptions();
}

void ProfileSwitcher::DiscardEdits() {
    store_.Window().EnableApply(false);
    if (store_.Keyboard().CachedActiveProfileIndex() == -1)
        return;
    LiveProfile& profile = store_.Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    profile.ReleaseAll();
    LoadProfileFile(profile, store_.Paths().storeFile);
}

} // namespace tavrik
