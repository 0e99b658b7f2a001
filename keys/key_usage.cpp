// HID side of the key table: usage bytes, usage pages and the boot-keyboard modifier byte.
#include "keys/key_table.h"

#include "keys/key_table_data.h"

#include <algorithm>
#include <array>
#include <bit>

namespace tavrik {

namespace {

constexpr uint16_t kPageGenericDesktop = 0x01;
constexpr uint16_t kPageKeyboard = 0x07;
constexpr uint16_t kPageConsumer = 0x0C;

// A usage byte packs three pages into eight bits: 0x81-0x83 are the Generic Desktop system
// keys (power, sleep, wake), 0xC0-0xDF index the consumer usages, the rest are keyboard usages.
constexpr uint8_t kFirstSystemByte = 0x81;
constexpr uint8_t kLastSystemByte = 0x83;
constexpr uint8_t kFirstConsumerByte = 0xC0;
constexpr uint8_t kLastConsumerByte = 0xDF;

constexpr bool IsNoUsage(unsigned byte) {
    return byte == 0x00 || byte == 0xFF;
}
constexpr bool IsSystemByte(unsigned byte) {
    return byte >= kFirstSystemByte && byte <= kLastSystemByte;
}
constexpr bool IsConsumerByte(unsigned byte) {
    return byte >= kFirstConsumerByte && byte <= kLastConsumerByte;
}

// The usage byte that encodes (page, usage); 0 when the encoding has none. Keyboard usages
// above 0xFF, and those whose byte the encoding gives to another page, have no byte: taking
// them would turn keyboard usage 0x81 (Volume Down) into the Power key.
uint8_t UsageByteFromUsage(uint16_t page, uint16_t usage) {
    switch (page) {
    case kPageKeyboard:
        if (usage > 0xFF || IsNoUsage(usage) || IsSystemByte(usage) || IsConsumerByte(usage)) {
            return 0;
        }
        return static_cast<uint8_t>(usage);
    case kPageGenericDesktop:
        return IsSystemByte(usage) ? static_cast<uint8_t>(usage) : 0;
    case kPageConsumer: {
        // Consumer usage 0 means "unassigned"; the empty tail of the table must not match it.
        const auto& table = key_data::kConsumerUsageTable;
        const auto found = usage == 0 ? table.end() : std::find(table.begin(), table.end(), usage);
        return found == table.end()
                   ? 0
                   : static_cast<uint8_t>(kFirstConsumerByte + (found - table.begin()));
    }
    default:
        return 0;
    }
}

// Bit n of the ModifierMask is the n-th key here.
constexpr std::array<ScanCode, 8> kModifierKeys = {
    0x01D, // left Ctrl
    0x02A, // left Shift
    0x038, // left Alt
    0x15B, // left Win
    0x11D, // right Ctrl
    0x036, // right Shift
    0x138, // right Alt
    0x15C, // right Win
};

} // namespace

Usage UsageFromScan(ScanCode scan) {
    const uint8_t byte = KeyTableRow(KeyIndexFromScan(scan)).usageByte;
    if (IsNoUsage(byte)) {
        return {};
    }
    if (IsSystemByte(byte)) {
        return {kPageGenericDesktop, byte};
    }
    if (IsConsumerByte(byte)) {
        return {kPageConsumer, key_data::kConsumerUsageTable[byte - kFirstConsumerByte]};
    }
    return {kPageKeyboard, byte};
}

ScanCode ScanFromUsage(uint16_t page, uint16_t usage) {
    const uint8_t byte = UsageByteFromUsage(page, usage);
    if (byte == 0) {
        return 0;
    }
    for (int index = 0; index < kKeyTableSize; ++index) {
        if (KeyTableRow(static_cast<KeyIndex>(index)).usageByte == byte) {
            return ScanFromKeyIndex(static_cast<KeyIndex>(index));
        }
    }
    return 0;
}

uint8_t ModifierBitFromScan(ScanCode scan) {
    const auto found = std::find(kModifierKeys.begin(), kModifierKeys.end(), scan);
    return found == kModifierKeys.end()
               ? 0
               : static_cast<uint8_t>(1u << (found - kModifierKeys.begin()));
}

ScanCode ScanFromModifierMask(uint8_t mask) {
    return mask == 0 ? 0 : kModifierKeys[std::countr_zero(mask)];
}

} // namespace tavrik
