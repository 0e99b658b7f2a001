#include "cli/slot_report.h"

#include "names/key_names.h"

#include <array>

namespace tavrik::cli {

namespace {

constexpr std::array<std::string_view, 9> kTypeNames{"Default",       "Disabled",   "SingleKey",
                                                     "LaunchProgram", "PlayMacro",  "StopMacro",
                                                     "TextBlock",     "Multimedia", "FunctionKey"};

size_t MacroKeyIndex(size_t slot) {
    return (slot - kFirstMacroKeySlot) % kMacroKeysPerBank;
}

std::string MacroKeyName(size_t slot) {
    const bool bankA = slot - kFirstMacroKeySlot < kMacroKeysPerBank;
    return "G" + std::to_string(MacroKeyIndex(slot) + 1) + (bankA ? " (bank A)" : " (bank B)");
}

} // namespace

std::string SlotName(size_t slot) {
    if (slot < kFirstMacroKeySlot)
        return KeyToken(ScanFromKeyIndex(static_cast<KeyIndex>(slot)));
    return MacroKeyName(slot);
}

std::string SlotDisplayName(size_t slot) {
    if (slot < kFirstMacroKeySlot)
        return KeyDisplayName(ScanFromKeyIndex(static_cast<KeyIndex>(slot)));
    return MacroKeyName(slot);
}

std::string KeyFunctionTypeName(KeyFunctionType type) {
    const auto index = static_cast<size_t>(type);
    return index < kTypeNames.size() ? std::string(kTypeNames[index])
                                     : "Unknown" + std::to_string(index);
}

KeyDescription DescribeSlot(size_t slot, const KeyFunctionEntry& entry,
                            std::span<const MacroRecord> macros) {
    if (slot < kFirstMacroKeySlot)
        return DescribeKey(ScanFromKeyIndex(static_cast<KeyIndex>(slot)), entry, macros);
    return DescribeMacroKey(MacroKeyIndex(slot), entry, macros);
}

} // namespace tavrik::cli
