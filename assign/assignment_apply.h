#pragma once
// What the assignment dialog's Apply does to the live profile: repairs the keys that play
// macros, installs the edited macro list and writes the new function of the edited key.
// The caller holds the profile lock; the dialog's widgets only feed these functions.

#include "assign/key_function_entry.h"
#include "keys/key_table.h"
#include "macro_record/macro_record.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace tavrik {

// What the dialog holds when Apply is pressed.
struct AssignmentChoice {
    KeyFunctionType type = KeyFunctionType::Default; // the tab in force, or a type taken over
    ScanCode capturedKey = 0;                        // single-key tab, 0 = none
    std::optional<size_t> currentMacro{};            // index into the dialog's macro list
    uint16_t loopCount = 1;                          // the loop-count edit
    uint32_t multimediaRow = 0;
    uint32_t functionKeySlot = 0;
};

// The key being edited: its slot in the active layer (the active hardware profile).
struct AssignmentTarget {
    size_t activeLayer = 0;
    size_t editedSlot = 0;
    size_t EntryNumber() const { return activeLayer * kLayerSlots + editedSlot; }
};

// Frees the text (program path or text block) that the profile's text table holds for an
// entry number, keeping the text total in step.
using ReleaseEntryText = std::function<void(size_t entryNumber)>;

// PlayMacro entries of all layers after the dialog's macro list replaces the live one: value 0
// plays the first macro; an id that no listed macro has, or that a new macro has received
// again, would play the wrong macro and becomes Default (other fields kept). Returns whether an
// entry changed.
bool RepairMacroReferences(KeyFunctionLayers& layers, std::span<const MacroRecord> dialogMacros);

// Whether the Apply with this macro list changes what the keyboard holds for the hardware
// profiles other than the active one, so that the next download must send all three key maps:
// a PlayMacro entry of another profile gets repaired, or a live macro is gone from the list
// (deleted, or its id handed to a new macro). The keyboard's key maps name macros by their
// position in its macro memory, and a macro gone moves the ones after it.
bool ApplyChangesOtherProfiles(const KeyFunctionLayers& layers,
                               std::span<const MacroRecord> liveMacros,
                               std::span<const MacroRecord> dialogMacros, size_t activeLayer);

// The new live macro array: the dialog's records in order, each no longer new (the dialog's own
// copies are cleared too, so a second Apply treats them as applied).
std::vector<MacroRecord> MacroArrayForApply(std::span<MacroRecord> dialogMacros);

// The dialog's macro list becomes the live one: the keys that play macros repaired, then the
// records installed, no longer new. The first half of ApplyAssignment; each macro edit of the
// dialog that the undo history keeps as a step of its own is installed this way.
void InstallMacroList(KeyFunctionLayers& layers, std::vector<MacroRecord>& liveMacros,
                      std::span<MacroRecord> dialogMacros);

// The entry the dialog writes for its choice, from the entry it replaces.
KeyFunctionEntry BuildAssignedEntry(const AssignmentChoice& choice, AssignmentTarget target,
                                    const KeyFunctionEntry& previous,
                                    std::span<const MacroRecord> dialogMacros);

// The whole Apply: repair, install the macro array, release the edited entry's text unless the
// new type keeps one, write the new entry. Returns the written entry, or nothing (and changes
// nothing) when the target lies outside the profile.
std::optional<KeyFunctionEntry>
ApplyAssignment(KeyFunctionLayers& layers, std::vector<MacroRecord>& liveMacros,
                std::span<MacroRecord> dialogMacros, const AssignmentChoice& choice,
                AssignmentTarget target, const ReleaseEntryText& releaseText);

} // namespace tavrik
