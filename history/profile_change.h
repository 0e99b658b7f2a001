#pragma once
// What one edit did to the live profile: the key function entries it changed (any layer), the
// texts of those entries, and the macro list as one splice. Built by comparing the profile before
// and after the edit, so every core operation (an assignment, "Default", an import, a macro
// edit) is recorded the same way without knowing its rules; made again or reverted in place,
// which is no replacement of the profile as a whole.

#include "history/list_change.h"
#include "profile/live_profile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavrik {

struct EntryChange {
    size_t number = 0; // layer x 512 + slot
    KeyFunctionEntry before{};
    KeyFunctionEntry after{};
};

struct TextChange {
    size_t slot = 0; // the entry number the text belongs to
    std::optional<std::u16string> before{};
    std::optional<std::u16string> after{};
};

class ProfileChange {
public:
    static ProfileChange Between(const ProfileContents& before, const ProfileContents& after);

    bool Empty() const { return entries_.empty() && texts_.empty() && macros_.Empty(); }
    // The keyboard's key maps name macros by their place in its macro memory: a change of the
    // macro list, or of a key in another layer, must be sent for all three hardware profiles.
    bool ReachesBeyondLayer(size_t layer) const;
    const std::vector<EntryChange>& Entries() const { return entries_; }
    const ListChange<MacroRecord>& Macros() const { return macros_; }

    // Hold the profile lock.
    void Redo(LiveProfile& profile) const { Put(profile, true); }
    void Undo(LiveProfile& profile) const { Put(profile, false); }

private:
    // The profile as it was after the change (true) or before it.
    void Put(LiveProfile& profile, bool after) const;

    std::vector<EntryChange> entries_;
    std::vector<TextChange> texts_;
    ListChange<MacroRecord> macros_;
};

} // namespace tavrik
