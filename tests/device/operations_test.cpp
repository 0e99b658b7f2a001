// The keyboard operations built on the command set: attach reads, the active hardware profile,
// the lighting read and the read of key maps and macros.
#include "device/active_profile.h"
#include "device/attach_reads.h"
#include "device/default_layout.h"
#include "device/device_texts.h"
#include "device/keyboard_readout.h"
#include "device/lighting_readout.h"
#include "keyboard_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrik {
namespace {

using test::KeyboardRig;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint8_t kBegin = 1, kEnd = 2, kReadSettings = 3, kWriteSettings = 4, kReadLighting = 5,
                  kReadKeyMap = 7, kReadMacros = 9, kReadDefaultLayout = 15, kReadColours = 16;

KeyMapBlock DistinctLayout() {
    KeyMapBlock layout = kDefaultLayout;
    layout[0] = 0x02;
    layout[1] = 0x02;
    layout[2] = 0x04;
    return layout;
}

emu::FirmwareConfig Keyboard(uint8_t activeProfile, uint8_t capacityUnits = 24) {
    emu::FirmwareConfig config;
    config.activeProfile = activeProfile;
    config.macroCapacityUnits = capacityUnits;
    config.defaultLayout = DistinctLayout();
    return config;
}

std::vector<uint8_t> Repeat(uint8_t command, int times) {
    return std::vector<uint8_t>(static_cast<size_t>(times), command);
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(AttachReads, KeepTheKeyboardsLayoutAndMacroCapacity) {
    KeyboardRig rig(Keyboard(0, 24));
    KeyboardFacts facts;
    std::vector<std::u16string> messages;
    const auto results = ReadAttachedKeyboard(
        rig.commands, facts, [&](std::u16string_view m) { messages.emplace_back(m); });
    EXPECT_EQ(results.defaultLayout, DeviceResult::Done);
    EXPECT_EQ(results.settings, DeviceResult::Done);
    EXPECT_EQ(facts.DefaultLayout(), DistinctLayout());
    EXPECT_EQ(facts.MacroCapacity(), 24 * 128);
    EXPECT_THAT(messages, IsEmpty());
    EXPECT_EQ(rig.log.Commands(), Concat({Repeat(kReadDefaultLayout, 9), {kReadSettings}}));
}

TEST(AttachReads, FailedLayoutReadShowsTheMessageAndKeepsThePreviousLayout) {
    KeyboardRig rig(Keyboard(0, 24));
    rig.FaultOnCommand(kReadDefaultLayout, emu::Fault::Silent);
    KeyboardFacts facts;
    std::vector<std::u16string> messages;
    ReadAttachedKeyboard(rig.commands, facts,
                         [&](std::u16string_view m) { messages.emplace_back(m); });
    EXPECT_THAT(messages, ElementsAre(std::u16string(u"读取默认键盘布局失败")));
    EXPECT_EQ(facts.DefaultLayout(), kDefaultLayout);
    EXPECT_EQ(facts.MacroCapacity(), 24 * 128); // the settings are still read
}

TEST(AttachReads, FailedSettingsReadKeepsTheCapacity) {
    KeyboardRig rig(Keyboard(0, 24));
    rig.FaultOnCommand(kReadSettings, emu::Fault::RefuseFE);
    KeyboardFacts facts;
    facts.SetMacroCapacity(512);
    EXPECT_EQ(ReadAttachedKeyboard(rig.commands, facts, {}).settings, DeviceResult::RefusedFE);
    EXPECT_EQ(facts.MacroCapacity(), 512);
}

TEST(ActiveProfile, IsAskedOnceAndThenCached) {
    KeyboardRig rig(Keyboard(2));
    KeyboardFacts facts;
    EXPECT_EQ(GetActiveProfileIndex(rig.commands, facts), 2);
    EXPECT_EQ(GetActiveProfileIndex(rig.commands, facts), 2);
    EXPECT_EQ(rig.log.Commands(), std::vector<uint8_t>{kReadSettings});
    EXPECT_EQ(facts.ActiveProfile(), 2);
}

TEST(ActiveProfile, UnreadableKeyboardGivesUnknown) {
    KeyboardRig rig(Keyboard(2));
    rig.keyboard.SetFault(emu::Fault::Silent, 3);
    KeyboardFacts facts;
    EXPECT_EQ(GetActiveProfileIndex(rig.commands, facts), kUnknownProfile);
    EXPECT_EQ(facts.ActiveProfile(), kUnknownProfile);
}

TEST(ActiveProfile, SwitchWritesByteTenAndCachesTheIndex) {
    KeyboardRig rig(Keyboard(0));
    KeyboardFacts facts;
    EXPECT_EQ(SetActiveProfileIndex(rig.commands, facts, 2), DeviceResult::Done);
    EXPECT_EQ(facts.ActiveProfile(), 2);
    EXPECT_EQ(rig.keyboard.WithFirmware([](auto& fw) { return fw.Memory().ActiveProfile(); }), 2);
    EXPECT_EQ(rig.log.Commands(), (std::vector<uint8_t>{kReadSettings, kWriteSettings}));
}

TEST(ActiveProfile, RefusedWriteLeavesTheCacheUnknownSoTheNextReadAsks) {
    KeyboardRig rig(Keyboard(1));
    rig.FaultOnCommand(kWriteSettings, emu::Fault::RefuseFE);
    KeyboardFacts facts;
    facts.SetActiveProfile(1);
    EXPECT_EQ(SetActiveProfileIndex(rig.commands, facts, 2), DeviceResult::RefusedFE);
    EXPECT_EQ(facts.ActiveProfile(), kUnknownProfile);
    rig.log.Clear();
    EXPECT_EQ(GetActiveProfileIndex(rig.commands, facts), 1);
    EXPECT_EQ(rig.log.Commands(), std::vector<uint8_t>{kReadSettings});
}

TEST(ActiveProfile, FailedSettingsReadChangesNothing) {
    KeyboardRig rig(Keyboard(1));
    rig.FaultOnCommand(kReadSettings, emu::Fault::RefuseFF);
    KeyboardFacts facts;
    facts.SetActiveProfile(1);
    EXPECT_EQ(SetActiveProfileIndex(rig.commands, facts, 0), DeviceResult::RefusedFF);
    EXPECT_EQ(facts.ActiveProfile(), 1);
    EXPECT_EQ(rig.log.Commands(), Repeat(kReadSettings, 3));
}

TEST(ActiveProfile, IndexThatDoesNotFitTheSettingsByteSendsNothing) {
    KeyboardRig rig(Keyboard(1));
    KeyboardFacts facts;
    for (int index : {-1, 256}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(SetActiveProfileIndex(rig.commands, facts, index), DeviceResult::BadBlockIndex);
    }
    EXPECT_THAT(rig.log.Frames(), IsEmpty());
    EXPECT_EQ(facts.ActiveProfile(), kUnknownProfile);
}

TEST(ActiveProfile, IndexBeyondTheThreeProfilesIsLeftToTheKeyboard) {
    KeyboardRig rig(Keyboard(1));
    KeyboardFacts facts;
    EXPECT_EQ(SetActiveProfileIndex(rig.commands, facts, 3), DeviceResult::RefusedFE);
    EXPECT_FALSE(rig.log.Frames().empty());
    EXPECT_EQ(facts.ActiveProfile(), kUnknownProfile);
}

TEST(LightingReadout, SendsTheColourReadsOnlyForThePerKeyEffect) {
    struct Case {
        const char* name;
        emu::OfferedEffects offered;
        bool withKeyTable;
        std::vector<uint8_t> commands;
    };
    const std::vector<uint8_t> withColours =
        Concat({{kReadSettings, kBegin}, Repeat(kReadColours, 9), {kReadLighting, kEnd}});
    const std::vector<uint8_t> withoutColours{kReadSettings, kBegin, kReadLighting, kEnd};
    const Case cases[] = {
        {"offered and asked for", {1, 6, 9}, true, withColours},
        {"not asked for", {1, 6, 9}, false, withoutColours},
        {"not offered", {1, 2, 9}, true, withoutColours},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        emu::FirmwareConfig config;
        config.offeredEffects = c.offered;
        KeyboardRig rig(config);
        LightingReadout readout;
        EXPECT_EQ(ReadLightingAreas(rig.commands, c.withKeyTable, readout), DeviceResult::Done);
        EXPECT_EQ(rig.log.Commands(), c.commands);
        EXPECT_EQ(readout.params, emu::FactoryLighting());
        EXPECT_EQ(readout.settings[settings_byte::kFirstEffect + 1], c.offered[1]);
    }
}

TEST(LightingReadout, FailingSettingsReadSendsNothingElse) {
    KeyboardRig rig;
    rig.FaultOnCommand(kReadSettings, emu::Fault::RefuseFF);
    LightingReadout readout;
    EXPECT_EQ(ReadLightingAreas(rig.commands, true, readout), DeviceResult::RefusedFF);
    EXPECT_EQ(rig.log.Commands(), Repeat(kReadSettings, 3));
    EXPECT_FALSE(readout.params.has_value());
}

TEST(LightingReadout, FailedColourChunkIsLeftOutNotFilledFromItsNeighbour) {
    KeyboardRig rig;
    rig.keyboard.WithFirmware([](auto& fw) {
        auto& colours = fw.Memory().colours;
        for (size_t i = 0; i < emu::kKeyColourTableSize; ++i)
            colours[i] = static_cast<uint8_t>(i / 54 + 1); // chunk number + 1 in every byte
    });
    rig.FaultFromFrame(2 + 3, emu::Fault::RefuseFE, 3); // the fourth colour chunk
    LightingReadout readout;
    EXPECT_EQ(ReadLightingAreas(rig.commands, true, readout), DeviceResult::Done);
    for (int chunk = 0; chunk < kColourChunkCount; ++chunk) {
        SCOPED_TRACE(chunk);
        if (chunk == 3) {
            EXPECT_FALSE(readout.colourChunks[chunk].has_value());
            continue;
        }
        ASSERT_TRUE(readout.colourChunks[chunk].has_value());
        EXPECT_EQ(readout.colourChunks[chunk]->front(), chunk + 1);
    }
    EXPECT_EQ(readout.colourChunks[8]->back(), 0); // the 6 bytes past position 159
}

void PutMacroHeader(EmulatedHidBridge& keyboard, uint16_t magic, uint16_t size, uint8_t fill) {
    keyboard.WithFirmware([&](auto& fw) {
        auto& memory = fw.Memory().macroMemory;
        std::fill(memory.begin(), memory.end(), fill);
        memory[0] = static_cast<uint8_t>(magic);
        memory[1] = static_cast<uint8_t>(magic >> 8);
        memory[2] = static_cast<uint8_t>(size);
        memory[3] = static_cast<uint8_t>(size >> 8);
    });
}

TEST(KeyboardReadout, ReadsTheKeyMapsAndTheImageTheHeaderAnnounces) {
    struct Case {
        const char* name;
        uint16_t magic;
        uint16_t size;
        size_t imageBytes;
        int macroFrames;
    };
    const int capacity = 24 * 128;
    const Case cases[] = {
        {"image of 200 bytes", 0x55AA, 200, 200, 1 + 4},
        {"image filling the memory", 0x55AA, capacity, capacity, 1 + 55},
        {"no magic", 0x1234, 200, 0, 1},
        {"size beyond the memory", 0x55AA, capacity + 1, 0, 1},
        {"size inside the header", 0x55AA, 8, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyboardRig rig(Keyboard(0, 24));
        KeyboardFacts facts;
        facts.SetMacroCapacity(capacity);
        PutMacroHeader(rig.keyboard, c.magic, c.size, 0x3C);
        rig.keyboard.WithFirmware([](auto& fw) { fw.Memory().keyMaps[2][479] = 0x99; });
        KeyMapsAndMacros out;
        EXPECT_EQ(ReadKeyMapsAndMacros(rig.commands, facts, out), DeviceResult::Done);
        EXPECT_EQ(out.keyMaps[0], DistinctLayout());
        EXPECT_EQ(out.keyMaps[2][479], 0x99);
        ASSERT_EQ(out.macroImage.size(), c.imageBytes);
        if (!out.macroImage.empty()) {
            EXPECT_EQ(out.macroImage.back(), 0x3C);
        }
        const auto commands = rig.log.Commands();
        EXPECT_EQ(std::count(commands.begin(), commands.end(), kReadMacros), c.macroFrames);
    }
}

TEST(KeyboardReadout, FirstFailingKeyMapEndsTheRead) {
    KeyboardRig rig;
    rig.FaultFromFrame(9 + 2, emu::Fault::Silent, 3); // third frame of block 1
    KeyboardFacts facts;
    KeyMapsAndMacros out;
    EXPECT_EQ(ReadKeyMapsAndMacros(rig.commands, facts, out), DeviceResult::NoAnswer);
    EXPECT_EQ(rig.log.Commands(), Repeat(kReadKeyMap, 9 + 2 + 3));
    EXPECT_THAT(out.macroImage, IsEmpty());
}

} // namespace
} // namespace tavrik
