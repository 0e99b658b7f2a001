#include "assign/key_description.h"

#include "assign/assign_texts.h"
#include "assign/key_function_tables.h"

#include <algorithm>
#include <string_view>

namespace tavrik {

namespace {

std::u16string_view MacroNameById(uint32_t id, std::span<const MacroRecord> macros) {
    const auto macro = std::ranges::find(macros, id, &MacroRecord::id);
    return macro == macros.end() ? std::u16string_view{} : StoredMacroName(*macro);
}

std::u16string Bracketed(std::u16string_view opening, std::u16string_view content) {
    std::u16string text(opening);
    text += content;
    text += assign_text::kClose;
    return text;
}

// What follows "按键，设定为: " for each type; nothing for the types without a detail.
std::u16string AssignmentDetail(const KeyFunctionEntry& entry,
                                std::span<const MacroRecord> macros) {
    switch (entry.type) {
    case KeyFunctionType::SingleKey:
        return Bracketed(assign_text::kSingleKey,
                         KeyNameFromScan(static_cast<ScanCode>(entry.value)));
    case KeyFunctionType::PlayMacro:
        return Bracketed(assign_text::kMacro, MacroNameById(entry.value, macros));
    case KeyFunctionType::Multimedia:
        return entry.value < kMultimediaTable.size()
                   ? Bracketed(assign_text::kMultimedia,
                               KeyNameFromScan(kMultimediaTable[entry.value].scan))
                   : std::u16string{};
    case KeyFunctionType::FunctionKey:
        return Bracketed(assign_text::kFunctionKey, FunctionKeyName(entry.value));
    default:
        return {};
    }
}

bool IsAssigned(KeyFunctionType type) {
    return type >= KeyFunctionType::Disabled && type <= KeyFunctionType::FunctionKey;
}

KeyDescription Describe(std::u16string name, const KeyFunctionEntry& entry,
                        std::span<const MacroRecord> macros) {
    KeyDescription description{.text = std::move(name), .assigned = IsAssigned(entry.type)};
    if (description.assigned) {
        description.text += assign_text::kAssignedAs;
        description.text += AssignmentDetail(entry, macros);
    }
    return description;
}

std::u16string MacroKeyName(size_t gIndex) {
    std::u16string name(assign_text::kMacroKeyPrefix);
    for (const char digit : std::to_string(gIndex + 1)) {
        name.push_back(static_cast<char16_t>(digit));
    }
    return name;
}

bool IsKnownLayer(std::optional<size_t> layer) {
    return layer.has_value() && *layer < kLayerCount;
}

// Calls visit(buttonId, slot, name) for the nine G keys of the bank and every key button.
template <typename Visit>
void ForEachButton(bool bankB, Visit&& visit) {
    for (size_t gIndex = 0; gIndex < kMacroKeyButtons.size(); ++gIndex) {
        visit(kMacroKeyButtons[gIndex], MacroKeySlot(gIndex, bankB), MacroKeyName(gIndex));
    }
    for (int buttonId = kFirstKeyButton; buttonId <= kLastKeyButton; ++buttonId) {
        if (const ScanCode scan = ScanFromButton(buttonId); scan != 0) {
            visit(buttonId, size_t{KeyIndexFromScan(scan)}, KeyNameFromScan(scan));
        }
    }
}

// The short word of a type without a detail; the key itself for Default and damaged types.
std::u16string_view TypeWord(KeyFunctionType type, std::u16string_view keyName) {
    switch (type) {
    case KeyFunctionType::Disabled:
        return assign_text::kDisabled;
    case KeyFunctionType::LaunchProgram:
        return assign_text::kLaunchProgram;
    case KeyFunctionType::StopMacro:
        return assign_text::kStopMacro;
    case KeyFunctionType::TextBlock:
        return assign_text::kTextBlock;
    default:
        return keyName;
    }
}

} // namespace

std::u16string SlotKeyName(size_t slot) {
    if (IsMacroKeySlot(slot))
        return MacroKeyName((slot - kFirstMacroKeySlot) % kMacroKeysPerBank);
    if (slot >= kFirstMacroKeySlot)
        return {};
    const ScanCode scan = ScanFromKeyIndex(static_cast<KeyIndex>(slot));
    return scan != 0 ? KeyNameFromScan(scan) : std::u16string{};
}

std::u16string FunctionSummary(std::u16string_view keyName, const KeyFunctionEntry& entry,
                               std::span<const MacroRecord> macros) {
    if (entry.type == KeyFunctionType::SingleKey)
        return KeyNameFromScan(static_cast<ScanCode>(entry.value));
    std::u16string detail = AssignmentDetail(entry, macros);
    return detail.empty() ? std::u16string(TypeWord(entry.type, keyName)) : detail;
}

KeyDescription DescribeKey(ScanCode scan, const KeyFunctionEntry& entry,
                           std::span<const MacroRecord> macros) {
    return Describe(KeyNameFromScan(scan), entry, macros);
}

KeyDescription DescribeMacroKey(size_t gIndex, const KeyFunctionEntry& entry,
                                std::span<const MacroRecord> macros) {
    return Describe(MacroKeyName(gIndex), entry, macros);
}

void RefreshKeyDescriptions(KeyButtonView& view, const KeyFunctionLayers& layers,
                            std::span<const MacroRecord> macros, std::optional<size_t> activeLayer,
                            bool bankB) {
    const KeyFunctionLayer* layer = IsKnownLayer(activeLayer) ? &layers[*activeLayer] : nullptr;
    ForEachButton(bankB, [&](int buttonId, size_t slot, std::u16string name) {
        const KeyFunctionEntry entry = layer != nullptr ? (*layer)[slot] : KeyFunctionEntry{};
        view.SetKeyDescription(buttonId, Describe(std::move(name), entry, macros));
    });
}

bool ResetLayerFunctions(KeyButtonView& view, KeyFunctionLayers& layers,
                         std::optional<size_t> activeLayer, bool bankB) {
    if (!IsKnownLayer(activeLayer)) {
        return false;
    }
    KeyFunctionLayer& layer = layers[*activeLayer];
    ForEachButton(bankB, [&](int buttonId, size_t slot, std::u16string name) {
        layer[slot] = KeyFunctionEntry{};
        view.SetKeyDescription(buttonId, KeyDescription{.text = std::move(name)});
    });
    return true;
}

} // namespace tavrik
