#include "keys/native_key_event.h"

#include "keys/evdev_map.h"

namespace tavrik {

namespace {

// X11 and xkb keycodes start at 8: keycode = Linux key code + 8.
constexpr uint32_t kXkbKeycodeOffset = 8;

// The number pad's cursor keysyms, which it sends with Num Lock off: XK_KP_Home (0xFF95) to
// XK_KP_Delete (0xFF9F), KP_Begin for the 5 included.
constexpr uint32_t kFirstKeypadCursorKeysym = 0xFF95;
constexpr uint32_t kLastKeypadCursorKeysym = 0xFF9F;

constexpr uint32_t kRepeatCountOne = 1;
constexpr unsigned kMakeCodeShift = 16;
constexpr uint32_t kExtendedFlag = 1u << 24;
constexpr uint32_t kPreviouslyDownFlag = 1u << 30;
constexpr uint32_t kReleaseFlag = 1u << 31;

ScanCode ScanFromNativeScanCode(uint32_t nativeScanCode) {
    return nativeScanCode < kXkbKeycodeOffset ? 0
                                              : ScanFromEvdev(nativeScanCode - kXkbKeycodeOffset);
}

bool IsKeypadCursorKeysym(uint32_t keysym) {
    return keysym >= kFirstKeypadCursorKeysym && keysym <= kLastKeypadCursorKeysym;
}

} // namespace

HookKeystroke HookKeystrokeFromNative(const NativeKeyEvent& event) {
    const ScanCode scan = ScanFromNativeScanCode(event.nativeScanCode);
    const KeyRow& row = KeyTableRow(KeyIndexFromScan(scan));

    HookKeystroke keystroke;
    keystroke.vk = IsKeypadCursorKeysym(event.keysym) ? row.altVk : row.vk;
    keystroke.keystrokeData = kRepeatCountOne | (uint32_t{scan & 0xFFu} << kMakeCodeShift);
    if (scan >= 0x100) {
        keystroke.keystrokeData |= kExtendedFlag;
    }
    if (event.autoRepeat || event.release) {
        keystroke.keystrokeData |= kPreviouslyDownFlag;
    }
    if (event.release) {
        keystroke.keystrokeData |= kReleaseFlag;
    }
    return keystroke;
}

ScanCode ScanFromNativeKeyEvent(const NativeKeyEvent& event) {
    const HookKeystroke keystroke = HookKeystrokeFromNative(event);
    return ScanFromKeyEvent(keystroke.vk, keystroke.keystrokeData);
}

} // namespace tavrik
