#include "history/profile_history.h"

#include "assign/assignment_apply.h"
#include "assign/key_description.h"
#include "history/step_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrik {
namespace {

constexpr ScanCode kQ = 0x010;
constexpr ScanCode kW = 0x011;
constexpr size_t kQSlot = KeyIndexFromScan(kQ);
constexpr size_t kLayer = 0;

MacroRecord Macro(uint16_t id, std::u16string name) {
    MacroRecord record;
    record.name = std::move(name);
    record.id = id;
    record.actions = {{.delayMs = 50, .key = kW}};
    return record;
}

class ProfileHistoryTest : public testing::Test {
protected:
    // The dialog's Apply on key Q of layer 0 with this choice and macro list, as one step.
    void Assign(AssignmentChoice choice, std::vector<MacroRecord> macros = {}) {
        const LiveProfile::Lock lock = profile.LockProfile();
        ProfileHistory::Edit edit = history.Begin(profile);
        TextTable& texts = profile.Texts();
        const auto written =
            ApplyAssignment(profile.Record().layers, profile.Macros(), macros, choice,
                            {.activeLayer = kLayer, .editedSlot = kQSlot},
                            [&texts](size_t entryNumber) { texts.Release(entryNumber); });
        ASSERT_TRUE(written);
        history.Commit(profile, std::move(edit),
                       AssignmentStepName(kQSlot, *written, profile.Macros()));
    }
    const KeyFunctionEntry& Q() { return profile.Record().layers[kLayer][kQSlot]; }

    LiveProfile profile;
    ProfileHistory history;
};

TEST_F(ProfileHistoryTest, AnAssignmentIsUndoneAndRedoneUnderItsName) {
    Assign({.type = KeyFunctionType::SingleKey, .capturedKey = kW});
    EXPECT_EQ(history.UndoName(), u"分配 Q → W");
    const KeyFunctionEntry remapped = Q();
    ASSERT_EQ(remapped.type, KeyFunctionType::SingleKey);

    const ProfileChange* undone = history.Undo(profile);
    ASSERT_NE(undone, nullptr);
    EXPECT_FALSE(undone->ReachesBeyondLayer(kLayer));
    EXPECT_EQ(Q(), KeyFunctionEntry{});
    EXPECT_EQ(history.RedoName(), u"分配 Q → W");

    ASSERT_NE(history.Redo(profile), nullptr);
    EXPECT_EQ(Q(), remapped);
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(ProfileHistoryTest, AnEditThatChangesNothingIsNoStep) {
    Assign({.type = KeyFunctionType::Default});
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(ProfileHistoryTest, MacrosAndTheTextsOfKeysComeBackAndReachEveryProfile) {
    {
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Record().Entry(kQSlot) = {.type = KeyFunctionType::TextBlock};
        profile.Texts().Set(kQSlot, u"hello");
        profile.Macros() = {Macro(1, u"a")};
    }
    MacroRecord added = Macro(2, u"b");
    added.isNew = true;
    Assign({.type = KeyFunctionType::SingleKey, .capturedKey = kW, .currentMacro = 1},
           {Macro(1, u"a"), added});
    ASSERT_EQ(profile.Macros().size(), 2u);
    EXPECT_FALSE(profile.Texts().Text(kQSlot));

    const ProfileChange* undone = history.Undo(profile);
    ASSERT_NE(undone, nullptr);
    EXPECT_TRUE(undone->ReachesBeyondLayer(kLayer));
    EXPECT_EQ(profile.Macros(), std::vector<MacroRecord>{Macro(1, u"a")});
    EXPECT_EQ(profile.Texts().Text(kQSlot), std::u16string_view(u"hello"));
    EXPECT_EQ(Q().type, KeyFunctionType::TextBlock);
    EXPECT_EQ(profile.Texts().Total(), 12u);
}

TEST_F(ProfileHistoryTest, TheHistoryEndsWhereTheProfileIsReplacedAsAWhole) {
    Assign({.type = KeyFunctionType::SingleKey, .capturedKey = kW});
    profile.Install(ProfileContents{}); // a reload from the keyboard
    EXPECT_FALSE(history.Follow(profile));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.Undo(profile), nullptr);
    Assign({.type = KeyFunctionType::SingleKey, .capturedKey = kW});
    profile.ReleaseAll(); // and a profile loaded from a file
    EXPECT_EQ(history.Undo(profile), nullptr);
    EXPECT_EQ(Q(), KeyFunctionEntry{});
}

TEST_F(ProfileHistoryTest, AnImportIsAStepOnTopOfTheEditsBeforeIt) {
    Assign({.type = KeyFunctionType::SingleKey, .capturedKey = kW});
    {
        const LiveProfile::Lock lock = profile.LockProfile();
        ProfileHistory::Edit edit = history.Begin(profile);
        ProfileContents imported;
        imported.macros = {Macro(1, u"imported")};
        profile.Install(std::move(imported));
        ASSERT_TRUE(history.Commit(profile, std::move(edit), ImportStepName(u"backup.tvk")));
    }
    EXPECT_EQ(history.UndoName(), u"导入 backup.tvk");
    ASSERT_NE(history.Undo(profile), nullptr);
    EXPECT_EQ(Q().value, kW);
    EXPECT_TRUE(profile.Macros().empty());
    ASSERT_NE(history.Undo(profile), nullptr);
    EXPECT_EQ(Q(), KeyFunctionEntry{});
}

} // namespace
} // namespace tavrik
