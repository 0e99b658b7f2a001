// The tray icon as the tray hosts drive it: what each activation reason runs, and the tooltip
// that names the keyboard's state. No tray host runs here; the test activates the icon as a
// host's click does, through the icon's own signal.

#include "app/tray_icon.h"
#include "events/main_window_port.h"

#include <QSignalSpy>
#include <QTest>

#include <map>
#include <set>

namespace tavrik {

class TrayIconTest : public QObject {
    Q_OBJECT

private:
    const std::filesystem::path m_iconFolder = std::filesystem::path(TAVRIK_BIN_DIR) / "icons";

    static QSystemTrayIcon* ShownIcon(CTrayIcon& tray) {
        return tray.findChild<QSystemTrayIcon*>();
    }

private slots:
    void activationRunsTheFirstItem_data() {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<QList<int>>("commands");
        // StatusNotifierItem hosts report a left click as the activation, with no double click.
        QTest::newRow("single left click") << QSystemTrayIcon::Trigger << QList<int>{ID_TRAY_OPEN};
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << QList<int>{ID_TRAY_OPEN};
        // The menu is shown by the host itself; the activation runs nothing.
        QTest::newRow("right click") << QSystemTrayIcon::Context << QList<int>{};
        QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << QList<int>{};
        QTest::newRow("unknown") << QSystemTrayIcon::Unknown << QList<int>{};
    }

    void activationRunsTheFirstItem() {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(QList<int>, commands);
        CTrayIcon tray(m_iconFolder);
        QVERIFY(tray.Create(QStringLiteral("游戏键盘"), kIconNoKeyboard));
        QSignalSpy chosen(&tray, &CTrayIcon::commandChosen);
        QSystemTrayIcon* icon = ShownIcon(tray);
        QVERIFY(icon != nullptr);

        emit icon->activated(reason);

        QList<int> ran;
        for (const QList<QVariant>& signal : chosen)
            ran.push_back(signal.at(0).toInt());
        QCOMPARE(ran, commands);
    }

    void menuItemsRunTheirCommands() {
        CTrayIcon tray(m_iconFolder);
        QVERIFY(tray.Create(QStringLiteral("游戏键盘"), kIconNoKeyboard));
        QSignalSpy chosen(&tray, &CTrayIcon::commandChosen);
        QCOMPARE(ShownIcon(tray)->contextMenu(), &tray.Menu());
        QCOMPARE(tray.Menu().defaultAction(), tray.Menu().actions().constFirst());
        for (QAction* action : tray.Menu().actions())
            action->trigger();
        // Stopping a macro is shown but cannot be chosen: the keyboard plays macros itself.
        const QList<int> expected = {ID_TRAY_OPEN, ID_TRAY_ABOUT, ID_TRAY_EXIT};
        QCOMPARE(chosen.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(chosen.at(i).at(0).toInt(), expected[i]);
        QCOMPARE(tray.Menu().actions().at(1)->data().toInt(), ID_TRAY_STOP_MACRO);
        QVERIFY(!tray.Menu().actions().at(1)->isEnabled());
    }

    void tooltipSaysTheStateInWords_data() {
        QTest::addColumn<int>("iconId");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("no keyboard") << kIconNoKeyboard << QStringLiteral("游戏键盘：未检测到键盘");
        QTest::newRow("keyboard attached")
            << kIconKeyboardAttached << QStringLiteral("游戏键盘：键盘已连接");
        QTest::newRow("macro playing")
            << kIconMacroPlaying << QStringLiteral("游戏键盘：键盘正在播放宏");
    }

    void tooltipSaysTheStateInWords() {
        QFETCH(int, iconId);
        QFETCH(QString, tooltip);
        CTrayIcon tray(m_iconFolder);
        QVERIFY(tray.Create(QStringLiteral("游戏键盘"), kIconNoKeyboard));
        QVERIFY(tray.SetIcon(iconId));
        QCOMPARE(tray.ToolTip(), tooltip);
        QCOMPARE(tray.IconId(), iconId);
        QVERIFY(!ShownIcon(tray)->icon().isNull());
    }

    // Plugging, unplugging and macros played, many times over, show each state's icon as the one
    // icon loaded for it: one that Qt has seen before (its cache key), never a new one.
    void eachStateIconIsLoadedOnce() {
        CTrayIcon tray(m_iconFolder);
        QVERIFY(tray.Create(QStringLiteral("游戏键盘"), kIconNoKeyboard));
        QSystemTrayIcon* icon = ShownIcon(tray);
        std::map<int, qint64> loaded{{kIconNoKeyboard, icon->icon().cacheKey()}};
        for (int cycle = 0; cycle < 3; ++cycle) {
            for (const int iconId : {kIconKeyboardAttached, kIconMacroPlaying,
                                     kIconKeyboardAttached, kIconNoKeyboard}) {
                QVERIFY(tray.SetIcon(iconId));
                QVERIFY(!icon->icon().isNull());
                const qint64 shown = icon->icon().cacheKey();
                // The first showing of a state names its icon; every later one shows it again.
                QCOMPARE(shown, loaded.emplace(iconId, shown).first->second);
            }
        }
        std::set<qint64> pictures;
        for (const auto& [iconId, key] : loaded)
            pictures.insert(key);
        QCOMPARE(pictures.size(), size_t(3));
    }

    void removedIconIsGoneForGood() {
        CTrayIcon tray(m_iconFolder);
        QVERIFY(tray.Create(QStringLiteral("游戏键盘"), kIconKeyboardAttached));
        QCOMPARE(tray.ToolTip(), QStringLiteral("游戏键盘：键盘已连接"));
        QVERIFY(tray.Remove());
        QVERIFY(ShownIcon(tray) == nullptr);
        QVERIFY(!tray.SetIcon(kIconNoKeyboard));
        QVERIFY(!tray.Create(QStringLiteral("游戏键盘"), kIconNoKeyboard));
        QVERIFY(tray.ToolTip().isEmpty());
    }
};

} // namespace tavrik

QTEST_MAIN(tavrik::TrayIconTest)
#include "tst_tray_icon.moc"
