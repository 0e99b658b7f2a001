#pragma once
// The key assignment dialog, skinned from "Skins/Composite.ini": the user gives one key a
// function on one of four tabs (single key, macro, multimedia, function key) or clears it back
// to the key's own function. It opens beside the key clicked in the main window, on the tab of
// the key's function, and lives as long as the main window.
//
// The dialog only draws and takes the user's actions: its choice is the AssignmentState model,
// its macro tab the MacroEditor's. What it opens on is read, and what Apply and OK write is
// written, by the keyboard editor's worker (the window's thread never takes the profile lock).
// While it is open, or on its way, the main window refuses profile switches and the clicked key
// shows its highlighted look.
//
// Undo and redo (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y) walk the macro tab's own history of edits not
// applied yet. With none left and nothing unapplied (just opened, or just applied), they walk
// the live profile's history instead, and the dialog shows the key as it is afterwards. On the
// single-key tab and while recording every key is the user's input, these included.

#include "assign/assignment_state.h"
#include "gui/assignment_controls.h"
#include "gui/dialog_skin.h"
#include "gui/keyboard_editor.h"
#include "macro/macro_editor.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"
#include "skin/skin_picture.h"

#include <QAction>
#include <QPointer>

#include <filesystem>
#include <map>
#include <optional>

class QComboBox;
class QLineEdit;

namespace tavrik {

class KeyEventTap;
class MacroTab;
struct TappedKey;

// Skins/Composite.ini, its folder and the program's folder.
using AssignmentSkin = DialogSkinPaths;

class AssignmentDialog : public CBaseDialog {
    Q_OBJECT
public:
    AssignmentDialog(KeyboardEditor& editor, AssignmentSkin skin, QWidget* parent);
    ~AssignmentDialog() override;

    // Opens on `slot` of the active layer beside `key` once the keyboard worker has read it
    // (macro-only mode for the main window's macro button). Does nothing while the dialog is
    // open or on its way; it does not open when no keyboard answers.
    void Request(size_t slot, bool macroOnly, CPngButton* key);
    bool IsOpenOrRequested() const { return m_request.has_value() || m_state.has_value(); }

    QWidget* Control(int id) const;
    CPngButton* Button(int id) const;
    // The choice while the dialog is open.
    const AssignmentState* State() const { return m_state ? &*m_state : nullptr; }
    QAction* UndoAction() const { return m_undoAction; }
    QAction* RedoAction() const { return m_redoAction; }

    // OK: Apply, then close. Cancel (also the program's end): close, the edits lost.
    void accept() override;
    void reject() override;

signals:
    // F1 on a tab that does not take keys.
    void helpRequested();

protected:
    void OnInitDialog() override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct PendingRequest {
        size_t slot = 0;
        bool macroOnly = false;
        QPointer<CPngButton> key;
    };

    void CreateButtons();
    void CreateFields();
    void LoadPictures();
    void PlaceControls();
    void OpenOn(const AssignmentStart& start);
    void ShowMacroOnlyLooks();
    void PlaceBesideKey();
    void RunCommand(int id);
    void ChooseTab(AssignmentTab tab);
    void Clear();
    void KeyTapped(const TappedKey& key);
    void StartOnScreenKeyboard();
    void Apply();
    void Close();
    void ShowChoice();
    void ShowPage(AssignmentTab tab);
    void ShowLists();
    // Undo (true) or redo (false): the macro tab's step, else the live profile's.
    void MoveInHistory(bool undo);
    void ShowUndoActions();
    // The live profile changed under the open dialog (its history moved): read the key again.
    void Reopen(const AssignmentStart& start);

    KeyboardEditor& m_editor;
    AssignmentSkin m_skinPaths;
    std::map<CompositePictures, StateImages> m_pictures;
    std::map<int, CPngButton*> m_buttons;
    std::map<int, QWidget*> m_controls;
    QLineEdit* m_keyField = nullptr;
    QComboBox* m_multimedia = nullptr;
    QComboBox* m_functionKeys = nullptr;
    MacroNameCounter m_macroNames; // numbers new macros for the program's whole run
    MacroTab* m_macroTab = nullptr;
    KeyEventTap* m_keyTap = nullptr;
    std::optional<PendingRequest> m_request;
    std::optional<AssignmentState> m_state; // while open
    size_t m_slot = 0;
    QPointer<CPngButton> m_key;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    UndoNames m_liveUndoNames;
    bool m_awaitingHistory = false; // a live undo or redo was posted from here
    bool m_reopening = false;       // and the key is being read again
};

} // namespace tavrik
