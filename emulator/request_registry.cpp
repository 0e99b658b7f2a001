#include "emulator/request_registry.h"

#include <vector>

namespace tavrik::emu {

bool DescriptorMatches(const UnitDescriptor& request, const UnitDescriptor& unit) {
    const uint32_t mask = request.matchMask;
    return (!(mask & 1u) || request.vendorId == unit.vendorId) &&
           (!(mask & 2u) || request.productId == unit.productId) &&
           (!(mask & 4u) || request.usagePage == unit.usagePage) &&
           (!(mask & 8u) || request.usage == unit.usage);
}

uint32_t RequestRegistry::NextFreeIdLocked() {
    while (nextId_ == 0 || requests_.contains(nextId_))
        ++nextId_;
    return nextId_++;
}

uint32_t RequestRegistry::Add(const Request& request) {
    std::lock_guard lock(mutex_);
    const uint32_t id = NextFreeIdLocked();
    requests_[id] = request;
    return id;
}

uint32_t RequestRegistry::ReserveId() {
    std::lock_guard lock(mutex_);
    return NextFreeIdLocked();
}

void RequestRegistry::AddWithId(uint32_t id, const Request& request) {
    std::lock_guard lock(mutex_);
    requests_[id] = request;
}

bool RequestRegistry::Remove(uint32_t id) {
    std::unique_lock lock(mutex_);
    const bool removed = requests_.erase(id) > 0;
    deliveryDone_.wait(lock, [this] {
        return deliveringThread_ == std::thread::id{} ||
               deliveringThread_ == std::this_thread::get_id();
    });
    return removed;
}

void RequestRegistry::NotifyUnit(const UnitDescriptor& unit, NotificationKind kind,
                                 uint32_t lengthOrCount, std::span<const uint8_t> report) {
    Notify([&unit](uint32_t, const Request& r) { return DescriptorMatches(r.unit, unit); }, kind,
           lengthOrCount, report);
}

void RequestRegistry::NotifyRequest(uint32_t id, NotificationKind kind, uint32_t lengthOrCount,
                                    std::span<const uint8_t> report) {
    Notify([id](uint32_t candidate, const Request&) { return candidate == id; }, kind,
           lengthOrCount, report);
}

template <typename Match>
void RequestRegistry::Notify(Match match, NotificationKind kind, uint32_t lengthOrCount,
                             std::span<const uint8_t> report) {
    std::vector<Request> targets;
    {
        std::unique_lock lock(mutex_);
        for (const auto& [id, request] : requests_) {
            if (match(id, request))
                targets.push_back(request);
        }
        deliveringThread_ = std::this_thread::get_id();
    }
    for (const Request& target : targets) {
        UnitNotification notification;
        notification.kind = static_cast<uint32_t>(kind);
        notification.event.tag = target.tag;
        notification.event.lengthOrCount = lengthOrCount;
        notification.event.report = report.empty() ? nullptr : report.data();
        (*target.callback)(notification);
    }
    {
        std::lock_guard lock(mutex_);
        deliveringThread_ = {};
    }
    deliveryDone_.notify_all();
}

} // namespace tavrik::emu
