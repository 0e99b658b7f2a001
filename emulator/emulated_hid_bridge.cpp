#include "emulator/emulated_hid_bridge.h"

#include "emulator/command_processor.h"

#include <algorithm>
#include <thread>

namespace tavrik {

namespace {

using Clock = emu::ReportPacer::Clock;

constexpr UnitDescriptor kKeyboardUnits[] = {kLedUnit, kConsUnit, kCtrlUnit};
constexpr size_t kLedStatusSize = 2;

const UnitDescriptor& DescriptorOf(UnitTag unit) {
    switch (unit) {
    case UnitTag::Led:
        return kLedUnit;
    case UnitTag::Cons:
        return kConsUnit;
    default:
        return kCtrlUnit;
    }
}

bool CoversKeyboard(const UnitDescriptor& request) {
    return std::any_of(
        std::begin(kKeyboardUnits), std::end(kKeyboardUnits),
        [&request](const UnitDescriptor& unit) { return emu::DescriptorMatches(request, unit); });
}

ConfigFrame FaultAnswer(std::span<const uint8_t, kFrameSize> request, emu::Fault treatment) {
    ConfigFrame answer = emu::AnswerHeader(request, emu::kStatusAccepted);
    if (treatment == emu::Fault::WrongEcho)
        answer[frame::kCommand] ^= 0x80;
    else
        answer[frame::kStatus] =
            treatment == emu::Fault::RefuseFE ? kStatusRefusedFE : kStatusRefusedFF;
    StampFrameChecksum(answer);
    return answer;
}

} // namespace

EmulatedHidBridge::EmulatedHidBridge(emu::FirmwareConfig config, bool plugged)
    : firmware_(config)
    , plugged_(plugged) {}

EmulatedHidBridge::~EmulatedHidBridge() = default;

void EmulatedHidBridge::Plug() {
    std::lock_guard lock(mutex_);
    SetPluggedLocked(true);
}

void EmulatedHidBridge::Unplug() {
    std::lock_guard lock(mutex_);
    SetPluggedLocked(false);
}

bool EmulatedHidBridge::Plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

void EmulatedHidBridge::SetFault(emu::Fault fault, int frames) {
    std::lock_guard lock(mutex_);
    if (fault == emu::Fault::UnplugAfter && frames <= 0) {
        faults_.Set(emu::Fault::None, 0);
        SetPluggedLocked(false);
        return;
    }
    faults_.Set(fault, frames);
}

void EmulatedHidBridge::SetAnswerDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    answerDelay_ = std::max(delay, std::chrono::milliseconds{0});
}

void EmulatedHidBridge::SetReportInterval(std::chrono::microseconds interval) {
    std::lock_guard lock(mutex_);
    pacer_.SetInterval(interval);
}

int EmulatedHidBridge::FramesReceived() const {
    std::lock_guard lock(mutex_);
    return framesReceived_;
}

std::vector<std::array<uint8_t, 2>> EmulatedHidBridge::LedStatusWrites() const {
    std::lock_guard lock(mutex_);
    return firmware_.LedStatusWrites();
}

void EmulatedHidBridge::SendConsumerEvent(uint16_t code) {
    WithFirmware([code](emu::KeyboardFirmware& firmware) { firmware.SendConsumerEvent(code); });
}

void EmulatedHidBridge::WaitDelivered() {
    delivery_.WaitIdle();
}

int32_t EmulatedHidBridge::CountDevices(const UnitDescriptor& unit) {
    std::lock_guard lock(mutex_);
    return plugged_ && CoversKeyboard(unit) ? 1 : 0;
}

int32_t EmulatedHidBridge::StartRead(const UnitDescriptor& unit, const UnitCallback* callback,
                                     UnitTag tag, uint32_t* requestId) {
    *requestId = requests_.Add({unit, callback, static_cast<uint32_t>(tag)});
    return 1;
}

int32_t EmulatedHidBridge::DeleteRequest(uint32_t requestId) {
    return requests_.Remove(requestId) ? 1 : 0;
}

int32_t EmulatedHidBridge::WriteReport(const UnitDescriptor& unit,
                                       std::span<const uint8_t> report) {
    if (!emu::DescriptorMatches(unit, kCtrlUnit) || report.size() != kFrameSize)
        return 0;
    std::unique_lock lock(mutex_);
    if (!WaitForSlotToKeyboard(lock))
        return 0;
    ++framesReceived_;
    const emu::FaultPlan::Decision decision = faults_.Next();
    const std::span<const uint8_t, kFrameSize> request(report.data(), kFrameSize);
    if (decision.treatment != emu::Fault::Silent) {
        const ConfigFrame answer = decision.treatment == emu::Fault::None
                                       ? firmware_.Answer(request)
                                       : FaultAnswer(request, decision.treatment);
        PostReportLocked(UnitTag::Ctrl, {answer.begin(), answer.end()},
                         Clock::now() + answerDelay_);
    }
    SendFirmwareReportsLocked();
    if (decision.unplugAfterAnswer)
        SetPluggedLocked(false);
    return static_cast<int32_t>(report.size());
}

int32_t EmulatedHidBridge::WriteStatus(const UnitDescriptor& unit, std::span<const uint8_t> status,
                                       uint32_t* requestId) {
    if (!emu::DescriptorMatches(unit, kLedUnit) || status.size() != kLedStatusSize)
        return 0;
    std::unique_lock lock(mutex_);
    if (!WaitForSlotToKeyboard(lock))
        return 0;
    firmware_.ReceiveLedStatus({status[0], status[1]});
    if (requestId != nullptr)
        *requestId = requests_.ReserveId();
    return 1;
}

bool EmulatedHidBridge::WaitForSlotToKeyboard(std::unique_lock<std::mutex>& lock) {
    if (!plugged_)
        return false;
    const auto slot = pacer_.NextSlot(emu::Direction::ToKeyboard, Clock::now());
    if (slot > Clock::now()) {
        lock.unlock();
        std::this_thread::sleep_until(slot);
        lock.lock();
    }
    return plugged_;
}

void EmulatedHidBridge::SendFirmwareReportsLocked() {
    for (emu::OutputReport& report : firmware_.TakeReports())
        PostReportLocked(report.unit, std::move(report.bytes), Clock::now());
}

void EmulatedHidBridge::PostReportLocked(UnitTag unit, std::vector<uint8_t> bytes,
                                         Clock::time_point earliest) {
    if (!plugged_)
        return;
    lastDue_ = std::max(pacer_.NextSlot(emu::Direction::ToComputer, earliest), lastDue_);
    delivery_.Post(lastDue_, [this, unit, bytes = std::move(bytes)] {
        requests_.NotifyUnit(DescriptorOf(unit), NotificationKind::ReportReceived,
                             static_cast<uint32_t>(bytes.size()), bytes);
    });
}

void EmulatedHidBridge::PostCountLocked(uint32_t count) {
    lastDue_ = std::max(Clock::now(), lastDue_);
    delivery_.Post(lastDue_, [this, count] {
        for (const UnitDescriptor& unit : kKeyboardUnits)
            requests_.NotifyUnit(unit, NotificationKind::CountChanged, count, {});
    });
}

void EmulatedHidBridge::SetPluggedLocked(bool plugged) {
    if (plugged_ == plugged)
        return;
    plugged_ = plugged;
    if (!plugged)
        firmware_.PowerOff();
    PostCountLocked(plugged ? 1 : 0);
}

} // namespace tavrik
