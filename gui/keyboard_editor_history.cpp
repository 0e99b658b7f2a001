// KeyboardEditor's undo history: steps kept around the edits of the live profile, undo, redo and
// "全部还原", all on the keyboard worker like every other edit.

#include "assign/assignment_apply.h"
#include "gui/keyboard_editor.h"
#include "history/history_texts.h"

namespace tavrik {
namespace {

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

} // namespace

void KeyboardEditor::PostUndo() {
    Post([this] { MoveInHistory(true); });
}

void KeyboardEditor::PostRedo() {
    Post([this] { MoveInHistory(false); });
}

void KeyboardEditor::PostRevertAll() {
    Post([this] {
        bool reachesBeyondLayer = false;
        EditProfile([&](LiveProfile& profile) {
            const std::optional<ProfileContents> inStep = stack_->InStepCopy();
            if (!inStep)
                return std::u16string();
            const ProfileChange change = ProfileChange::Between(profile.Copy(), *inStep);
            change.Redo(profile);
            reachesBeyondLayer = change.ReachesBeyondLayer(ActiveLayer().value_or(0));
            return std::u16string(history_text::kRevertAll);
        });
        if (reachesBeyondLayer)
            MarkAllProfilesChanged();
        const LiveProfile::Lock lock = stack_->Profile().LockProfile();
        EnableApplyForPending(DescribeKeys());
    });
}

void KeyboardEditor::EditProfile(const std::function<std::u16string(LiveProfile&)>& edit) {
    {
        LiveProfile& profile = stack_->Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        ProfileHistory::Edit before = history_.Begin(profile);
        std::u16string name = edit(profile);
        if (!name.empty())
            history_.Commit(profile, std::move(before), std::move(name));
        DescribeKeys();
    }
    PublishUndoNames();
}

void KeyboardEditor::ApplyMacroSteps(const std::vector<AppliedMacroStep>& steps) {
    // The dialog's list and the live one stand in the same order (the dialog opened on, or last
    // applied, the live list), so each step's splice lands on the macros it changed. The
    // assignment that follows installs the dialog's whole list, whatever these left.
    for (const AppliedMacroStep& step : steps) {
        EditProfile([&step](LiveProfile& profile) {
            std::vector<MacroRecord> listed = profile.Macros();
            step.macros.Redo(listed);
            InstallMacroList(profile.Record().layers, profile.Macros(), listed);
            return step.name;
        });
    }
}

void KeyboardEditor::MoveInHistory(bool undo) {
    {
        LiveProfile& profile = stack_->Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        const ProfileChange* change = undo ? history_.Undo(profile) : history_.Redo(profile);
        if (change != nullptr) {
            // The key maps name macros by their place: a moved macro list, or a key of another
            // profile, is sent for all three.
            if (change->ReachesBeyondLayer(ActiveLayer().value_or(0)))
                MarkAllProfilesChanged();
            EnableApplyForPending(DescribeKeys());
        }
    }
    emit historyMoved();
    PublishUndoNames();
}

void KeyboardEditor::EnableApplyForPending(const PendingChanges& pending) {
    EnableApply(!pending.Empty() || stack_->Store().DownloadPending());
}

void KeyboardEditor::PublishUndoNames() {
    history_.Follow(stack_->Profile());
    emit undoNamesChanged({ToQString(history_.UndoName()), ToQString(history_.RedoName())});
}

} // namespace tavrik
