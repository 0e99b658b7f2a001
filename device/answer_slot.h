#pragma once
// The one place where a configuration answer meets the exchange waiting for it. The exchange
// arms the slot with its answer buffer before the request goes out; the transport's callback
// thread delivers the keyboard's report into it; a report that arrives while the slot is not
// armed belongs to no exchange and is dropped.

#include "device/device_clock.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

namespace tavrik {

class AnswerSlot {
public:
    // Makes `buffer` the destination of the next report and sets the busy flag.
    void Arm(std::span<uint8_t> buffer);

    // Copies at most the armed buffer's capacity of `report` and wakes the waiting exchange.
    // Returns false (and copies nothing) when no exchange is waiting.
    bool Deliver(const uint8_t* report, size_t length);

    // Waits up to `timeout` for a delivery, then clears the busy flag whatever happened, so
    // nothing writes into the buffer while the caller looks at it. Returns the delivered length.
    std::optional<size_t> Await(DeviceClock& clock, std::chrono::milliseconds timeout);

    // Clears the busy flag without waiting (the request never went out).
    void Disarm();

private:
    std::mutex mutex_;
    std::condition_variable delivered_;
    std::span<uint8_t> buffer_;
    std::optional<size_t> deliveredLength_;
    bool busy_ = false;
};

} // namespace tavrik
