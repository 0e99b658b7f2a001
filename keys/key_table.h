#pragma once
// The key table: one row per KeyIndex tying scan codes, the editors' key codes, virtual keys,
// HID usages and names together, and the main window's key buttons with their KeyPosition.
// Every conversion here accepts any input value and answers "none" (0, an empty name or the
// fallback text) for values outside the tables.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrik {

// Scan-code-set-1 make code; E0-prefixed keys have 0x100 added (0x000-0x07F, 0x100-0x17F).
using ScanCode = uint16_t;
// Row of the key table and per-key slot of a profile layer (0..255).
using KeyIndex = uint8_t;
// The editors' key list numbering (0x0000-0x0084, 0x8001-0x8015; 0xFFFF = empty row).
using KeyCode = uint16_t;
// Slot of a key in the keyboard's per-key tables (0..159).
using KeyPosition = uint8_t;

inline constexpr KeyCode kNoKeyCode = 0xFFFF;
inline constexpr int kKeyPositionCount = 160;
inline constexpr int kKeyTableSize = 256;

struct KeyRow {
    KeyCode keyCode = kNoKeyCode;
    uint8_t vk = 0;
    uint8_t altVk = 0; // the VK with Num Lock off (number-pad keys); equal to vk elsewhere
    uint8_t usageByte = 0;
    std::u16string_view name; // empty for an empty row
};

struct Usage {
    uint16_t page = 0;
    uint16_t usage = 0;
    bool operator==(const Usage&) const = default;
};

// One key button of the main window: its control id, the key it shows and the key's slot in
// the keyboard's per-key tables.
struct KeyButton {
    int controlId = 0;
    ScanCode scan = 0;
    KeyPosition position = 0;
};

// True for the two scan code ranges that name keys: 0x000-0x07F and 0x100-0x17F.
constexpr bool IsValidScan(ScanCode scan) {
    return scan < 0x080 || (scan >= 0x100 && scan < 0x180);
}

// 0x000-0x07F keep their value, 0x100-0x17F become 0x80-0xFF. Anything else is no key and
// gives index 0, the empty row of scan code 0, so it can never stand for a real key.
constexpr KeyIndex KeyIndexFromScan(ScanCode scan) {
    if (!IsValidScan(scan)) {
        return 0;
    }
    return static_cast<KeyIndex>(scan < 0x080 ? scan : scan - 0x080);
}

constexpr ScanCode ScanFromKeyIndex(KeyIndex index) {
    return index < 0x80 ? index : static_cast<ScanCode>(index + 0x080);
}

const KeyRow& KeyTableRow(KeyIndex index);

// The macro editor's key drop-down list offers the key codes below this one, in order.
inline constexpr KeyCode kMacroListKeyCodes = 0x0085;

// The key code of the scan code's row; kNoKeyCode for an empty row or no key.
KeyCode KeyCodeFromScan(ScanCode scan);
// The first row, in index order, with that key code; 0 if none.
ScanCode ScanFromKeyCode(KeyCode code);
// The name of the first row with that key code; empty if none.
std::u16string KeyNameFromCode(KeyCode code);
// The row's name, or "未知按键: %03x" for a row without one; cut to capacity - 1 characters
// when name length + 2 exceeds the capacity (every caller passes 260; capacity 0 gives an
// empty text).
std::u16string KeyNameFromScan(ScanCode scan, size_t capacity = 260);
// The row's HID usage page and usage; (0, 0) for a key without one.
Usage UsageFromScan(ScanCode scan);
// The first row, in index order, whose usage byte encodes (page, usage); 0 if none.
ScanCode ScanFromUsage(uint16_t page, uint16_t usage);
// vk and keystroke data as a Windows keyboard hook reports them (bits 16-23 make code,
// bit 24 extended flag); 0 = no key.
ScanCode ScanFromKeyEvent(uint32_t vk, uint32_t keystrokeData);
// The ModifierMask bit of one of the eight modifier keys, 0 for any other key.
uint8_t ModifierBitFromScan(ScanCode scan);
// The key of the lowest set bit; 0 for an empty mask.
ScanCode ScanFromModifierMask(uint8_t mask);
// Keys whose press is reported only as a release (Sys Req, KL, KR, Print Screen).
bool IsReleaseOnlyKey(ScanCode scan);
// The main window's 104 key buttons, in control id order.
std::span<const KeyButton> KeyButtons();
// Control id to KeyPosition: the key buttons, G1-G5 (1-5), G6-G9 (0) and Fn (53); any other
// id gives 0.
KeyPosition PositionFromButton(int controlId);
// The key a key button shows; 0 for the G keys, Fn and any other id.
ScanCode ScanFromButton(int controlId);

} // namespace tavrik
