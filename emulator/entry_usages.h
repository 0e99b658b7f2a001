#pragma once
// The HID usages one three-byte key function (a key map entry, or the payload of a macro action)
// holds down while it is active.

#include "emulator/hid_event.h"

#include <cstdint>
#include <vector>

namespace tavrik::emu {

namespace entry_kind {
inline constexpr uint8_t kNone = 0;
inline constexpr uint8_t kKeyboard = 2;
inline constexpr uint8_t kConsumer = 3;
inline constexpr uint8_t kGenericDesktop = 4;
inline constexpr uint8_t kKeyboardFunction = 5;
} // namespace entry_kind

namespace entry_sub {
inline constexpr uint8_t kModifiers = 1;   // kind 2: arg is a ModifierMask
inline constexpr uint8_t kKey = 2;         // kind 2: arg is a keyboard usage
inline constexpr uint8_t kPlayMacro = 1;   // kind 5: arg is the macro's index in macro memory
inline constexpr uint8_t kStopMacro = 2;   // kind 5
inline constexpr uint8_t kFunctionKey = 5; // kind 5: arg is the function slot
} // namespace entry_sub

// Kind 2 sub 1: one keyboard usage per modifier bit, left Ctrl first. Kind 2 sub 2: the keyboard
// usage in arg. Kinds 3 and 4: the consumer or generic-desktop usage sub + arg x 256. Kind 5 sub 5:
// the function slot on the function-key page. Usage 0, an empty mask, macro control and every
// other combination hold nothing.
std::vector<HidUsage> UsagesOfEntry(uint8_t kind, uint8_t sub, uint8_t arg);

} // namespace tavrik::emu
