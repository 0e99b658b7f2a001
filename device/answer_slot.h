#pragma once
// The one place where a configuration answer meets the exchange waiting for it. The exchange
// arms the slot with its request and answer buffer before the request goes out; the transport's
// callback thread delivers the keyboard's reports into it.
//
// Every program that has the keyboard open receives every answer the keyboard sends (hidraw
// hands each input report to every open node), so a report is taken only when it is a whole
// frame that echoes the armed request's command, length and address. Anything else (another
// program's answer, a late answer to an earlier request of this one) is not this exchange's and
// is dropped, and the exchange keeps waiting for its own.

#include "device/config_frame.h"
#include "device/device_clock.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

namespace tavrik {

// Whether `report` is a whole frame answering `request`: it echoes the request's command, length
// and address.
bool AnswersRequest(std::span<const uint8_t, kFrameSize> request, const uint8_t* report,
                    size_t length);

class AnswerSlot {
public:
    // Makes `buffer` the destination of the answer to `request` and sets the busy flag.
    void Arm(const ConfigFrame& request, std::span<uint8_t, kFrameSize> buffer);

    // Copies the report and wakes the waiting exchange when it answers the armed request.
    // Returns false (and copies nothing) when no exchange is waiting or the report is not the
    // answer it waits for.
    bool Deliver(const uint8_t* report, size_t length);

    // Waits up to `timeout` for a delivery, then clears the busy flag whatever happened, so
    // nothing writes into the buffer while the caller looks at it. Returns the delivered length.
    std::optional<size_t> Await(DeviceClock& clock, std::chrono::milliseconds timeout);

    // Clears the busy flag without waiting (the request never went out).
    void Disarm();

private:
    std::mutex mutex_;
    std::condition_variable delivered_;
    ConfigFrame request_{};
    std::span<uint8_t> buffer_;
    std::optional<size_t> deliveredLength_;
    bool busy_ = false;
};

} // namespace tavrik
