#pragma once
// Between a profile layer and a key map of the keyboard: what each key position is downloaded
// as, and how a key map read back from the keyboard becomes a layer again. Both directions
// work relative to the keyboard's default layout: an unchanged position is a Default key.

#include "assign/key_function_entry.h"
#include "assign/key_map_entry.h"
#include "macro_record/macro_record.h"

#include <bitset>
#include <span>

namespace tavrik {

// What one key position sends, given the entry of the key that the position holds by default.
// PlayMacro names the macro by its position in the macro array (0 when no macro has the id).
KeyMapEntry EntryToKeyMapEntry(const KeyFunctionEntry& entry, KeyMapEntry defaultEntry,
                               std::span<const MacroRecord> macros);

// The key map of one hardware profile: a copy of the default layout with every key position
// rewritten from the layer's entry for the key it holds. Macro keys stay on the computer.
KeyMapBlock BuildKeyMap(const KeyMapBlock& defaultLayout, const KeyFunctionLayer& layer,
                        std::span<const MacroRecord> macros);

// Rebuilds a layer from a key map read from the keyboard. Entries the layer cannot express are
// read as Disabled, never rejected; macros are named by id = position + 1.
KeyFunctionLayer KeyMapBlockToLayer(const KeyMapBlock& block, const KeyMapBlock& defaultLayout);

// The slots of `layer` that a key map read from the keyboard leaves as they are: every slot whose
// key the key map still sends exactly as the slot's entry would be downloaded, and every slot
// without a key position (the G keys, keys this keyboard lacks), which the keyboard cannot hold.
std::bitset<kLayerSlots> SlotsTheKeyMapLeaves(const KeyMapBlock& block,
                                              const KeyMapBlock& defaultLayout,
                                              const KeyFunctionLayer& layer,
                                              std::span<const MacroRecord> macros);

} // namespace tavrik
