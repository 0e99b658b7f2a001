#include "history/pending_changes.h"

#include "assign/key_description.h"
#include "history/history_texts.h"
#include "profile/decimal_text.h"

#include <algorithm>

namespace tavrik {
namespace {

const MacroRecord* FindById(const std::vector<MacroRecord>& macros, uint16_t id) {
    const auto found = std::ranges::find(macros, id, &MacroRecord::id);
    return found == macros.end() ? nullptr : &*found;
}

bool SameMacro(const MacroRecord& a, const MacroRecord& b) {
    return StoredMacroName(a) == StoredMacroName(b) && a.loopCount == b.loopCount &&
           std::ranges::equal(StoredMacroActions(a), StoredMacroActions(b));
}

void FindKeys(const ProfileContents& inStep, const ProfileContents& live, PendingChanges& found) {
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer) {
        for (size_t slot = 0; slot < kLayerSlots; ++slot) {
            const KeyFunctionEntry& was = inStep.record.layers[layer][slot];
            const KeyFunctionEntry& is = live.record.layers[layer][slot];
            std::u16string key = SlotKeyName(slot);
            if (was == is || key.empty())
                continue;
            std::u16string from = FunctionSummary(key, was, inStep.macros);
            std::u16string to = FunctionSummary(key, is, live.macros);
            found.keys.push_back({layer, slot, std::move(key), std::move(from), std::move(to)});
        }
    }
}

void FindMacros(const ProfileContents& inStep, const ProfileContents& live, PendingChanges& found) {
    for (const MacroRecord& was : inStep.macros) {
        const MacroRecord* is = FindById(live.macros, was.id);
        if (is == nullptr)
            found.macros.push_back(
                {PendingMacroKind::Deleted, std::u16string(StoredMacroName(was))});
        else if (!SameMacro(was, *is))
            found.macros.push_back(
                {PendingMacroKind::Changed, std::u16string(StoredMacroName(*is))});
    }
    for (const MacroRecord& is : live.macros) {
        if (FindById(inStep.macros, is.id) == nullptr)
            found.macros.push_back({PendingMacroKind::Added, std::u16string(StoredMacroName(is))});
    }
}

std::u16string_view MacroWord(PendingMacroKind kind) {
    switch (kind) {
    case PendingMacroKind::Added:
        return history_text::kMacroAdded;
    case PendingMacroKind::Deleted:
        return history_text::kMacroDeleted;
    case PendingMacroKind::Changed:
        break;
    }
    return history_text::kMacroChanged;
}

std::u16string Change(const PendingKey& key) {
    return key.from + std::u16string(history_text::kArrow) + key.to;
}

} // namespace

PendingChanges FindPendingChanges(const ProfileContents& inStep, const ProfileContents& live) {
    PendingChanges found;
    FindKeys(inStep, live, found);
    FindMacros(inStep, live, found);
    return found;
}

std::u16string PendingKeyText(const PendingKey& key) {
    return std::u16string(history_text::kChanged) + Change(key);
}

std::u16string PendingKeyLine(const PendingKey& key, std::optional<size_t> activeLayer) {
    std::u16string line;
    if (key.layer != activeLayer)
        line = std::u16string(history_text::kHardwareProfile) +
               IntToDecimalText(static_cast<int>(key.layer) + 1) + u" · ";
    return line + key.key + u": " + Change(key);
}

std::u16string PendingMacroLine(const PendingMacro& macro) {
    return std::u16string(MacroWord(macro.kind)) + macro.name;
}

} // namespace tavrik
