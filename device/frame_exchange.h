#pragma once
// One configuration request and its answer on the keyboard's CTRL unit: the frame goes out,
// the answer comes back on the transport's callback thread through DeliverAnswer. A request is
// sent at most three times; time-outs and refusals both count towards the three. A report that
// does not echo the request (another program's answer, or one that came too late for an earlier
// request) is not an answer at all: the exchange goes on waiting for its own.
//
// Exchanges never overlap: each holds the exchange lock from start to end. An operation that
// must not have another thread's frames between its own (begin ... end, a multi-frame transfer)
// holds the same lock across all of them with a Bracket or RunBracketed; the lock is recursive,
// so the exchanges inside take it again.
//
// Nor may another program's frames come between them: the outermost Bracket of a thread also
// holds the keyboard's turn (keyboard_turn.h) for as long as it lasts. When the turn cannot be
// had, every exchange inside that Bracket ends as KeyboardBusy without sending anything.

#include "device/answer_slot.h"
#include "device/config_frame.h"
#include "device/device_clock.h"
#include "device/device_result.h"
#include "device/hid_bridge.h"
#include "device/keyboard_turn.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>
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
    // refusing answer in place), NoKeyboard or KeyboardBusy (nothing sent), WriteRefused or
    // NoAnswer.
    DeviceResult ExchangeFrame(std::span<const uint8_t> request,
                               std::span<uint8_t, kFrameSize> answer, size_t& answerLength);

    // Called by the input listener for every report of the CTRL unit; reports that arrive while
    // no exchange waits, or that do not answer the request it waits on, are dropped.
    void DeliverAnswer(const uint8_t* report, size_t length);

    DeviceClock& Clock() { return clock_; }
    KeyboardTurn& Turn() { return turn_; }

    // Holds the exchange lock for its lifetime, and the keyboard's turn when it is the thread's
    // outermost one.
    class Bracket {
    public:
        explicit Bracket(FrameExchange& exchange);
        ~Bracket();

        Bracket(const Bracket&) = delete;
        Bracket& operator=(const Bracket&) = delete;

        // False when the outermost Bracket could not have the keyboard's turn.
        bool HasTurn() const { return !exchange_.turnRefused_; }

    private:
        FrameExchange& exchange_;
        bool outermost_;
        KeyboardTurn::Hold turn_;
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
    KeyboardTurn turn_;
    std::recursive_mutex exchangeLock_;
    // The thread inside the outermost Bracket, and whether that Bracket was refused its turn;
    // the flag is used only by that thread, with the exchange lock held.
    std::atomic<std::thread::id> bracketOwner_{};
    bool turnRefused_ = false;
    AnswerSlot slot_;
};

} // namespace tavrik
