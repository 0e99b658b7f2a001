#pragma once
// The keyboard's key map unit: three bytes (kind, sub, arg) per KeyPosition, 160 per hardware
// profile. Macro actions in the keyboard's macro memory carry the same sub and arg bytes.

#include "device/device_commands.h"
#include "keys/key_table.h"

#include <cstddef>
#include <cstdint>

namespace tavrik {

struct KeyMapEntry {
    uint8_t kind = 0;
    uint8_t sub = 0;
    uint8_t arg = 0;
    bool operator==(const KeyMapEntry&) const = default;
};

inline constexpr size_t kKeyMapEntrySize = 3;
static_assert(kKeyMapEntrySize * kKeyPositionCount == kKeyMapBlockSize);

namespace key_map_kind {
inline constexpr uint8_t kNone = 0;
inline constexpr uint8_t kKeyboard = 2;       // HID usage page 7
inline constexpr uint8_t kConsumer = 3;       // page 12, usage little-endian in sub and arg
inline constexpr uint8_t kGenericDesktop = 4; // page 1 (power, sleep, wake)
inline constexpr uint8_t kKeyboardFunction = 5;
} // namespace key_map_kind

namespace key_map_sub {
// kind 2
inline constexpr uint8_t kModifiers = 1; // arg: ModifierMask
inline constexpr uint8_t kKey = 2;       // arg: keyboard usage
// kind 5
inline constexpr uint8_t kPlayMacro = 1; // arg: position in the keyboard's macro memory
inline constexpr uint8_t kStopMacro = 2;
inline constexpr uint8_t kFunctionKey = 5; // arg: FunctionKeyTable slot
} // namespace key_map_sub

inline constexpr uint16_t kUsagePageGenericDesktop = 0x01;
inline constexpr uint16_t kUsagePageKeyboard = 0x07;
inline constexpr uint16_t kUsagePageConsumer = 0x0C;

KeyMapEntry ReadKeyMapEntry(const KeyMapBlock& block, size_t position);
void WriteKeyMapEntry(KeyMapBlock& block, size_t position, KeyMapEntry entry);

// The key a key map entry or a macro action sends; 0 = none.
ScanCode ScanFromKeyMapEntry(KeyMapEntry entry);

// How a macro action sends a key: keyboard (modifiers as a mask), consumer or generic-desktop
// usage, or kind 0 for a key without a usage.
KeyMapEntry KeyMapEntryFromScan(ScanCode scan);

// How a key remapped to a single key is downloaded: always kind 2; a key without a keyboard
// usage sends usage 0.
KeyMapEntry SingleKeyMapEntry(ScanCode scan);

} // namespace tavrik
