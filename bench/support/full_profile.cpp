#include "bench/support/full_profile.h"

#include "assign/key_map_conversion.h"
#include "keys/key_table.h"
#include "macro/macro_image.h"

#include <algorithm>

namespace tavrik::bench {
namespace {

constexpr size_t kKeystrokesPerMacro = 20;
constexpr uint32_t kKeystrokePauseMs = 30;
constexpr uint32_t kPauseStepPerVariantMs = 10; // the keyboard keeps pauses in 10 ms steps

ScanCode KeyOfButton(size_t index) {
    const std::span<const KeyButton> keys = KeyButtons();
    return keys[index % keys.size()].scan;
}

MacroRecord NewMacro(size_t number) {
    MacroRecord macro;
    macro.id = static_cast<uint16_t>(number);
    macro.name = DefaultMacroName(static_cast<unsigned>(number));
    return macro;
}

void AddKeystroke(MacroRecord& macro, unsigned variant) {
    const ScanCode key = KeyOfButton(macro.id + macro.actions.size() / 2 + variant);
    const uint32_t pause = kKeystrokePauseMs + variant * kPauseStepPerVariantMs;
    macro.actions.push_back({pause, key, KeyDirection::Press});
    macro.actions.push_back({pause, key, KeyDirection::Release});
}

void RemoveKeystroke(std::vector<MacroRecord>& macros) {
    MacroRecord& last = macros.back();
    last.actions.resize(last.actions.size() - 2);
    if (last.actions.empty())
        macros.pop_back();
}

KeyFunctionEntry KeyEntry(size_t keyIndex, size_t macroCount, unsigned variant) {
    KeyFunctionEntry entry;
    if (keyIndex < macroCount) {
        entry.type = KeyFunctionType::PlayMacro;
        entry.code = 1; // played once
        entry.value = static_cast<uint32_t>((keyIndex + variant) % macroCount + 1);
    } else {
        entry.type = KeyFunctionType::SingleKey;
        entry.value = KeyOfButton(keyIndex + 1 + variant);
    }
    return entry;
}

} // namespace

size_t MacroMemoryBytes(EmulatedHidBridge& keyboard) {
    return keyboard.WithFirmware([](emu::KeyboardFirmware& firmware) {
        return size_t{firmware.Memory().CapacityUnits()} * emu::kMacroUnitSize;
    });
}

std::vector<MacroRecord> MacrosFilling(size_t memoryBytes, unsigned variant) {
    std::vector<MacroRecord> macros;
    for (;;) {
        if (macros.empty() || macros.back().actions.size() >= 2 * kKeystrokesPerMacro) {
            if (macros.size() == kMaxMacros)
                return macros;
            macros.push_back(NewMacro(macros.size() + 1));
        }
        AddKeystroke(macros.back(), variant);
        if (MacroImageSizes(macros).withNames > memoryBytes) {
            RemoveKeystroke(macros);
            return macros;
        }
    }
}

void AssignEveryKey(KeyFunctionLayers& layers, size_t macroCount, unsigned variant) {
    const std::span<const KeyButton> keys = KeyButtons();
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer)
        for (size_t index = 0; index < keys.size(); ++index)
            layers[layer][KeyIndexFromScan(keys[index].scan)] =
                KeyEntry(index, macroCount, variant);
}

bool StoreOnKeyboard(EmulatedHidBridge& keyboard, const KeyFunctionLayers& layers,
                     std::span<const MacroRecord> macros) {
    const std::optional<std::vector<uint8_t>> image = BuildMacroImage(macros, true);
    return keyboard.WithFirmware([&](emu::KeyboardFirmware& firmware) {
        emu::KeyboardMemory& memory = firmware.Memory();
        if (!image || image->size() > memory.macroMemory.size())
            return false;
        for (size_t profile = 0; profile < kHardwareProfileCount; ++profile)
            memory.keyMaps[profile] = BuildKeyMap(memory.defaultLayout, layers[profile], macros);
        std::ranges::copy(*image, memory.macroMemory.begin());
        return true;
    });
}

} // namespace tavrik::bench
