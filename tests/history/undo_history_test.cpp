#include "history/undo_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrik {
namespace {

// A step's change is the list of values it added, so merging shows as a longer list.
using Values = std::vector<int>;
using History = UndoHistory<Values>;

constexpr MergeKey kTyping{1, 7, 0};
constexpr MergeKey kOtherMacro{1, 8, 0};

// Pushes the value, folding it into the top step when the key allows.
void Do(History& history, int value, std::optional<MergeKey> key = std::nullopt) {
    if (History::Step* top = key ? history.TopToMerge(*key) : nullptr) {
        top->change.push_back(value);
        top->name = u"merged";
        return;
    }
    history.Push({u"step " + std::u16string(1, static_cast<char16_t>(u'0' + value)), {value}, key});
}

TEST(UndoHistoryTest, UndoAndRedoWalkTheStepsInOrderAndANewStepDropsTheRedone) {
    History history;
    Do(history, 1);
    Do(history, 2);
    EXPECT_EQ(history.UndoName(), u"step 2");
    EXPECT_EQ(history.RedoName(), u"");
    ASSERT_NE(history.Undo(), nullptr);
    EXPECT_EQ(history.UndoName(), u"step 1");
    EXPECT_EQ(history.RedoName(), u"step 2");
    const History::Step* redone = history.Redo();
    ASSERT_NE(redone, nullptr);
    EXPECT_EQ(redone->change, Values{2});
    history.Undo();
    history.Undo();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.Undo(), nullptr);
    Do(history, 3);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Count(), 1u);
    EXPECT_EQ(history.UndoName(), u"step 3");
}

// When a step with a merge key folds into the top step.
struct MergeCase {
    const char* what;
    std::optional<MergeKey> first;
    std::optional<MergeKey> second;
    bool undoRedoBetween;
    bool sealBetween;
    size_t steps;
};

class UndoHistoryMergeTest : public testing::TestWithParam<MergeCase> {};

TEST_P(UndoHistoryMergeTest, MergesOnlyTheSameGestureOnTop) {
    const MergeCase& c = GetParam();
    History history;
    Do(history, 1, c.first);
    if (c.undoRedoBetween) {
        history.Undo();
        history.Redo();
    }
    if (c.sealBetween)
        history.Seal();
    Do(history, 2, c.second);
    EXPECT_EQ(history.Count(), c.steps) << c.what;
    EXPECT_EQ(history.Index(), c.steps) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, UndoHistoryMergeTest,
    testing::Values(MergeCase{"same key", kTyping, kTyping, false, false, 1},
                    MergeCase{"another macro", kTyping, kOtherMacro, false, false, 2},
                    MergeCase{"another gesture", kTyping, MergeKey{1, 7, 1}, false, false, 2},
                    MergeCase{"no key on top", std::nullopt, kTyping, false, false, 2},
                    MergeCase{"no key", kTyping, std::nullopt, false, false, 2},
                    MergeCase{"after undo and redo", kTyping, kTyping, true, false, 2},
                    MergeCase{"after a seal", kTyping, kTyping, false, true, 2}));

TEST(UndoHistoryTest, AMergedStepIsUndoneAsOne) {
    History history;
    for (int value = 1; value <= 3; ++value)
        Do(history, value, kTyping);
    const History::Step* undone = history.Undo();
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->change, (Values{1, 2, 3}));
    EXPECT_EQ(undone->name, u"merged");
    EXPECT_FALSE(history.CanUndo());
}

TEST(UndoHistoryTest, TheOldestStepsGoBeyondTheLimitAndClearEndsTheHistory) {
    History history(3);
    for (int value = 1; value <= 5; ++value)
        Do(history, value);
    ASSERT_EQ(history.Count(), 3u);
    EXPECT_EQ(history.At(0).change, Values{3});
    history.Clear();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoName(), u"");
}

} // namespace
} // namespace tavrik
