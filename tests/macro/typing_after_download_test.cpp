// What the user asks for is what the keyboard types: keys are assigned and macros recorded through
// the same models the assignment dialog uses, downloaded into the emulated keyboard, and then the
// keyboard's typing simulation presses the keys.

#include "assign/assignment_apply.h"
#include "assign/key_map_conversion.h"
#include "device/default_layout.h"
#include "macro/macro_download.h"
#include "macro/macro_editor.h"
#include "tests/device/keyboard_rig.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrik {
namespace {

using emu::HidEvent;
namespace page = emu::hid_page;

constexpr ScanCode kQ = 0x010;
constexpr ScanCode kW = 0x011;
constexpr ScanCode kA = 0x01E;
constexpr ScanCode kB = 0x030;
constexpr ScanCode kCapsLock = 0x03A;
constexpr ScanCode kLeftCtrl = 0x01D;
constexpr ScanCode kLeftShift = 0x02A;
constexpr ScanCode kF5 = 0x03F;

constexpr uint16_t kUsageW = 0x1A;
constexpr uint16_t kUsageA = 0x04;
constexpr uint16_t kUsageB = 0x05;
constexpr uint16_t kUsageLeftCtrl = 0xE0;
constexpr uint16_t kUsageLeftShift = 0xE1;
constexpr uint16_t kUsageF5 = 0x3E;
constexpr uint16_t kUsageVolumeUp = 0xE9;

constexpr uint64_t kHoldMs = 30;

// The keyboard's position of a key: where the default layout holds it.
uint8_t PositionOf(ScanCode key) {
    for (size_t position = 0; position < kKeyPositionCount; ++position) {
        if (ScanFromKeyMapEntry(ReadKeyMapEntry(kDefaultLayout, position)) == key) {
            return static_cast<uint8_t>(position);
        }
    }
    ADD_FAILURE() << "no position for key " << key;
    return 0;
}

HidEvent At(uint64_t timeMs, uint16_t usagePage, uint16_t usage, bool down) {
    return HidEvent{.timeMs = timeMs, .page = usagePage, .usage = usage, .down = down};
}

class NoPrompts : public MacroPrompts {
public:
    void Inform(std::u16string_view) override { ADD_FAILURE() << "unexpected message"; }
    bool Ask(std::u16string_view) override { return true; }
};

struct TypingAfterDownloadTest : testing::Test {
    // The assignment dialog's Apply for one key of hardware profile 0.
    void Assign(ScanCode key, const AssignmentChoice& choice) {
        editor.StoreShownMacro();
        ApplyAssignment(layers, macros, editor.Records(), choice,
                        {.activeLayer = 0, .editedSlot = KeyIndexFromScan(key)}, nullptr);
    }

    // The main window's Apply: the active hardware profile's key map and every macro.
    void Download() {
        const DownloadResult done =
            DownloadToKeyboard(rig.commands, {.layers = layers, .macros = macros},
                               {.defaultLayout = kDefaultLayout, .macroCapacity = 4096},
                               DownloadTarget::ActiveProfile(0),
                               [](std::u16string_view) { ADD_FAILURE() << "unexpected message"; });
        ASSERT_TRUE(done.everyFrameWritten);
    }

    // Presses and releases a key, lets any macro run out, and returns what was typed with times
    // counted from the press.
    std::vector<HidEvent> Tap(ScanCode key) {
        return rig.keyboard.WithFirmware([key](emu::KeyboardFirmware& keyboard) {
            const uint64_t start = keyboard.Now();
            keyboard.Press(PositionOf(key));
            keyboard.Advance(kHoldMs);
            keyboard.Release(PositionOf(key));
            keyboard.RunUntilIdle();
            std::vector<HidEvent> typed = keyboard.TakeTyped();
            for (HidEvent& event : typed) {
                event.timeMs -= start;
            }
            return typed;
        });
    }

    test::KeyboardRig rig;
    KeyFunctionLayers layers{};
    std::vector<MacroRecord> macros;
    MacroNameCounter counter;
    NoPrompts prompts;
    MacroEditor editor{{}, counter, prompts, nullptr};
};

TEST_F(TypingAfterDownloadTest, RemappedKeysTypeWhatTheyWereGiven) {
    Assign(kQ, {.type = KeyFunctionType::SingleKey, .capturedKey = kW});
    Assign(kCapsLock, {.type = KeyFunctionType::SingleKey, .capturedKey = kLeftCtrl});
    Assign(kA, {.type = KeyFunctionType::Multimedia, .multimediaRow = 6}); // volume up
    Assign(kB, {.type = KeyFunctionType::FunctionKey, .functionKeySlot = 10});
    layers[0][KeyIndexFromScan(kW)] = {.type = KeyFunctionType::Disabled}; // from a profile file
    Download();

    const struct {
        const char* what;
        ScanCode key;
        std::vector<HidEvent> typed;
    } cases[] = {
        {"another key",
         kQ,
         {At(0, page::kKeyboard, kUsageW, true), At(kHoldMs, page::kKeyboard, kUsageW, false)}},
        {"a modifier",
         kCapsLock,
         {At(0, page::kKeyboard, kUsageLeftCtrl, true),
          At(kHoldMs, page::kKeyboard, kUsageLeftCtrl, false)}},
        {"a media key",
         kA,
         {At(0, page::kConsumer, kUsageVolumeUp, true),
          At(kHoldMs, page::kConsumer, kUsageVolumeUp, false)}},
        {"a function key",
         kB,
         {At(0, page::kFunctionKey, 10, true), At(kHoldMs, page::kFunctionKey, 10, false)}},
        {"disabled", kW, {}},
        {"left alone",
         kF5,
         {At(0, page::kKeyboard, kUsageF5, true), At(kHoldMs, page::kKeyboard, kUsageF5, false)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Tap(c.key), c.typed);
    }
}

TEST_F(TypingAfterDownloadTest, AMacroPlaysTheRecordedSequenceAsOftenAsItsLoopCount) {
    editor.AddMacro();
    editor.SetLoopCountText(u"2");
    // What the recorder hands over: each delay is the time since the previous key event.
    editor.AddRecordedAction(900, kA, 0, true); // the time before the first key is not kept
    editor.AddRecordedAction(123, kA, 1, true);
    editor.AddRecordedAction(57, kLeftShift, 0, true);
    editor.AddRecordedAction(40, kB, 0, true);
    editor.AddRecordedAction(35, kB, 1, true);
    editor.AddRecordedAction(20, kLeftShift, 1, true);
    Assign(kQ, {.type = KeyFunctionType::PlayMacro, .currentMacro = 0, .loopCount = 2});
    Download();

    // Pauses reach the keyboard in 10 ms units: 123 -> 120, 57 -> 50, 35 -> 30; the second
    // round starts after the last step's pause.
    std::vector<HidEvent> expected;
    for (const uint64_t loop : {uint64_t{0}, uint64_t{260}}) {
        const std::vector<HidEvent> once{
            At(loop + 0, page::kKeyboard, kUsageA, true),
            At(loop + 120, page::kKeyboard, kUsageA, false),
            At(loop + 170, page::kKeyboard, kUsageLeftShift, true),
            At(loop + 210, page::kKeyboard, kUsageB, true),
            At(loop + 240, page::kKeyboard, kUsageB, false),
            At(loop + 260, page::kKeyboard, kUsageLeftShift, false),
        };
        expected.insert(expected.end(), once.begin(), once.end());
    }
    EXPECT_EQ(Tap(kQ), expected);
}

} // namespace
} // namespace tavrik
