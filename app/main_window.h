#pragma once
// CTavrikDlg: the program's one top-level window, skinned from "Skins/Main.ini". It spends most
// of its life hidden behind the notification-area icon and is shown only by "打开(&O)" or a
// second start, and only while a keyboard is attached. "退出(&x)" and a "/Kill" start end the
// program through its exit sequence.

#include "app/app_paths.h"
#include "app/instance_message.h"
#include "app/main_controls.h"
#include "app/tray_icon.h"
#include "app/tray_state.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"
#include "skin/skin_picture.h"

#include <QMessageBox>
#include <QPointer>

#include <map>

namespace tavrik {

class CAboutDlg;
class InstanceServer;
struct ProcessState;

class CTavrikDlg : public CBaseDialog {
    Q_OBJECT
public:
    static constexpr std::string_view kNoKeyboardText = "未检测到设备，无法显示按键设置! ";

    CTavrikDlg(ProcessState& state, AppPaths paths, InstanceServer& instanceServer);
    ~CTavrikDlg() override;

    // Open: show the window while a keyboard is attached, otherwise say that none is.
    void Open();
    // Exit: hide, run the exit sequence once, end the program's run.
    void Exit();
    void HandleInstanceCommand(InstanceCommand command);
    void SetTrayState(int mode, int iconId);

    bool IsReady() const { return m_ready; }
    CTrayIcon& TrayIcon() { return m_trayIcon; }
    CPngButton* Button(int controlId) const;
    // The message box of a refused Open while it is up.
    QMessageBox* NoKeyboardMessage() const { return m_noKeyboardBox; }

    // OK, Cancel and the window's close send the window back to the notification area.
    void accept() override;
    void reject() override;

signals:
    // The exit sequence has run; the program's run ends.
    void exitFinished();

protected:
    void OnInitDialog() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LoadButtonPictures();
    CPngButton& ButtonSlot(int controlId);
    void PlaceButtons();
    void PlaceArrows();
    void FinishInitialisation();
    void RunCommand(int commandId);
    void ShowAbout();
    void ExitSequence();
    StateImages LooksFor(MainLooks looks) const;

    ProcessState& m_state;
    AppPaths m_paths;
    InstanceServer& m_instanceServer;
    CTrayIcon m_trayIcon;
    TrayIconState m_trayState;
    QIcon m_icon;
    QString m_link;
    std::map<int, CPngButton*> m_buttons;
    const QImage* m_normal = nullptr;
    const QImage* m_over = nullptr;
    const QImage* m_down = nullptr;
    const QImage* m_disable = nullptr;
    const QImage* m_arrow = nullptr;
    QPointer<CAboutDlg> m_about;
    QPointer<QMessageBox> m_noKeyboardBox;
    bool m_ready = false;
    bool m_exited = false;
};

} // namespace tavrik
