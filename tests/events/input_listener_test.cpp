// The keyboard's own events and the transport's notifications, against the emulated keyboard, and
// everything a keyboard might send that the listener must ignore.

#include "emulator/emulated_hid_bridge.h"
#include "events/device_link.h"
#include "tests/events/recording_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace tavrik {
namespace {

using test::RecordingWindow;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ListenerTest : public ::testing::Test {
protected:
    ListenerTest() {
        link_.Start();
        Settle();
        window_.Clear();
    }

    void Settle() {
        keyboard_.WaitDelivered();
        link_.Presence().WaitUntilHandled();
        link_.Listener().WaitForTrayChanges();
    }
    void SendEvent(uint16_t code) {
        keyboard_.SendConsumerEvent(code);
        Settle();
    }

    EmulatedHidBridge keyboard_;
    KeyboardFacts facts_;
    RecordingWindow window_;
    DeviceLink link_{keyboard_, facts_, window_};
};

TEST_F(ListenerTest, TwoBankTogglesWriteBothStatesAndEndOnBankA) {
    SendEvent(0x02FF);
    EXPECT_TRUE(link_.Indicator().BankB());
    EXPECT_EQ(link_.Indicator().GKeySlot(0), 265);
    SendEvent(0x02FF);

    using Status = std::array<uint8_t, 2>;
    EXPECT_THAT(keyboard_.LedStatusWrites(), ElementsAre(Status{0x05, 0x03}, Status{0x05, 0x02}));
    EXPECT_FALSE(link_.Indicator().BankB());
    EXPECT_EQ(link_.Indicator().GKeySlot(8), 264);
    EXPECT_THAT(window_.Calls(), ElementsAre("g-key marks", "bank B", "g-key marks", "bank A"));
}

TEST_F(ListenerTest, MacroStartThenStopLeavesTheDeviceIconShowing) {
    // A slow first icon change: the stop must still come after it.
    window_.macroIconDelay = std::chrono::milliseconds(30);
    keyboard_.SendConsumerEvent(0x1811);
    keyboard_.SendConsumerEvent(0x1810);
    Settle();

    EXPECT_THAT(window_.Calls(), ElementsAre("tray 1 0", "tray 0 0"));
}

TEST_F(ListenerTest, ALightingChangeAsksForAReread) {
    SendEvent(0x0401);
    EXPECT_THAT(window_.Calls(), ElementsAre("lighting reread"));
}

TEST_F(ListenerTest, ACtrlReportWithNoExchangeWaitingIsDropped) {
    std::array<uint8_t, kFrameSize> stray{};
    stray[frame::kCommand] = 3;
    stray[frame::kData + settings_byte::kMacroCapacityUnits] = 99;
    UnitNotification notification;
    notification.kind = 1;
    notification.event = {static_cast<uint32_t>(UnitTag::Ctrl), kFrameSize, stray.data()};
    EXPECT_EQ(link_.Listener().OnNotification(notification), 1);

    // The next exchange gets the keyboard's own answer, not the stray report.
    DeviceSettings settings{};
    ASSERT_EQ(link_.Commands().ReadSettings(settings), DeviceResult::Done);
    EXPECT_EQ(settings[settings_byte::kMacroCapacityUnits], 32);
    EXPECT_THAT(window_.Calls(), IsEmpty());
}

// A report in a buffer of exactly its length, so that reading past it is caught by the address
// sanitizer.
struct BadInput {
    const char* name;
    uint32_t kind;
    UnitTag tag;
    std::vector<uint8_t> bytes;
    bool nullReport = false;
    uint32_t countOverride = 0; // for kind 0: the count field
};

TEST_F(ListenerTest, WhatTheKeyboardMustNotBeAbleToDoIsIgnored) {
    const BadInput inputs[] = {
        {"kind 0 on CONS", 0, UnitTag::Cons, {}, true, 5},
        {"kind 0 on LED", 0, UnitTag::Led, {}, true, 5},
        {"unknown kind on CONS", 2, UnitTag::Cons, {0xFF, 0x02}},
        {"unknown kind on CTRL", 7, UnitTag::Ctrl, {}, true, 5},
        {"report on LED", 1, UnitTag::Led, {0xFF, 0x02}},
        {"report on an unknown tag", 1, static_cast<UnitTag>(0x41424344), {0xFF, 0x02}},
        {"empty CONS report", 1, UnitTag::Cons, {}},
        {"one-byte CONS report", 1, UnitTag::Cons, {0xFF}},
        {"CONS report without bytes", 1, UnitTag::Cons, {}, true, 2},
        {"CTRL report without bytes", 1, UnitTag::Ctrl, {}, true, 64},
        {"reserved code 0x1801", 1, UnitTag::Cons, {0x01, 0x18}},
        {"reserved code 0x1804", 1, UnitTag::Cons, {0x04, 0x18}},
        {"unknown code", 1, UnitTag::Cons, {0x34, 0x12}},
        {"byte-swapped bank code", 1, UnitTag::Cons, {0x02, 0xFF}},
        {"count beyond any keyboard", 0, UnitTag::Ctrl, {}, true, 0x80000000u},
    };
    for (const BadInput& input : inputs) {
        SCOPED_TRACE(input.name);
        auto buffer = std::make_unique<uint8_t[]>(input.bytes.size());
        std::copy(input.bytes.begin(), input.bytes.end(), buffer.get());
        UnitNotification notification;
        notification.kind = input.kind;
        notification.event.tag = static_cast<uint32_t>(input.tag);
        notification.event.lengthOrCount =
            input.nullReport ? input.countOverride : static_cast<uint32_t>(input.bytes.size());
        notification.event.report = input.nullReport ? nullptr : buffer.get();

        EXPECT_EQ(link_.Listener().OnNotification(notification), 1);
        Settle();

        EXPECT_THAT(window_.Calls(), IsEmpty());
        EXPECT_THAT(keyboard_.LedStatusWrites(), IsEmpty());
        EXPECT_EQ(link_.Presence().KeyboardCount(), 1);
        EXPECT_FALSE(link_.Indicator().BankB());
    }
}

TEST_F(ListenerTest, ALongerConsReportIsReadByItsFirstTwoBytes) {
    const std::vector<uint8_t> report{0xFF, 0x02, 0x99, 0x99};
    UnitNotification notification;
    notification.kind = 1;
    notification.event = {static_cast<uint32_t>(UnitTag::Cons), 4, report.data()};
    link_.Listener().OnNotification(notification);
    Settle();
    EXPECT_TRUE(link_.Indicator().BankB());
}

} // namespace
} // namespace tavrik
