#include "profile/edit_rebase.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace tavrik {

namespace {

using MacroIds = std::map<uint32_t, uint16_t>; // the edited profile's id -> the result's

bool SameBody(const MacroRecord& a, const MacroRecord& b) {
    return a.loopCount == b.loopCount && a.actions == b.actions;
}

const MacroRecord* FindById(std::span<const MacroRecord> macros, uint32_t id) {
    const auto found = std::ranges::find(macros, id, &MacroRecord::id);
    return found == macros.end() ? nullptr : &*found;
}

// Where each of the base's macros is among the keyboard's now: the same body, at the same place
// when it is still there, else the first one not matched yet. Nothing for a macro the keyboard no
// longer holds.
std::vector<std::optional<size_t>> Locate(std::span<const MacroRecord> base,
                                          std::span<const MacroRecord> current) {
    std::vector<std::optional<size_t>> places(base.size());
    std::vector<bool> taken(current.size(), false);
    for (size_t i = 0; i < base.size() && i < current.size(); ++i) {
        if (SameBody(base[i], current[i])) {
            places[i] = i;
            taken[i] = true;
        }
    }
    for (size_t i = 0; i < base.size(); ++i) {
        for (size_t j = 0; j < current.size() && !places[i]; ++j) {
            if (!taken[j] && SameBody(base[i], current[j])) {
                places[i] = j;
                taken[j] = true;
            }
        }
    }
    return places;
}

bool PlaysMacro(const KeyFunctionLayers& layers, uint16_t id) {
    return std::ranges::any_of(layers, [id](const KeyFunctionLayer& layer) {
        return std::ranges::any_of(layer, [id](const KeyFunctionEntry& entry) {
            return entry.type == KeyFunctionType::PlayMacro && entry.value == id;
        });
    });
}

class MacroRebase {
public:
    MacroRebase(const ProfileContents& base, const ProfileContents& edited, ProfileContents& result)
        : base_(base)
        , edited_(edited)
        , result_(result)
        , places_(Locate(base.macros, result.macros)) {}

    bool CarryMacros() {
        for (const MacroRecord& macro : edited_.macros) {
            const MacroRecord* before = macro.isNew ? nullptr : FindById(base_.macros, macro.id);
            if (before == nullptr) {
                if (!Add(macro))
                    return false;
                continue;
            }
            const std::optional<size_t> place = PlaceOf(*before);
            if (!place) { // gone from the keyboard: added again if changed or played by a key
                if (!(macro == *before) && !Add(macro))
                    return false;
                continue;
            }
            MacroRecord& held = result_.macros[*place];
            if (!(macro == *before)) {
                const uint16_t id = held.id;
                held = macro;
                held.id = id;
            }
            ids_[macro.id] = held.id;
        }
        DropDeleted();
        return true;
    }

    // The result's id of the macro the edited profile plays as `id`; a macro the keyboard no
    // longer holds is added back. Nothing when it cannot be.
    std::optional<uint16_t> ResultId(uint32_t id) {
        if (const auto found = ids_.find(id); found != ids_.end())
            return found->second;
        const MacroRecord* macro = FindById(edited_.macros, id);
        if (macro == nullptr || !Add(*macro))
            return std::nullopt;
        return ids_.at(id);
    }

    void RemoveDropped() {
        for (auto place = dropped_.rbegin(); place != dropped_.rend(); ++place)
            result_.macros.erase(result_.macros.begin() + static_cast<ptrdiff_t>(*place));
    }

private:
    std::optional<size_t> PlaceOf(const MacroRecord& before) const {
        const auto index = static_cast<size_t>(&before - base_.macros.data());
        return places_[index];
    }

    bool Add(const MacroRecord& macro) {
        const uint16_t id = FreeId();
        if (id == 0 || result_.macros.size() - dropped_.size() >= kMaxMacros)
            return false;
        MacroRecord added = macro;
        added.id = id;
        result_.macros.push_back(std::move(added));
        ids_[macro.id] = id;
        return true;
    }

    uint16_t FreeId() const {
        for (uint16_t id = 1; id <= kMaxMacroId; ++id)
            if (FindById(result_.macros, id) == nullptr)
                return id;
        return 0;
    }

    // The user's deletions, unless another program has given the macro a key meanwhile.
    void DropDeleted() {
        for (size_t i = 0; i < base_.macros.size(); ++i) {
            const MacroRecord* kept = FindById(edited_.macros, base_.macros[i].id);
            if ((kept != nullptr && !kept->isNew) || !places_[i])
                continue;
            if (!PlaysMacro(result_.record.layers, result_.macros[*places_[i]].id))
                dropped_.insert(*places_[i]);
        }
    }

    const ProfileContents& base_;
    const ProfileContents& edited_;
    ProfileContents& result_;
    std::vector<std::optional<size_t>> places_;
    MacroIds ids_;
    std::set<size_t> dropped_;
};

} // namespace

std::unique_ptr<ProfileContents> RebaseEdits(const ProfileContents& base,
                                             const ProfileContents& edited,
                                             const ProfileContents& current) {
    auto result = std::make_unique<ProfileContents>(current);
    MacroRebase macros(base, edited, *result);
    if (!macros.CarryMacros())
        return nullptr;
    for (size_t number = 0; number < kProfileEntryCount; ++number) {
        KeyFunctionEntry entry = edited.record.Entry(number);
        if (entry == base.record.Entry(number))
            continue;
        if (entry.type == KeyFunctionType::PlayMacro) {
            const std::optional<uint16_t> id = macros.ResultId(entry.value);
            if (!id)
                return nullptr;
            entry.value = *id;
        }
        result->record.Entry(number) = entry;
        if (const std::optional<std::u16string_view> text = edited.texts.Text(number))
            result->texts.Set(number, *text);
        else
            result->texts.Release(number);
    }
    macros.RemoveDropped();
    return result;
}

} // namespace tavrik
