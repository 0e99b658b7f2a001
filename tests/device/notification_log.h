#pragma once
// Keeps what a HidBridge delivers to one standing read. Declare it before the bridge: the callback
// must outlive every delivery.

#include "device/hid_bridge.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace tavrik::test {

struct Notified {
    uint32_t kind = 0;
    uint32_t tag = 0;
    uint32_t lengthOrCount = 0;
    std::vector<uint8_t> report;
    bool operator==(const Notified&) const = default;
};

class NotificationLog {
public:
    uint32_t Listen(HidBridge& bridge, const UnitDescriptor& unit, UnitTag tag) {
        uint32_t id = 0;
        bridge.RequestAsyncRead(unit, &callback_, tag,
                                ArgumentCheck(unit, &callback_, static_cast<uint32_t>(tag), {}),
                                &id);
        return id;
    }
    // Waits (a generous while) until `count` notifications arrived; returns them all.
    std::vector<Notified> WaitFor(size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return log_.size() >= count; });
        return log_;
    }
    std::vector<Notified> Seen() {
        std::lock_guard lock(mutex_);
        return log_;
    }

private:
    UnitCallback callback_ = [this](const UnitNotification& n) {
        Notified seen{n.kind, n.event.tag, n.event.lengthOrCount, {}};
        if (n.event.report != nullptr)
            seen.report.assign(n.event.report, n.event.report + n.event.lengthOrCount);
        {
            std::lock_guard lock(mutex_);
            log_.push_back(std::move(seen));
        }
        arrived_.notify_all();
        return 1;
    };
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Notified> log_;
};

} // namespace tavrik::test
