#include "assign/key_map_conversion.h"

#include "assign/key_function_tables.h"

#include <algorithm>

namespace tavrik {

namespace {

uint8_t MacroPosition(uint32_t id, std::span<const MacroRecord> macros) {
    const auto macro = std::ranges::find(macros, id, &MacroRecord::id);
    return macro == macros.end() ? 0 : static_cast<uint8_t>(macro - macros.begin());
}

KeyMapEntry MultimediaKeyMapEntry(uint32_t row, KeyMapEntry defaultEntry) {
    if (row >= kMultimediaTable.size()) {
        return defaultEntry; // a damaged file: keep the key as it is
    }
    const uint16_t usage = kMultimediaTable[row].consumerUsage;
    return KeyMapEntry{key_map_kind::kConsumer, static_cast<uint8_t>(usage & 0xFF),
                       static_cast<uint8_t>(usage >> 8)};
}

KeyMapEntry FunctionKeyMapEntry(uint8_t sub, uint32_t arg) {
    return KeyMapEntry{key_map_kind::kKeyboardFunction, sub, static_cast<uint8_t>(arg & 0xFF)};
}

// What a changed key map entry means as a key function; Disabled when nothing fits.
KeyFunctionEntry EntryFromChangedKeyMapEntry(KeyMapEntry changed) {
    using enum KeyFunctionType;
    if (changed.kind == key_map_kind::kKeyboardFunction) {
        switch (changed.sub) {
        case key_map_sub::kPlayMacro:
            return {.type = PlayMacro, .value = changed.arg + 1u};
        case key_map_sub::kStopMacro:
            return {.type = StopMacro};
        case key_map_sub::kFunctionKey:
            return {.type = FunctionKey, .value = changed.arg};
        default:
            return {.type = Disabled};
        }
    }
    if (changed.kind == key_map_kind::kConsumer) {
        const auto row =
            MultimediaRowFromUsage(static_cast<uint16_t>(changed.sub | (changed.arg << 8)));
        return row ? KeyFunctionEntry{.type = Multimedia, .value = static_cast<uint32_t>(*row)}
                   : KeyFunctionEntry{.type = Disabled};
    }
    if (changed.kind == key_map_kind::kKeyboard && changed.sub == key_map_sub::kKey) {
        const ScanCode scan = ScanFromUsage(kUsagePageKeyboard, changed.arg);
        return scan != 0 ? KeyFunctionEntry{.type = SingleKey, .value = scan}
                         : KeyFunctionEntry{.type = Disabled};
    }
    if (changed.kind == key_map_kind::kKeyboard && changed.sub == key_map_sub::kModifiers) {
        return {.type = SingleKey, .value = ScanFromModifierMask(changed.arg)};
    }
    return {.type = Disabled};
}

} // namespace

KeyMapEntry EntryToKeyMapEntry(const KeyFunctionEntry& entry, KeyMapEntry defaultEntry,
                               std::span<const MacroRecord> macros) {
    switch (entry.type) {
    case KeyFunctionType::Disabled:
    case KeyFunctionType::TextBlock:
        return KeyMapEntry{};
    case KeyFunctionType::SingleKey:
        return SingleKeyMapEntry(static_cast<ScanCode>(entry.value));
    case KeyFunctionType::PlayMacro:
        return FunctionKeyMapEntry(key_map_sub::kPlayMacro, MacroPosition(entry.value, macros));
    case KeyFunctionType::StopMacro:
        return FunctionKeyMapEntry(key_map_sub::kStopMacro, 0);
    case KeyFunctionType::Multimedia:
        return MultimediaKeyMapEntry(entry.value, defaultEntry);
    case KeyFunctionType::FunctionKey:
        return FunctionKeyMapEntry(key_map_sub::kFunctionKey, entry.value);
    default: // Default, LaunchProgram and types from damaged files
        return defaultEntry;
    }
}

KeyMapBlock BuildKeyMap(const KeyMapBlock& defaultLayout, const KeyFunctionLayer& layer,
                        std::span<const MacroRecord> macros) {
    KeyMapBlock keyMap = defaultLayout;
    for (size_t position = 0; position < kKeyPositionCount; ++position) {
        const KeyMapEntry defaultEntry = ReadKeyMapEntry(defaultLayout, position);
        const ScanCode scan = ScanFromKeyMapEntry(defaultEntry);
        if (scan == 0) {
            continue;
        }
        const KeyFunctionEntry& entry = layer[KeyIndexFromScan(scan)];
        WriteKeyMapEntry(keyMap, position, EntryToKeyMapEntry(entry, defaultEntry, macros));
    }
    return keyMap;
}

KeyFunctionLayer KeyMapBlockToLayer(const KeyMapBlock& block, const KeyMapBlock& defaultLayout) {
    KeyFunctionLayer layer = EmptyLayerWithMacroKeyCodes();
    for (size_t position = 0; position < kKeyPositionCount; ++position) {
        const KeyMapEntry changed = ReadKeyMapEntry(block, position);
        const KeyMapEntry defaultEntry = ReadKeyMapEntry(defaultLayout, position);
        if (changed == defaultEntry) {
            continue;
        }
        const KeyIndex slot = KeyIndexFromScan(ScanFromKeyMapEntry(defaultEntry));
        if (slot == 0) {
            continue;
        }
        layer[slot] = EntryFromChangedKeyMapEntry(changed);
    }
    return layer;
}

std::bitset<kLayerSlots> SlotsTheKeyMapLeaves(const KeyMapBlock& block,
                                              const KeyMapBlock& defaultLayout,
                                              const KeyFunctionLayer& layer,
                                              std::span<const MacroRecord> macros) {
    std::bitset<kLayerSlots> left;
    left.set();
    for (size_t position = 0; position < kKeyPositionCount; ++position) {
        const KeyMapEntry defaultEntry = ReadKeyMapEntry(defaultLayout, position);
        const KeyIndex slot = KeyIndexFromScan(ScanFromKeyMapEntry(defaultEntry));
        if (slot == 0) {
            continue;
        }
        if (EntryToKeyMapEntry(layer[slot], defaultEntry, macros) !=
            ReadKeyMapEntry(block, position)) {
            left.reset(slot);
        }
    }
    return left;
}

} // namespace tavrik
