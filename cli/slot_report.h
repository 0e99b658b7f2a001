#pragma once
// A key slot of a profile layer and its function entry in words: the key's name (or the macro
// key and its bank), the entry type's name and the description the main window shows.

#include "assign/key_description.h"
#include "assign/key_function_entry.h"
#include "macro_record/macro_record.h"

#include <span>
#include <string>

namespace tavrik::cli {

// "Q", "Num 7", "右边 Shift", "G3 (bank B)": the key as the command line names it again.
std::string SlotName(size_t slot);

// "Q", "Num 7", "Right Shift", "G3 (bank B)": the key as messages name it.
std::string SlotDisplayName(size_t slot);

// "SingleKey", "PlayMacro", ...; "Unknown9" for types only damaged files hold.
std::string KeyFunctionTypeName(KeyFunctionType type);

// The main window's description of the key or macro key in that slot.
KeyDescription DescribeSlot(size_t slot, const KeyFunctionEntry& entry,
                            std::span<const MacroRecord> macros);

} // namespace tavrik::cli
