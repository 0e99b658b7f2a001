#pragma once
// The description (tooltip) of a key button and whether the key is assigned, built from the
// key's function entry; and the two operations of the main window that redescribe or reset a
// whole layer through a small view interface.

#include "assign/key_function_entry.h"
#include "keys/key_table.h"
#include "macro_record/macro_record.h"

#include <array>
#include <optional>
#include <span>
#include <string>

namespace tavrik {

struct KeyDescription {
    std::u16string text{};
    bool assigned = false; // any type but Default
    bool operator==(const KeyDescription&) const = default;
};

// The key's name, then for an assigned key "按键，设定为: " and what it does. Macros are named
// from the macro array by id (an empty name when none has it).
KeyDescription DescribeKey(ScanCode scan, const KeyFunctionEntry& entry,
                           std::span<const MacroRecord> macros);
// The same for the macro key G1..G9 (gIndex 0..8) of the bank shown.
KeyDescription DescribeMacroKey(size_t gIndex, const KeyFunctionEntry& entry,
                                std::span<const MacroRecord> macros);

// The name of the key at a slot of a layer: the key's own name, or G1..G9 for the macro keys of
// either bank; empty for a slot no key has.
std::u16string SlotKeyName(size_t slot);

// What a key does, in short, as a change is named ("Q → W"): the key sent for a single key, the
// macro, multimedia or function key in brackets as the description names them, a word for the
// other types, and the key's own name (`keyName`) for Default.
std::u16string FunctionSummary(std::u16string_view keyName, const KeyFunctionEntry& entry,
                               std::span<const MacroRecord> macros);

// What the main window implements: show a button's description and assigned look.
class KeyButtonView {
public:
    virtual ~KeyButtonView() = default;
    virtual void SetKeyDescription(int buttonId, const KeyDescription& description) = 0;
};

// The main window's buttons: the G keys G1..G9 and the key buttons that carry a key.
inline constexpr std::array<int, kMacroKeysPerBank> kMacroKeyButtons{1000, 1001, 1002, 1003, 1004,
                                                                     1140, 1141, 1142, 1143};
inline constexpr int kFirstKeyButton = 1010;
inline constexpr int kLastKeyButton = 1120;

// Describes the nine G keys of the bank in force and every key button from the active layer.
// Without a known active layer (no keyboard answers) every button is described as Default.
void RefreshKeyDescriptions(KeyButtonView& view, const KeyFunctionLayers& layers,
                            std::span<const MacroRecord> macros, std::optional<size_t> activeLayer,
                            bool bankB);

// The main window's "Default" command: clears the whole entry of the nine G keys of the bank in
// force and of every key button in the active layer and describes them afresh. Texts of
// cleared entries stay in the text table. Returns false, changing nothing, without an active
// layer. The caller holds the profile lock and marks the window modified.
bool ResetLayerFunctions(KeyButtonView& view, KeyFunctionLayers& layers,
                         std::optional<size_t> activeLayer, bool bankB);

} // namespace tavrik
