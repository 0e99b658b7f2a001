#pragma once
// The program's one set of objects between the user's edits and the keyboard, wired the same way
// for the desktop program and the command line: the device link (frame exchange, standing reads,
// presence monitor) on the chosen transport, the facts learnt from the attached keyboard, the
// live profile mirrored through the store file, and the lighting model. The window it reports to
// is the caller's: the desktop program's main window or the command line's console.
//
// The transport and the window outlive the stack. Destroying the stack stops the device link
// first, so no reload runs while the rest goes away.

#include "device/hid_bridge.h"
#include "device/keyboard_facts.h"
#include "events/device_link.h"
#include "events/main_window_port.h"
#include "lighting/lighting_model.h"
#include "profile/device_profile_keyboard.h"
#include "profile/live_profile.h"
#include "profile/profile_store.h"
#include "profile/profile_window.h"
#include "session/read_recording_keyboard.h"

#include <atomic>
#include <memory>
#include <mutex>
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

    int KeyboardCount() const { return link_->Presence().KeyboardCount(); }
    bool KeyboardCountPending() const { return link_->Presence().CountPending(); }
    DeviceLink& Link() { return *link_; }
    DeviceCommands& Commands() { return link_->Commands(); }
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
};

} // namespace tavrik
