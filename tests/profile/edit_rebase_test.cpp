// The user's unapplied edits made again on what the keyboard holds after another program wrote
// to it: what the user changed wins, everything else is the other program's.
#include "profile/edit_rebase.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

constexpr size_t kSlotA = 0x1E; // key slots are key indices; any slot of a layer will do
constexpr size_t kSlotB = 0x30;
constexpr size_t kSlotC = 0x2E;

MacroRecord Macro(std::u16string name, uint16_t id, ScanCode key) {
    MacroRecord macro;
    macro.name = std::move(name);
    macro.id = id;
    macro.actions = {{.delayMs = 50, .key = key, .direction = KeyDirection::Press},
                     {.delayMs = 50, .key = key, .direction = KeyDirection::Release}};
    return macro;
}

// A macro the user made in the window since the keyboard was read.
MacroRecord NewMacro(std::u16string name, uint16_t id, ScanCode key) {
    MacroRecord macro = Macro(std::move(name), id, key);
    macro.isNew = true;
    return macro;
}

KeyFunctionEntry Sends(ScanCode key) {
    return {.type = KeyFunctionType::SingleKey, .value = key};
}

KeyFunctionEntry Plays(uint16_t id) {
    return {.type = KeyFunctionType::PlayMacro, .value = id};
}

const MacroRecord* Named(const ProfileContents& profile, std::u16string_view name) {
    for (const MacroRecord& macro : profile.macros)
        if (macro.name == name)
            return &macro;
    return nullptr;
}

// The keyboard as the window read it: one macro "m", played by key C of profile 0.
ProfileContents KeyboardAsRead() {
    ProfileContents base;
    base.macros = {Macro(u"m", 1, 0x10)};
    base.record.layers[0][kSlotC] = Plays(1);
    return base;
}

TEST(EditRebase, KeysChangedByEitherProgramAreKeptAndTheUsersWinsOnTheSameKey) {
    const ProfileContents base = KeyboardAsRead();
    ProfileContents edited = base;
    edited.record.layers[0][kSlotB] = Sends(0x11);
    edited.record.layers[1][kSlotA] = Sends(0x12);
    ProfileContents current = base;
    current.record.layers[0][kSlotA] = Sends(0x13);
    current.record.layers[1][kSlotA] = Sends(0x14);

    const auto result = RebaseEdits(base, edited, current);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->record.layers[0][kSlotA], Sends(0x13)); // the other program's
    EXPECT_EQ(result->record.layers[0][kSlotB], Sends(0x11)); // the user's
    EXPECT_EQ(result->record.layers[1][kSlotA], Sends(0x12)); // both: the user's
    EXPECT_EQ(result->record.layers[0][kSlotC], Plays(1));
    EXPECT_EQ(result->macros, current.macros);
}

// Another program added macros (they take the ids after "m"); the user added one and gave it a
// key. Both sets stay, and the user's key plays the user's macro under its new id.
TEST(EditRebase, MacrosAddedByBothProgramsAreAllKept) {
    const ProfileContents base = KeyboardAsRead();
    ProfileContents edited = base;
    const MacroRecord mine = NewMacro(u"mine", 2, 0x20);
    edited.macros.push_back(mine);
    edited.record.layers[0][kSlotA] = Plays(2);
    ProfileContents current = base;
    current.macros.push_back(Macro(u"theirs 1", 2, 0x21));
    current.macros.push_back(Macro(u"theirs 2", 3, 0x22));
    current.record.layers[2][kSlotB] = Plays(3);

    const auto result = RebaseEdits(base, edited, current);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->macros.size(), 4u);
    const MacroRecord* added = Named(*result, u"mine");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->id, 4);
    EXPECT_EQ(added->actions, mine.actions);
    EXPECT_EQ(result->record.layers[0][kSlotA], Plays(4));
    EXPECT_EQ(result->record.layers[2][kSlotB], Plays(3)); // still the other program's macro
    EXPECT_NE(Named(*result, u"theirs 1"), nullptr);
}

// The user changed "m"; the other program put a macro before it, so the keyboard now holds "m"
// second. The user's form replaces it there, and the keys that play it play the new form.
TEST(EditRebase, AMacroTheUserChangedReplacesTheKeyboardsCopyWhereverItIs) {
    const ProfileContents base = KeyboardAsRead();
    ProfileContents edited = base;
    edited.macros[0].actions.push_back(
        {.delayMs = 10, .key = 0x1C, .direction = KeyDirection::Press});
    edited.macros[0].loopCount = 3;
    ProfileContents current;
    current.macros = {Macro(u"theirs", 1, 0x21), Macro(u"m", 2, 0x10)};
    current.record.layers[0][kSlotC] = Plays(2);

    const auto result = RebaseEdits(base, edited, current);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->macros.size(), 2u);
    EXPECT_EQ(result->macros[1].id, 2);
    EXPECT_EQ(result->macros[1].loopCount, 3);
    EXPECT_EQ(result->macros[1].actions, edited.macros[0].actions);
    EXPECT_EQ(result->macros[0], current.macros[0]);
    EXPECT_EQ(result->record.layers[0][kSlotC], Plays(2));
}

TEST(EditRebase, AMacroTheUserDeletedGoesUnlessAKeyOfTheOtherProgramPlaysIt) {
    ProfileContents base = KeyboardAsRead();
    base.record.layers[0][kSlotC] = {};
    ProfileContents edited = base;
    edited.macros.clear();

    ProfileContents untouched = base;
    const auto deleted = RebaseEdits(base, edited, untouched);
    ASSERT_TRUE(deleted);
    EXPECT_TRUE(deleted->macros.empty());

    ProfileContents played = base;
    played.record.layers[1][kSlotB] = Plays(1);
    const auto kept = RebaseEdits(base, edited, played);
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->macros.size(), 1u);
    EXPECT_EQ(kept->record.layers[1][kSlotB], Plays(1));
}

// The other program removed "m" while the user gave it a second key: the macro comes back for it.
TEST(EditRebase, AMacroGoneFromTheKeyboardComesBackForTheUsersKey) {
    const ProfileContents base = KeyboardAsRead();
    ProfileContents edited = base;
    edited.record.layers[0][kSlotA] = Plays(1);
    ProfileContents current; // no macros, key C back to its default

    const auto result = RebaseEdits(base, edited, current);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->macros.size(), 1u);
    EXPECT_EQ(result->macros[0].name, u"m");
    EXPECT_EQ(result->record.layers[0][kSlotA], Plays(result->macros[0].id));
    EXPECT_EQ(result->record.layers[0][kSlotC], KeyFunctionEntry{});
}

TEST(EditRebase, TextsGoWithTheKeysTheyBelongTo) {
    const ProfileContents base = KeyboardAsRead();
    ProfileContents edited = base;
    edited.record.layers[0][kSlotA] = {.type = KeyFunctionType::TextBlock};
    edited.texts.Set(kSlotA, u"mine");
    ProfileContents current = base;
    current.record.layers[0][kSlotB] = {.type = KeyFunctionType::TextBlock};
    current.texts.Set(kSlotB, u"theirs");

    const auto result = RebaseEdits(base, edited, current);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->texts.Text(kSlotA), u"mine");
    EXPECT_EQ(result->texts.Text(kSlotB), u"theirs");
}

TEST(EditRebase, MacrosThatDoNotFitTogetherAreRefused) {
    const ProfileContents base = KeyboardAsRead();
    ProfileContents edited = base;
    edited.macros.push_back(NewMacro(u"mine", 2, 0x20));
    ProfileContents current = base;
    for (uint16_t id = 2; id <= kMaxMacroId; ++id)
        current.macros.push_back(Macro(u"theirs", id, 0x21));

    EXPECT_EQ(RebaseEdits(base, edited, current), nullptr);
}

} // namespace
} // namespace tavrik
