#include "keys/key_table.h"

#include "keys/key_table_data.h"

#include <algorithm>
#include <array>

namespace tavrik {

namespace {

using KeyRows = std::array<KeyRow, kKeyTableSize>;

// Every listed key names a real key and has a row of its own.
constexpr bool ListedKeysFitTheTable() {
    std::array<bool, kKeyTableSize> taken{};
    for (const key_data::ListedKey& key : key_data::kListedKeys) {
        const KeyIndex index = KeyIndexFromScan(key.scan);
        if (key.scan == 0 || !IsValidScan(key.scan) || taken[index]) {
            return false;
        }
        taken[index] = true;
    }
    return true;
}
static_assert(ListedKeysFitTheTable(), "listed keys need distinct scan codes in 0x001-0x17F");

// Places the listed keys at their KeyIndex; every other row stays empty.
constexpr KeyRows BuildKeyTable() {
    KeyRows rows{};
    for (const key_data::ListedKey& key : key_data::kListedKeys) {
        rows[KeyIndexFromScan(key.scan)] =
            KeyRow{key.keyCode, key.vk, key.altVk, key.usageByte, key.name};
    }
    return rows;
}

constexpr KeyRows kKeyTable = BuildKeyTable();

// Index of the first row holding the key code, or kKeyTableSize when none does.
size_t FirstRowWithKeyCode(KeyCode code) {
    if (code == kNoKeyCode) {
        return kKeyTableSize;
    }
    const auto found = std::find_if(kKeyTable.begin(), kKeyTable.end(),
                                    [code](const KeyRow& row) { return row.keyCode == code; });
    return static_cast<size_t>(found - kKeyTable.begin());
}

// "未知按键: " followed by the scan code in at least three lower-case hexadecimal digits.
std::u16string UnknownKeyName(ScanCode scan) {
    constexpr std::u16string_view kDigits = u"0123456789abcdef";
    std::u16string digits;
    for (unsigned value = scan; value != 0 || digits.size() < 3; value >>= 4) {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
    }
    return u"未知按键: " + digits;
}

} // namespace

const KeyRow& KeyTableRow(KeyIndex index) {
    return kKeyTable[index];
}

KeyCode KeyCodeFromScan(ScanCode scan) {
    return KeyTableRow(KeyIndexFromScan(scan)).keyCode;
}

ScanCode ScanFromKeyCode(KeyCode code) {
    const size_t index = FirstRowWithKeyCode(code);
    return index < kKeyTableSize ? ScanFromKeyIndex(static_cast<KeyIndex>(index)) : 0;
}

std::u16string KeyNameFromCode(KeyCode code) {
    const size_t index = FirstRowWithKeyCode(code);
    return index < kKeyTableSize ? std::u16string(kKeyTable[index].name) : std::u16string();
}

std::u16string KeyNameFromScan(ScanCode scan, size_t capacity) {
    const std::u16string_view name = KeyTableRow(KeyIndexFromScan(scan)).name;
    // As in a buffer of `capacity` characters: at most capacity - 1 besides the terminator, and
    // nothing at all without room for the terminator.
    if (capacity == 0) {
        return {};
    }
    std::u16string text = name.empty() ? UnknownKeyName(scan) : std::u16string(name);
    if (text.size() + 2 > capacity) {
        text.resize(std::min(text.size(), capacity - 1));
    }
    return text;
}

} // namespace tavrik
