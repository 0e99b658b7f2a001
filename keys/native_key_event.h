#pragma once
// A key event of our own windows as the window system reports it, turned into the virtual key
// and keystroke data a Windows keyboard hook would report, so the recorder and the key capture
// can use ScanFromKeyEvent unchanged. The GUI's application-wide event filter passes the plain
// values of the QKeyEvent; the core needs no QtGui.

#include "keys/key_table.h"

#include <cstdint>

namespace tavrik {

struct NativeKeyEvent {
    uint32_t nativeScanCode = 0; // QKeyEvent::nativeScanCode(): X11/xkb keycode = Linux code + 8
    uint32_t keysym = 0;         // QKeyEvent::nativeVirtualKey(): the X keysym
    bool autoRepeat = false;
    bool release = false;
};

struct HookKeystroke {
    uint32_t vk = 0;
    // Bits 0-15 repeat count (1), 16-23 make code, 24 extended (E0) flag, 30 the key was
    // already down (auto-repeat or release), 31 release.
    uint32_t keystrokeData = 0;
};

// The physical key decides the make code; the keysym only says whether a number-pad key is
// working as a cursor key (Num Lock off), which gives the row's alternative virtual key.
HookKeystroke HookKeystrokeFromNative(const NativeKeyEvent& event);

// ScanFromKeyEvent of the keystroke above; 0 = not a key of the table.
ScanCode ScanFromNativeKeyEvent(const NativeKeyEvent& event);

} // namespace tavrik
