#include "macro/macro_editor.h"

#include "assign/assignment_apply.h"
#include "macro/macro_image.h"
#include "macro/macro_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrik {
namespace {

constexpr ScanCode kA = 0x01E;
constexpr ScanCode kB = 0x030;

class ScriptedPrompts : public MacroPrompts {
public:
    void Inform(std::u16string_view text) override { shown.emplace_back(text); }
    bool Ask(std::u16string_view question) override {
        asked.emplace_back(question);
        return answer;
    }
    std::vector<std::u16string> shown;
    std::vector<std::u16string> asked;
    bool answer = false;
};

MacroRecord Macro(uint16_t id, std::u16string name = u"m", std::vector<MacroAction> actions = {}) {
    MacroRecord record;
    record.name = std::move(name);
    record.id = id;
    record.actions = std::move(actions);
    return record;
}

std::u16string DecimalText(uint32_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

std::vector<uint32_t> Delays(const std::vector<MacroAction>& rows) {
    std::vector<uint32_t> delays;
    for (const MacroAction& row : rows) {
        delays.push_back(row.delayMs);
    }
    return delays;
}

struct MacroEditorTest : testing::Test {
    MacroEditor Editor(std::vector<MacroRecord> macros) {
        return MacroEditor(std::move(macros), counter, prompts, nullptr);
    }
    MacroNameCounter counter;
    ScriptedPrompts prompts;
};

TEST_F(MacroEditorTest, NewMacrosTakeTheSmallestFreeIdAndCountedNames) {
    MacroEditor editor = Editor({Macro(1, u"x"), Macro(2, u"y"), Macro(4, u"z")});
    editor.AddMacro();
    editor.AddMacro();
    ASSERT_EQ(editor.Records().size(), 5u);
    const MacroRecord& first = editor.Records()[3];
    EXPECT_EQ(first.name, u"宏1");
    EXPECT_EQ(first.id, 3);
    EXPECT_EQ(first.loopCount, 1);
    EXPECT_TRUE(first.isNew);
    EXPECT_TRUE(first.actions.empty());
    EXPECT_EQ(editor.Records()[4].name, u"宏2");
    EXPECT_EQ(editor.Records()[4].id, 5);
    EXPECT_EQ(editor.CurrentMacro(), 4u);
    EXPECT_EQ(editor.LoopCountText(), u"1");
    EXPECT_TRUE(editor.IsModified());
}

TEST_F(MacroEditorTest, NamesAlreadyStartingWithTheDefaultNameAreSkipped) {
    MacroEditor editor = Editor({Macro(1, u"宏1 jump"), Macro(2, u"宏2")});
    editor.AddMacro();
    EXPECT_EQ(editor.Records().back().name, u"宏3");
    // The counter lives on across dialogs.
    MacroEditor next = Editor({});
    next.AddMacro();
    EXPECT_EQ(next.Records().back().name, u"宏4");
}

TEST(MacroIdTest, AllocateMacroIdConsidersOnlyIdsOneToHundred) {
    std::vector<MacroRecord> records;
    EXPECT_EQ(AllocateMacroId(records), 1);
    for (uint16_t id = 1; id <= 100; ++id) {
        records.push_back(Macro(id == 50 ? 150 : id));
    }
    EXPECT_EQ(AllocateMacroId(records), 50);
    records[49].id = 50;
    EXPECT_EQ(AllocateMacroId(records), 0);
}

TEST_F(MacroEditorTest, AHundredMacrosIsTheLimit) {
    std::vector<MacroRecord> macros;
    for (uint16_t id = 1; id <= 100; ++id) {
        macros.push_back(Macro(id));
    }
    MacroEditor editor = Editor(macros);
    editor.AddMacro();
    EXPECT_EQ(editor.Records().size(), 100u);
    EXPECT_EQ(prompts.shown, std::vector<std::u16string>{u"最大宏个数为: 100  "});
    EXPECT_FALSE(editor.IsModified());
}

TEST_F(MacroEditorTest, TypingIntoAnEmptyComboCreatesAMacroOfThatName) {
    MacroEditor editor = Editor({});
    editor.TypeMacroName(u"jump");
    ASSERT_EQ(editor.Records().size(), 1u);
    EXPECT_EQ(editor.Records()[0].name, u"jump");
    EXPECT_EQ(editor.Records()[0].id, 1);
    EXPECT_TRUE(editor.Records()[0].isNew);
    EXPECT_EQ(editor.CurrentMacro(), 0u);

    editor.TypeMacroName(std::u16string(300, u'r'));
    EXPECT_EQ(editor.Records().size(), 1u);
    EXPECT_EQ(editor.Records()[0].name, std::u16string(249, u'r'));
}

TEST_F(MacroEditorTest, TypingWithoutAShownMacroNamesNothing) {
    MacroEditor editor = Editor({Macro(1, u"a")});
    editor.TypeMacroName(u"b");
    EXPECT_EQ(editor.Records()[0].name, u"a");
    EXPECT_FALSE(editor.IsModified());
}

TEST_F(MacroEditorTest, LoopCountIsClampedWhileTyping) {
    MacroEditor editor = Editor({Macro(1)});
    const struct {
        std::u16string typed;
        std::u16string shown;
    } cases[] = {{u"0", u"1"},    {u"300", u"255"}, {u"abc", u"1"},   {u"", u"1"},
                 {u"-4", u"1"},   {u"42", u"42"},   {u"255", u"255"}, {u"99999999999", u"255"},
                 {u"12x", u"12"}, {u"+5", u"5"},    {u"4 2", u"4"},   {u"007", u"7"}};
    for (const auto& c : cases) {
        EXPECT_EQ(editor.SetLoopCountText(c.typed), c.shown);
        EXPECT_EQ(editor.LoopCountText(), c.shown);
    }
    editor.SelectMacro(0);
    editor.SetLoopCountText(u"7");
    editor.StoreShownMacro();
    EXPECT_EQ(editor.Records()[0].loopCount, 7);
    EXPECT_EQ(editor.LoopCount(), 7);
}

TEST_F(MacroEditorTest, DelayCellsAreLimitedAndRoundedDown) {
    MacroEditor editor = Editor({Macro(1, u"m", {{.delayMs = 0, .key = kA}})});
    editor.SelectMacro(0);
    const struct {
        std::u16string typed;
        uint32_t stored;
        bool message;
    } cases[] = {{u"1234", 1230, false}, {u"40005", 40000, true}, {u"40000", 40000, false},
                 {u"9", 0, false},       {u"", 0, false},         {u"99999999999", 40000, true}};
    for (const auto& c : cases) {
        prompts.shown.clear();
        EXPECT_EQ(editor.SetRowDelayText(0, c.typed), c.stored);
        EXPECT_EQ(editor.Rows()[0].delayMs, c.stored);
        EXPECT_EQ(prompts.shown.size(), c.message ? 1u : 0u);
    }
    prompts.shown.clear();
    editor.SetRowDelayText(0, u"40005");
    EXPECT_EQ(prompts.shown, std::vector<std::u16string>{u"最大延迟时间为: 40000(毫秒)  "});
}

TEST_F(MacroEditorTest, RecordingInsertsAfterTheSelectedRowAndSplitsTheGap) {
    MacroEditor editor =
        Editor({Macro(1, u"m",
                      {{.delayMs = 100, .key = kA},
                       {.delayMs = 200, .key = kA, .direction = KeyDirection::Release},
                       {.delayMs = 300, .key = kB}})});
    editor.SelectMacro(0);
    editor.SelectRow(1);
    editor.AddRecordedAction(70, kB, 1, true);
    EXPECT_EQ(Delays(editor.Rows()), (std::vector<uint32_t>{100, 70, 200, 300}));
    EXPECT_EQ(editor.Rows()[2].key, kB);
    EXPECT_EQ(editor.Rows()[2].direction, KeyDirection::Release);
    EXPECT_EQ(editor.SelectedRow(), 2u);
    EXPECT_TRUE(editor.IsModified());

    // The next recorded action follows the one just recorded.
    editor.AddRecordedAction(30, kA, 9, true);
    EXPECT_EQ(Delays(editor.Rows()), (std::vector<uint32_t>{100, 70, 30, 200, 300}));
    EXPECT_EQ(editor.Rows()[3].direction, KeyDirection::Press); // 9 is stored as a press
}

TEST_F(MacroEditorTest, RecordingIntoAnEmptyListKeepsNoPauseBeforeTheFirstKey) {
    MacroEditor editor = Editor({Macro(1)});
    editor.SelectMacro(0);
    // Pressing A then B with fixed 50 ms pauses, as the recorder does with delays off.
    editor.AddRecordedAction(50, kA, 0, true);
    editor.AddRecordedAction(50, kA, 1, true);
    editor.AddRecordedAction(50, kB, 0, true);
    editor.AddRecordedAction(50, kB, 1, true);
    EXPECT_EQ(Delays(editor.Rows()), (std::vector<uint32_t>{50, 50, 50, 0}));
    // A long measured pause is kept within what the editor accepts.
    editor.AddRecordedAction(123456, kA, 0, true);
    EXPECT_EQ(editor.Rows()[3].delayMs, kMaxEditedDelayMs);
}

// A measured pause is kept as the keyboard plays it: what the row shows and the store file holds
// is what a restart reads back from the keyboard, and what typing the same pause gives.
TEST_F(MacroEditorTest, RecordedPausesAreKeptAsTheKeyboardPlaysThem) {
    const struct {
        uint32_t measured;
        uint32_t kept;
    } cases[] = {{125, 120},   {126, 120},     {9, 0},         {10, 10},
                 {1239, 1230}, {40000, 40000}, {40009, 40000}, {123456, 40000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.measured);
        MacroEditor editor = Editor({Macro(1, u"m", {{.delayMs = 0, .key = kA}})});
        editor.SelectMacro(0);
        editor.SelectRow(0);
        editor.AddRecordedAction(c.measured, kA, 1, true);
        const MacroAction recorded = editor.Rows()[0];
        EXPECT_EQ(recorded.delayMs, c.kept);
        const ActionWordBytes word = EncodeActionWord(recorded);
        EXPECT_EQ(DecodeActionWord(word).delayMs, recorded.delayMs);
        editor.SetRowDelayText(1, DecimalText(c.measured));
        EXPECT_EQ(editor.Rows()[1].delayMs, recorded.delayMs);
    }
}

TEST_F(MacroEditorTest, NoMoreThan2000Rows) {
    MacroEditor editor = Editor({Macro(1)});
    editor.SelectMacro(0);
    for (size_t i = 0; i < kMaxMacroActions + 3; ++i) {
        editor.AddRecordedAction(10, kA, 0, true);
    }
    EXPECT_EQ(editor.Rows().size(), kMaxMacroActions);
    editor.StoreShownMacro();
    EXPECT_EQ(editor.Records()[0].actions.size(), kMaxMacroActions);
}

TEST_F(MacroEditorTest, SelectionChangeKeepsTheEditsOfTheMacroLeft) {
    MacroEditor editor = Editor({Macro(1, u"a", {{.delayMs = 10, .key = kA}}), Macro(2, u"b")});
    editor.SelectMacro(0);
    editor.SetLoopCountText(u"3");
    editor.AddRecordedAction(40, kB, 0, true);
    editor.SelectMacro(1);
    EXPECT_TRUE(editor.Rows().empty());
    EXPECT_EQ(editor.Records()[0].loopCount, 3);
    EXPECT_EQ(editor.Records()[0].actions.size(), 2u);
    editor.SelectMacro(0);
    EXPECT_EQ(editor.LoopCountText(), u"3");
    EXPECT_EQ(editor.Rows().size(), 2u);
}

TEST_F(MacroEditorTest, ShowMacroForValuePicksTheMacroWithThatId) {
    MacroEditor editor = Editor({Macro(4, u"a"), Macro(7, u"b")});
    EXPECT_FALSE(editor.ActionButtonsEnabled());
    const struct {
        uint32_t value;
        size_t shown;
    } cases[] = {{7, 1}, {4, 0}, {0, 0}, {99, 0}};
    for (const auto& c : cases) {
        editor.ShowMacroForValue(c.value);
        EXPECT_EQ(editor.CurrentMacro(), c.shown) << c.value;
    }
    EXPECT_TRUE(editor.ActionButtonsEnabled());
    MacroEditor empty = Editor({});
    empty.ShowMacroForValue(0);
    EXPECT_FALSE(empty.CurrentMacro().has_value());
}

TEST_F(MacroEditorTest, MovingTheSelectedRow) {
    const std::vector<MacroAction> rows{{.delayMs = 0, .key = kA},
                                        {.delayMs = 1, .key = kA},
                                        {.delayMs = 2, .key = kA},
                                        {.delayMs = 3, .key = kA}};
    const struct {
        std::optional<size_t> selected;
        RowMove move;
        std::vector<uint32_t> order;
        std::optional<size_t> selectedAfter;
    } cases[] = {
        {2, RowMove::ToTop, {2, 0, 1, 3}, 0},
        {2, RowMove::Up, {0, 2, 1, 3}, 1},
        {0, RowMove::Up, {0, 1, 2, 3}, 0},
        {1, RowMove::Down, {0, 2, 1, 3}, 2},
        {3, RowMove::Down, {0, 1, 2, 3}, 3},
        {1, RowMove::ToBottom, {0, 2, 3, 1}, 3},
        {std::nullopt, RowMove::ToTop, {0, 1, 2, 3}, std::nullopt},
    };
    for (const auto& c : cases) {
        MacroEditor editor = Editor({Macro(1, u"m", rows)});
        editor.SelectMacro(0);
        editor.SelectRow(c.selected);
        editor.MoveAction(c.move);
        EXPECT_EQ(Delays(editor.Rows()), c.order);
        EXPECT_EQ(editor.SelectedRow(), c.selectedAfter);
        EXPECT_TRUE(editor.IsModified());
    }
}

TEST_F(MacroEditorTest, DeletingAndClearingActions) {
    MacroEditor editor =
        Editor({Macro(1, u"m", {{.delayMs = 0, .key = kA}, {.delayMs = 1, .key = kB}})});
    editor.SelectMacro(0);
    editor.DeleteAction(); // nothing selected
    EXPECT_EQ(editor.Rows().size(), 2u);
    EXPECT_FALSE(editor.IsModified());
    editor.SelectRow(0);
    editor.DeleteAction();
    EXPECT_EQ(Delays(editor.Rows()), std::vector<uint32_t>{1});

    prompts.answer = false;
    editor.ClearActions();
    EXPECT_EQ(editor.Rows().size(), 1u);
    prompts.answer = true;
    editor.ClearActions();
    EXPECT_TRUE(editor.Rows().empty());
    EXPECT_EQ(prompts.asked, std::vector<std::u16string>(2, u"确实需要清空宏动作?  "));
    editor.ClearActions(); // an empty list asks nothing
    EXPECT_EQ(prompts.asked.size(), 2u);
}

TEST_F(MacroEditorTest, EditingTheKeyAndDirectionOfARow) {
    MacroEditor editor = Editor({Macro(1, u"m", {{.delayMs = 0, .key = kA}})});
    editor.SelectMacro(0);
    editor.SetRowKeyCode(0, KeyCodeFromScan(kA)); // the same item: no change
    EXPECT_FALSE(editor.IsModified());
    editor.SetRowKeyCode(0, 0x0028); // the space bar's key code
    EXPECT_EQ(editor.Rows()[0].key, 0x039);
    editor.SetRowDirection(0, KeyDirection::Release);
    EXPECT_EQ(editor.Rows()[0].direction, KeyDirection::Release);
    EXPECT_TRUE(editor.IsModified());
}

TEST(MacroDeleteCheckTest, CanDeleteMacro) {
    KeyFunctionLayers layers{};
    layers[2][0x10] = {.type = KeyFunctionType::PlayMacro, .value = 3};
    layers[0][256] = {.type = KeyFunctionType::PlayMacro, .value = 5}; // G1 of the first layer
    layers[1][0x11] = {.type = KeyFunctionType::SingleKey, .value = 4};
    const struct {
        uint16_t id;
        bool isNew;
        bool answer;
        bool asked;
        bool deleted;
    } cases[] = {
        {4, false, false, false, true}, // no key plays it
        {3, false, false, true, false}, // a key of hardware profile 3 plays it: No
        {3, false, true, true, true},
        {3, true, false, false, true}, // created since the last Apply: no key can play it yet
        {5, false, false, true, false},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        prompts.answer = c.answer;
        MacroRecord record = Macro(c.id);
        record.isNew = c.isNew;
        EXPECT_EQ(CanDeleteMacro(record, layers, prompts), c.deleted) << c.id;
        EXPECT_EQ(prompts.asked.size(), c.asked ? 1u : 0u) << c.id;
    }
    ScriptedPrompts prompts;
    CanDeleteMacro(Macro(3), layers, prompts);
    EXPECT_EQ(prompts.asked[0], u"检测到某些按键设定指向这个宏,  \n  确实需要删除此宏?  ");
}

TEST_F(MacroEditorTest, DeletingAMacroShowsThePreviousOne) {
    bool allow = false;
    MacroEditor editor(std::vector<MacroRecord>{Macro(1, u"a"), Macro(2, u"b"), Macro(3, u"c")},
                       counter, prompts, [&allow](const MacroRecord&) { return allow; });
    editor.SelectMacro(2);
    editor.DeleteMacro();
    EXPECT_EQ(editor.Records().size(), 3u);
    allow = true;
    editor.DeleteMacro();
    EXPECT_EQ(editor.Records().size(), 2u);
    EXPECT_EQ(editor.CurrentMacro(), 1u);
    editor.SelectMacro(0);
    editor.DeleteMacro();
    EXPECT_EQ(editor.Records()[0].name, u"b");
    EXPECT_EQ(editor.CurrentMacro(), 0u);
    editor.DeleteMacro();
    EXPECT_TRUE(editor.Records().empty());
    EXPECT_FALSE(editor.CurrentMacro().has_value());
    EXPECT_FALSE(editor.ActionButtonsEnabled());
}

TEST_F(MacroEditorTest, AnIdHandedOutAgainBeforeApplyMakesItsKeysDefault) {
    std::vector<MacroRecord> live{Macro(1, u"a"), Macro(2, u"b"), Macro(3, u"c")};
    KeyFunctionLayers layers{};
    layers[1][0x10] = {.type = KeyFunctionType::PlayMacro, .value = 3};
    layers[2][0x11] = {.type = KeyFunctionType::PlayMacro, .value = 2};
    prompts.answer = true;
    MacroEditor editor(live, counter, prompts, [&](const MacroRecord& record) {
        return CanDeleteMacro(record, layers, prompts);
    });
    editor.SelectMacro(2);
    editor.DeleteMacro();
    editor.AddMacro();
    ASSERT_EQ(editor.Records().back().id, 3);

    editor.StoreShownMacro();
    ApplyAssignment(layers, live, editor.Records(),
                    {.type = KeyFunctionType::PlayMacro, .currentMacro = 0, .loopCount = 1},
                    {.activeLayer = 0, .editedSlot = 0x1E}, nullptr);
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(layers[1][0x10].type, KeyFunctionType::Default);
    EXPECT_EQ(layers[2][0x11].type, KeyFunctionType::PlayMacro);
    EXPECT_EQ(layers[0][0x1E],
              (KeyFunctionEntry{.type = KeyFunctionType::PlayMacro, .code = 1, .value = 1}));
    ASSERT_EQ(live.size(), 3u);
    EXPECT_EQ(live[2].name, u"宏1");
    EXPECT_FALSE(live[2].isNew);
    EXPECT_FALSE(editor.Records()[2].isNew);
}

} // namespace
} // namespace tavrik
