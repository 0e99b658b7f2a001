#include "history/macro_edit_history.h"

#include <optional>
#include <utility>

namespace tavrik {
namespace {

// Steps that fold into the one before them when they change the same macro.
std::optional<MergeKey> MergeKeyOf(MacroEdit edit, const ListChange<MacroRecord>& change,
                                   uint64_t gesture) {
    if (edit != MacroEdit::Rename && edit != MacroEdit::LoopCount && edit != MacroEdit::Record)
        return std::nullopt;
    if (change.after.size() != 1)
        return std::nullopt;
    return MergeKey{static_cast<int>(edit), change.after.front().id, gesture};
}

} // namespace

MacroEditHistory::MacroEditHistory(MacroEditor& editor)
    : editor_(editor) {
    Restart();
}

std::vector<MacroRecord> MacroEditHistory::StoredRecords() {
    // The shown macro's rows and loop count live in the editor until stored.
    editor_.StoreShownMacro();
    const std::span<const MacroRecord> records = std::as_const(editor_).Records();
    return {records.begin(), records.end()};
}

void MacroEditHistory::Restart() {
    steps_.Clear();
    records_ = StoredRecords();
    place_ = editor_.CurrentPlace();
}

void MacroEditHistory::Note(MacroEdit edit, uint64_t gesture) {
    std::vector<MacroRecord> records = StoredRecords();
    ListChange<MacroRecord> change = ListChange<MacroRecord>::Between(records_, records);
    const MacroEditor::Place place = editor_.CurrentPlace();
    if (change.Empty()) {
        place_ = place;
        return;
    }
    records_ = std::move(records);
    const std::optional<MergeKey> key = MergeKeyOf(edit, change, gesture);
    if (auto* top = key ? steps_.TopToMerge(*key) : nullptr;
        top && top->change.macros.Absorb(change)) {
        top->change.after = place;
        top->name = MacroStepName(edit, top->change.macros);
    } else {
        std::u16string name = MacroStepName(edit, change);
        steps_.Push({std::move(name), Change{edit, std::move(change), place_, place}, key});
    }
    place_ = place;
}

void MacroEditHistory::Show(std::vector<MacroRecord> records, MacroEditor::Place place) {
    records_ = records;
    place_ = place;
    editor_.Restore(std::move(records), place);
}

bool MacroEditHistory::Move(bool undo) {
    const auto* step = undo ? steps_.Undo() : steps_.Redo();
    if (step == nullptr)
        return false;
    std::vector<MacroRecord> records = records_;
    if (undo)
        step->change.macros.Undo(records);
    else
        step->change.macros.Redo(records);
    Show(std::move(records), undo ? step->change.before : step->change.after);
    return true;
}

std::vector<AppliedMacroStep> MacroEditHistory::TakeApplied() {
    std::vector<AppliedMacroStep> applied;
    // Only the steps done; those undone go with the rest of the history.
    for (size_t index = 0; index < steps_.Index(); ++index)
        applied.push_back({steps_.At(index).name, steps_.At(index).change.macros});
    Restart();
    return applied;
}

} // namespace tavrik
