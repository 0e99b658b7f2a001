#pragma once
// The assignment dialog's choice as a model: the tab in force and the type it writes, the key
// captured on the single-key tab, the multimedia row and function-key slot chosen, and whether
// anything changed since the dialog opened or last applied. The macro tab's own state is the
// MacroEditor's (macro/macro_editor.h); AssignmentChoice joins the two for Apply.

#include "assign/assignment_apply.h"
#include "assign/key_function_entry.h"
#include "keys/key_table.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavrik {

enum class AssignmentTab { SingleKey, Macro, Multimedia, FunctionKey };

// The tab that shows a type: PlayMacro, Multimedia and FunctionKey their own tab; every other
// type (Default, SingleKey, and Disabled, LaunchProgram, StopMacro, TextBlock or a damaged
// type taken over from the entry) the single-key tab.
AssignmentTab TabForType(KeyFunctionType type);

// The type a click on the tab chooses.
KeyFunctionType TypeOfTab(AssignmentTab tab);

class AssignmentState {
public:
    // The edited entry as the dialog opens on it. In macro-only mode (the main window's macro
    // button) only the macro tab is offered, whatever the entry holds.
    AssignmentState(const KeyFunctionEntry& edited, bool macroOnly);

    KeyFunctionType Type() const { return type_; }
    AssignmentTab Tab() const { return TabForType(type_); }
    bool MacroOnly() const { return macroOnly_; }
    // The tab buttons and Clear other than the macro tab are closed in macro-only mode.
    bool IsTabOffered(AssignmentTab tab) const;
    bool IsClearOffered() const { return !macroOnly_; }
    // The edited entry's value: the macro tab opens on the macro it plays.
    uint32_t InitialValue() const { return initialValue_; }
    // The key the key field names: the captured key while it counts, 0 otherwise.
    ScanCode ShownKey() const;
    uint32_t MultimediaRow() const { return multimediaRow_; }
    uint32_t FunctionKeySlot() const { return functionKeySlot_; }
    bool IsModified() const { return modified_; }

    // A tab click: nothing when the tab is in force (the single-key tab is for Default and
    // SingleKey) or not offered; otherwise the tab's type is chosen and the dialog is modified.
    // Returns whether the tab in force changed.
    bool ChooseTab(AssignmentTab tab);
    // The macro tab chosen by a click shows the first macro on its first visit when the key
    // played no macro (value 0): true then, once; false on every other visit.
    bool TakeFirstMacroVisit();
    // Back to Default on the single-key tab. The captured key is kept: choosing the single-key
    // tab again from another tab makes it count again.
    void Clear();
    // A key pressed while the single-key tab is shown.
    void CaptureKey(ScanCode key);
    void ChooseMultimediaRow(uint32_t row);
    void ChooseFunctionKeySlot(uint32_t slot);
    // An edit on the macro tab.
    void MarkModified() { modified_ = true; }
    // The choice was applied.
    void ClearModified() { modified_ = false; }

    // What Apply writes, with the macro tab's current macro and its loop-count edit.
    AssignmentChoice Choice(std::optional<size_t> currentMacro, uint16_t loopCount) const;

private:
    KeyFunctionType type_;
    bool macroOnly_;
    uint32_t initialValue_;
    ScanCode capturedKey_ = 0;
    uint32_t multimediaRow_ = 0;
    uint32_t functionKeySlot_ = 0;
    bool firstMacroVisit_;
    bool modified_ = false;
};

} // namespace tavrik
