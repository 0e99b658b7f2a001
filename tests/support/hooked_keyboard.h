#pragma once
// The in-process emulated keyboard behind a transport that can act just before a chosen
// configuration frame goes out (to give exactly that frame a fault), and that counts the frames
// of each command.

#include "device/config_frame.h"
#include "device/forwarding_hid_bridge.h"
#include "emulator/emulated_hid_bridge.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace tavrik::test {

class HookedKeyboard final : public ForwardingHidBridge {
public:
    using Hook = std::function<void(const ConfigFrame&, EmulatedHidBridge&)>;

    // `notAccessible`: a keyboard is there that the transport may not open (no udev rule).
    explicit HookedKeyboard(bool plugged = true, bool notAccessible = false)
        : HookedKeyboard(std::make_unique<EmulatedHidBridge>(emu::FirmwareConfig{}, plugged),
                         notAccessible) {}

    EmulatedHidBridge& Keyboard() { return keyboard_; }

    // Runs on the writing thread before every configuration frame is passed on.
    void BeforeFrame(Hook hook) {
        std::lock_guard lock(mutex_);
        hook_ = std::move(hook);
    }
    int FramesOf(uint8_t command) {
        std::lock_guard lock(mutex_);
        return framesOf_[command];
    }

    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) override {
        if (unit == kCtrlUnit && report.size() == kFrameSize) {
            ConfigFrame frame{};
            std::ranges::copy(report, frame.begin());
            Hook hook;
            {
                std::lock_guard lock(mutex_);
                ++framesOf_[frame[frame::kCommand]];
                hook = hook_;
            }
            if (hook)
                hook(frame, keyboard_);
        }
        return ForwardingHidBridge::RequestWriteOne(unit, report, check);
    }
    bool KeyboardPresentButNotAccessible() const override { return notAccessible_.load(); }
    // As when the udev rule is installed (false) or the keyboard is replugged without it.
    void SetNotAccessible(bool notAccessible) { notAccessible_.store(notAccessible); }

private:
    HookedKeyboard(std::unique_ptr<EmulatedHidBridge> keyboard, bool notAccessible)
        : ForwardingHidBridge(*keyboard)
        , keyboard_(*keyboard)
        , owned_(std::move(keyboard))
        , notAccessible_(notAccessible) {}

    EmulatedHidBridge& keyboard_;
    std::unique_ptr<EmulatedHidBridge> owned_;
    std::atomic<bool> notAccessible_;
    std::mutex mutex_;
    Hook hook_;
    std::map<uint8_t, int> framesOf_;
};

} // namespace tavrik::test
