#pragma once
// Everything a command needs to talk to the keyboard, wired the way the desktop program wires
// it: the chosen transport (behind a FrameWatch), the device link with its standing reads and
// presence monitor, the live profile mirrored through the store file, and the lighting model.
// Opening a session waits until the keyboards attached at start have been read: their live
// profile mirrored and their lighting state read, exactly as the desktop program does it when a
// keyboard arrives.

#include "cli/console.h"
#include "cli/console_window.h"
#include "cli/frame_watch.h"
#include "cli/read_recording_keyboard.h"
#include "device/keyboard_facts.h"
#include "events/device_link.h"
#include "lighting/lighting_model.h"
#include "profile/device_profile_keyboard.h"
#include "profile/live_profile.h"
#include "profile/profile_store.h"
#include "transport/backend_selection.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace tavrik::cli {

class KeyboardSession {
public:
    // Nothing and the reason when the backend cannot start.
    static std::unique_ptr<KeyboardSession> Open(const DeviceChoice& choice, Console& console,
                                                 std::string* error);
    // On a transport that is already there (tests hand in an emulated keyboard they keep
    // driving).
    static std::unique_ptr<KeyboardSession> Start(std::unique_ptr<HidBridge> bridge,
                                                  Console& console);
    // Stops the device link first: no reload runs while the rest goes away.
    ~KeyboardSession();

    KeyboardSession(const KeyboardSession&) = delete;
    KeyboardSession& operator=(const KeyboardSession&) = delete;

    int KeyboardCount() { return link_->Presence().KeyboardCount(); }
    bool KeyboardNotAccessible() const { return bridge_->KeyboardPresentButNotAccessible(); }
    // True when the live profile was rebuilt from what the keyboard's key maps and macro memory
    // held when it arrived, so that writing it back changes only what a command changes.
    bool ProfileMirrorsKeyboard() const { return mirrored_.load(); }

    FrameWatch& Watch() { return *bridge_; }
    DeviceCommands& Commands() { return link_->Commands(); }
    KeyboardFacts& Facts() { return facts_; }
    LiveProfile& Profile() { return profile_; }
    ProfileStore& Store() { return *store_; }
    ReadRecordingKeyboard& Keyboard() { return *keyboard_; }
    ConsoleWindow& Window() { return window_; }

    // The lighting model is shared with the reload a newly attached keyboard starts.
    template <typename Fn>
    decltype(auto) WithLighting(Fn&& fn) {
        std::lock_guard lock(lightingMutex_);
        return std::forward<Fn>(fn)(*lighting_);
    }

    // What reading the lighting state gave when the keyboard arrived.
    DeviceResult LightingReadResult() {
        return WithLighting([this](LightingModel&) { return lightingRead_; });
    }

private:
    KeyboardSession(std::unique_ptr<HidBridge> bridge, Console& console);
    void ReloadFromKeyboard();

    std::unique_ptr<FrameWatch> bridge_;
    KeyboardFacts facts_;
    LiveProfile profile_;
    ConsoleWindow window_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<DeviceProfileKeyboard> deviceKeyboard_;
    std::unique_ptr<ReadRecordingKeyboard> keyboard_;
    std::unique_ptr<ProfileStore> store_;
    std::mutex lightingMutex_;
    std::unique_ptr<LightingModel> lighting_;
    DeviceResult lightingRead_ = DeviceResult::NoKeyboard;
    std::atomic<bool> mirrored_{false};
};

} // namespace tavrik::cli
