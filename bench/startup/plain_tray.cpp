// The yardstick of the start-up benchmark: a Qt Widgets program that shows nothing but a tray
// icon and its menu, with the same icon files and menu texts as the desktop program.
//   plain_tray ICON_FOLDER

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

QIcon TrayIcon(const QString& folder) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral("%1/128-%2.png").arg(folder).arg(size);
        if (QFileInfo::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QMenu menu;
    menu.setDefaultAction(menu.addAction(QStringLiteral("打开(&O)")));
    menu.addAction(QStringLiteral("停止正在播放的宏(&S)"));
    menu.addAction(QStringLiteral("关于(&A)"));
    QObject::connect(menu.addAction(QStringLiteral("退出(&x)")), &QAction::triggered, &app,
                     &QApplication::quit);
    QSystemTrayIcon tray(TrayIcon(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString()));
    tray.setToolTip(QStringLiteral("游戏键盘"));
    tray.setContextMenu(&menu);
    tray.show();
    return QApplication::exec();
}
