#include "history/profile_change.h"

#include <algorithm>

namespace tavrik {
namespace {

std::optional<std::u16string> TextOf(const TextTable& texts, size_t slot) {
    const std::optional<std::u16string_view> text = texts.Text(slot);
    return text ? std::optional<std::u16string>(*text) : std::nullopt;
}

void PutText(TextTable& texts, size_t slot, const std::optional<std::u16string>& text) {
    if (text)
        texts.Set(slot, *text);
    else
        texts.Release(slot);
}

} // namespace

ProfileChange ProfileChange::Between(const ProfileContents& before, const ProfileContents& after) {
    ProfileChange change;
    for (size_t number = 0; number < kProfileEntryCount; ++number) {
        const KeyFunctionEntry& was = before.record.Entry(number);
        const KeyFunctionEntry& is = after.record.Entry(number);
        if (!(was == is))
            change.entries_.push_back({number, was, is});
        std::optional<std::u16string> wasText = TextOf(before.texts, number);
        std::optional<std::u16string> isText = TextOf(after.texts, number);
        if (wasText != isText)
            change.texts_.push_back({number, std::move(wasText), std::move(isText)});
    }
    change.macros_ = ListChange<MacroRecord>::Between(before.macros, after.macros);
    return change;
}

bool ProfileChange::ReachesBeyondLayer(size_t layer) const {
    return !macros_.Empty() || std::ranges::any_of(entries_, [layer](const EntryChange& entry) {
        return entry.number / kLayerSlots != layer;
    });
}

void ProfileChange::Put(LiveProfile& profile, bool after) const {
    for (const EntryChange& entry : entries_)
        profile.Record().Entry(entry.number) = after ? entry.after : entry.before;
    for (const TextChange& text : texts_)
        PutText(profile.Texts(), text.slot, after ? text.after : text.before);
    if (after)
        macros_.Redo(profile.Macros());
    else
        macros_.Undo(profile.Macros());
}

} // namespace tavrik
