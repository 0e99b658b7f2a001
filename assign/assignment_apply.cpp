#include "assign/assignment_apply.h"

#include <algorithm>

namespace tavrik {

namespace {

bool KeepsText(KeyFunctionType type) {
    return type == KeyFunctionType::LaunchProgram || type == KeyFunctionType::TextBlock;
}

// Returns whether the entry changed.
bool RepairMacroReference(KeyFunctionEntry& entry, std::span<const MacroRecord> dialogMacros) {
    if (entry.value == 0) {
        if (dialogMacros.empty()) {
            return false;
        }
        entry.value = dialogMacros.front().id;
        return true;
    }
    const auto macro = std::ranges::find(dialogMacros, entry.value, &MacroRecord::id);
    if (macro != dialogMacros.end() && !macro->isNew) {
        return false;
    }
    entry.type = KeyFunctionType::Default;
    return true;
}

} // namespace

bool RepairMacroReferences(KeyFunctionLayers& layers, std::span<const MacroRecord> dialogMacros) {
    bool changed = false;
    for (KeyFunctionLayer& layer : layers) {
        for (KeyFunctionEntry& entry : layer) {
            if (entry.type == KeyFunctionType::PlayMacro) {
                changed = RepairMacroReference(entry, dialogMacros) || changed;
            }
        }
    }
    return changed;
}

bool ApplyChangesOtherProfiles(const KeyFunctionLayers& layers,
                               std::span<const MacroRecord> liveMacros,
                               std::span<const MacroRecord> dialogMacros, size_t activeLayer) {
    const bool macroGone = std::ranges::any_of(liveMacros, [&](const MacroRecord& live) {
        const auto listed = std::ranges::find(dialogMacros, live.id, &MacroRecord::id);
        return listed == dialogMacros.end() || listed->isNew;
    });
    if (macroGone) {
        return true;
    }
    for (size_t layer = 0; layer < kHardwareProfileCount; ++layer) {
        if (layer == activeLayer) {
            continue;
        }
        for (KeyFunctionEntry entry : layers[layer]) {
            if (entry.type == KeyFunctionType::PlayMacro &&
                RepairMacroReference(entry, dialogMacros)) {
                return true;
            }
        }
    }
    return false;
}

std::vector<MacroRecord> MacroArrayForApply(std::span<MacroRecord> dialogMacros) {
    for (MacroRecord& record : dialogMacros) {
        record.isNew = false;
    }
    return {dialogMacros.begin(), dialogMacros.end()};
}

void InstallMacroList(KeyFunctionLayers& layers, std::vector<MacroRecord>& liveMacros,
                      std::span<MacroRecord> dialogMacros) {
    RepairMacroReferences(layers, dialogMacros);
    liveMacros = MacroArrayForApply(dialogMacros);
}

KeyFunctionEntry BuildAssignedEntry(const AssignmentChoice& choice, AssignmentTarget target,
                                    const KeyFunctionEntry& previous,
                                    std::span<const MacroRecord> dialogMacros) {
    KeyFunctionEntry entry{
        .type = choice.type,
        .code = MacroKeyCode(target.editedSlot),
        .value = 0,
        .selectionFlag = previous.selectionFlag,
        .reserved = previous.reserved,
    };
    switch (choice.type) {
    case KeyFunctionType::SingleKey:
        entry.value = choice.capturedKey;
        // No key, or the key itself: the key keeps its own function.
        if (choice.capturedKey == 0 || KeyIndexFromScan(choice.capturedKey) == target.editedSlot) {
            entry.type = KeyFunctionType::Default;
        }
        break;
    case KeyFunctionType::PlayMacro:
        if (dialogMacros.empty()) {
            entry.type = KeyFunctionType::Default;
            break;
        }
        if (choice.currentMacro && *choice.currentMacro < dialogMacros.size()) {
            entry.value = dialogMacros[*choice.currentMacro].id;
        }
        entry.code = choice.loopCount;
        break;
    case KeyFunctionType::Multimedia:
        entry.value = choice.multimediaRow;
        break;
    case KeyFunctionType::FunctionKey:
        entry.value = choice.functionKeySlot;
        break;
    default: // Default; Disabled, LaunchProgram, StopMacro and TextBlock taken over as they are
        break;
    }
    return entry;
}

std::optional<KeyFunctionEntry>
ApplyAssignment(KeyFunctionLayers& layers, std::vector<MacroRecord>& liveMacros,
                std::span<MacroRecord> dialogMacros, const AssignmentChoice& choice,
                AssignmentTarget target, const ReleaseEntryText& releaseText) {
    if (target.activeLayer >= kLayerCount || target.editedSlot >= kLayerSlots) {
        return std::nullopt;
    }
    InstallMacroList(layers, liveMacros, dialogMacros);
    KeyFunctionEntry& edited = layers[target.activeLayer][target.editedSlot];
    const KeyFunctionEntry entry = BuildAssignedEntry(choice, target, edited, liveMacros);
    if (!KeepsText(entry.type) && releaseText) {
        releaseText(target.EntryNumber());
    }
    edited = entry;
    return entry;
}

} // namespace tavrik
