#pragma once
// The hooked emulated keyboard behind a transport whose frame writes return only once the
// keyboard's answer has reached the program. The in-process keyboard answers while it receives
// the frame, so an answer that has not arrived by then is never coming: a frame exchange that
// waits on a clock that does not wait (test::ManualClock) takes a lost frame as timed out at
// once, exactly as the real time-out would, without spending it.

#include "device/forwarding_hid_bridge.h"
#include "support/hooked_keyboard.h"

#include <memory>

namespace tavrik::test {

class AnsweredKeyboard final : public ForwardingHidBridge {
public:
    AnsweredKeyboard()
        : AnsweredKeyboard(std::make_unique<HookedKeyboard>()) {}

    HookedKeyboard& Hooked() { return *hooked_; }
    EmulatedHidBridge& Keyboard() { return hooked_->Keyboard(); }

    int32_t RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                            uint32_t check) override {
        const int32_t written = ForwardingHidBridge::RequestWriteOne(unit, report, check);
        hooked_->Keyboard().WaitDelivered();
        return written;
    }

private:
    explicit AnsweredKeyboard(std::unique_ptr<HookedKeyboard> hooked)
        : ForwardingHidBridge(static_cast<HidBridge&>(*hooked))
        , hooked_(std::move(hooked)) {}

    std::unique_ptr<HookedKeyboard> hooked_;
};

} // namespace tavrik::test
