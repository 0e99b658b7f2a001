#include "assign/assignment_apply.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrik {
namespace {

using enum KeyFunctionType;

constexpr ScanCode kQ = 0x010;
constexpr ScanCode kW = 0x011;
constexpr size_t kQSlot = 0x10;

MacroRecord Macro(uint16_t id, bool isNew = false) {
    return MacroRecord{.name = u"m", .isNew = isNew, .id = id};
}

TEST(AssignmentApplyTest, RepairMacroReferences) {
    const std::vector<MacroRecord> listed{Macro(4), Macro(3, true)};
    const struct {
        std::vector<MacroRecord> macros;
        uint32_t value;
        KeyFunctionType type;
        uint32_t repairedValue;
    } cases[] = {
        {listed, 0, PlayMacro, 4}, // no macro chosen yet: the first one
        {listed, 4, PlayMacro, 4}, // still there
        {listed, 3, Default, 3},   // id handed out again to a new macro
        {listed, 7, Default, 7},   // deleted
        {{}, 0, PlayMacro, 0},     // nothing to point to
        {{}, 4, Default, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " among " << c.macros.size());
        for (const size_t layer : {size_t{0}, size_t{3}}) {
            KeyFunctionLayers layers{};
            layers[layer][kQSlot] = {
                .type = PlayMacro, .code = 2, .value = c.value, .selectionFlag = 1, .reserved = 9};
            const bool changed = RepairMacroReferences(layers, c.macros);
            const KeyFunctionEntry expected{.type = c.type,
                                            .code = 2,
                                            .value = c.repairedValue,
                                            .selectionFlag = 1,
                                            .reserved = 9};
            EXPECT_EQ(layers[layer][kQSlot], expected);
            EXPECT_EQ(changed,
                      layers[layer][kQSlot].type != PlayMacro || c.repairedValue != c.value);
        }
    }
}

TEST(AssignmentApplyTest, OtherTypesAreNotRepaired) {
    KeyFunctionLayers layers{};
    layers[1][kQSlot] = {.type = FunctionKey, .value = 7};
    EXPECT_FALSE(RepairMacroReferences(layers, {}));
    EXPECT_EQ(layers[1][kQSlot].type, FunctionKey);
}

TEST(AssignmentApplyTest, BuildAssignedEntry) {
    const std::vector<MacroRecord> macros{Macro(5), Macro(8)};
    const KeyFunctionEntry previous{
        .type = LaunchProgram, .code = 0x0301, .value = 64, .selectionFlag = 0xA, .reserved = 0xB};
    const size_t g1BankA = MacroKeySlot(0, false);
    const size_t g9BankB = MacroKeySlot(8, true);
    const struct {
        AssignmentChoice choice;
        size_t slot;
        std::vector<MacroRecord> macros;
        KeyFunctionType type;
        uint16_t code;
        uint32_t value;
    } cases[] = {
        {{.type = SingleKey, .capturedKey = kW}, kQSlot, macros, SingleKey, 0, kW},
        {{.type = SingleKey, .capturedKey = kQ}, kQSlot, macros, Default, 0, kQ}, // itself
        {{.type = SingleKey}, kQSlot, macros, Default, 0, 0},                     // no key
        {{.type = SingleKey, .capturedKey = kQ}, g1BankA, macros, SingleKey, 0x0301, kQ},
        {{.type = PlayMacro, .currentMacro = 1, .loopCount = 3}, kQSlot, macros, PlayMacro, 3, 8},
        {{.type = PlayMacro, .currentMacro = 0, .loopCount = 255},
         g9BankB,
         macros,
         PlayMacro,
         255,
         5}, // the loop count replaces the macro-key code
        {{.type = PlayMacro, .loopCount = 2}, kQSlot, macros, PlayMacro, 2, 0}, // none shown
        {{.type = PlayMacro, .currentMacro = 0}, kQSlot, {}, Default, 0, 0},
        {{.type = Multimedia, .multimediaRow = 5}, kQSlot, macros, Multimedia, 0, 5},
        {{.type = FunctionKey, .functionKeySlot = 10}, kQSlot, macros, FunctionKey, 0, 10},
        {{.type = Default}, g1BankA, macros, Default, 0x0301, 0},
        {{.type = Default}, g9BankB, macros, Default, 0x1309, 0},
        {{.type = LaunchProgram}, kQSlot, macros, LaunchProgram, 0, 0},
        {{.type = Disabled}, kQSlot, macros, Disabled, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << static_cast<int>(c.choice.type) << " slot " << c.slot);
        const KeyFunctionEntry entry = BuildAssignedEntry(
            c.choice, {.activeLayer = 1, .editedSlot = c.slot}, previous, c.macros);
        EXPECT_EQ(entry, (KeyFunctionEntry{.type = c.type,
                                           .code = c.code,
                                           .value = c.value,
                                           .selectionFlag = 0xA,
                                           .reserved = 0xB}));
    }
}

TEST(AssignmentApplyTest, ApplyChangesOtherProfiles) {
    const std::vector<MacroRecord> live{Macro(1), Macro(2)};
    constexpr size_t kActive = 1;
    const struct {
        const char* what;
        std::vector<MacroRecord> dialog;
        size_t layer; // where the key playing a macro lies
        uint32_t value;
        bool changes;
    } cases[] = {
        {"nothing deleted, the key plays macro 2", {Macro(1), Macro(2)}, 0, 2, false},
        {"a macro added at the end", {Macro(1), Macro(2), Macro(3, true)}, 2, 2, false},
        {"macro 1 deleted: macro 2 moves", {Macro(2)}, 0, 2, true},
        {"the last macro deleted, no key plays it", {Macro(1)}, 0, 1, true},
        {"id 2 handed to a new macro", {Macro(1), Macro(2, true)}, 0, 1, true},
        {"another profile's key plays a missing macro", {Macro(1), Macro(2)}, 2, 7, true},
        {"another profile's key plays no macro yet", {Macro(1), Macro(2)}, 0, 0, true},
        {"the active profile's key is repaired", {Macro(1), Macro(2)}, kActive, 7, false},
        {"the carried fourth layer is repaired", {Macro(1), Macro(2)}, 3, 7, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KeyFunctionLayers layers{};
        layers[c.layer][kQSlot] = {.type = PlayMacro, .value = c.value};
        const KeyFunctionLayers before = layers;
        EXPECT_EQ(ApplyChangesOtherProfiles(layers, live, c.dialog, kActive), c.changes);
        EXPECT_EQ(layers, before); // only asks
    }
}

struct ApplyAssignmentTest : testing::Test {
    KeyFunctionLayers layers{};
    std::vector<MacroRecord> live{Macro(1), Macro(2), Macro(3)};
    std::vector<size_t> releasedTexts;
    ReleaseEntryText release = [this](size_t entryNumber) { releasedTexts.push_back(entryNumber); };
};

TEST_F(ApplyAssignmentTest, InstallsTheDialogsMacrosAndWritesTheEntry) {
    layers[2][kQSlot] = {.type = TextBlock, .selectionFlag = 7};
    layers[0][0x20] = {.type = PlayMacro, .value = 3}; // macro 3 deleted, id 3 handed out again
    std::vector<MacroRecord> dialog{Macro(1), Macro(2), Macro(3, true)};

    const auto written = ApplyAssignment(layers, live, dialog,
                                         {.type = PlayMacro, .currentMacro = 2, .loopCount = 4},
                                         {.activeLayer = 2, .editedSlot = kQSlot}, release);

    const KeyFunctionEntry expected{.type = PlayMacro, .code = 4, .value = 3, .selectionFlag = 7};
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, expected);
    EXPECT_EQ(layers[2][kQSlot], expected);
    EXPECT_EQ(layers[0][0x20].type, Default);
    EXPECT_EQ(releasedTexts, std::vector<size_t>{2 * 512 + kQSlot});
    ASSERT_EQ(live.size(), 3u);
    for (size_t i = 0; i < live.size(); ++i) {
        EXPECT_FALSE(live[i].isNew);
        EXPECT_FALSE(dialog[i].isNew);
        EXPECT_EQ(live[i].id, dialog[i].id);
    }
}

TEST_F(ApplyAssignmentTest, TextsOfProgramAndTextKeysAreKept) {
    for (const KeyFunctionType type : {LaunchProgram, TextBlock}) {
        std::vector<MacroRecord> dialog = live;
        layers[0][kQSlot] = {.type = type};
        ApplyAssignment(layers, live, dialog, {.type = type}, {.editedSlot = kQSlot}, release);
        EXPECT_EQ(layers[0][kQSlot].type, type);
    }
    EXPECT_TRUE(releasedTexts.empty());
}

TEST_F(ApplyAssignmentTest, AnEmptyMacroListRemovesEveryMacro) {
    std::vector<MacroRecord> dialog;
    ApplyAssignment(layers, live, dialog, {.type = PlayMacro}, {.editedSlot = kQSlot}, release);
    EXPECT_TRUE(live.empty());
    EXPECT_EQ(layers[0][kQSlot].type, Default);
}

TEST_F(ApplyAssignmentTest, ATargetOutsideTheProfileChangesNothing) {
    std::vector<MacroRecord> dialog{Macro(9, true)};
    const KeyFunctionLayers before = layers;
    EXPECT_FALSE(ApplyAssignment(layers, live, dialog, {.type = Disabled},
                                 {.activeLayer = 4, .editedSlot = kQSlot}, release));
    EXPECT_FALSE(ApplyAssignment(layers, live, dialog, {.type = Disabled},
                                 {.activeLayer = 0, .editedSlot = 512}, release));
    EXPECT_EQ(layers, before);
    EXPECT_EQ(live.size(), 3u);
    EXPECT_TRUE(dialog[0].isNew);
    EXPECT_TRUE(releasedTexts.empty());
}

} // namespace
} // namespace tavrik
