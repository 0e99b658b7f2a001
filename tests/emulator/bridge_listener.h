#pragma once
// Collects what a HidBridge delivers to a standing read, for the emulator's bridge tests. Declare
// it before the bridge: a callback must outlive every delivery the bridge may still make.

#include "device/config_frame.h"
#include "device/hid_bridge.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace tavrik::emu::test {

struct Delivered {
    uint32_t kind = 0;
    uint32_t tag = 0;
    uint32_t lengthOrCount = 0;
    std::vector<uint8_t> report;
    std::thread::id thread;
};

class BridgeListener {
public:
    BridgeListener()
        : callback_([this](const UnitNotification& n) {
            Delivered d{n.kind, n.event.tag, n.event.lengthOrCount, {}, std::this_thread::get_id()};
            if (n.kind == static_cast<uint32_t>(NotificationKind::ReportReceived))
                d.report.assign(n.event.report, n.event.report + n.event.lengthOrCount);
            {
                std::lock_guard lock(mutex_);
                delivered_.push_back(std::move(d));
            }
            arrived_.notify_all();
            return 1;
        }) {}

    const UnitCallback* Callback() const { return &callback_; }

    // Issues a standing read for `unit` with this listener's callback; returns the request id.
    uint32_t Listen(HidBridge& bridge, const UnitDescriptor& unit, UnitTag tag) {
        uint32_t id = 0;
        bridge.RequestAsyncRead(unit, &callback_, tag,
                                ArgumentCheck(unit, &callback_, static_cast<uint32_t>(tag), {}),
                                &id);
        return id;
    }

    // Waits until at least `count` notifications arrived (for bridges without WaitDelivered).
    void WaitFor(size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return delivered_.size() >= count; });
    }

    std::vector<Delivered> Take() {
        std::lock_guard lock(mutex_);
        std::vector<Delivered> taken;
        taken.swap(delivered_);
        return taken;
    }

private:
    UnitCallback callback_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Delivered> delivered_;
};

inline int32_t Write(HidBridge& bridge, const ConfigFrame& frame) {
    return bridge.RequestWriteOne(kCtrlUnit, frame, ArgumentCheck(kCtrlUnit, nullptr, 0, frame));
}

inline int32_t Count(HidBridge& bridge) {
    return bridge.RequestGetDeviceCount(kCtrlUnit, ArgumentCheck(kCtrlUnit, nullptr, 0, {}));
}

} // namespace tavrik::emu::test
