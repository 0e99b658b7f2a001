// Keyboards coming and going, against the emulated keyboard: what is read, what the window is
// asked to do and in which order, and the count that is kept.

#include "device/active_profile.h"
#include "emulator/emulated_hid_bridge.h"
#include "events/device_link.h"
#include "tests/events/recording_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavrik {
namespace {

using test::RecordingWindow;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A factory key map that differs from the built-in one, so a successful read shows.
KeyMapBlock DistinctLayout() {
    KeyMapBlock layout = kDefaultLayout;
    layout[0] = 0x02;
    layout[1] = 0x02;
    layout[2] = 0x04;
    return layout;
}

emu::FirmwareConfig DistinctKeyboard() {
    emu::FirmwareConfig config;
    config.defaultLayout = DistinctLayout();
    config.macroCapacityUnits = 24;
    config.activeProfile = 2;
    return config;
}

class PresenceTest : public ::testing::Test {
protected:
    explicit PresenceTest(bool pluggedAtStart = false)
        : keyboard_(DistinctKeyboard(), pluggedAtStart) {}

    void StartLink() {
        link_.Start();
        Settle();
    }
    // Waits until the notifications sent so far have been handled.
    void Settle() {
        keyboard_.WaitDelivered();
        link_.Presence().WaitUntilHandled();
    }
    void Notify(uint32_t kind, UnitTag tag, uint32_t count) {
        UnitNotification notification;
        notification.kind = kind;
        notification.event.tag = static_cast<uint32_t>(tag);
        notification.event.lengthOrCount = count;
        link_.Listener().OnNotification(notification);
        Settle();
    }

    EmulatedHidBridge keyboard_;
    KeyboardFacts facts_;
    RecordingWindow window_;
    DeviceLink link_{keyboard_, facts_, window_};
};

TEST_F(PresenceTest, AKeyboardPluggedAfterStartIsReadAndShown) {
    StartLink();
    EXPECT_THAT(window_.Calls(), IsEmpty()); // no keyboard: the start-up count changes nothing
    EXPECT_EQ(keyboard_.FramesReceived(), 0);

    keyboard_.Plug();
    Settle();

    EXPECT_THAT(window_.Calls(), ElementsAre("reload", "tray 0 141"));
    EXPECT_EQ(facts_.DefaultLayout(), DistinctLayout());
    EXPECT_EQ(facts_.MacroCapacity(), 24 * 128);
    EXPECT_EQ(link_.Presence().KeyboardCount(), 1);
}

TEST_F(PresenceTest, AnUnchangedCountAsksTheWindowToLookAtAccessAgain) {
    StartLink();
    EXPECT_EQ(window_.accessRechecks.load(), 1); // the start-up count of no keyboard
    // The transport tells the count again when a keyboard it may not open comes or goes.
    Notify(static_cast<uint32_t>(NotificationKind::CountChanged), UnitTag::Ctrl, 0);
    EXPECT_EQ(window_.accessRechecks.load(), 2);
    EXPECT_THAT(window_.Calls(), IsEmpty());

    keyboard_.Plug();
    Settle();
    EXPECT_EQ(window_.accessRechecks.load(), 2); // a new count is shown, not rechecked
    EXPECT_THAT(window_.Calls(), ElementsAre("reload", "tray 0 141"));
}

TEST_F(PresenceTest, ASecondKeyboardIsReadAgainAndTheIconStays) {
    StartLink();
    keyboard_.Plug();
    Settle();
    window_.Clear();
    KeyMapBlock changed = DistinctLayout();
    changed[5] = 0x07;
    keyboard_.WithFirmware([&](emu::KeyboardFirmware& f) { f.Memory().defaultLayout = changed; });

    Notify(0, UnitTag::Ctrl, 2);

    EXPECT_THAT(window_.Calls(), ElementsAre("reload", "tray 0 141"));
    EXPECT_EQ(facts_.DefaultLayout(), changed);
    EXPECT_EQ(link_.Presence().KeyboardCount(), 2);
}

TEST_F(PresenceTest, UnpluggingHidesTheWindowAndForgetsTheActiveProfile) {
    StartLink();
    keyboard_.Plug();
    Settle();
    ASSERT_EQ(GetActiveProfileIndex(link_.Commands(), facts_), 2);
    window_.Clear();

    keyboard_.Unplug();
    Settle();

    EXPECT_THAT(window_.Calls(), ElementsAre("hide", "tray 0 128"));
    EXPECT_EQ(facts_.ActiveProfile(), -1);
    EXPECT_EQ(link_.Presence().KeyboardCount(), 0);
}

TEST_F(PresenceTest, ARepeatedCountDoesNothing) {
    StartLink();
    keyboard_.Plug();
    Settle();
    window_.Clear();
    const int frames = keyboard_.FramesReceived();

    Notify(0, UnitTag::Ctrl, 1);

    EXPECT_THAT(window_.Calls(), IsEmpty());
    EXPECT_EQ(keyboard_.FramesReceived(), frames);
}

TEST_F(PresenceTest, AKeyboardRefusingItsLayoutIsStillReloadedWithOneMessage) {
    StartLink();
    keyboard_.SetFault(emu::Fault::RefuseFE, 3); // the three tries of the layout's first frame

    keyboard_.Plug();
    Settle();

    EXPECT_THAT(window_.Calls(), ElementsAre("message", "reload", "tray 0 141"));
    EXPECT_THAT(window_.Messages(), ElementsAre(u"读取默认键盘布局失败"));
    EXPECT_EQ(facts_.DefaultLayout(), kDefaultLayout);
    EXPECT_EQ(facts_.MacroCapacity(), 24 * 128); // the settings read still ran
}

TEST_F(PresenceTest, TheIconWaitsForTheWindowToBeReady) {
    window_.ready = false;
    StartLink();
    keyboard_.Plug();
    keyboard_.WaitDelivered();
    while (window_.Calls().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_THAT(window_.Calls(), ElementsAre("reload"));
    EXPECT_EQ(link_.Presence().KeyboardCount(), 0);

    window_.ready = true;
    Settle();

    EXPECT_THAT(window_.Calls(), ElementsAre("reload", "tray 0 141"));
    EXPECT_EQ(link_.Presence().KeyboardCount(), 1);
}

TEST_F(PresenceTest, StoppingGivesUpWaitingForAWindowThatNeverGetsReady) {
    window_.ready = false;
    StartLink();
    keyboard_.Plug();
    keyboard_.WaitDelivered();

    link_.Presence().Stop(); // returns: the waiting handler gives up

    EXPECT_EQ(link_.Presence().KeyboardCount(), 0);
    EXPECT_THAT(window_.Calls(), ::testing::Not(::testing::Contains("tray 0 141")));
}

class PluggedAtStartTest : public PresenceTest {
protected:
    PluggedAtStartTest()
        : PresenceTest(true) {}
};

TEST_F(PluggedAtStartTest, TheStartUpCountReadsTheKeyboard) {
    StartLink();
    EXPECT_THAT(window_.Calls(), ElementsAre("reload", "tray 0 141"));
    EXPECT_EQ(facts_.DefaultLayout(), DistinctLayout());
}

TEST_F(PluggedAtStartTest, ReloadSeesTheReadsAlreadyDone) {
    KeyMapBlock layoutAtReload{};
    window_.onReload = [&] { layoutAtReload = facts_.DefaultLayout(); };
    StartLink();
    EXPECT_EQ(layoutAtReload, DistinctLayout());
}

} // namespace
} // namespace tavrik
