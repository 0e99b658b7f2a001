#include "device/frame_exchange.h"

#include <algorithm>

namespace tavrik {

namespace {

bool IsRefusal(uint8_t status) {
    return status == kStatusRefusedFF || status == kStatusRefusedFE;
}

} // namespace

FrameExchange::Bracket::Bracket(FrameExchange& exchange)
    : exchange_(exchange)
    , outermost_(exchange.bracketOwner_.load() != std::this_thread::get_id()) {
    // The turn first, then the lock: a thread waiting for another program does not keep this
    // program's other threads from the keyboard they already have.
    if (outermost_)
        turn_ = exchange.turn_.Take();
    exchange.exchangeLock_.lock();
    if (outermost_) {
        exchange.bracketOwner_ = std::this_thread::get_id();
        exchange.turnRefused_ = !turn_;
    }
}

FrameExchange::Bracket::~Bracket() {
    if (outermost_)
        exchange_.bracketOwner_ = std::thread::id();
    exchange_.exchangeLock_.unlock();
}

FrameExchange::FrameExchange(HidBridge& bridge, DeviceClock& clock)
    : bridge_(bridge)
    , clock_(clock)
    , turn_([&bridge] { return bridge.KeyboardTurnPlace(); }) {}

bool FrameExchange::KeyboardAttached() {
    return bridge_.RequestGetDeviceCount(kCtrlUnit, ArgumentCheck(kCtrlUnit, nullptr, 0, {})) > 0;
}

DeviceResult FrameExchange::ExchangeFrame(std::span<const uint8_t> request,
                                          std::span<uint8_t, kFrameSize> answer,
                                          size_t& answerLength) {
    answerLength = 0;
    Bracket hold(*this);
    if (!KeyboardAttached())
        return DeviceResult::NoKeyboard;
    if (!hold.HasTurn())
        return DeviceResult::KeyboardBusy;
    if (ChangesKeyboardMemory(request[frame::kCommand]))
        turn_.NoteWrite();

    ConfigFrame frame{};
    std::copy_n(request.begin(), std::min(request.size(), kFrameSize), frame.begin());
    const uint32_t check = ArgumentCheck(kCtrlUnit, nullptr, 0, frame);

    for (int attempt = 1;; ++attempt) {
        slot_.Arm(frame, answer);
        if (bridge_.RequestWriteOne(kCtrlUnit, frame, check) <= 0) {
            slot_.Disarm();
            return DeviceResult::WriteRefused;
        }
        const std::optional<size_t> delivered = slot_.Await(clock_, kAnswerTimeout);
        const bool answered = delivered.has_value();
        if (answered && (!IsRefusal(answer[frame::kStatus]) || attempt >= kMaxFrameAttempts)) {
            answerLength = *delivered;
            return DeviceResult::Done;
        }
        if (attempt >= kMaxFrameAttempts)
            return DeviceResult::NoAnswer;
        clock_.SleepFor(kRetryPause);
    }
}

void FrameExchange::DeliverAnswer(const uint8_t* report, size_t length) {
    slot_.Deliver(report, length);
}

} // namespace tavrik
