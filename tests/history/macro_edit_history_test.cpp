#include "history/macro_edit_history.h"

#include "macro/macro_recorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tavrik {
namespace {

constexpr ScanCode kA = 0x01E;
constexpr ScanCode kB = 0x030;

class YesPrompts : public MacroPrompts {
public:
    void Inform(std::u16string_view) override {}
    bool Ask(std::u16string_view) override { return true; }
};

MacroRecord Macro(uint16_t id, std::u16string name, std::vector<MacroAction> actions) {
    MacroRecord record;
    record.name = std::move(name);
    record.id = id;
    record.actions = std::move(actions);
    return record;
}

const std::vector<MacroAction> kTwoRows{{.delayMs = 10, .key = kA}, {.delayMs = 20, .key = kB}};

class MacroEditHistoryTest : public testing::Test {
protected:
    MacroEditHistoryTest() {
        editor.SelectMacro(0);
        history.emplace(editor);
    }
    std::vector<MacroRecord> Records() const {
        return {editor.Records().begin(), editor.Records().end()};
    }
    // What the editor stores for the shown macro, rows and loop count included.
    std::vector<MacroRecord> Stored() {
        editor.StoreShownMacro();
        return Records();
    }
    void Type(std::u16string_view name) {
        for (size_t length = 1; length <= name.size(); ++length) {
            editor.TypeMacroName(name.substr(0, length));
            history->Note(MacroEdit::Rename);
        }
    }
    void RecordTaps(std::initializer_list<ScanCode> keys, uint64_t gesture) {
        MacroRecorder recorder(editor);
        recorder.Start(0);
        uint64_t now = 0;
        for (const ScanCode key : keys) {
            recorder.KeyEvent(key, false, false, now += 100);
            history->Note(MacroEdit::Record, gesture);
            recorder.KeyEvent(key, true, false, now += 100);
            history->Note(MacroEdit::Record, gesture);
        }
        recorder.Stop();
    }

    MacroNameCounter counter;
    YesPrompts prompts;
    MacroEditor editor{{Macro(1, u"宏1", kTwoRows), Macro(2, u"宏2", {})}, counter, prompts, {}};
    std::optional<MacroEditHistory> history;
};

TEST_F(MacroEditHistoryTest, TypingANameIsOneStepUndoneAsOne) {
    const std::vector<MacroRecord> before = Stored();
    Type(u"abc");
    EXPECT_EQ(history->UndoName(), u"重命名宏 宏1 → abc");
    ASSERT_TRUE(history->Undo());
    EXPECT_FALSE(history->CanUndo());
    EXPECT_EQ(Stored(), before);
    ASSERT_TRUE(history->Redo());
    EXPECT_EQ(editor.Records()[0].name, u"abc");
}

// Each operation of the editor, the name of its step, and what the editor holds after the undo.
struct OperationCase {
    const char* what;
    std::function<void(MacroEditor&)> operation;
    MacroEdit edit;
    std::u16string name;
};

class MacroEditOperationTest : public MacroEditHistoryTest,
                               public testing::WithParamInterface<OperationCase> {};

TEST_P(MacroEditOperationTest, IsAStepThatUndoesToTheStateBeforeIt) {
    const OperationCase& c = GetParam();
    editor.SelectRow(1);
    history->NoteSelection();
    const std::vector<MacroRecord> before = Stored();
    const MacroEditor::Place place = editor.CurrentPlace();
    c.operation(editor);
    history->Note(c.edit);
    const std::vector<MacroRecord> after = Stored();
    ASSERT_NE(after, before) << c.what;
    EXPECT_EQ(history->UndoName(), c.name) << c.what;

    ASSERT_TRUE(history->Undo()) << c.what;
    EXPECT_EQ(Stored(), before) << c.what;
    EXPECT_EQ(editor.CurrentPlace(), place) << c.what;
    EXPECT_EQ(editor.Rows(), before[0].actions) << c.what;
    ASSERT_TRUE(history->Redo()) << c.what;
    EXPECT_EQ(Stored(), after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Operations, MacroEditOperationTest,
    testing::Values(OperationCase{"add", [](MacroEditor& e) { e.AddMacro(); }, MacroEdit::Add,
                                  u"添加宏 宏3"},
                    OperationCase{"delete", [](MacroEditor& e) { e.DeleteMacro(); },
                                  MacroEdit::Delete, u"删除宏 宏1"},
                    OperationCase{"loop count", [](MacroEditor& e) { e.SetLoopCountText(u"7"); },
                                  MacroEdit::LoopCount, u"循环次数 宏1 → 7"},
                    OperationCase{"pause", [](MacroEditor& e) { e.SetRowDelayText(0, u"500"); },
                                  MacroEdit::EditAction, u"编辑动作 宏1"},
                    OperationCase{"move", [](MacroEditor& e) { e.MoveAction(RowMove::ToTop); },
                                  MacroEdit::MoveAction, u"移动动作 宏1"},
                    OperationCase{"delete row", [](MacroEditor& e) { e.DeleteAction(); },
                                  MacroEdit::DeleteAction, u"删除动作 宏1"},
                    OperationCase{"clear", [](MacroEditor& e) { e.ClearActions(); },
                                  MacroEdit::ClearActions, u"清空动作 宏1"}));

TEST_F(MacroEditHistoryTest, OneRecordingIsOneStepAndTheNextRecordingAnother) {
    const std::vector<MacroRecord> before = Stored();
    RecordTaps({kA, kB}, 1);
    const std::vector<MacroRecord> afterFirst = Stored();
    RecordTaps({kA}, 2);
    EXPECT_EQ(history->UndoName(), u"录制 宏1");
    EXPECT_EQ(editor.Rows().size(), kTwoRows.size() + 6);
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(Stored(), afterFirst);
    ASSERT_TRUE(history->Undo());
    EXPECT_EQ(Stored(), before);
    EXPECT_FALSE(history->CanUndo());
}

TEST_F(MacroEditHistoryTest, AnOperationThatChangesNothingIsNoStep) {
    editor.MoveAction(RowMove::Up); // no row selected: modified, yet nothing moved
    history->Note(MacroEdit::MoveAction);
    EXPECT_FALSE(history->CanUndo());
}

TEST_F(MacroEditHistoryTest, ApplyTakesTheStepsDoneOldestFirstAndStartsAfresh) {
    const std::vector<MacroRecord> before = Stored();
    editor.AddMacro();
    history->Note(MacroEdit::Add);
    Type(u"x");
    editor.SetLoopCountText(u"3");
    history->Note(MacroEdit::LoopCount);
    history->Undo(); // the loop count is not applied

    const std::vector<AppliedMacroStep> applied = history->TakeApplied();
    ASSERT_EQ(applied.size(), 2u);
    EXPECT_EQ(applied[0].name, u"添加宏 宏3");
    EXPECT_EQ(applied[1].name, u"重命名宏 宏3 → x");
    std::vector<MacroRecord> replayed = before;
    for (const AppliedMacroStep& step : applied)
        step.macros.Redo(replayed);
    EXPECT_EQ(replayed, Stored());
    EXPECT_FALSE(history->CanUndo());
    EXPECT_FALSE(history->CanRedo());

    Type(u"y"); // after an Apply typing goes on as a new step
    ASSERT_TRUE(history->CanUndo());
    EXPECT_EQ(history->UndoName(), u"重命名宏 x → y");
}

} // namespace
} // namespace tavrik
