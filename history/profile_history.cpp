#include "history/profile_history.h"

namespace tavrik {

bool ProfileHistory::Commit(const LiveProfile& profile, Edit edit, std::u16string name) {
    ProfileChange change = ProfileChange::Between(edit.before, profile.Copy());
    if (change.Empty())
        return false;
    if (edit.replacements != replacements_)
        steps_.Clear();
    steps_.Push({std::move(name), std::move(change)});
    replacements_ = profile.Replacements();
    return true;
}

bool ProfileHistory::Follow(const LiveProfile& profile) {
    if (profile.Replacements() == replacements_)
        return true;
    steps_.Clear();
    replacements_ = profile.Replacements();
    return false;
}

const ProfileChange* ProfileHistory::Move(LiveProfile& profile, bool undo) {
    if (!Follow(profile))
        return nullptr;
    const auto* step = undo ? steps_.Undo() : steps_.Redo();
    if (step == nullptr)
        return nullptr;
    if (undo)
        step->change.Undo(profile);
    else
        step->change.Redo(profile);
    return &step->change;
}

} // namespace tavrik
