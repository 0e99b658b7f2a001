#include "device/answer_slot.h"

#include <algorithm>
#include <cstring>

namespace tavrik {

void AnswerSlot::Arm(std::span<uint8_t> buffer) {
    std::lock_guard lock(mutex_);
    buffer_ = buffer;
    deliveredLength_.reset();
    busy_ = true;
}

bool AnswerSlot::Deliver(const uint8_t* report, size_t length) {
    {
        std::lock_guard lock(mutex_);
        if (!busy_ || deliveredLength_ || (report == nullptr && length > 0))
            return false;
        const size_t copied = std::min(length, buffer_.size());
        if (copied > 0)
            std::memcpy(buffer_.data(), report, copied);
        deliveredLength_ = copied;
    }
    delivered_.notify_all();
    return true;
}

std::optional<size_t> AnswerSlot::Await(DeviceClock& clock, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    clock.WaitFor(lock, delivered_, timeout, [this] { return deliveredLength_.has_value(); });
    busy_ = false;
    buffer_ = {};
    return deliveredLength_;
}

void AnswerSlot::Disarm() {
    std::lock_guard lock(mutex_);
    busy_ = false;
    buffer_ = {};
}

} // namespace tavrik
