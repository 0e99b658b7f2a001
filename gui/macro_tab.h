#pragma once
// The assignment dialog's macro tab: the macro combo (typing renames), add and delete, the loop
// count, the action list with delete, clear and the four moves, and the recorder with its
// record-delays option, all bound to the MacroEditor and MacroRecorder models
// (macro/macro_editor.h, macro/macro_recorder.h), which hold every rule. The widgets are the
// dialog's children; the dialog places them from the skin and shows them with their tab.

#include "assign/key_function_entry.h"
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
    // Apply: the shown macro's edits go into its record; returns the records for the live
    // profile (new ones still marked new) and counts every one as applied from now on.
    std::vector<MacroRecord> TakeForApply();

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
