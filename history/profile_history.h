#pragma once
// The undo history of the live profile: every edit the user makes in the main window and its
// dialogs (an assignment, a macro edit applied, "Default", an import not fully written) is a
// step; undo and redo revert and make it again in place. The keyboard is written only at Apply,
// and Apply does not end the history: undoing afterwards makes the profile differ from the
// keyboard again, and the next Apply writes that.
//
// The history ends where the live profile is replaced as a whole (a reload from the keyboard,
// another program's write followed, a loaded profile): the profile counts its replacements, and a
// history that sees the count move starts afresh instead of reverting edits onto a profile they
// were not made on. Its owner ends it explicitly where the edits stop applying without a
// replacement (a hardware profile switch).
//
// Not thread-safe: its owner uses it on one thread (the keyboard worker), with the profile lock
// held for Begin, Commit, Undo and Redo.

#include "history/profile_change.h"
#include "history/undo_history.h"

#include <cstdint>
#include <string>

namespace tavrik {

class ProfileHistory {
public:
    // The profile as an edit found it.
    struct Edit {
        ProfileContents before;
        uint64_t replacements = 0;
    };

    Edit Begin(const LiveProfile& profile) const {
        return {profile.Copy(), profile.Replacements()};
    }
    // Keeps what the edit changed as a step named `name`; false, keeping nothing, when it changed
    // nothing. An edit that replaced the profile (an import) is a step like any other; the steps
    // before it stay only when no other replacement came between.
    bool Commit(const LiveProfile& profile, Edit edit, std::u16string name);

    // Reverts the last step done, or makes the next one again, and gives what it changed;
    // nothing when there is none, or when the profile was replaced since (the history is then
    // cleared).
    const ProfileChange* Undo(LiveProfile& profile) { return Move(profile, true); }
    const ProfileChange* Redo(LiveProfile& profile) { return Move(profile, false); }

    // Ends the history when the profile was replaced as a whole since its last step; true when
    // it still applies. Hold the profile lock.
    bool Follow(const LiveProfile& profile);
    void Clear() { steps_.Clear(); }
    std::u16string UndoName() const { return steps_.UndoName(); }
    std::u16string RedoName() const { return steps_.RedoName(); }
    bool CanUndo() const { return steps_.CanUndo(); }
    bool CanRedo() const { return steps_.CanRedo(); }

private:
    const ProfileChange* Move(LiveProfile& profile, bool undo);

    UndoHistory<ProfileChange> steps_;
    uint64_t replacements_ = 0;
};

} // namespace tavrik
