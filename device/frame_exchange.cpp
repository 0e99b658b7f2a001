#include "device/frame_exchange.h"

#include <algorithm>

namespace tavrik {

namespace {

// The keyboard always answers with a whole frame. Anything shorter cannot carry the echo,
// the status and the data, so it is not taken as the answer to this request.
bool AnswersRequest(const ConfigFrame& request, std::span<const uint8_t, kFrameSize> answer,
                    size_t delivered) {
    return delivered == kFrameSize && answer[frame::kCommand] == request[frame::kCommand];
}

bool IsRefusal(uint8_t status) {
    return status == kStatusRefusedFF || status == kStatusRefusedFE;
}

} // namespace

FrameExchange::FrameExchange(HidBridge& bridge, DeviceClock& clock)
    : bridge_(bridge)
    , clock_(clock) {}

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

    ConfigFrame frame{};
    std::copy_n(request.begin(), std::min(request.size(), kFrameSize), frame.begin());
    const uint32_t check = ArgumentCheck(kCtrlUnit, nullptr, 0, frame);

    for (int attempt = 1;; ++attempt) {
        slot_.Arm(answer);
        if (bridge_.RequestWriteOne(kCtrlUnit, frame, check) <= 0) {
            slot_.Disarm();
            return DeviceResult::WriteRefused;
        }
        const std::optional<size_t> delivered = slot_.Await(clock_, kAnswerTimeout);
        const bool answered = delivered && AnswersRequest(frame, answer, *delivered);
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
