#pragma once
// CTavrikDlg: the program's one top-level window, skinned from "Skins/Main.ini". It spends most
// of its life hidden behind the notification-area icon and is shown only by "打开(&O)" or a
// second start, and only while a keyboard is attached. "退出(&x)" and a "/Kill" start end the
// program through its exit sequence.
//
// The window draws and takes the user's commands; the KeyboardEditor does the work with the
// keyboard on its own worker and reports back what to show.

#include "app/app_paths.h"
#include "app/instance_message.h"
#include "app/main_controls.h"
#include "app/tray_icon.h"
#include "app/tray_state.h"
#include "gui/key_click_route.h"
#include "gui/keyboard_editor.h"
#include "profile/settings_file.h"
#include "profile/user_preferences.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"
#include "skin/skin_picture.h"

#include <QAction>
#include <QMessageBox>
#include <QUrl>

// Carried by a queued signal and read back by the tests.
Q_DECLARE_METATYPE(tavrik::KeyClickRoute)
#include <QPointer>
#include <QTimer>

#include <map>

namespace tavrik {

class AssignmentDialog;
class BusyIndicator;
class CAboutDlg;
class InstanceServer;
class LightingPanel;
class PendingChangesDialog;
class ProfileManagerDialog;
struct ProcessState;

class CTavrikDlg : public CBaseDialog {
    Q_OBJECT
public:
    static constexpr std::string_view kNoKeyboardText = "未检测到设备，无法显示按键设置! ";

    static constexpr std::string_view kRestoreDefaultsQuestion = "是否要恢复默认设置？";

    CTavrikDlg(ProcessState& state, AppPaths paths, InstanceServer& instanceServer,
               KeyboardEditor& editor, SettingsFile settings);
    ~CTavrikDlg() override;

    // The start of the program: the tray icon, without decoding the window's pictures, which
    // waits for the window's first showing (or InitDialog, which also does this).
    void StartInTray();
    // Open: show the window while a keyboard is attached, otherwise say that none is.
    void Open();
    // Exit: hide, run the exit sequence once, end the program's run.
    void Exit();
    void HandleInstanceCommand(InstanceCommand command);
    void SetTrayState(int mode, int iconId);
    // The tray tooltip tells whether a keyboard is connected that this user may not open.
    void ShowKeyboardAccess();
    // The checked look on the active hardware profile's button (0..2; others change nothing).
    void MarkCurrentProfileButton(int activeIndex);
    // Runs a command as its button or menu item does.
    void RunCommand(int commandId);

    bool IsReady() const { return m_ready; }
    CTrayIcon& TrayIcon() { return m_trayIcon; }
    CPngButton* Button(int controlId) const;
    // The message box of a refused Open while it is up.
    QMessageBox* NoKeyboardMessage() const { return m_noKeyboardBox; }
    BusyIndicator* Busy() const { return m_busy; }
    // The dialogs, made the first time they are asked for.
    AssignmentDialog& Assignment();
    ProfileManagerDialog& ProfileManager();
    PendingChangesDialog& PendingChanges();
    LightingPanel& Lighting() const { return *m_lightingPanel; }
    // Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y. Their texts name the step ("撤销: 分配 Q → W").
    QAction* UndoAction() const { return m_undoAction; }
    QAction* RedoAction() const { return m_redoAction; }

    // OK, Cancel and the window's close send the window back to the notification area.
    void accept() override;
    void reject() override;

signals:
    // The exit sequence has run; the program's run ends.
    void exitFinished();
    // A key, G key or the macro button asks for the assignment dialog.
    void assignmentRequested(const tavrik::KeyClickRoute& route, int buttonId);

protected:
    void OnInitDialog() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void RequireButtonPictures() const;
    void LoadButtonPictures();
    CPngButton& ButtonSlot(int controlId);
    void PlaceButtons();
    void PlaceArrows();
    void PlaceLightingPanel();
    void PlaceBusyIndicator();
    void ConnectEditor();
    void CreateUndoActions();
    void ShowUndoNames(const UndoNames& names);
    void ShowPendingChanges();
    void FinishInitialisation();
    void RunKeyboardCommand(int commandId);
    void ShowButtonMenu();
    void ApplyThenHide();
    void RouteClick(int buttonId);
    void PaintKey(int buttonId);
    void SwitchProfile(int index);
    void RestoreDefaults();
    void ImportProfileFile();
    void ExportProfileFile();
    void ApplyFlip();
    void LightLamp(int controlId, MainLooks looks, bool on);
    void ShowBank(bool bankB);
    void ShowKeyButtonLooks(const QList<KeyButtonLook>& looks);
    void ShowProfileCaption(const QString& caption, const QString& tooltip);
    void ShowKeyLook(bool perKey, const KeyColourTable& colours);
    void ColourAllKeyButtons(QColor colour);
    std::vector<int> KeyboardPictureButtons() const;
    void ShowAbout();
    // Opens a web page or the help in the desktop's browser.
    void OpenPage(const QUrl& page);
    void ExitSequence();
    StateImages LooksFor(MainLooks looks) const;
    // No keyboard is attached, yet one is connected that this user may not open.
    bool KeyboardBlocked() const;
    // What a refused Open says: no keyboard, or the advice for one that may not be opened.
    QString NoKeyboardText() const;
    template <typename Dialog>
    Dialog& MadeOnFirstUse(Dialog*& dialog, const std::filesystem::path& skinFile);

    ProcessState& m_state;
    AppPaths m_paths;
    InstanceServer& m_instanceServer;
    KeyboardEditor& m_editor;
    SettingsFile m_settings;
    UserPreferences m_preferences;
    LightingPanel* m_lightingPanel = nullptr;
    // What the key and G-key buttons show (tooltip, key-function mark), kept for the window's
    // first showing and for the end of the per-key lighting look.
    std::map<int, KeyButtonLook> m_keyLooks;
    // What the next Apply changes, a line each, for the list of pending changes.
    QStringList m_pendingLines;
    // The skin's colour of the mark on keys the next Apply changes.
    QColor m_changeMark;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    PendingChangesDialog* m_pendingChanges = nullptr;
    // The lighting last read, for a panel built after it came.
    std::optional<LightingState> m_lightingState;
    bool m_startedInTray = false;
    // Nothing is modified at start: Apply starts disabled.
    bool m_applyEnabled = false;
    int m_activeProfileIndex = -1;
    QString m_profileCaption = QStringLiteral("<默认情景模式>");
    QString m_profileTooltip = QStringLiteral("当前情景模式: <默认情景模式>");
    bool m_perKeyLook = false;
    QTimer* m_lightingTimer = nullptr;
    BusyIndicator* m_busy = nullptr;
    CTrayIcon m_trayIcon;
    TrayIconState m_trayState;
    QIcon m_icon;
    QString m_link;
    std::map<int, CPngButton*> m_buttons;
    const SkinSurface* m_normal = nullptr;
    const SkinSurface* m_over = nullptr;
    const SkinSurface* m_down = nullptr;
    const SkinSurface* m_disable = nullptr;
    const SkinSurface* m_arrow = nullptr;
    AssignmentDialog* m_assignment = nullptr;
    ProfileManagerDialog* m_profileManager = nullptr;
    QPointer<CAboutDlg> m_about;
    QPointer<QMessageBox> m_noKeyboardBox;
    bool m_ready = false;
    bool m_exited = false;
};

} // namespace tavrik
