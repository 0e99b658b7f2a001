#pragma once
// The in-process emulated keyboard behind a transport that can act just before a chosen
// configuration frame goes out (to give exactly that frame a fault), and that counts the frames
// of each command.

#include "device/config_frame.h"
#include "emulator/emulated_hid_bridge.h"

#include <functional>
#include <map>
#include <mutex>

namespace tavrik::cli::test {

class HookedKeyboard final : public HidBridge {
public:
    using Hook = std::function<void(const ConfigFrame&, EmulatedHidBridge&)>;

    // `notAccessible`: a keyboard is there that the transport may not open (no udev rule).
    explicit HookedKeyboard(bool plugged = true, bool notAccessible = false)
        : keyboard_(emu::FirmwareConfig{}, plugged)
        , notAccessible_(notAccessible) {}

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

    int32_t RequestGetDeviceCount(const UnitDescriptor& unit, uint32_t check) override {
        return keyboard_.RequestGetDeviceCount(unit, check);
    }
    int32_t RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback, UnitTag tag,
                             uint32_t check, uint32_t* requestId) override {
        return keyboard_.RequestAsyncRead(unit, callback, tag, check, requestId);
    }
    int32_t DeleteRequestFromUnitId(uint32_t requestId) override {
        return keyboard_.DeleteRequestFromUnitId(requestId);
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
        return keyboard_.RequestWriteOne(unit, report, check);
    }
    int32_t RequestStatusWrite(const UnitDescriptor& unit, const UnitCallback* callback,
                               UnitTag tag, std::span<const uint8_t> status, uint32_t check,
                               uint32_t* requestId) override {
        return keyboard_.RequestStatusWrite(unit, callback, tag, status, check, requestId);
    }
    bool KeyboardPresentButNotAccessible() const override { return notAccessible_; }

private:
    EmulatedHidBridge keyboard_;
    bool notAccessible_;
    std::mutex mutex_;
    Hook hook_;
    std::map<uint8_t, int> framesOf_;
};

} // namespace tavrik::cli::test
