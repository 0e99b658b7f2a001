#include "assign/key_map_conversion.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrik {
namespace {

using enum KeyFunctionType;

constexpr ScanCode kQ = 0x010;
constexpr ScanCode kW = 0x011;
constexpr ScanCode kA = 0x01E;
constexpr ScanCode kLeftShift = 0x02A;
constexpr ScanCode kPreviousTrack = 0x110;

constexpr size_t kQPosition = 18;
constexpr size_t kAPosition = 19;
constexpr size_t kShiftPosition = 12;
constexpr size_t kPreviousTrackPosition = 112;
constexpr size_t kFnPosition = 53;

constexpr KeyMapEntry kQDefault{2, 2, 0x14};

// A few keys at their places in the keyboard's layout; every other position holds nothing.
KeyMapBlock SmallDefaultLayout() {
    KeyMapBlock layout{};
    WriteKeyMapEntry(layout, kQPosition, kQDefault);
    WriteKeyMapEntry(layout, kAPosition, {2, 2, 0x04});
    WriteKeyMapEntry(layout, kShiftPosition, {2, 1, 0x02});
    WriteKeyMapEntry(layout, kPreviousTrackPosition, {3, 0xB6, 0x00});
    WriteKeyMapEntry(layout, kFnPosition, {5, 2, 2});
    return layout;
}

std::vector<MacroRecord> MacrosWithIds(std::initializer_list<uint16_t> ids) {
    std::vector<MacroRecord> macros;
    for (const uint16_t id : ids) {
        macros.push_back(MacroRecord{.id = id});
    }
    return macros;
}

TEST(KeyMapConversionTest, EntryToKeyMapEntry) {
    const std::vector<MacroRecord> macros = MacrosWithIds({5, 9, 3});
    const struct {
        KeyFunctionEntry entry;
        KeyMapEntry sent;
    } cases[] = {
        {{.type = Default}, kQDefault},
        {{.type = Disabled}, {0, 0, 0}},
        {{.type = SingleKey, .value = 0x036}, {2, 1, 0x20}},
        {{.type = SingleKey, .value = kA}, {2, 2, 0x04}},
        {{.type = SingleKey, .value = 0x122}, {2, 2, 0x00}}, // no keyboard usage
        {{.type = LaunchProgram, .value = 40}, kQDefault},
        {{.type = PlayMacro, .value = 3}, {5, 1, 2}},  // third macro of the array
        {{.type = PlayMacro, .value = 42}, {5, 1, 0}}, // no such macro
        {{.type = StopMacro}, {5, 2, 0}},
        {{.type = TextBlock, .value = 8}, {0, 0, 0}},
        {{.type = Multimedia, .value = 1}, {3, 0xCD, 0x00}},
        {{.type = Multimedia, .value = 17}, {3, 0x8A, 0x01}},
        {{.type = Multimedia, .value = 18}, kQDefault}, // past the table: damaged
        {{.type = FunctionKey, .value = 10}, {5, 5, 0x0A}},
        {{.type = static_cast<KeyFunctionType>(9), .value = 1}, kQDefault},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << static_cast<int>(c.entry.type) << " value " << c.entry.value);
        EXPECT_EQ(EntryToKeyMapEntry(c.entry, kQDefault, macros), c.sent);
    }
}

TEST(KeyMapConversionTest, KeyMapBlockToLayerReadsChangedEntries) {
    const KeyMapBlock layout = SmallDefaultLayout();
    const struct {
        KeyMapEntry read;
        KeyFunctionEntry expected;
    } cases[] = {
        {kQDefault, {.type = Default}},
        {{5, 1, 2}, {.type = PlayMacro, .value = 3}}, // ids are positions + 1
        {{5, 2, 0}, {.type = StopMacro}},
        {{5, 5, 0x0A}, {.type = FunctionKey, .value = 10}},
        {{5, 5, 0x14}, {.type = FunctionKey, .value = 20}},
        {{5, 0, 0}, {.type = Disabled}},
        {{3, 0xCD, 0x00}, {.type = Multimedia, .value = 1}},
        {{3, 0x99, 0x99}, {.type = Disabled}},
        {{2, 2, 0x1A}, {.type = SingleKey, .value = kW}},
        {{2, 2, 0x00}, {.type = Disabled}},
        {{2, 1, 0x20}, {.type = SingleKey, .value = 0x036}},
        {{2, 1, 0x21}, {.type = SingleKey, .value = 0x01D}},
        {{2, 1, 0x00}, {.type = SingleKey, .value = 0}},
        {{2, 3, 0x01}, {.type = Disabled}},
        {{4, 0x81, 0x00}, {.type = Disabled}},
        {{0, 0, 0}, {.type = Disabled}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.read.kind) << " " << int(c.read.sub) << " " << int(c.read.arg));
        KeyMapBlock block = layout;
        WriteKeyMapEntry(block, kQPosition, c.read);
        const KeyFunctionLayer layer = KeyMapBlockToLayer(block, layout);
        EXPECT_EQ(layer[KeyIndexFromScan(kQ)], c.expected);
    }
}

TEST(KeyMapConversionTest, UnchangedKeyMapGivesAnEmptyLayerWithMacroKeyCodes) {
    const KeyMapBlock layout = SmallDefaultLayout();
    KeyMapBlock block = layout;
    // A position whose default entry names no key is never read into the layer.
    WriteKeyMapEntry(block, kFnPosition, {0, 0, 0});
    WriteKeyMapEntry(block, 150, {2, 2, 0x04});
    EXPECT_EQ(KeyMapBlockToLayer(block, layout), EmptyLayerWithMacroKeyCodes());
}

TEST(KeyMapConversionTest, DefaultKeysDownloadTheDefaultLayoutExactly) {
    const KeyMapBlock layout = SmallDefaultLayout();
    EXPECT_EQ(BuildKeyMap(layout, KeyFunctionLayer{}, {}), layout);
}

TEST(KeyMapConversionTest, DownloadedLayerReadsBackAsTheSameFunctions) {
    const KeyMapBlock layout = SmallDefaultLayout();
    const std::vector<MacroRecord> macros = MacrosWithIds({1, 2, 3});
    KeyFunctionLayer layer{};
    layer[KeyIndexFromScan(kQ)] = {.type = SingleKey, .value = kW};
    layer[KeyIndexFromScan(kA)] = {.type = Multimedia, .value = 1};
    layer[KeyIndexFromScan(kLeftShift)] = {.type = PlayMacro, .value = 3};
    layer[KeyIndexFromScan(kPreviousTrack)] = {.type = FunctionKey, .value = 10};
    // Macro keys stay on the computer.
    layer[MacroKeySlot(0, false)] = {.type = PlayMacro, .value = 2};

    const KeyMapBlock keyMap = BuildKeyMap(layout, layer, macros);
    EXPECT_EQ(ReadKeyMapEntry(keyMap, kQPosition), (KeyMapEntry{2, 2, 0x1A}));
    EXPECT_EQ(ReadKeyMapEntry(keyMap, kAPosition), (KeyMapEntry{3, 0xCD, 0x00}));
    EXPECT_EQ(ReadKeyMapEntry(keyMap, kShiftPosition), (KeyMapEntry{5, 1, 2}));
    EXPECT_EQ(ReadKeyMapEntry(keyMap, kPreviousTrackPosition), (KeyMapEntry{5, 5, 0x0A}));
    EXPECT_EQ(ReadKeyMapEntry(keyMap, kFnPosition), (KeyMapEntry{5, 2, 2}));

    KeyFunctionLayer expected = layer;
    expected[MacroKeySlot(0, false)] = {};
    for (size_t slot = kFirstMacroKeySlot; slot < kFirstMacroKeySlot + kMacroKeySlotCount; ++slot) {
        expected[slot].code = MacroKeyCode(slot);
    }
    EXPECT_EQ(KeyMapBlockToLayer(keyMap, layout), expected);
}

} // namespace
} // namespace tavrik
