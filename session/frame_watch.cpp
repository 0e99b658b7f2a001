#include "session/frame_watch.h"

#include "device/answer_slot.h"
#include "device/device_commands.h"
#include "device/macro_memory.h"

#include <algorithm>

namespace tavrik {

namespace {

// A write at the start of the macro memory decides whether it holds an image: its magic.
std::optional<bool> MagicWritten(const ConfigFrame& frame) {
    if (frame[frame::kCommand] != command::kWriteMacroMemory || FrameAddress(frame) != 0 ||
        frame[frame::kLength] < 2)
        return std::nullopt;
    return frame[frame::kData] == (kMacroImageMagic & 0xFF) &&
           frame[frame::kData + 1] == (kMacroImageMagic >> 8);
}

DeviceResult ResultOfStatus(uint8_t status) {
    if (status == kStatusRefusedFF)
        return DeviceResult::RefusedFF;
    if (status == kStatusRefusedFE)
        return DeviceResult::RefusedFE;
    return DeviceResult::Done;
}

} // namespace

// The base forwards to the transport; this class owns it, so that it goes first, before the
// callbacks it may still be calling.
FrameWatch::FrameWatch(std::unique_ptr<HidBridge> inner)
    : ForwardingHidBridge(*inner)
    , inner_(std::move(inner)) {}

int32_t FrameWatch::RequestAsyncRead(const UnitDescriptor& unit, const UnitCallback* callback,
                                     UnitTag tag, uint32_t check, uint32_t* requestId) {
    const auto tagValue = static_cast<uint32_t>(tag);
    if (unit != kCtrlUnit || callback == nullptr || requestId == nullptr)
        return ForwardingHidBridge::RequestAsyncRead(unit, callback, tag, check, requestId);
    if (check != ArgumentCheck(unit, callback, tagValue, {}))
        return kArgumentCheckRefused;
    std::list<UnitCallback>::iterator own;
    {
        std::lock_guard lock(callbackMutex_);
        own = callbacks_.insert(callbacks_.end(),
                                [this, callback](const UnitNotification& notification) {
                                    AnswerArrived(notification);
                                    return (*callback)(notification);
                                });
    }
    const int32_t result = ForwardingHidBridge::RequestAsyncRead(
        unit, &*own, tag, ArgumentCheck(unit, &*own, tagValue, {}), requestId);
    std::lock_guard lock(callbackMutex_);
    if (result > 0)
        callbackOfRequest_[*requestId] = own;
    else
        callbacks_.erase(own);
    return result;
}

int32_t FrameWatch::DeleteRequestFromUnitId(uint32_t requestId) {
    const int32_t result = ForwardingHidBridge::DeleteRequestFromUnitId(requestId);
    // The transport waits for a delivery in progress, so the callback is no longer in use.
    std::lock_guard lock(callbackMutex_);
    if (const auto found = callbackOfRequest_.find(requestId); found != callbackOfRequest_.end()) {
        callbacks_.erase(found->second);
        callbackOfRequest_.erase(found);
    }
    return result;
}

int32_t FrameWatch::RequestWriteOne(const UnitDescriptor& unit, std::span<const uint8_t> report,
                                    uint32_t check) {
    const bool followed = unit == kCtrlUnit && report.size() == kFrameSize &&
                          check == ArgumentCheck(unit, nullptr, 0, report);
    if (followed) {
        ConfigFrame frame{};
        std::ranges::copy(report, frame.begin());
        FrameSent(frame);
    }
    const int32_t result = ForwardingHidBridge::RequestWriteOne(unit, report, check);
    if (followed && result <= 0)
        WriteRefused();
    return result;
}

void FrameWatch::FollowWriteChecks(DeviceCommands& commands) {
    commands.SetDifferingFrameListener(
        [this](const CommandHeader& frame) { FrameDiffered(frame); });
    commands.CheckWrites(true);
}

void FrameWatch::FrameDiffered(const CommandHeader& frame) {
    std::lock_guard lock(mutex_);
    FinishExchangeLocked(); // the read that showed it came first
    failed_.push_back(
        {frame.command, frame.address, frame.length, DeviceResult::DiffersAfterWrite});
}

void FrameWatch::Reset() {
    std::lock_guard lock(mutex_);
    inFlight_.reset();
    failed_.clear();
    changes_ = {};
}

KeyboardChanges FrameWatch::Changes() {
    std::lock_guard lock(mutex_);
    FinishExchangeLocked();
    return changes_;
}

std::vector<FailedExchange> FrameWatch::FailedExchanges() {
    std::lock_guard lock(mutex_);
    FinishExchangeLocked();
    return failed_;
}

void FrameWatch::FrameSent(const ConfigFrame& frame) {
    std::lock_guard lock(mutex_);
    // The same frame again after a failed attempt is the exchange trying once more.
    const bool retry = inFlight_ && *inFlight_ == frame && !LastAttemptSucceededLocked();
    if (!retry) {
        FinishExchangeLocked();
        inFlight_ = frame;
    }
    answerStatus_.reset();
    writeRefused_ = false;
}

void FrameWatch::WriteRefused() {
    std::lock_guard lock(mutex_);
    writeRefused_ = true;
}

void FrameWatch::AnswerArrived(const UnitNotification& notification) {
    const UnitEvent& event = notification.event;
    if (notification.kind != static_cast<uint32_t>(NotificationKind::ReportReceived) ||
        event.report == nullptr || event.lengthOrCount != kFrameSize)
        return;
    std::lock_guard lock(mutex_);
    if (inFlight_ && AnswersRequest(*inFlight_, event.report, event.lengthOrCount))
        answerStatus_ = event.report[frame::kStatus];
}

bool FrameWatch::LastAttemptSucceededLocked() const {
    return !writeRefused_ && answerStatus_ && ResultOfStatus(*answerStatus_) == DeviceResult::Done;
}

void FrameWatch::FinishExchangeLocked() {
    if (!inFlight_)
        return;
    DeviceResult result = DeviceResult::Done;
    if (writeRefused_)
        result = DeviceResult::WriteRefused;
    else if (!answerStatus_)
        result = DeviceResult::NoAnswer;
    else
        result = ResultOfStatus(*answerStatus_);
    const ConfigFrame& sent = *inFlight_;
    if (result != DeviceResult::Done)
        failed_.push_back(
            {sent[frame::kCommand], FrameAddress(sent), sent[frame::kLength], result});
    // A frame that went out may have been taken even when its answer was lost.
    const bool mayHaveReached = result == DeviceResult::Done || result == DeviceResult::NoAnswer;
    if (mayHaveReached && ChangesKeyboardMemory(sent[frame::kCommand])) {
        ++(result == DeviceResult::Done ? changes_.acknowledged : changes_.unanswered);
        if (const std::optional<bool> magic = MagicWritten(sent))
            changes_.macrosCleared =
                !*magic || (changes_.macrosCleared && result != DeviceResult::Done);
    }
    inFlight_.reset();
}

} // namespace tavrik
