#include "emulator/keyboard_events.h"
#include "emulator/keyboard_firmware.h"
#include "frame_builder.h"

#include <gtest/gtest.h>

namespace tavrik::emu {
namespace {

constexpr uint8_t kKeyA = 19; // KeyPosition of the A key
constexpr uint8_t kKeyQ = 18;

HidEvent Key(uint64_t t, uint16_t usage, bool down) {
    return {t, hid_page::kKeyboard, usage, down};
}

HidEvent Media(uint64_t t, uint16_t usage, bool down) {
    return {t, hid_page::kConsumer, usage, down};
}

void SetEntry(KeyboardFirmware& firmware, int profile, uint8_t position,
              std::array<uint8_t, 3> entry) {
    std::copy(entry.begin(), entry.end(),
              firmware.Memory().keyMaps[profile].begin() + position * 3);
}

void StoreImage(KeyboardFirmware& firmware, const std::vector<uint8_t>& image) {
    std::copy(image.begin(), image.end(), firmware.Memory().macroMemory.begin());
}

std::vector<uint16_t> EventCodes(KeyboardFirmware& firmware) {
    std::vector<uint16_t> codes;
    for (const OutputReport& report : firmware.TakeReports()) {
        EXPECT_EQ(report.unit, UnitTag::Cons);
        EXPECT_EQ(report.bytes.size(), kConsumerReportSize);
        codes.push_back(static_cast<uint16_t>(report.bytes[0] | (report.bytes[1] << 8)));
    }
    return codes;
}

// One macro: press A (50 ms), release A (20 ms), press volume up (0 ms), played twice.
const std::vector<uint8_t> kTwiceMacroImage = {
    0xAA, 0x55, 34,   0,    1, 0, 0, 0,
    0,    0,    0,    0,    0, 0, 0, 0, // header: 34 bytes, 1 macro, no names
    18,   0,                            // block at 18
    3,    0,    2,    0,                // 3 actions, loop count 2, no name
    0x05, 0xA0, 2,    4,                // press, keyboard, 5 x 10 ms; A
    0x02, 0x20, 2,    4,                // release, keyboard, 2 x 10 ms; A
    0x00, 0xB0, 0xE9, 0x00,             // press, consumer, 0 ms; volume up
};

TEST(Typing, KeyMapEntriesTypeWhatTheyMean) {
    struct Case {
        const char* what;
        std::array<uint8_t, 3> entry;
        std::vector<HidEvent> expected;
    };
    const Case cases[] = {
        {"default A", {2, 2, 0x04}, {Key(0, 0x04, true), Key(0, 0x04, false)}},
        {"remapped to W", {2, 2, 0x1A}, {Key(0, 0x1A, true), Key(0, 0x1A, false)}},
        {"left Shift and right Shift",
         {2, 1, 0x22},
         {Key(0, 0xE1, true), Key(0, 0xE5, true), Key(0, 0xE1, false), Key(0, 0xE5, false)}},
        {"play/pause", {3, 0xCD, 0x00}, {Media(0, 0xCD, true), Media(0, 0xCD, false)}},
        {"calculator", {3, 0x92, 0x01}, {Media(0, 0x192, true), Media(0, 0x192, false)}},
        {"sleep",
         {4, 0x82, 0x00},
         {{0, hid_page::kGenericDesktop, 0x82, true}, {0, hid_page::kGenericDesktop, 0x82, false}}},
        {"function key 10",
         {5, 5, 10},
         {{0, hid_page::kFunctionKey, 10, true}, {0, hid_page::kFunctionKey, 10, false}}},
        {"disabled", {0, 0, 0}, {}},
        {"keyboard usage 0", {2, 2, 0}, {}},
        {"empty modifier mask", {2, 1, 0}, {}},
        {"G key of the factory layout", {5, 0, 0}, {}},
        {"unknown kind", {0xAA, 0x55, 0xFF}, {}},
        {"stop with no macro playing", {5, 2, 0}, {}},
        {"macro not in memory", {5, 1, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardFirmware firmware;
        SetEntry(firmware, 0, kKeyA, c.entry);
        firmware.Press(kKeyA);
        firmware.Release(kKeyA);
        EXPECT_EQ(firmware.TakeTyped(), c.expected);
        EXPECT_TRUE(firmware.TakeReports().empty());
    }
}

TEST(Typing, MacroWithLoopCountTwoPlaysTwiceAndAnnouncesStartAndStop) {
    KeyboardFirmware firmware;
    StoreImage(firmware, kTwiceMacroImage);
    SetEntry(firmware, 0, kKeyQ, {5, 1, 0});
    firmware.Advance(1000);
    firmware.Press(kKeyQ);
    firmware.Release(kKeyQ);
    EXPECT_TRUE(firmware.MacroPlaying());
    EXPECT_EQ(EventCodes(firmware), std::vector<uint16_t>{keyboard_event::kMacroStarted});
    firmware.RunUntilIdle();
    EXPECT_FALSE(firmware.MacroPlaying());
    const std::vector<HidEvent> expected = {
        Key(1000, 0x04, true),
        Key(1050, 0x04, false),
        Media(1070, 0xE9, true),
        Key(1070, 0x04, true),
        Key(1120, 0x04, false),
        Media(1140, 0xE9, false), // the macro ends after its last pause and lets go of volume up
    };
    EXPECT_EQ(firmware.TakeTyped(), expected);
    EXPECT_EQ(EventCodes(firmware), std::vector<uint16_t>{keyboard_event::kMacroStopped});
    EXPECT_EQ(firmware.Now(), 1140u);
}

TEST(Typing, StopKeyEndsTheMacroAndReleasesWhatItHolds) {
    KeyboardFirmware firmware;
    StoreImage(firmware, kTwiceMacroImage);
    SetEntry(firmware, 0, kKeyQ, {5, 1, 0});
    SetEntry(firmware, 0, kKeyA, {5, 2, 0});
    firmware.Press(kKeyQ);
    firmware.Advance(30);
    firmware.Press(kKeyA);
    firmware.Advance(1000);
    EXPECT_EQ(firmware.TakeTyped(),
              (std::vector<HidEvent>{Key(0, 0x04, true), Key(30, 0x04, false)}));
    EXPECT_EQ(EventCodes(firmware), (std::vector<uint16_t>{keyboard_event::kMacroStarted,
                                                           keyboard_event::kMacroStopped}));
}

TEST(Typing, KeyHeldByTheUserStaysDownWhileAMacroUsesIt) {
    KeyboardFirmware firmware;
    StoreImage(firmware, kTwiceMacroImage);
    SetEntry(firmware, 0, kKeyQ, {5, 1, 0});
    firmware.Press(kKeyA); // A, from the default layout
    firmware.Press(kKeyQ);
    firmware.RunUntilIdle();
    firmware.Release(kKeyA);
    const auto typed = firmware.TakeTyped();
    ASSERT_EQ(typed.size(), 4u);
    EXPECT_EQ(typed.front(), Key(0, 0x04, true));
    EXPECT_EQ(typed.back(), Key(140, 0x04, false));
}

TEST(Typing, ActiveProfileChoosesTheKeyMapAndReleaseLetsGoOfWhatWasPressed) {
    KeyboardFirmware firmware;
    SetEntry(firmware, 1, kKeyA, {2, 2, 0x1A});
    std::vector<uint8_t> settings(firmware.Memory().settings.begin(),
                                  firmware.Memory().settings.end());
    settings[10] = 1;
    firmware.Press(kKeyA); // profile 0: A
    firmware.Answer(test::Request(4, 28, 0, settings));
    firmware.Release(kKeyA);
    firmware.Press(kKeyA); // profile 1: W
    firmware.Release(kKeyA);
    EXPECT_EQ(firmware.TakeTyped(),
              (std::vector<HidEvent>{Key(0, 0x04, true), Key(0, 0x04, false), Key(0, 0x1A, true),
                                     Key(0, 0x1A, false)}));
}

TEST(Typing, DamagedMacroImagesPlayNothing) {
    struct Case {
        const char* what;
        std::vector<uint8_t> image;
    };
    std::vector<uint8_t> shortBlock = kTwiceMacroImage;
    shortBlock[18] = 4; // four actions in a block that holds three
    std::vector<uint8_t> tableOutside = kTwiceMacroImage;
    tableOutside[16] = 0xF0; // block offset past the image
    std::vector<uint8_t> lengthPastMemory = kTwiceMacroImage;
    lengthPastMemory[3] = 0xFF;
    std::vector<uint8_t> noMagic = kTwiceMacroImage;
    noMagic[0] = 0;
    std::vector<uint8_t> tooManyMacros = kTwiceMacroImage;
    tooManyMacros[4] = 20; // offset table runs past the 34-byte image
    const Case cases[] = {
        {"action count past the image", shortBlock},
        {"block offset past the image", tableOutside},
        {"image length past the memory", lengthPastMemory},
        {"no magic", noMagic},
        {"offset table past the image", tooManyMacros},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardFirmware firmware({.macroCapacityUnits = 1});
        StoreImage(firmware, c.image);
        SetEntry(firmware, 0, kKeyQ, {5, 1, 0});
        firmware.Press(kKeyQ);
        firmware.RunUntilIdle();
        EXPECT_TRUE(firmware.TakeTyped().empty());
        EXPECT_TRUE(firmware.TakeReports().empty());
    }
}

TEST(Typing, StartingAnotherMacroStopsTheOneThatPlays) {
    KeyboardFirmware firmware;
    StoreImage(firmware, kTwiceMacroImage);
    SetEntry(firmware, 0, kKeyQ, {5, 1, 0});
    SetEntry(firmware, 0, kKeyA, {5, 1, 0});
    firmware.Press(kKeyQ);
    firmware.Advance(10);
    firmware.Press(kKeyA);
    firmware.RunUntilIdle();
    EXPECT_EQ(
        EventCodes(firmware),
        (std::vector<uint16_t>{keyboard_event::kMacroStarted, keyboard_event::kMacroStopped,
                               keyboard_event::kMacroStarted, keyboard_event::kMacroStopped}));
    const auto typed = firmware.TakeTyped();
    ASSERT_GE(typed.size(), 3u);
    EXPECT_EQ(typed[1], Key(10, 0x04, false)); // the first playback lets go of A when it stops
    EXPECT_EQ(typed[2], Key(10, 0x04, true));
}

TEST(KeyboardEvents, BankAndLightingHotKeyReportTheirCodes) {
    KeyboardFirmware firmware({.offeredEffects = {1, 0, 6, 9}});
    firmware.ToggleBank();
    EXPECT_EQ(firmware.Bank(), 1);
    firmware.ToggleBank();
    EXPECT_EQ(firmware.Bank(), 0);
    firmware.LightingHotKey(); // effect 9 is last: wraps to 1
    EXPECT_EQ(firmware.Memory().lighting[0], 1);
    firmware.LightingHotKey(); // skips the empty slot
    EXPECT_EQ(firmware.Memory().lighting[0], 6);
    EXPECT_EQ(EventCodes(firmware), (std::vector<uint16_t>{0x02FF, 0x02FF, 0x0401, 0x0401}));
    firmware.ReceiveLedStatus({0x05, 0x03});
    EXPECT_EQ(firmware.LedStatusWrites(), (std::vector<LedStatus>{{0x05, 0x03}}));
}

TEST(KeyboardEvents, PowerOffForgetsVolatileStateButKeepsMemory) {
    KeyboardFirmware firmware;
    StoreImage(firmware, kTwiceMacroImage);
    SetEntry(firmware, 0, kKeyQ, {5, 1, 0});
    firmware.Answer(test::Request(1));
    firmware.ToggleBank();
    firmware.Press(kKeyQ);
    const KeyboardMemory memory = firmware.Memory();
    firmware.PowerOff();
    EXPECT_FALSE(firmware.InConfiguration());
    EXPECT_FALSE(firmware.MacroPlaying());
    EXPECT_EQ(firmware.Bank(), 0);
    EXPECT_TRUE(firmware.TakeReports().empty());
    EXPECT_EQ(firmware.Memory(), memory);
    firmware.TakeTyped();
    firmware.Press(kKeyQ); // the key counts as released again
    EXPECT_TRUE(firmware.MacroPlaying());
}

} // namespace
} // namespace tavrik::emu
