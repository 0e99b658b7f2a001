#include "history/step_names.h"

#include "assign/key_description.h"
#include "history/history_texts.h"
#include "profile/decimal_text.h"

namespace tavrik {
namespace {

std::u16string Joined(std::u16string_view first, std::u16string_view second) {
    std::u16string text(first);
    text += second;
    return text;
}

std::u16string_view WordOf(MacroEdit edit) {
    switch (edit) {
    case MacroEdit::Add:
        return history_text::kAddMacro;
    case MacroEdit::Rename:
        return history_text::kRenameMacro;
    case MacroEdit::Delete:
        return history_text::kDeleteMacro;
    case MacroEdit::LoopCount:
        return history_text::kLoopCount;
    case MacroEdit::EditAction:
        return history_text::kEditAction;
    case MacroEdit::MoveAction:
        return history_text::kMoveAction;
    case MacroEdit::DeleteAction:
        return history_text::kDeleteAction;
    case MacroEdit::ClearActions:
        return history_text::kClearActions;
    case MacroEdit::Record:
        return history_text::kRecord;
    }
    return {};
}

std::u16string MenuText(std::u16string_view word, std::u16string_view name) {
    return name.empty() ? std::u16string(word)
                        : Joined(Joined(word, history_text::kNameSeparator), name);
}

} // namespace

std::u16string AssignmentStepName(size_t slot, const KeyFunctionEntry& entry,
                                  std::span<const MacroRecord> macros) {
    const std::u16string key = SlotKeyName(slot % kLayerSlots);
    return Joined(Joined(Joined(history_text::kAssign, key), history_text::kArrow),
                  FunctionSummary(key, entry, macros));
}

std::u16string ImportStepName(std::u16string_view fileName) {
    return Joined(history_text::kImport, fileName);
}

std::u16string MacroStepName(MacroEdit edit, const ListChange<MacroRecord>& change) {
    const MacroRecord* before = change.before.empty() ? nullptr : &change.before.front();
    const MacroRecord* after = change.after.empty() ? before : &change.after.front();
    std::u16string name(WordOf(edit));
    if (after == nullptr)
        return name;
    if (edit == MacroEdit::Rename && before != nullptr)
        return name + Joined(Joined(StoredMacroName(*before), history_text::kArrow),
                             StoredMacroName(*after));
    name += StoredMacroName(edit == MacroEdit::Delete && before ? *before : *after);
    if (edit == MacroEdit::LoopCount)
        name += Joined(history_text::kArrow, IntToDecimalText(after->loopCount));
    return name;
}

std::u16string UndoMenuText(std::u16string_view name) {
    return MenuText(history_text::kUndo, name);
}

std::u16string RedoMenuText(std::u16string_view name) {
    return MenuText(history_text::kRedo, name);
}

} // namespace tavrik
