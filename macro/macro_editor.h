#pragma once
// The macro tab of the assignment dialog as a model: private copies of every macro, the shown
// macro's loop count and action rows, and every editing rule. Nothing reaches the live profile
// before the dialog applies (see assign/assignment_apply.h). The widgets only bind to this.

#include "assign/key_function_entry.h"
#include "keys/key_table.h"
#include "macro_record/macro_record.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik {

// Messages and Yes/No questions (No being the default answer) shown to the user.
class MacroPrompts {
public:
    virtual ~MacroPrompts() = default;
    virtual void Inform(std::u16string_view text) = 0;
    virtual bool Ask(std::u16string_view question) = 0;
};

// Numbers the default names of new macros; starts at 0 with the program, never reset, kept
// across openings of the dialog.
class MacroNameCounter {
public:
    unsigned Next() { return ++value_; }

private:
    unsigned value_ = 0;
};

// A pause as the keyboard plays it: down to its 10 ms step (1234 plays as 1230).
uint32_t PlayedDelayMs(uint32_t delayMs);

// The smallest id in 1..100 that no record uses; 0 when all are taken.
uint16_t AllocateMacroId(std::span<const MacroRecord> records);

// Whether a PlayMacro entry of any layer plays the macro with this id.
bool IsMacroReferenced(const KeyFunctionLayers& layers, uint16_t id);

// A macro created since the last Apply may always go; one that keys play is deleted only when
// the user agrees. Keys that pointed to it become Default at the next Apply.
bool CanDeleteMacro(const MacroRecord& record, const KeyFunctionLayers& layers,
                    MacroPrompts& prompts);

enum class RowMove { ToTop, Up, Down, ToBottom };

class MacroEditor {
public:
    // Decides whether a macro may be deleted (CanDeleteMacro against the live profile).
    using DeleteCheck = std::function<bool(const MacroRecord&)>;

    // The records are copies of the live macro array; none of them counts as new.
    MacroEditor(std::vector<MacroRecord> liveMacros, MacroNameCounter& nameCounter,
                MacroPrompts& prompts, DeleteCheck canDelete);

    std::span<const MacroRecord> Records() const { return records_; }
    // For the dialog's Apply, which clears the new flags of the dialog's copies.
    std::span<MacroRecord> Records() { return records_; }
    std::optional<size_t> CurrentMacro() const { return current_; }
    const std::vector<MacroAction>& Rows() const { return rows_; }
    std::optional<size_t> SelectedRow() const { return selectedRow_; }
    const std::u16string& LoopCountText() const { return loopCountText_; }
    // The loop-count edit read as a decimal number (0 when it holds none).
    uint16_t LoopCount() const;
    // Recording, deleting, clearing and moving actions need a shown macro.
    bool ActionButtonsEnabled() const { return current_.has_value(); }
    bool IsModified() const { return modified_; }
    void ClearModified() { modified_ = false; }

    // Where the editor stands: the macro shown and the row selected.
    struct Place {
        std::optional<size_t> current;
        std::optional<size_t> selectedRow;
        bool operator==(const Place&) const = default;
    };
    Place CurrentPlace() const { return {current_, selectedRow_}; }
    // Puts back records and place that an undo history kept: the shown macro's rows and loop
    // count come from its record again. The editor is modified.
    void Restore(std::vector<MacroRecord> records, Place place);

    // Loads the current macro into the loop-count edit and the action rows.
    void ShowMacro();
    // Writes the loop-count edit and the rows back into the record at index.
    void StoreShownMacro(std::optional<size_t> index);
    void StoreShownMacro() { StoreShownMacro(current_); }

    // Shows the macro that a key plays: the one with this id, the first when the value is 0 or
    // no macro has it.
    void ShowMacroForValue(uint32_t value);
    void SelectMacro(size_t index);
    void AddMacro();
    // The combo's edit text changed: renames the shown macro, or creates a macro of that name
    // when there is none.
    void TypeMacroName(std::u16string_view text);
    void DeleteMacro();

    // Returns the text the loop-count edit shows afterwards (1..255).
    std::u16string SetLoopCountText(std::u16string_view text);

    void SelectRow(std::optional<size_t> row);
    void DeleteAction();
    void ClearActions();
    void MoveAction(RowMove move);
    void SetRowKeyCode(size_t row, KeyCode code);
    void SetRowDirection(size_t row, KeyDirection direction);
    // Completes editing of a delay cell (digits only); returns the delay stored.
    uint32_t SetRowDelayText(size_t row, std::u16string_view digits);

    // Inserts one action row. From the recorder it goes after the selected row and becomes
    // selected, and the measured delay, down to the keyboard's 10 ms step, becomes the pause
    // after the previous row; loading a macro simply appends rows with their own pauses.
    void AddRecordedAction(uint32_t delayMs, ScanCode key, uint16_t direction, bool fromRecorder);

private:
    std::u16string NextDefaultName();
    void AppendNewMacro(std::u16string name);
    void InsertRow(size_t position, MacroAction action);

    std::vector<MacroRecord> records_;
    MacroNameCounter& nameCounter_;
    MacroPrompts& prompts_;
    DeleteCheck canDelete_;
    std::optional<size_t> current_;
    std::vector<MacroAction> rows_;
    std::optional<size_t> selectedRow_;
    std::u16string loopCountText_ = u"1";
    bool modified_ = false;
};

} // namespace tavrik
