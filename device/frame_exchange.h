#pragma once
// One configuration request and its answer on the keyboard's CTRL unit: the frame goes out,
// the answer comes back on the transport's callback thread through DeliverAnswer. A request is
// sent at most three times; time-outs, answers echoing another command and refusals all count
// towards the three.
//
// Exchanges never overlap: each holds the exchange lock from start to end. An operation that
// must not have another thread's frames between its own (begin ... end, a multi-frame transfer)
// holds the same lock across all of them with a Bracket or RunBracketed; the lock is recursive,
// so the exchanges inside take it again.

#include "device/answer_slot.h"
#include "device/config_frame.h"
#include "device/device_clock.h"
#include "device/device_result.h"
#include "device/hid_bridge.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <utility>

namespace tavrik {

inline constexpr std::chrono::milliseconds kAnswerTimeout{1000};
inline constexpr std::chrono::milliseconds kRetryPause{10};
inline constexpr int kMaxFrameAttempts = 3;

class FrameExchange {
public:
    explicit FrameExchange(HidBridge& bridge, DeviceClock& clock = SystemDeviceClock());

    FrameExchange(const FrameExchange&) = delete;
    FrameExchange& operator=(const FrameExchange&) = delete;

    // Sends `request` (cut or zero-padded to 64 bytes) and waits for its answer. Results: Done
    // (answer and answerLength filled; a refusal on the last attempt also ends as Done with the
    // refusing answer in place), NoKeyboard (nothing sent), WriteRefused or NoAnswer.
    DeviceResult ExchangeFrame(std::span<const uint8_t> request,
                               std::span<uint8_t, kFrameSize> answer, size_t& answerLength);

    // Called by the input listener for every report of the CTRL unit; reports that arrive while
    // no exchange waits are dropped.
    void DeliverAnswer(const uint8_t* report, size_t length);

    DeviceClock& Clock() { return clock_; }

    // Holds the exchange lock for its lifetime.
    class Bracket {
    public:
        explicit Bracket(FrameExchange& exchange)
            : hold_(exchange.exchangeLock_) {}

    private:
        std::lock_guard<std::recursive_mutex> hold_;
    };

    template <typename Operation>
    decltype(auto) RunBracketed(Operation&& operation) {
        Bracket hold(*this);
        return std::forward<Operation>(operation)();
    }

private:
    bool KeyboardAttached();

    HidBridge& bridge_;
    DeviceClock& clock_;
    std::recursive_mutex exchangeLock_;
    AnswerSlot slot_;
};

} // namespace tavrik
