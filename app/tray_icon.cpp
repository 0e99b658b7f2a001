#include "app/tray_icon.h"

#include "events/main_window_port.h"

#include <cstdio>

namespace tavrik {
namespace {

QString StateWords(int iconId, bool keyboardBlocked) {
    switch (iconId) {
    case kIconKeyboardAttached:
        return QStringLiteral("键盘已连接");
    case kIconMacroPlaying:
        return QStringLiteral("键盘正在播放宏");
    default:
        return keyboardBlocked ? QStringLiteral("键盘已连接，但当前用户无权打开它")
                               : QStringLiteral("未检测到键盘");
    }
}

} // namespace

CTrayIcon::CTrayIcon(std::filesystem::path iconFolder, QObject* parent)
    : QObject(parent)
    , m_icons(std::move(iconFolder)) {
    AddItem(ID_TRAY_OPEN, QStringLiteral("打开(&O)"));
    // A macro plays on the keyboard itself, which takes no command to stop it: the item users
    // know stays in its place, shown as one that cannot be chosen.
    AddItem(ID_TRAY_STOP_MACRO, QStringLiteral("停止正在播放的宏(&S)"))->setEnabled(false);
    AddItem(ID_TRAY_ABOUT, QStringLiteral("关于(&A)"));
    AddItem(ID_TRAY_EXIT, QStringLiteral("退出(&x)"));
    m_menu.setDefaultAction(m_menu.actions().constFirst());
}

CTrayIcon::~CTrayIcon() {
    Remove();
}

QAction* CTrayIcon::AddItem(int commandId, const QString& text) {
    QAction* action = m_menu.addAction(text);
    action->setData(commandId);
    connect(action, &QAction::triggered, this,
            [this, commandId] { emit commandChosen(commandId); });
    return action;
}

bool CTrayIcon::Create(const QString& tooltip, int iconId) {
    if (m_removed) {
        return false;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        std::fprintf(stderr, "tavrik: no notification area is running; start the program again "
                             "to show its window\n");
    }
    m_tooltip = tooltip;
    m_icon = std::make_unique<QSystemTrayIcon>(this);
    m_icon->setContextMenu(&m_menu);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, &CTrayIcon::OnActivated);
    m_enabled = true;
    SetIcon(iconId);
    m_icon->show();
    return true;
}

bool CTrayIcon::SetIcon(int iconId) {
    if (!m_enabled) {
        return false;
    }
    // The host is told only of a change of picture.
    if (iconId != m_iconId) {
        m_icon->setIcon(m_icons.Icon(iconId));
    }
    m_iconId = iconId;
    ShowToolTip();
    return true;
}

void CTrayIcon::SetKeyboardBlocked(bool blocked) {
    m_keyboardBlocked = blocked;
    if (m_enabled) {
        ShowToolTip();
    }
}

void CTrayIcon::ShowToolTip() {
    m_icon->setToolTip(m_tooltip + QStringLiteral("：") + StateWords(m_iconId, m_keyboardBlocked));
}

QString CTrayIcon::ToolTip() const {
    return m_icon ? m_icon->toolTip() : QString();
}

bool CTrayIcon::Remove() {
    if (!m_enabled) {
        return false;
    }
    m_icon->hide();
    m_icon.reset();
    m_enabled = false;
    m_removed = true;
    m_iconId = 0;
    return true;
}

void CTrayIcon::RunFirstItem() {
    m_menu.actions().constFirst()->trigger();
}

void CTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    // On XEmbed trays a double click also brings a Trigger first; the window's Open does the same
    // thing twice, so the second one changes nothing.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        RunFirstItem();
    }
}

} // namespace tavrik
