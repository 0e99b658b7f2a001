#pragma once
// The assignment dialog's macro tab: the macro combo (typing renames), add and delete, the loop
// count, the action list with delete, clear and the four moves, and the recorder with its
// record-delays option, all bound to the MacroEditor and MacroRecorder models
// (macro/macro_editor.h, macro/macro_recorder.h), which hold every rule. The widgets are the
// dialog's children; the dialog places them from the skin and shows them with their tab.
//
// Every edit is a step of the tab's undo history (history/macro_edit_history.h): typing into the
// name or the loop count and one whole recording are one step each. The dialog's undo and redo
// walk it; its Apply hands the steps on to the live profile's history.

#include "assign/key_function_entry.h"
#include "history/macro_edit_history.h"
#include "macro/macro_editor.h"
#include "macro/macro_recorder.h"
#include "profile/user_preferences.h"
#include "skin/png_button.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace tavrik {

class KeyEventTap;
class MacroActionList;
struct TappedKey;

class MacroTab : public QObject {
    Q_OBJECT
public:
    using ButtonLookup = std::function<CPngButton*(int id)>;

    // `buttons` gives the dialog's image buttons of this tab.
    MacroTab(QWidget& dialog, MacroNameCounter& names, const ButtonLookup& buttons);
    ~MacroTab() override;

    // The tab's controls other than its image buttons, by id.
    const std::map<int, QWidget*>& Fields() const { return m_fields; }

    // The dialog opens on copies of the live macros; `layers` says which macros keys play.
    void Open(std::vector<MacroRecord> macros, std::shared_ptr<const KeyFunctionLayers> layers);
    void Close();
    // The key functions were written: deleting a macro asks against these from now on.
    void SetLayers(std::shared_ptr<const KeyFunctionLayers> layers);
    // Shows the macro a key plays: the one with this id, the first for 0 or an unknown id.
    void ShowMacroForValue(uint32_t value);

    bool IsRecording() const;
    void StopRecording();

    std::optional<size_t> CurrentMacro() const;
    uint16_t LoopCount() const;

    struct Applied {
        std::vector<MacroRecord> records;    // for the live profile, new ones still marked new
        std::vector<AppliedMacroStep> steps; // the edits that led there, oldest first
    };
    // Apply: the shown macro's edits go into its record; returns the records and the steps for
    // the live profile and counts every one as applied from now on.
    Applied TakeForApply();

    // The tab's own undo history, of the edits not applied yet.
    bool CanUndo() const { return m_history && m_history->CanUndo(); }
    bool CanRedo() const { return m_history && m_history->CanRedo(); }
    QString UndoName() const;
    QString RedoName() const;
    void Undo();
    void Redo();

signals:
    void edited();

private:
    void CreateFields(QWidget& dialog);
    void ConnectButtons(const ButtonLookup& buttons);
    void OnButton(int id);
    void EditMacros(int id);
    void EditRows(int id);
    void ToggleRecording();
    void StartRecording();
    void KeyTapped(const TappedKey& key);
    void ToggleRecordDelays();
    void Changed();
    // After an edit of the editor: a step of the undo history, then the dialog is modified.
    void Edited(MacroEdit edit);
    void ShowHistoryMove();
    void ShowMacros();
    void ShowRows();
    void ShowButtonStates();
    void RenameTyped(const QString& text);
    void SelectTyped(int index);
    void LoopCountTyped(const QString& text);

    class Prompts;
    std::unique_ptr<Prompts> m_prompts;
    MacroNameCounter& m_names;
    UserPreferences m_preferences;
    std::optional<MacroEditor> m_editor;
    std::optional<MacroRecorder> m_recorder;
    std::optional<MacroEditHistory> m_history;
    uint64_t m_recordings = 0; // numbers each recording: its rows are one step
    std::shared_ptr<const KeyFunctionLayers> m_layers;
    std::map<int, QWidget*> m_fields;
    std::map<int, CPngButton*> m_buttons;
    QComboBox* m_macros = nullptr;
    QLineEdit* m_loopCount = nullptr;
    QCheckBox* m_recordDelays = nullptr;
    MacroActionList* m_actions = nullptr;
    KeyEventTap* m_keyTap = nullptr;
    QElapsedTimer m_clock; // monotonic: the recorder's pauses
};

} // namespace tavrik
