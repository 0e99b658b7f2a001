#pragma once
// CTrayIcon: the program's icon in the notification area (StatusNotifierItem or XEmbed through
// QSystemTrayIcon, which registers again by itself when the tray host restarts). Right click
// shows the menu with "打开(&O)" as its bold default item; a double click runs that first item,
// and so does a single left click: StatusNotifierItem hosts (KDE Plasma, GNOME's AppIndicator
// extension) report no double click, only the activation. The tooltip says in words what the
// picture shows: whether a keyboard is attached, or that it plays a macro.

#include "app/app_icons.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <filesystem>
#include <memory>

namespace tavrik {

// Command ids of the menu items.
inline constexpr int ID_TRAY_OPEN = 32771;
inline constexpr int ID_TRAY_ABOUT = 32773;
inline constexpr int ID_TRAY_EXIT = 32774;
inline constexpr int ID_TRAY_STOP_MACRO = 32775;

class CTrayIcon : public QObject {
    Q_OBJECT
public:
    CTrayIcon(std::filesystem::path iconFolder, QObject* parent = nullptr);
    ~CTrayIcon() override;

    // Shows the icon with its tooltip. Without a tray host it says so once on stderr; the icon
    // then appears when a host starts. False after Remove: a removed icon never comes back.
    bool Create(const QString& tooltip, int iconId);
    // Changes the picture and the state its tooltip names; false while the icon is not shown.
    bool SetIcon(int iconId);
    // Whether a keyboard is connected that this user may not open; the tooltip says so in place
    // of "no keyboard".
    void SetKeyboardBlocked(bool blocked);
    bool Remove();
    bool IsEnabled() const { return m_enabled; }
    int IconId() const { return m_iconId; }
    QString ToolTip() const;

    QMenu& Menu() { return m_menu; }
    // What a double click does: run the menu's first item.
    void RunFirstItem();

signals:
    void commandChosen(int commandId);

private:
    QAction* AddItem(int commandId, const QString& text);
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void ShowToolTip();

    // Each state's picture is loaded once and shown again as the same icon.
    AppIconSet m_icons;
    QMenu m_menu;
    QString m_tooltip;
    // A child of this object too, so that a test reaches it to activate it as a host does.
    std::unique_ptr<QSystemTrayIcon> m_icon;
    bool m_enabled = false;
    bool m_removed = false;
    int m_iconId = 0;
    bool m_keyboardBlocked = false;
};

} // namespace tavrik
