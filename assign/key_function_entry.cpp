#include "assign/key_function_entry.h"

#include "device/byte_order.h"

namespace tavrik {

namespace layout = key_function_entry_layout;

KeyFunctionEntry ReadKeyFunctionEntry(KeyFunctionEntryBytes bytes) {
    return KeyFunctionEntry{
        .type = static_cast<KeyFunctionType>(ReadU16(bytes, layout::kType)),
        .code = ReadU16(bytes, layout::kCode),
        .value = ReadU32(bytes, layout::kValue),
        .selectionFlag = ReadU32(bytes, layout::kSelectionFlag),
        .reserved = ReadU32(bytes, layout::kReserved),
    };
}

void WriteKeyFunctionEntry(const KeyFunctionEntry& entry, std::span<uint8_t, layout::kSize> bytes) {
    WriteU16(bytes, layout::kType, static_cast<uint16_t>(entry.type));
    WriteU16(bytes, layout::kCode, entry.code);
    WriteU32(bytes, layout::kValue, entry.value);
    WriteU32(bytes, layout::kSelectionFlag, entry.selectionFlag);
    WriteU32(bytes, layout::kReserved, entry.reserved);
}

uint16_t MacroKeyCode(size_t slot) {
    if (!IsMacroKeySlot(slot)) {
        return 0;
    }
    const size_t index = slot - kFirstMacroKeySlot;
    const uint16_t bankBase = index < kMacroKeysPerBank ? 0x0300 : 0x1300;
    return static_cast<uint16_t>(bankBase + index % kMacroKeysPerBank + 1);
}

KeyFunctionLayer EmptyLayerWithMacroKeyCodes() {
    KeyFunctionLayer layer{};
    for (size_t slot = kFirstMacroKeySlot; slot < kFirstMacroKeySlot + kMacroKeySlotCount; ++slot) {
        layer[slot].code = MacroKeyCode(slot);
    }
    return layer;
}

} // namespace tavrik
