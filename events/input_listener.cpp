#include "events/input_listener.h"

#include "device/frame_exchange.h"
#include "events/consumer_event.h"

#include <limits>

namespace tavrik {

namespace {

uint32_t TagValue(UnitTag tag) {
    return static_cast<uint32_t>(tag);
}

} // namespace

InputListener::InputListener(HidBridge& bridge, FrameExchange& exchange,
                             GKeyIndicatorState& indicator, MainWindowPort& window,
                             CountSink countChanged)
    : bridge_(bridge)
    , exchange_(exchange)
    , indicator_(indicator)
    , window_(window)
    , countChanged_(std::move(countChanged))
    , callback_(
          [this](const UnitNotification& notification) { return OnNotification(notification); })
    , macroPlay_(window) {}

InputListener::~InputListener() {
    bridge_.DeleteRequestFromUnitId(consRequestId_);
    bridge_.DeleteRequestFromUnitId(ctrlRequestId_);
    bridge_.DeleteRequestFromUnitId(ledRequestId_);
}

void InputListener::Start() {
    IssueStandingRead(kConsUnit, UnitTag::Cons, consRequestId_);
    IssueStandingRead(kCtrlUnit, UnitTag::Ctrl, ctrlRequestId_);
}

void InputListener::IssueStandingRead(const UnitDescriptor& unit, UnitTag tag,
                                      uint32_t& requestId) {
    bridge_.DeleteRequestFromUnitId(requestId);
    const uint32_t check = ArgumentCheck(unit, &callback_, TagValue(tag), {});
    // A read the transport refuses leaves the keyboard's events unheard; there is nothing to
    // retry with, as the same arguments would be refused again.
    bridge_.RequestAsyncRead(unit, &callback_, tag, check, &requestId);
}

int InputListener::OnNotification(const UnitNotification& notification) {
    const UnitEvent& event = notification.event;
    const bool report =
        notification.kind == static_cast<uint32_t>(NotificationKind::ReportReceived);
    const bool count = notification.kind == static_cast<uint32_t>(NotificationKind::CountChanged);
    if (report && event.tag == TagValue(UnitTag::Cons))
        OnConsumerReport(event);
    else if (report && event.tag == TagValue(UnitTag::Ctrl) && event.report != nullptr)
        exchange_.DeliverAnswer(event.report, event.lengthOrCount);
    else if (count && event.tag == TagValue(UnitTag::Ctrl))
        OnCountChanged(event);
    return 1;
}

void InputListener::OnCountChanged(const UnitEvent& event) {
    if (event.lengthOrCount > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
        return; // not a count any keyboard can produce
    if (countChanged_)
        countChanged_(static_cast<int32_t>(event.lengthOrCount));
}

void InputListener::OnConsumerReport(const UnitEvent& event) {
    const auto code = ConsumerEventCodeOf(event.report, event.lengthOrCount);
    if (!code)
        return;
    switch (static_cast<ConsumerEventCode>(*code)) {
    case ConsumerEventCode::BankToggled:
        ToggleBank();
        break;
    case ConsumerEventCode::LightingChanged:
        window_.RequestLightingReread();
        break;
    case ConsumerEventCode::MacroStarted:
        macroPlay_.MacroStarted();
        break;
    case ConsumerEventCode::MacroStopped:
        macroPlay_.MacroStopped();
        break;
    }
}

void InputListener::ToggleBank() {
    const GKeyIndicatorState::Bytes status = indicator_.Toggle();
    bridge_.DeleteRequestFromUnitId(ledRequestId_);
    const uint32_t check = ArgumentCheck(kLedUnit, &callback_, TagValue(UnitTag::Led), status);
    // The indicator is only a display; a refused write changes nothing the program relies on.
    bridge_.RequestStatusWrite(kLedUnit, &callback_, UnitTag::Led, status, check, &ledRequestId_);
    window_.RefreshGKeyMarks();
    window_.SetBankLook(indicator_.BankB());
}

} // namespace tavrik
