#pragma once
// Switching the keyboard's active hardware profile. The live profile holds every layer, so a
// switch only selects another layer to show and edit; unsaved edits are first either applied
// or discarded by reloading the last mirror of the keyboard.

#include "profile/profile_manager_model.h"
#include "profile/profile_store.h"

namespace tavrik {

class ProfileSwitcher {
public:
    ProfileSwitcher(ProfileStore& store, ProfileManagerModel& manager);

    // Selects hardware profile n (3 and above select 0; a negative n selects nothing). Refused
    // with a message while the key assignment dialog is open. With unsaved edits in the main
    // window or the profile manager, asks whether to save them: Yes runs the main window's
    // Apply, No reloads the last mirror of the keyboard. Not asked again by a switch that
    // happens while the question is on screen.
    bool SwitchProfile(int n);

    // Redraws the key buttons from the layer now active.
    void FinishProfileSwitch();

private:
    void DiscardEdits();

    ProfileStore& store_;
    ProfileManagerModel& manager_;
    bool asking_ = false;
};

} // namespace tavrik
