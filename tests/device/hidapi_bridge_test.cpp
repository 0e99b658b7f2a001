// The hidapi backend's own logic on a fake platform: which nodes it opens, how it routes reports
// of units sharing a node, hot-plug counts, keyboards it may not open, and a whole frame exchange.
#include "device/device_commands.h"
#include "device/frame_exchange.h"
#include "device/hidapi_bridge.h"
#include "fake_hid_platform.h"
#include "keyboard_nodes.h"
#include "notification_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tavrik {
namespace {

using test::FakeHidPlatform;
using test::FakeHidSystem;
using test::kBootKeyboard;
using test::kCons;
using test::kCtrl;
using test::kLed;
using test::kSharedDescriptor;
using test::NotificationLog;
using test::Notified;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr auto kReport = static_cast<uint32_t>(NotificationKind::ReportReceived);
constexpr auto kCount = static_cast<uint32_t>(NotificationKind::CountChanged);
constexpr auto kCtrlTag = static_cast<uint32_t>(UnitTag::Ctrl);
constexpr auto kConsTag = static_cast<uint32_t>(UnitTag::Cons);

int32_t Count(HidBridge& bridge, const UnitDescriptor& unit) {
    return bridge.RequestGetDeviceCount(unit, ArgumentCheck(unit, nullptr, 0, {}));
}

int32_t Write(HidBridge& bridge, const UnitDescriptor& unit, std::vector<uint8_t> report) {
    return bridge.RequestWriteOne(unit, report, ArgumentCheck(unit, nullptr, 0, report));
}

std::unique_ptr<HidapiBridge> StartBridge(FakeHidSystem& system) {
    std::string error;
    auto bridge = HidapiBridge::Start(std::make_unique<FakeHidPlatform>(system), &error);
    EXPECT_NE(bridge, nullptr) << error;
    return bridge;
}

std::vector<uint8_t> Frame(uint8_t command, uint8_t fill) {
    std::vector<uint8_t> frame(kFrameSize, fill);
    frame[frame::kReportId] = kConfigReportId;
    frame[frame::kCommand] = command;
    frame[frame::kStatus] = 0;
    return frame;
}

TEST(HidapiBridge, OpensOnlyTheKeyboardsUnitsEachOnItsOwnNode) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw0", {kBootKeyboard});
    system.Attach("/dev/hidraw1", {kCons});
    system.Attach("/dev/hidraw2", {kCtrl});
    system.Attach("/dev/hidraw3", {kLed});
    NotificationLog cons;
    auto bridge = StartBridge(system);
    cons.Listen(*bridge, kConsUnit, UnitTag::Cons);

    EXPECT_EQ(system.OpenCount("/dev/hidraw0"), 0);
    for (const auto& unit : {kLedUnit, kConsUnit, kCtrlUnit})
        EXPECT_EQ(Count(*bridge, unit), 1);
    EXPECT_EQ(Write(*bridge, kCtrlUnit, Frame(3, 0)), 64);
    EXPECT_THAT(system.Written("/dev/hidraw2"), ElementsAre(Frame(3, 0)));
    system.Input("/dev/hidraw1", {0xFF, 0x02});
    EXPECT_THAT(cons.WaitFor(1), ElementsAre(Notified{kReport, kConsTag, 2, {0xFF, 0x02}}));
}

TEST(HidapiBridge, RoutesReportsOfASharedNodeByReportId) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw4", {kCons, kCtrl, kLed}, kSharedDescriptor);
    NotificationLog cons;
    NotificationLog ctrl;
    auto bridge = StartBridge(system);
    cons.Listen(*bridge, kConsUnit, UnitTag::Cons);
    ctrl.Listen(*bridge, kCtrlUnit, UnitTag::Ctrl);

    system.Input("/dev/hidraw4", {9, 1, 2});       // nobody's report: dropped
    system.Input("/dev/hidraw4", {3, 0x11, 0x18}); // event 0x1811 without its report id
    system.Input("/dev/hidraw4", Frame(3, 0x2A));  // a configuration answer, whole
    EXPECT_THAT(cons.WaitFor(1), ElementsAre(Notified{kReport, kConsTag, 2, {0x11, 0x18}}));
    EXPECT_THAT(ctrl.WaitFor(1), ElementsAre(Notified{kReport, kCtrlTag, 64, Frame(3, 0x2A)}));
    EXPECT_EQ(system.OpenCount("/dev/hidraw4"), 1);

    uint32_t id = 0;
    const std::array<uint8_t, 2> status{0x05, 0x03};
    EXPECT_GT(bridge->RequestStatusWrite(kLedUnit, nullptr, UnitTag::Led, status,
                                         ArgumentCheck(kLedUnit, nullptr, 0x004C4544, status), &id),
              0);
    EXPECT_THAT(system.Written("/dev/hidraw4"), ElementsAre(ElementsAre(0x05, 0x03)));
}

TEST(HidapiBridge, HotplugChangesTheCountsAndTellsTheStandingReads) {
    FakeHidSystem system;
    NotificationLog ctrl;
    NotificationLog cons;
    auto bridge = StartBridge(system);
    ctrl.Listen(*bridge, kCtrlUnit, UnitTag::Ctrl);
    cons.Listen(*bridge, kConsUnit, UnitTag::Cons);
    EXPECT_EQ(Count(*bridge, kCtrlUnit), 0);

    system.Attach("/dev/hidraw5", {kCons, kCtrl, kLed}, kSharedDescriptor);
    system.Hotplug();
    EXPECT_EQ(Count(*bridge, kCtrlUnit), 1);
    system.Hotplug(); // an event that changes nothing tells nobody
    system.Detach("/dev/hidraw5");
    system.Hotplug();
    EXPECT_EQ(Count(*bridge, kCtrlUnit), 0);
    EXPECT_EQ(Write(*bridge, kCtrlUnit, Frame(1, 0)), 0);

    EXPECT_THAT(ctrl.Seen(),
                ElementsAre(Notified{kCount, kCtrlTag, 1, {}}, Notified{kCount, kCtrlTag, 0, {}}));
    EXPECT_THAT(cons.Seen(),
                ElementsAre(Notified{kCount, kConsTag, 1, {}}, Notified{kCount, kConsTag, 0, {}}));
}

TEST(HidapiBridge, KeyboardWithoutAccessIsPresentButNotCounted) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw6", {kCons, kCtrl, kLed}, kSharedDescriptor);
    system.SetAccess("/dev/hidraw6", false);
    NotificationLog ctrl;
    auto bridge = StartBridge(system);
    ctrl.Listen(*bridge, kCtrlUnit, UnitTag::Ctrl);
    EXPECT_EQ(Count(*bridge, kCtrlUnit), 0);
    EXPECT_TRUE(bridge->KeyboardPresentButNotAccessible());

    system.SetAccess("/dev/hidraw6", true); // the udev rule was installed and applied
    system.Hotplug();
    EXPECT_EQ(Count(*bridge, kCtrlUnit), 1);
    EXPECT_FALSE(bridge->KeyboardPresentButNotAccessible());
    EXPECT_THAT(ctrl.Seen(), ElementsAre(Notified{kCount, kCtrlTag, 1, {}}));
}

TEST(HidapiBridge, KeyboardThatMayNotBeOpenedIsToldWithTheUnchangedCount) {
    FakeHidSystem system;
    NotificationLog ctrl;
    auto bridge = StartBridge(system);
    ctrl.Listen(*bridge, kCtrlUnit, UnitTag::Ctrl);
    system.Attach("/dev/hidraw6", {kCons, kCtrl, kLed}, kSharedDescriptor);
    system.SetAccess("/dev/hidraw6", false);
    system.Hotplug();
    EXPECT_TRUE(bridge->KeyboardPresentButNotAccessible());
    system.Hotplug(); // still there, still closed: nothing new to tell
    system.Detach("/dev/hidraw6");
    system.Hotplug();
    EXPECT_FALSE(bridge->KeyboardPresentButNotAccessible());
    EXPECT_THAT(ctrl.Seen(),
                ElementsAre(Notified{kCount, kCtrlTag, 0, {}}, Notified{kCount, kCtrlTag, 0, {}}));
}

TEST(HidapiBridge, RefusesCallsWhoseCheckDoesNotMatch) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw7", {kCtrl});
    auto bridge = StartBridge(system);
    const std::vector<uint8_t> frame = Frame(1, 0);
    EXPECT_EQ(
        bridge->RequestWriteOne(kCtrlUnit, frame, ArgumentCheck(kCtrlUnit, nullptr, 0, frame) + 1),
        kArgumentCheckRefused);
    EXPECT_EQ(bridge->RequestGetDeviceCount(kCtrlUnit, 0), kArgumentCheckRefused);
    EXPECT_THAT(system.Written("/dev/hidraw7"), IsEmpty());
}

TEST(HidapiBridge, DoesNotStartWithoutAHotplugWatch) {
    FakeHidSystem system;
    std::string error;
    EXPECT_EQ(HidapiBridge::Start(std::make_unique<FakeHidPlatform>(system, false), &error),
              nullptr);
    EXPECT_THAT(error, ::testing::HasSubstr("libudev"));
}

// A report is being handed to a read's callback on the reader thread while another thread deletes
// the read. The deletion must return only once the callback has: the caller then destroys the
// callback. A deletion that does not wait returns while the callback is still held back below.
TEST(HidapiBridge, DeletingAReadWaitsForADeliveryInProgress) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw9", {kCons});
    auto bridge = StartBridge(system);
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    bool finished = false;
    const UnitCallback heldBack = [&](const UnitNotification& n) {
        if (n.kind != kReport)
            return 1;
        std::unique_lock lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
        finished = true;
        return 1;
    };
    uint32_t id = 0;
    bridge->RequestAsyncRead(kConsUnit, &heldBack, UnitTag::Cons,
                             ArgumentCheck(kConsUnit, &heldBack, kConsTag, {}), &id);
    system.Input("/dev/hidraw9", {0xFF, 0x02});
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return entered; }));
    }

    bool deleted = false;
    bool finishedBeforeDeletionReturned = false;
    std::thread deleter([&] {
        bridge->DeleteRequestFromUnitId(id);
        std::lock_guard lock(mutex);
        deleted = true;
        finishedBeforeDeletionReturned = finished;
        changed.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::milliseconds(200), [&] { return deleted; });
        released = true;
        changed.notify_all();
    }
    deleter.join();
    EXPECT_TRUE(finishedBeforeDeletionReturned);
}

// A callback that deletes its own read is not kept waiting for itself.
TEST(HidapiBridge, ACallbackMayDeleteItsOwnRead) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw10", {kCons});
    auto bridge = StartBridge(system);
    uint32_t id = 0;
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<int32_t> deleted;
    const UnitCallback selfDeleting = [&](const UnitNotification&) {
        const int32_t result = bridge->DeleteRequestFromUnitId(id);
        std::lock_guard lock(mutex);
        deleted = result;
        changed.notify_all();
        return 1;
    };
    bridge->RequestAsyncRead(kConsUnit, &selfDeleting, UnitTag::Cons,
                             ArgumentCheck(kConsUnit, &selfDeleting, kConsTag, {}), &id);
    system.Input("/dev/hidraw10", {0xFF, 0x02});
    std::unique_lock lock(mutex);
    ASSERT_TRUE(
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return deleted.has_value(); }));
    EXPECT_EQ(deleted, 1);
}

TEST(HidapiBridge, CarriesAWholeConfigurationExchange) {
    FakeHidSystem system;
    system.Attach("/dev/hidraw8", {kCons, kCtrl, kLed}, kSharedDescriptor);
    system.Respond("/dev/hidraw8", [](std::span<const uint8_t> request) {
        std::vector<uint8_t> answer(request.begin(), request.end());
        answer[frame::kStatus] = 0;
        answer[frame::kData + settings_byte::kMacroCapacityUnits] = 24;
        return std::vector<std::vector<uint8_t>>{{3, 0x10, 0x04},
                                                 answer}; // an event, then the answer
    });
    auto bridge = StartBridge(system);
    FrameExchange exchange(*bridge);
    const UnitCallback delivery = [&exchange](const UnitNotification& n) {
        if (n.kind == kReport && n.event.tag == kCtrlTag)
            exchange.DeliverAnswer(n.event.report, n.event.lengthOrCount);
        return 1;
    };
    uint32_t id = 0;
    bridge->RequestAsyncRead(kCtrlUnit, &delivery, UnitTag::Ctrl,
                             ArgumentCheck(kCtrlUnit, &delivery, kCtrlTag, {}), &id);
    DeviceCommands commands(exchange);
    DeviceSettings settings{};
    EXPECT_EQ(commands.ReadSettings(settings), DeviceResult::Done);
    EXPECT_EQ(settings[settings_byte::kMacroCapacityUnits], 24);
    const auto written = system.Written("/dev/hidraw8");
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].size(), kFrameSize);
    EXPECT_EQ(written[0][frame::kReportId], kConfigReportId);
    bridge->DeleteRequestFromUnitId(id);
}

} // namespace
} // namespace tavrik
