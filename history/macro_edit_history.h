#pragma once
// The undo history of the assignment dialog's macro tab: each operation of the macro editor that
// changed the macros (their rows and loop counts included) is a step, undone and redone on the
// editor's working copies, so the user can step back before anything reaches the live profile.
// Typing a name, or a loop count, into one macro is one step, and so is everything one recording
// adds (the recording's number is its gesture).
//
// The dialog's Apply takes the steps done so far (TakeApplied): they go on as steps of the live
// profile's history, where they can be undone after the dialog has closed, and this history
// starts afresh from the applied macros.

#include "history/list_change.h"
#include "history/step_names.h"
#include "history/undo_history.h"
#include "macro/macro_editor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrik {

// One step of the dialog as the live profile's history takes it over.
struct AppliedMacroStep {
    std::u16string name;
    ListChange<MacroRecord> macros;
};

class MacroEditHistory {
public:
    // The editor as it is now is where the history begins.
    explicit MacroEditHistory(MacroEditor& editor);

    // After an operation of the editor: a step when it changed the macros.
    void Note(MacroEdit edit, uint64_t gesture = 0);
    // The user showed another macro or selected another row: undoing the next step comes back
    // to them.
    void NoteSelection() { place_ = editor_.CurrentPlace(); }

    // Revert the last step, or make the next one again, on the editor; false when there is
    // none.
    bool Undo() { return Move(true); }
    bool Redo() { return Move(false); }
    bool CanUndo() const { return steps_.CanUndo(); }
    bool CanRedo() const { return steps_.CanRedo(); }
    std::u16string UndoName() const { return steps_.UndoName(); }
    std::u16string RedoName() const { return steps_.RedoName(); }

    // The dialog applied the editor's records: the steps done since the last Apply, oldest first;
    // the editor as it is now is where the history begins again.
    std::vector<AppliedMacroStep> TakeApplied();

private:
    struct Change {
        MacroEdit edit = MacroEdit::EditAction;
        ListChange<MacroRecord> macros;
        MacroEditor::Place before;
        MacroEditor::Place after;
    };

    std::vector<MacroRecord> StoredRecords();
    void Restart();
    void Show(std::vector<MacroRecord> records, MacroEditor::Place place);
    bool Move(bool undo);

    MacroEditor& editor_;
    UndoHistory<Change> steps_;
    // The records and place as the last step (or the start) left them.
    std::vector<MacroRecord> records_;
    MacroEditor::Place place_;
};

} // namespace tavrik
