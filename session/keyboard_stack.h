#pragma once
// The program's one set of objects between the user's edits and the keyboard, wired the same way
// for the desktop program and the command line: the device link (frame exchange, standing reads,
// presence monitor) on the chosen transport, the facts learnt from the attached keyboard, the
// live profile mirrored through the store file, and the lighting model. The window it reports to
// is the caller's: the desktop program's main window or the command line's console.
//
// The transport and the window outlive the stack. Destroying the stack stops the device link
// first, so no reload runs while the rest goes away.
//
// Other programs may write to the keyboard while the live profile holds edits not yet applied.
// The stack keeps the profile as it was last in step with the keyboard (read from it or written
// to it), so that those edits can be told apart and carried over to what the keyboard holds
// now (edit_rebase.h) instead of writing back over the other program's changes.

#include "device/hid_bridge.h"
#include "device/keyboard_facts.h"
#include "events/device_link.h"
#include "events/main_window_port.h"
#include "lighting/lighting_model.h"
#include "profile/device_profile_keyboard.h"
#include "profile/live_profile.h"
#include "profile/profile_file_format.h"
#include "profile/profile_store.h"
#include "profile/profile_window.h"
#include "session/read_recording_keyboard.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace tavrik {

class KeyboardStack {
public:
    KeyboardStack(HidBridge& bridge, MainWindowPort& port, ProfileWindow& window,
                  StoragePaths storage, LightingPreferencesSource preferences);
    ~KeyboardStack();

    KeyboardStack(const KeyboardStack&) = delete;
    KeyboardStack& operator=(const KeyboardStack&) = delete;

    // The standing reads, then the count of keyboards attached at start goes to the presence
    // monitor. Returns without waiting for that count's handling.
    void Start() { link_->Start(); }
    // Stops the presence monitor and cancels the standing reads; idempotent. The window's
    // synchronous calls must return at once from here on (see MainWindowPort).
    void StopLink() { link_.reset(); }

    // What the arrival of a keyboard does to the program's copies: the store file mirrors the
    // keyboard and the live profile is loaded from it, then the lighting state is read with the
    // per-key table. Unless keepModified, the window is no longer modified afterwards.
    void ReloadFromKeyboard(bool keepModified = false);

    // Whether another program wrote to the keyboard since the live profile was last in step
    // with it: its edits must then be carried over before anything is written.
    bool KeyboardChangedElsewhere() { return Turn().ForeignWrites() != syncedForeignWrites_; }

    // Reads the keyboard again as ReloadFromKeyboard does, in one turn, and when keepEdits makes
    // the live profile's edits again on what the keyboard holds now (the window stays modified).
    // False when the edits cannot be carried over (the macros would not fit together): the live
    // profile keeps them as they were, still out of step, and nothing was changed.
    bool RebaseOnKeyboard(bool keepEdits);

    // The live profile was just written to the keyboard whole (an import): in step with it.
    void MarkInStep();
    // The live profile as it was when last in step with the keyboard (read from it or written
    // to it): what the keyboard holds unless another program wrote since. What an Apply would
    // change is the difference between this and the live profile. None while a rebase on the
    // keyboard is under way (the copy is the rebase's base then). Callers holding the profile
    // lock may call it (the lock order is profile, then this copy's own).
    std::optional<ProfileContents> InStepCopy();

    struct ApplyOutcome {
        TurnOutcome turn = TurnOutcome::Taken;
        std::string turnProblem;   // who held the keyboard, or why the turn could not be had
        bool rebased = false;      // the edits were carried over to another program's changes
        bool rebaseFailed = false; // they could not be: nothing was written
        bool refused = false;      // the keyboard cannot hold the macros: nothing was written
        bool saved = false;        // the store file holds the live profile
        std::string saveError;
        bool downloaded = false; // the last key map write succeeded
    };
    // What the main window's Apply does, in one turn: the edits carried over first when another
    // program wrote meanwhile (then all three hardware profiles are sent), the store file saved,
    // the live profile downloaded (all three profiles or only the active one).
    ApplyOutcome ApplyToKeyboard(bool allProfiles);

    int KeyboardCount() const { return link_->Presence().KeyboardCount(); }
    bool KeyboardCountPending() const { return link_->Presence().CountPending(); }
    DeviceLink& Link() { return *link_; }
    DeviceCommands& Commands() { return link_->Commands(); }
    KeyboardTurn& Turn() { return link_->Turn(); }
    KeyboardFacts& Facts() { return facts_; }
    LiveProfile& Profile() { return profile_; }
    ProfileStore& Store() { return *store_; }
    ReadRecordingKeyboard& Keyboard() { return *keyboard_; }

    // True when the live profile was rebuilt from what the keyboard's key maps and macro memory
    // held at the last reload, so that writing it back changes only what an edit changes.
    bool ProfileMirrorsKeyboard() const { return mirrored_.load(); }

    // The lighting model is shared between the reload a newly attached keyboard starts and the
    // user's lighting edits.
    template <typename Fn>
    decltype(auto) WithLighting(Fn&& fn) {
        std::lock_guard lock(lightingMutex_);
        return std::forward<Fn>(fn)(*lighting_);
    }
    // What reading the lighting state gave at the last reload.
    DeviceResult LightingReadResult() {
        return WithLighting([this](LightingModel&) { return lightingRead_; });
    }

private:
    // The live profile is in step with the keyboard now. Called with the profile lock held.
    void RecordSyncLocked();

    KeyboardFacts facts_;
    LiveProfile profile_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<DeviceProfileKeyboard> deviceKeyboard_;
    std::unique_ptr<ReadRecordingKeyboard> keyboard_;
    std::unique_ptr<ProfileStore> store_;
    std::mutex lightingMutex_;
    std::unique_ptr<LightingModel> lighting_;
    DeviceResult lightingRead_ = DeviceResult::NoKeyboard;
    std::atomic<bool> mirrored_{false};
    std::mutex syncMutex_;
    std::unique_ptr<ProfileContents> synced_ = std::make_unique<ProfileContents>();
    std::atomic<uint64_t> syncedForeignWrites_{0};
};

} // namespace tavrik
