#include "history/pending_changes.h"

#include <gtest/gtest.h>

#include <string>

namespace tavrik {
namespace {

constexpr ScanCode kQ = 0x010;
constexpr ScanCode kW = 0x011;
constexpr size_t kQSlot = KeyIndexFromScan(kQ);
constexpr size_t kG1Slot = MacroKeySlot(0, false);

MacroRecord Macro(uint16_t id, std::u16string name, uint8_t loopCount = 1) {
    MacroRecord record;
    record.name = std::move(name);
    record.id = id;
    record.loopCount = loopCount;
    return record;
}

KeyFunctionEntry SendsW() {
    return {.type = KeyFunctionType::SingleKey, .value = kW};
}

TEST(PendingChangesTest, NothingDiffersNothingIsPending) {
    ProfileContents inStep;
    inStep.macros = {Macro(1, u"a")};
    EXPECT_TRUE(FindPendingChanges(inStep, inStep).Empty());
}

TEST(PendingChangesTest, KeysOfTheHardwareProfilesAreListedWithWhatTheyDoBeforeAndAfter) {
    ProfileContents inStep;
    inStep.macros = {Macro(1, u"宏1")};
    ProfileContents live = inStep;
    live.record.layers[0][kQSlot] = SendsW();
    live.record.layers[1][kG1Slot] = {.type = KeyFunctionType::PlayMacro, .value = 1};
    live.record.layers[3][kQSlot] = SendsW(); // only carried: never written by an Apply

    const PendingChanges pending = FindPendingChanges(inStep, live);
    ASSERT_EQ(pending.keys.size(), 2u);
    EXPECT_EQ(pending.keys[0], (PendingKey{0, kQSlot, u"Q", u"Q", u"W"}));
    EXPECT_EQ(PendingKeyText(pending.keys[0]), u"已更改: Q → W");
    EXPECT_EQ(PendingKeyLine(pending.keys[0], 0), u"Q: Q → W");
    EXPECT_EQ(pending.keys[1], (PendingKey{1, kG1Slot, u"G1", u"G1", u"宏(宏1)"}));
    EXPECT_EQ(PendingKeyLine(pending.keys[1], 0), u"情景模式 2 · G1: G1 → 宏(宏1)");
    EXPECT_TRUE(pending.macros.empty());
}

TEST(PendingChangesTest, MacrosAreMatchedByIdAndListedAsAddedChangedOrDeleted) {
    ProfileContents inStep;
    inStep.macros = {Macro(1, u"kept"), Macro(2, u"looped"), Macro(3, u"gone")};
    ProfileContents live;
    live.macros = {Macro(1, u"kept"), Macro(2, u"looped", 5), Macro(4, u"new")};
    live.macros[0].isNew = true; // how the dialog marked it is no change for the keyboard

    const PendingChanges pending = FindPendingChanges(inStep, live);
    EXPECT_TRUE(pending.keys.empty());
    ASSERT_EQ(pending.macros.size(), 3u);
    EXPECT_EQ(PendingMacroLine(pending.macros[0]), u"已更改的宏 looped");
    EXPECT_EQ(PendingMacroLine(pending.macros[1]), u"已删除的宏 gone");
    EXPECT_EQ(PendingMacroLine(pending.macros[2]), u"新宏 new");
}

} // namespace
} // namespace tavrik
