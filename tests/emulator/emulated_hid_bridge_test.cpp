#include "bridge_listener.h"
#include "emulator/emulated_hid_bridge.h"
#include "emulator/keyboard_events.h"
#include "frame_builder.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

using emu::test::BridgeListener;
using emu::test::Count;
using emu::test::Delivered;
using emu::test::Request;
using emu::test::Write;

constexpr auto kReportKind = static_cast<uint32_t>(NotificationKind::ReportReceived);
constexpr auto kCountKind = static_cast<uint32_t>(NotificationKind::CountChanged);

ConfigFrame SetBrightness(uint8_t value) {
    const uint8_t data[] = {value};
    return Request(6, 1, 1, data);
}

uint16_t EventCode(const Delivered& d) {
    return static_cast<uint16_t>(d.report.at(0) | (d.report.at(1) << 8));
}

TEST(EmulatedHidBridge, AnswersArriveOnTheBridgeThread) {
    BridgeListener ctrl;
    EmulatedHidBridge bridge;
    ctrl.Listen(bridge, kCtrlUnit, UnitTag::Ctrl);
    EXPECT_EQ(Count(bridge), 1);
    EXPECT_GT(Write(bridge, Request(3, 28)), 0);
    bridge.WaitDelivered();
    const auto delivered = ctrl.Take();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].kind, kReportKind);
    EXPECT_EQ(delivered[0].tag, static_cast<uint32_t>(UnitTag::Ctrl));
    EXPECT_EQ(delivered[0].lengthOrCount, kFrameSize);
    EXPECT_EQ(delivered[0].report.at(frame::kCommand), 3);
    EXPECT_EQ(delivered[0].report.at(frame::kData + 11), 32); // macro capacity units
    EXPECT_NE(delivered[0].thread, std::this_thread::get_id());
    EXPECT_EQ(bridge.FramesReceived(), 1);
}

TEST(EmulatedHidBridge, RefusesEveryCallWhoseCheckDoesNotMatch) {
    BridgeListener listener;
    EmulatedHidBridge bridge;
    const UnitCallback* cb = listener.Callback();
    const ConfigFrame frame = SetBrightness(3);
    const std::array<uint8_t, 2> status{0x05, 0x03};
    uint32_t id = 77;
    const uint32_t wrong = 1;
    EXPECT_EQ(
        bridge.RequestGetDeviceCount(kCtrlUnit, ArgumentCheck(kCtrlUnit, nullptr, 0, {}) + wrong),
        kArgumentCheckRefused);
    EXPECT_EQ(bridge.RequestAsyncRead(kConsUnit, cb, UnitTag::Cons,
                                      ArgumentCheck(kConsUnit, cb, 0, {}), &id), // tag left out
              kArgumentCheckRefused);
    EXPECT_EQ(bridge.RequestWriteOne(kCtrlUnit, frame,
                                     ArgumentCheck(kCtrlUnit, nullptr, 0, Request(6, 1, 1))),
              kArgumentCheckRefused);
    EXPECT_EQ(bridge.RequestStatusWrite(kLedUnit, cb, UnitTag::Led, status,
                                        ArgumentCheck(kCtrlUnit, cb, 0x004C4544, status), &id),
              kArgumentCheckRefused);
    EXPECT_EQ(id, 77u);
    EXPECT_EQ(bridge.FramesReceived(), 0);
    EXPECT_TRUE(bridge.LedStatusWrites().empty());
    bridge.SendConsumerEvent(0x02FF);
    bridge.WaitDelivered();
    EXPECT_TRUE(listener.Take().empty());

    EXPECT_EQ(bridge.RequestStatusWrite(kLedUnit, cb, UnitTag::Led, status,
                                        ArgumentCheck(kLedUnit, cb, 0x004C4544, status), &id),
              1);
    EXPECT_EQ(bridge.LedStatusWrites(), (std::vector<std::array<uint8_t, 2>>{status}));
}

TEST(EmulatedHidBridge, PlugAndUnplugChangeTheCountOnEveryUnit) {
    BridgeListener ctrl;
    BridgeListener cons;
    EmulatedHidBridge bridge({}, false);
    ctrl.Listen(bridge, kCtrlUnit, UnitTag::Ctrl);
    cons.Listen(bridge, kConsUnit, UnitTag::Cons);
    EXPECT_EQ(Count(bridge), 0);
    EXPECT_EQ(Write(bridge, Request(3, 28)), 0);
    EXPECT_EQ(bridge.FramesReceived(), 0);
    bridge.Plug();
    bridge.Plug(); // already attached: no second notification
    EXPECT_EQ(Count(bridge), 1);
    bridge.Unplug();
    EXPECT_EQ(Count(bridge), 0);
    bridge.WaitDelivered();
    for (BridgeListener* listener : {&ctrl, &cons}) {
        const auto delivered = listener->Take();
        ASSERT_EQ(delivered.size(), 2u);
        EXPECT_EQ(delivered[0].kind, kCountKind);
        EXPECT_EQ(delivered[0].lengthOrCount, 1u);
        EXPECT_EQ(delivered[1].kind, kCountKind);
        EXPECT_EQ(delivered[1].lengthOrCount, 0u);
    }
}

TEST(EmulatedHidBridge, FaultsApplyToTheNextFramesAndLeaveMemoryAlone) {
    struct Case {
        emu::Fault fault;
        bool answered;
        uint8_t echo;
        uint8_t status;
    };
    const Case cases[] = {
        {emu::Fault::Silent, false, 0, 0},
        {emu::Fault::WrongEcho, true, 6 ^ 0x80, 0},
        {emu::Fault::RefuseFE, true, 6, 0xFE},
        {emu::Fault::RefuseFF, true, 6, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        BridgeListener ctrl;
        EmulatedHidBridge bridge;
        ctrl.Listen(bridge, kCtrlUnit, UnitTag::Ctrl);
        bridge.SetFault(c.fault, 2);
        EXPECT_GT(Write(bridge, SetBrightness(1)), 0);
        EXPECT_GT(Write(bridge, SetBrightness(2)), 0);
        EXPECT_GT(Write(bridge, SetBrightness(3)), 0);
        bridge.WaitDelivered();
        const auto delivered = ctrl.Take();
        ASSERT_EQ(delivered.size(), c.answered ? 3u : 1u);
        for (size_t i = 0; i + 1 < delivered.size(); ++i) {
            EXPECT_EQ(delivered[i].report[frame::kCommand], c.echo);
            EXPECT_EQ(delivered[i].report[frame::kStatus], c.status);
        }
        EXPECT_EQ(delivered.back().report[frame::kCommand], 6);
        EXPECT_EQ(delivered.back().report[frame::kStatus], 0);
        EXPECT_EQ(bridge.FramesReceived(), 3);
        bridge.WithFirmware(
            [](emu::KeyboardFirmware& firmware) { EXPECT_EQ(firmware.Memory().lighting[1], 3); });
    }
}

TEST(EmulatedHidBridge, UnplugAfterAnswersThenDetaches) {
    BridgeListener ctrl;
    EmulatedHidBridge bridge;
    ctrl.Listen(bridge, kCtrlUnit, UnitTag::Ctrl);
    bridge.SetFault(emu::Fault::UnplugAfter, 2);
    EXPECT_GT(Write(bridge, Request(3, 28)), 0);
    EXPECT_GT(Write(bridge, Request(3, 28)), 0);
    EXPECT_EQ(Write(bridge, Request(3, 28)), 0);
    EXPECT_EQ(Count(bridge), 0);
    bridge.WaitDelivered();
    const auto delivered = ctrl.Take();
    ASSERT_EQ(delivered.size(), 3u);
    EXPECT_EQ(delivered[0].kind, kReportKind);
    EXPECT_EQ(delivered[1].kind, kReportKind);
    EXPECT_EQ(delivered[2].kind, kCountKind);
    EXPECT_EQ(delivered[2].lengthOrCount, 0u);
    EXPECT_EQ(bridge.FramesReceived(), 2);
}

TEST(EmulatedHidBridge, MacroPlayOnTheKeyboardIsAnnouncedOnCons) {
    BridgeListener cons;
    EmulatedHidBridge bridge;
    cons.Listen(bridge, kConsUnit, UnitTag::Cons);
    bridge.WithFirmware([](emu::KeyboardFirmware& firmware) {
        const uint8_t image[] = {
            0xAA, 0x55, 26, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 26 bytes, 1 macro
            18,   0,                                               // block at 18
            1,    0,    1,  0,                                     // 1 action, played once
            0x01, 0xA0, 2,  4,                                     // press A, 10 ms
        };
        std::copy(std::begin(image), std::end(image), firmware.Memory().macroMemory.begin());
        firmware.Memory().keyMaps[0][18 * 3] = 5;
        firmware.Memory().keyMaps[0][18 * 3 + 1] = 1;
        firmware.Memory().keyMaps[0][18 * 3 + 2] = 0;
        firmware.Press(18);
        firmware.RunUntilIdle();
    });
    bridge.WaitDelivered();
    const auto delivered = cons.Take();
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0].tag, static_cast<uint32_t>(UnitTag::Cons));
    EXPECT_EQ(EventCode(delivered[0]), emu::keyboard_event::kMacroStarted);
    EXPECT_EQ(EventCode(delivered[1]), emu::keyboard_event::kMacroStopped);
}

TEST(EmulatedHidBridge, CallbackMayCallTheBridgeAndDeletedReadsHearNothing) {
    EmulatedHidBridge bridge;
    const std::array<uint8_t, 2> status{0x05, 0x03};
    uint32_t ledId = 0;
    UnitCallback bankToggle = [&](const UnitNotification&) {
        bridge.DeleteRequestFromUnitId(ledId);
        bridge.RequestStatusWrite(kLedUnit, nullptr, UnitTag::Led, status,
                                  ArgumentCheck(kLedUnit, nullptr, 0x004C4544, status), &ledId);
        return 1;
    };
    uint32_t consId = 0;
    bridge.RequestAsyncRead(kConsUnit, &bankToggle, UnitTag::Cons,
                            ArgumentCheck(kConsUnit, &bankToggle, 0x434F4E53, {}), &consId);
    bridge.WithFirmware([](emu::KeyboardFirmware& firmware) { firmware.ToggleBank(); });
    bridge.WaitDelivered();
    EXPECT_EQ(bridge.LedStatusWrites().size(), 1u);
    EXPECT_NE(ledId, 0u);
    EXPECT_EQ(bridge.DeleteRequestFromUnitId(consId), 1);
    EXPECT_EQ(bridge.DeleteRequestFromUnitId(0), 1);
    bridge.SendConsumerEvent(0x02FF);
    bridge.WaitDelivered();
    EXPECT_EQ(bridge.LedStatusWrites().size(), 1u);
}

TEST(ReportPacer, SlotsFallOnTicksOnePerDirection) {
    using namespace std::chrono_literals;
    const auto epoch = emu::ReportPacer::Clock::now();
    emu::ReportPacer pacer(epoch);
    EXPECT_EQ(pacer.NextSlot(emu::Direction::ToKeyboard, epoch + 300us), epoch + 300us);
    pacer.SetInterval(1000us);
    EXPECT_EQ(pacer.NextSlot(emu::Direction::ToKeyboard, epoch + 300us), epoch + 1000us);
    EXPECT_EQ(pacer.NextSlot(emu::Direction::ToKeyboard, epoch + 300us), epoch + 2000us);
    EXPECT_EQ(pacer.NextSlot(emu::Direction::ToComputer, epoch + 1000us), epoch + 1000us);
    EXPECT_EQ(pacer.NextSlot(emu::Direction::ToComputer, epoch + 1001us), epoch + 2000us);
    EXPECT_EQ(pacer.NextSlot(emu::Direction::ToKeyboard, epoch + 5500us), epoch + 6000us);
}

} // namespace
} // namespace tavrik
