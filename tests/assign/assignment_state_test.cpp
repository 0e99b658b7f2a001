#include "assign/assignment_state.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace tavrik {
namespace {

using enum KeyFunctionType;

constexpr AssignmentTab kSingleKeyTab = AssignmentTab::SingleKey;
constexpr AssignmentTab kMacroTab = AssignmentTab::Macro;
constexpr AssignmentTab kMultimediaTab = AssignmentTab::Multimedia;
constexpr AssignmentTab kFunctionKeyTab = AssignmentTab::FunctionKey;

constexpr ScanCode kW = 0x011;
constexpr ScanCode kEnter = 0x01C;
constexpr auto kDamaged = static_cast<KeyFunctionType>(12); // only from a damaged file

TEST(AssignmentStateTest, OpensOnTheTabOfTheEntrysType) {
    const struct {
        KeyFunctionEntry entry;
        bool macroOnly;
        AssignmentTab tab;
        KeyFunctionType type;
        ScanCode shownKey;
        uint32_t multimediaRow;
        uint32_t functionKeySlot;
    } cases[] = {
        {{.type = Default}, false, kSingleKeyTab, Default, 0, 0, 0},
        {{.type = SingleKey, .value = kW}, false, kSingleKeyTab, SingleKey, kW, 0, 0},
        {{.type = Default, .value = kW}, false, kSingleKeyTab, Default, 0, 0, 0}, // self-assigned
        {{.type = Disabled}, false, kSingleKeyTab, Disabled, 0, 0, 0},
        {{.type = LaunchProgram}, false, kSingleKeyTab, LaunchProgram, 0, 0, 0},
        {{.type = StopMacro}, false, kSingleKeyTab, StopMacro, 0, 0, 0},
        {{.type = TextBlock}, false, kSingleKeyTab, TextBlock, 0, 0, 0},
        {{.type = kDamaged}, false, kSingleKeyTab, kDamaged, 0, 0, 0},
        {{.type = PlayMacro, .value = 3}, false, kMacroTab, PlayMacro, 0, 0, 0},
        {{.type = Multimedia, .value = 5}, false, kMultimediaTab, Multimedia, 0, 5, 0},
        {{.type = FunctionKey, .value = 10}, false, kFunctionKeyTab, FunctionKey, 0, 0, 10},
        {{.type = SingleKey, .value = kW}, true, kMacroTab, PlayMacro, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.entry.type) << " value "
                                        << c.entry.value << " macro only " << c.macroOnly);
        const AssignmentState state(c.entry, c.macroOnly);
        EXPECT_EQ(state.Tab(), c.tab);
        EXPECT_EQ(state.Type(), c.type);
        EXPECT_EQ(state.ShownKey(), c.shownKey);
        EXPECT_EQ(state.MultimediaRow(), c.multimediaRow);
        EXPECT_EQ(state.FunctionKeySlot(), c.functionKeySlot);
        EXPECT_EQ(state.InitialValue(), c.entry.value);
        EXPECT_FALSE(state.IsModified());
    }
}

// A sequence of the user's actions from an opened dialog and what Apply then writes.
TEST(AssignmentStateTest, ActionsAndTheChoiceApplied) {
    using Action = std::function<void(AssignmentState&)>;
    const Action capture = [](AssignmentState& s) { s.CaptureKey(kEnter); };
    const Action clear = [](AssignmentState& s) { s.Clear(); };
    const auto tab = [](AssignmentTab t) { return [t](AssignmentState& s) { s.ChooseTab(t); }; };
    const struct {
        const char* what;
        KeyFunctionEntry entry;
        bool macroOnly;
        std::vector<Action> actions;
        KeyFunctionType type;
        ScanCode capturedKey;
        ScanCode shownKey;
        bool modified;
    } cases[] = {
        {"nothing done", {.type = SingleKey, .value = kW}, false, {}, SingleKey, kW, kW, false},
        {"a key pressed", {.type = Default}, false, {capture}, SingleKey, kEnter, kEnter, true},
        {"the single-key tab is in force for a key",
         {.type = SingleKey, .value = kW},
         false,
         {tab(kSingleKeyTab)},
         SingleKey,
         kW,
         kW,
         false},
        {"the single-key tab is in force for Default",
         {.type = Default},
         false,
         {tab(kSingleKeyTab)},
         Default,
         0,
         0,
         false},
        {"a disabled key taken to the single-key tab",
         {.type = Disabled},
         false,
         {tab(kSingleKeyTab)},
         SingleKey,
         0,
         0,
         true},
        {"Clear alone does not modify",
         {.type = SingleKey, .value = kW},
         false,
         {clear},
         Default,
         kW,
         0,
         false},
        {"Clear from the multimedia tab",
         {.type = Multimedia, .value = 5},
         false,
         {clear},
         Default,
         0,
         0,
         true},
        {"Clear of a disabled key", {.type = Disabled}, false, {clear}, Default, 0, 0, true},
        {"the key counts again after another tab",
         {.type = SingleKey, .value = kW},
         false,
         {clear, tab(kFunctionKeyTab), tab(kSingleKeyTab)},
         SingleKey,
         kW,
         kW,
         true},
        {"keys are not captured off the single-key tab",
         {.type = Multimedia},
         false,
         {capture},
         Multimedia,
         0,
         0,
         false},
        {"macro-only mode offers no other tab and no Clear",
         {.type = Default},
         true,
         {tab(kSingleKeyTab), tab(kMultimediaTab), clear, capture},
         PlayMacro,
         0,
         0,
         false},
        {"the macro tab", {.type = Default}, false, {tab(kMacroTab)}, PlayMacro, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AssignmentState state(c.entry, c.macroOnly);
        for (const Action& action : c.actions)
            action(state);
        EXPECT_EQ(state.Type(), c.type);
        EXPECT_EQ(state.ShownKey(), c.shownKey);
        EXPECT_EQ(state.IsModified(), c.modified);
        const AssignmentChoice choice = state.Choice(1, 7);
        EXPECT_EQ(choice.type, c.type);
        EXPECT_EQ(choice.capturedKey, c.capturedKey);
        EXPECT_EQ(choice.currentMacro, std::optional<size_t>{1});
        EXPECT_EQ(choice.loopCount, 7);
    }
}

TEST(AssignmentStateTest, TheFirstVisitOfTheMacroTab) {
    const struct {
        KeyFunctionEntry entry;
        std::vector<bool> visits; // TakeFirstMacroVisit after each click on the macro tab
    } cases[] = {
        {{.type = Default}, {true, false}},
        {{.type = SingleKey, .value = kW}, {false, false}},
        {{.type = Multimedia, .value = 0}, {true, false}},
        {{.type = PlayMacro, .value = 0}, {false}}, // opened on the macro tab: visited
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.entry.type));
        AssignmentState state(c.entry, false);
        for (const bool expected : c.visits) {
            state.ChooseTab(kMacroTab);
            EXPECT_EQ(state.TakeFirstMacroVisit(), expected);
            state.ChooseTab(kFunctionKeyTab);
            EXPECT_FALSE(state.TakeFirstMacroVisit()); // not on the macro tab
        }
    }
}

TEST(AssignmentStateTest, RowsAndSlotsChosen) {
    AssignmentState state({.type = Multimedia, .value = 5}, false);
    state.ChooseMultimediaRow(5);
    EXPECT_FALSE(state.IsModified()); // the row it opened on
    state.ChooseMultimediaRow(17);
    state.ChooseTab(kFunctionKeyTab);
    state.ChooseFunctionKeySlot(3);
    EXPECT_TRUE(state.IsModified());
    const AssignmentChoice choice = state.Choice(std::nullopt, 1);
    EXPECT_EQ(choice.type, FunctionKey);
    EXPECT_EQ(choice.multimediaRow, 17u);
    EXPECT_EQ(choice.functionKeySlot, 3u);
    state.ClearModified();
    EXPECT_FALSE(state.IsModified());
    EXPECT_FALSE(state.ChooseTab(kFunctionKeyTab)); // in force already
    EXPECT_FALSE(state.IsModified());
}

} // namespace
} // namespace tavrik
