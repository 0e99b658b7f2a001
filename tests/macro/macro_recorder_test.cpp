#include "macro/macro_recorder.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tavrik {
namespace {

using enum KeyDirection;

constexpr ScanCode kA = 0x01E;
constexpr ScanCode kB = 0x030;
constexpr ScanCode kX = 0x02D;
constexpr ScanCode kY = 0x015;
constexpr ScanCode kPrintScreen = 0x137;
constexpr uint64_t kStart = 1000;

class SilentPrompts : public MacroPrompts {
public:
    void Inform(std::u16string_view) override {}
    bool Ask(std::u16string_view) override { return false; }
};

struct Event {
    ScanCode key;
    bool release;
    uint64_t atMs;
    bool autoRepeat = false;
};

TEST(MacroRecorderTest, EventsBecomeRows) {
    const std::vector<MacroAction> threeRows{{10, kX, Press}, {20, kX, Release}, {30, kY, Press}};
    const struct {
        const char* what;
        bool recordDelays;
        std::vector<MacroAction> rows; // the shown macro before recording
        std::optional<size_t> selected;
        std::vector<Event> events;
        std::vector<MacroAction> expected;
    } cases[] = {
        {"A then B, fixed pauses",
         false,
         {},
         {},
         {{kA, false, 1100}, {kA, true, 1180}, {kB, false, 1300}, {kB, true, 1340}},
         {{50, kA, Press}, {50, kA, Release}, {50, kB, Press}, {0, kB, Release}}},
        {"A then B, measured pauses",
         true,
         {},
         {},
         {{kA, false, 1100}, {kA, true, 1180}, {kB, false, 1300}, {kB, true, 1340}},
         {{80, kA, Press}, {120, kA, Release}, {40, kB, Press}, {0, kB, Release}}},
        {"measured pauses between the keyboard's 10 ms steps: kept as it plays them",
         true,
         {},
         {},
         {{kA, false, 1100}, {kA, true, 1225}, {kB, false, 1351}, {kB, true, 1359}},
         {{120, kA, Press}, {120, kA, Release}, {0, kB, Press}, {0, kB, Release}}},
        {"a pause beyond the editor's longest",
         true,
         {},
         {},
         {{kA, false, 1100}, {kA, true, 61100}},
         {{40000, kA, Press}, {0, kA, Release}}},
        {"held down: repeats record nothing",
         true,
         {},
         {},
         {{kA, false, 1100}, {kA, false, 1600, true}, {kA, true, 1650, true}, {kA, true, 1700}},
         {{600, kA, Press}, {0, kA, Release}}},
        {"Print Screen reported only as a release gets a press",
         true,
         {},
         {},
         {{kA, false, 1100}, {kA, true, 1150}, {kPrintScreen, true, 1400}},
         {{50, kA, Press},
          {0, kA, Release}, // the 2 ms before the synthesised press play as no pause
          {250, kPrintScreen, Press},
          {0, kPrintScreen, Release}}},
        {"Print Screen released only, fixed pauses",
         false,
         {},
         {},
         {{kPrintScreen, true, 1400}},
         {{50, kPrintScreen, Press}, {0, kPrintScreen, Release}}},
        {"Print Screen pressed and released as Linux reports it",
         true,
         {},
         {},
         {{kPrintScreen, false, 1200}, {kPrintScreen, true, 1260}},
         {{60, kPrintScreen, Press}, {0, kPrintScreen, Release}}},
        {"inserted after the second of three rows",
         true,
         threeRows,
         1,
         {{kB, false, 1070}},
         {{10, kX, Press}, {70, kX, Release}, {20, kB, Press}, {30, kY, Press}}},
        {"after the last row when none is selected",
         false,
         threeRows,
         {},
         {{kB, false, 1070}},
         {{10, kX, Press}, {20, kX, Release}, {50, kY, Press}, {30, kB, Press}}},
        {"events without a key", true, {}, {}, {{0, false, 1100}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MacroNameCounter names;
        SilentPrompts prompts;
        MacroEditor editor({MacroRecord{.name = u"m", .id = 1, .actions = c.rows}}, names, prompts,
                           {});
        editor.SelectMacro(0);
        editor.SelectRow(c.selected);
        MacroRecorder recorder(editor);
        recorder.SetRecordDelays(c.recordDelays);
        recorder.Start(kStart);
        for (const Event& event : c.events)
            recorder.KeyEvent(event.key, event.release, event.autoRepeat, event.atMs);
        EXPECT_EQ(editor.Rows(), c.expected);
        EXPECT_EQ(editor.IsModified(), c.expected != c.rows);
    }
}

TEST(MacroRecorderTest, OnlyWhileRecording) {
    MacroNameCounter names;
    SilentPrompts prompts;
    MacroEditor editor({MacroRecord{.name = u"m", .id = 1}}, names, prompts, {});
    editor.SelectMacro(0);
    MacroRecorder recorder(editor);
    EXPECT_FALSE(recorder.KeyEvent(kA, false, false, 10));
    recorder.Start(10);
    EXPECT_TRUE(recorder.IsRecording());
    EXPECT_TRUE(recorder.KeyEvent(kA, false, false, 20));
    EXPECT_FALSE(recorder.KeyEvent(kA, false, true, 30)); // a repeat
    recorder.Stop();
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_FALSE(recorder.KeyEvent(kA, true, false, 40));
    EXPECT_EQ(editor.Rows(), (std::vector<MacroAction>{{0, kA, Press}}));
}

} // namespace
} // namespace tavrik
