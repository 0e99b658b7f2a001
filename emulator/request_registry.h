#pragma once
// The standing requests of one bridge and the delivery of notifications to their callbacks.
// Notifications are delivered from one thread (the bridge's delivery thread) without holding the
// registry's lock, so a callback may call back into the bridge. Removing a request from another
// thread waits for a delivery in progress, so the caller may destroy its callback once the
// removal returns.

#include "device/hid_bridge.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <span>
#include <thread>

namespace tavrik::emu {

// Whether a request's descriptor covers a unit: each set bit of its match mask compares one field
// (bit 0 vendor id, bit 1 product id, bit 2 usage page, bit 3 usage).
bool DescriptorMatches(const UnitDescriptor& request, const UnitDescriptor& unit);

class RequestRegistry {
public:
    struct Request {
        UnitDescriptor unit;
        const UnitCallback* callback = nullptr;
        uint32_t tag = 0;
    };

    // Registers under a new id (1, 2, ...).
    uint32_t Add(const Request& request);
    // A new id for a one-shot request that completes at once (a status write).
    uint32_t ReserveId();
    // Registers under an id chosen elsewhere (the server's).
    void AddWithId(uint32_t id, const Request& request);
    // False when no request has that id.
    bool Remove(uint32_t id);

    // Every request whose descriptor covers `unit`.
    void NotifyUnit(const UnitDescriptor& unit, NotificationKind kind, uint32_t lengthOrCount,
                    std::span<const uint8_t> report);
    // The one request with that id (nothing when it is gone).
    void NotifyRequest(uint32_t id, NotificationKind kind, uint32_t lengthOrCount,
                       std::span<const uint8_t> report);

private:
    uint32_t NextFreeIdLocked();
    template <typename Match>
    void Notify(Match match, NotificationKind kind, uint32_t lengthOrCount,
                std::span<const uint8_t> report);

    std::mutex mutex_;
    std::condition_variable deliveryDone_;
    std::map<uint32_t, Request> requests_;
    uint32_t nextId_ = 1;
    std::thread::id deliveringThread_{}; // set while callbacks run
};

} // namespace tavrik::emu
