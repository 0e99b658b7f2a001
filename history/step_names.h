#pragma once
// The names of undo steps as the Button Menu and the dialogs show them after "撤销: " and
// "重做: " ("分配 Q → W", "录制 宏1").

#include "assign/key_function_entry.h"
#include "history/list_change.h"
#include "macro_record/macro_record.h"

#include <span>
#include <string>
#include <string_view>

namespace tavrik {

// The macro editor's operations that are steps of their own.
enum class MacroEdit {
    Add,
    Rename,
    Delete,
    LoopCount,
    EditAction,
    MoveAction,
    DeleteAction,
    ClearActions,
    Record,
};

// "分配 Q → W": the key at `slot` now does what `entry` says.
std::u16string AssignmentStepName(size_t slot, const KeyFunctionEntry& entry,
                                  std::span<const MacroRecord> macros);

// "导入 FILE" with the file's name.
std::u16string ImportStepName(std::u16string_view fileName);

// The macro edit's name with the macro it changed (renames with the old and the new name).
std::u16string MacroStepName(MacroEdit edit, const ListChange<MacroRecord>& change);

// "撤销: NAME" or "重做: NAME"; the bare word without a step.
std::u16string UndoMenuText(std::u16string_view name);
std::u16string RedoMenuText(std::u16string_view name);

} // namespace tavrik
