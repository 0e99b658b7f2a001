#include "device/answer_slot.h"

#include <algorithm>
#include <cstring>

namespace tavrik {

bool AnswersRequest(std::span<const uint8_t, kFrameSize> request, const uint8_t* report,
                    size_t length) {
    // The keyboard always answers with a whole frame; anything shorter cannot carry the echo,
    // the status and the data.
    if (report == nullptr || length < kFrameSize)
        return false;
    const auto echoed = {frame::kCommand, frame::kLength, frame::kAddressLow, frame::kAddressHigh};
    return std::ranges::all_of(echoed, [&](size_t at) { return report[at] == request[at]; });
}

void AnswerSlot::Arm(const ConfigFrame& request, std::span<uint8_t, kFrameSize> buffer) {
    std::lock_guard lock(mutex_);
    request_ = request;
    buffer_ = buffer;
    deliveredLength_.reset();
    busy_ = true;
}

bool AnswerSlot::Deliver(const uint8_t* report, size_t length) {
    {
        std::lock_guard lock(mutex_);
        if (!busy_ || deliveredLength_ || !AnswersRequest(request_, report, length))
            return false;
        // A longer report (a transport that adds bytes) is cut to the frame.
        std::memcpy(buffer_.data(), report, buffer_.size());
        deliveredLength_ = buffer_.size();
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
