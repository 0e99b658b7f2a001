#pragma once
// The device link on the emulated keyboard, as the program wires it: a standing read on the CTRL
// unit hands every configuration answer to the frame exchange. Frames are logged on the way out;
// time is virtual unless the test asks for the real clock.

#include "device/device_commands.h"
#include "device/frame_exchange.h"
#include "emulator/emulated_hid_bridge.h"
#include "frame_log_bridge.h"
#include "manual_clock.h"

#include <cstdint>

namespace tavrik::test {

enum class Timing { Virtual, Real };

inline constexpr auto kReportKind = static_cast<uint32_t>(NotificationKind::ReportReceived);

// Hands CTRL reports to `exchange`, as the input listener does.
inline UnitCallback AnswerDelivery(FrameExchange& exchange) {
    return [&exchange](const UnitNotification& n) {
        if (n.kind == kReportKind && n.event.tag == static_cast<uint32_t>(UnitTag::Ctrl))
            exchange.DeliverAnswer(n.event.report, n.event.lengthOrCount);
        return 1;
    };
}

inline uint32_t IssueCtrlRead(HidBridge& bridge, const UnitCallback& callback) {
    uint32_t id = 0;
    const auto tag = static_cast<uint32_t>(UnitTag::Ctrl);
    bridge.RequestAsyncRead(kCtrlUnit, &callback, UnitTag::Ctrl,
                            ArgumentCheck(kCtrlUnit, &callback, tag, {}), &id);
    return id;
}

class KeyboardRig {
public:
    explicit KeyboardRig(emu::FirmwareConfig config = {}, bool plugged = true,
                         Timing timing = Timing::Virtual)
        : keyboard(std::move(config), plugged)
        , exchange(log, timing == Timing::Real ? SystemDeviceClock() : clock) {
        readId_ = IssueCtrlRead(keyboard, delivery_);
    }
    // No answer may reach the exchange once it is gone.
    ~KeyboardRig() {
        keyboard.DeleteRequestFromUnitId(readId_);
        keyboard.WaitDelivered();
    }

    // Frame n (0-based) of the frames from now on gets `fault` for `frames` frames.
    void FaultFromFrame(size_t n, emu::Fault fault, int frames) {
        const size_t start = log.Frames().size() + n;
        log.BeforeFrame([this, start, fault, frames](const ConfigFrame&) {
            if (log.Frames().size() == start + 1)
                keyboard.SetFault(fault, frames);
        });
    }
    // Every frame of `command` gets `fault`.
    void FaultOnCommand(uint8_t command, emu::Fault fault) {
        log.BeforeFrame([this, command, fault](const ConfigFrame& f) {
            if (f[frame::kCommand] == command)
                keyboard.SetFault(fault, 1);
        });
    }

private:
    UnitCallback delivery_ = AnswerDelivery(exchange);

public:
    EmulatedHidBridge keyboard;
    FrameLogBridge log{keyboard};
    ManualClock clock{[this] { keyboard.WaitDelivered(); }};
    FrameExchange exchange;
    DeviceCommands commands{exchange};

private:
    uint32_t readId_ = 0;
};

} // namespace tavrik::test
