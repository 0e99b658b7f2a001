#pragma once
// What one key does in one profile layer: the 16-byte key function entry, and the layer and
// slot numbering of the profile's entry table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik {

// Types above FunctionKey only come from damaged files; they are kept as read and otherwise
// treated like Default.
enum class KeyFunctionType : uint16_t {
    Default = 0,
    Disabled = 1,
    SingleKey = 2,     // value: ScanCode of the key to send
    LaunchProgram = 3, // the program path lives in the profile's text table
    PlayMacro = 4,     // value: macro id 1..100
    StopMacro = 5,
    TextBlock = 6,   // the text lives in the profile's text table
    Multimedia = 7,  // value: MultimediaTable row
    FunctionKey = 8, // value: FunctionKeyTable slot
};

struct KeyFunctionEntry {
    KeyFunctionType type = KeyFunctionType::Default;
    // The macro-key code in slots 256..273, the loop count of a PlayMacro entry written by the
    // assignment dialog, otherwise 0.
    uint16_t code = 0;
    uint32_t value = 0;
    uint32_t selectionFlag = 0; // carried through every edit; the program never sets it
    uint32_t reserved = 0;      // carried through every edit
    bool operator==(const KeyFunctionEntry&) const = default;
};

namespace key_function_entry_layout {
inline constexpr size_t kType = 0;
inline constexpr size_t kCode = 2;
inline constexpr size_t kValue = 4;
inline constexpr size_t kSelectionFlag = 8;
inline constexpr size_t kReserved = 12;
inline constexpr size_t kSize = 16;
} // namespace key_function_entry_layout

using KeyFunctionEntryBytes = std::span<const uint8_t, key_function_entry_layout::kSize>;
KeyFunctionEntry ReadKeyFunctionEntry(KeyFunctionEntryBytes bytes);
void WriteKeyFunctionEntry(const KeyFunctionEntry& entry,
                           std::span<uint8_t, key_function_entry_layout::kSize> bytes);

// A layer: slots 0..255 are keys by KeyIndex, 256..264 G1..G9 of bank A, 265..273 G1..G9 of
// bank B, the rest unused. Layer n is hardware profile n for n = 0..2; layer 3 is only carried.
inline constexpr size_t kLayerSlots = 512;
inline constexpr size_t kLayerCount = 4;
inline constexpr size_t kHardwareProfileCount = 3;
inline constexpr size_t kFirstMacroKeySlot = 256;
inline constexpr size_t kMacroKeysPerBank = 9;
inline constexpr size_t kMacroKeySlotCount = 2 * kMacroKeysPerBank;

static_assert(kLayerCount * kLayerSlots * key_function_entry_layout::kSize == 32768);

using KeyFunctionLayer = std::array<KeyFunctionEntry, kLayerSlots>;
using KeyFunctionLayers = std::array<KeyFunctionLayer, kLayerCount>;

inline constexpr bool IsMacroKeySlot(size_t slot) {
    return slot >= kFirstMacroKeySlot && slot < kFirstMacroKeySlot + kMacroKeySlotCount;
}

// Slot of G1..G9 (gIndex 0..8) in bank A or bank B.
inline constexpr size_t MacroKeySlot(size_t gIndex, bool bankB) {
    return kFirstMacroKeySlot + (bankB ? kMacroKeysPerBank : 0) + gIndex;
}

// The code a macro-key slot carries: 0x0301..0x0309 in bank A, 0x1301..0x1309 in bank B;
// 0 for every other slot.
uint16_t MacroKeyCode(size_t slot);

// A layer as the keyboard's key map leaves it before any key is read: every entry zero, the
// macro-key slots holding their codes.
KeyFunctionLayer EmptyLayerWithMacroKeyCodes();

} // namespace tavrik
