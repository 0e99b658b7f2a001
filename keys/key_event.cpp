// Keystrokes as a keyboard hook reports them: a virtual key and the keystroke data word.
#include "keys/key_table.h"

#include "keys/key_table_data.h"

#include <algorithm>
#include <array>

namespace tavrik {

namespace {

using VkScanTable = std::array<ScanCode, 256>;

struct VkChoice {
    uint8_t vk;
    ScanCode scan;
};

// Virtual keys that several rows share, or that no row has but a hook reports.
constexpr VkChoice kVkChoices[] = {
    {0x0D, 0x01C}, // Enter: the main key, not the number pad's
    {0x2C, 0x137}, // Print Screen, not Sys Req
    {0xA1, 0x036}, // right Shift: the plain code, not the E0 one
    {0x10, 0x02A}, // the generic Shift, Ctrl and Alt give the left keys
    {0x11, 0x01D}, {0x12, 0x038},
};

// Mouse buttons, the program's own functions (0x88-0x9F) and "no virtual key" (0xFF) have no
// default key.
constexpr bool HasNoDefaultKey(unsigned vk) {
    return vk == 0x01 || vk == 0x02 || vk == 0x04 || (vk >= 0x88 && vk <= 0x9F) || vk == 0xFF;
}

constexpr const VkChoice* FindChoice(unsigned vk) {
    for (const VkChoice& choice : kVkChoices) {
        if (choice.vk == vk) {
            return &choice;
        }
    }
    return nullptr;
}

constexpr int CountRowsWithVk(unsigned vk) {
    return static_cast<int>(std::count_if(std::begin(key_data::kListedKeys),
                                          std::end(key_data::kListedKeys),
                                          [vk](const auto& key) { return key.vk == vk; }));
}

// Every virtual key that several rows share has a listed choice (or no default key at all).
constexpr bool SharedVksAreResolved() {
    for (unsigned vk = 0; vk < 256; ++vk) {
        if (!HasNoDefaultKey(vk) && FindChoice(vk) == nullptr && CountRowsWithVk(vk) > 1) {
            return false;
        }
    }
    return true;
}
static_assert(SharedVksAreResolved(), "a virtual key shared by several keys needs a choice");

// The default ScanCode of each virtual key: the row that has it, or the listed choice.
constexpr VkScanTable BuildVkScanTable() {
    VkScanTable table{};
    for (const key_data::ListedKey& key : key_data::kListedKeys) {
        table[key.vk] = key.scan;
    }
    for (const VkChoice& choice : kVkChoices) {
        table[choice.vk] = choice.scan;
    }
    for (unsigned vk = 0; vk < 256; ++vk) {
        if (HasNoDefaultKey(vk)) {
            table[vk] = 0;
        }
    }
    return table;
}

constexpr VkScanTable kVkScanTable = BuildVkScanTable();

constexpr unsigned kMakeCodeShift = 16;
constexpr uint32_t kScanWithExtendedMask = 0x1FF; // make code and the extended flag above it
constexpr ScanCode kRightShift = 0x036;
constexpr uint32_t kNoVirtualKey = 0xFF;

constexpr std::array<ScanCode, 4> kReleaseOnlyKeys = {0x054, 0x071, 0x072, 0x137};

} // namespace

ScanCode ScanFromKeyEvent(uint32_t vk, uint32_t keystrokeData) {
    const auto reported =
        static_cast<ScanCode>((keystrokeData >> kMakeCodeShift) & kScanWithExtendedMask);
    const ScanCode byVk = vk < kVkScanTable.size() ? kVkScanTable[vk] : 0;
    if (reported == kRightShift) {
        return kRightShift;
    }
    // A make code with its top bit set is not a key; only the virtual key can say which it is.
    if (!IsValidScan(reported)) {
        return byVk;
    }
    if (vk == kNoVirtualKey) {
        return reported;
    }
    const uint8_t makeCode = reported & 0xFF;
    if (makeCode == 0) {
        return byVk;
    }
    // Keep the reported key when it agrees with the virtual key: its own row, its Num-Lock-off
    // virtual key (number pad), or the default key of the same make code without the E0 flag
    // (a generic Ctrl or Alt reported for the right-hand key).
    const KeyRow& row = KeyTableRow(KeyIndexFromScan(reported));
    if (row.vk == vk || row.altVk == vk || KeyIndexFromScan(byVk) == makeCode) {
        return reported;
    }
    return byVk;
}

bool IsReleaseOnlyKey(ScanCode scan) {
    return std::find(kReleaseOnlyKeys.begin(), kReleaseOnlyKeys.end(), scan) !=
           kReleaseOnlyKeys.end();
}

} // namespace tavrik
