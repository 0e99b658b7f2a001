#include "assign/key_map_entry.h"

namespace tavrik {

namespace {

uint16_t UsageFromBytes(uint8_t low, uint8_t high) {
    return static_cast<uint16_t>(low | (high << 8));
}

KeyMapEntry UsageEntry(uint8_t kind, uint16_t usage) {
    return KeyMapEntry{kind, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)};
}

} // namespace

KeyMapEntry ReadKeyMapEntry(const KeyMapBlock& block, size_t position) {
    const size_t offset = position * kKeyMapEntrySize;
    return KeyMapEntry{block.at(offset), block.at(offset + 1), block.at(offset + 2)};
}

void WriteKeyMapEntry(KeyMapBlock& block, size_t position, KeyMapEntry entry) {
    const size_t offset = position * kKeyMapEntrySize;
    block.at(offset) = entry.kind;
    block.at(offset + 1) = entry.sub;
    block.at(offset + 2) = entry.arg;
}

ScanCode ScanFromKeyMapEntry(KeyMapEntry entry) {
    switch (entry.kind) {
    case key_map_kind::kKeyboard:
        return entry.sub == key_map_sub::kKey ? ScanFromUsage(kUsagePageKeyboard, entry.arg)
                                              : ScanFromModifierMask(entry.arg);
    case key_map_kind::kConsumer:
        return ScanFromUsage(kUsagePageConsumer, UsageFromBytes(entry.sub, entry.arg));
    case key_map_kind::kGenericDesktop:
        return ScanFromUsage(kUsagePageGenericDesktop, UsageFromBytes(entry.sub, entry.arg));
    default:
        return 0;
    }
}

KeyMapEntry SingleKeyMapEntry(ScanCode scan) {
    if (const uint8_t modifierBit = ModifierBitFromScan(scan); modifierBit != 0) {
        return KeyMapEntry{key_map_kind::kKeyboard, key_map_sub::kModifiers, modifierBit};
    }
    const Usage usage = UsageFromScan(scan);
    const uint8_t keyboardUsage =
        usage.page == kUsagePageKeyboard ? static_cast<uint8_t>(usage.usage & 0xFF) : 0;
    return KeyMapEntry{key_map_kind::kKeyboard, key_map_sub::kKey, keyboardUsage};
}

KeyMapEntry KeyMapEntryFromScan(ScanCode scan) {
    const Usage usage = UsageFromScan(scan);
    switch (usage.page) {
    case kUsagePageKeyboard:
        return SingleKeyMapEntry(scan);
    case kUsagePageConsumer:
        return UsageEntry(key_map_kind::kConsumer, usage.usage);
    case kUsagePageGenericDesktop:
        return UsageEntry(key_map_kind::kGenericDesktop, usage.usage);
    default:
        return KeyMapEntry{};
    }
}

} // namespace tavrik
