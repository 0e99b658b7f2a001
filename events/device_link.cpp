#include "events/device_link.h"

namespace tavrik {

DeviceLink::DeviceLink(HidBridge& bridge, KeyboardFacts& facts, MainWindowPort& window)
    : bridge_(bridge)
    , exchange_(bridge)
    , commands_(exchange_)
    , presence_(commands_, facts, window)
    , listener_(bridge, exchange_, indicator_, window,
                [this](int32_t count) { HandOverCount(count); }) {
    // Another program wrote to the keyboard between this one's turns: what this one believes
    // the keyboard holds, and which hardware profile is active, may no longer be so.
    exchange_.Turn().AddForeignWriteListener([this, &facts] {
        commands_.ForgetKeyboardMemory();
        facts.ForgetActiveProfile();
    });
}

DeviceLink::~DeviceLink() {
    // A handler waiting for another program's turn to end gives up at once.
    exchange_.Turn().Cancel();
    presence_.Stop();
}

void DeviceLink::Start() {
    listener_.Start();
    // The count is asked for and queued under the same lock as a notified count, so a change
    // notified after the query cannot be queued before the query's older answer.
    std::lock_guard lock(countOrder_);
    const uint32_t check = ArgumentCheck(kCtrlUnit, nullptr, 0, {});
    const int32_t count = bridge_.RequestGetDeviceCount(kCtrlUnit, check);
    // A refused query counts as no keyboard: the next count notification corrects it.
    presence_.OnCountChanged(count > 0 ? count : 0);
}

void DeviceLink::HandOverCount(int32_t count) {
    std::lock_guard lock(countOrder_);
    // A keyboard came or went: the one attached now may hold anything.
    commands_.ForgetKeyboardMemory();
    presence_.OnCountChanged(count);
}

} // namespace tavrik
