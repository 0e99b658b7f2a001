// The main window on the real drawn skin: placement of its buttons, the tray icon's menu, Open
// with and without a keyboard, and Exit.

#include "app/app_paths.h"
#include "app/instance_server.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "keys/key_table.h"
#include "skin/ini_file.h"
#include "skin/skin_keys.h"
#include "skin/skin_rect.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace tavrik {

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keyButtonsSitWhereTheSkinPutsThem();
    void trayMenuItemsAndDefault();
    void openWithoutKeyboardRefuses();
    void openWithKeyboardShowsTheWindow();
    void trayStateChangesTheIcon();
    void exitRemovesTheIconOnce();
    void enterAndEscapeDoNothing();

private:
    const AppPaths m_paths =
        AppPathsFromExecutable(std::filesystem::path(TAVRIK_BIN_DIR) / "tavrik");
    std::unique_ptr<ProcessState> m_state;
    std::unique_ptr<InstanceServer> m_server;
    std::unique_ptr<CTavrikDlg> m_window;
};

void MainWindowTest::init() {
    m_state = std::make_unique<ProcessState>();
    m_server = std::make_unique<InstanceServer>();
    m_window = std::make_unique<CTavrikDlg>(*m_state, m_paths, *m_server);
    m_window->InitDialog();
    QTRY_VERIFY(m_window->IsReady());
}

void MainWindowTest::cleanup() {
    m_window.reset();
    m_server.reset();
    m_state.reset();
}

void MainWindowTest::keyButtonsSitWhereTheSkinPutsThem() {
    const CIniFile skin(m_paths.mainSkinFile);
    QCOMPARE(m_window->size(), QSize(1160, 620));
    for (const KeyButton& key : KeyButtons()) {
        const std::u16string skinKey = KeyButtonSkinKey(key.scan);
        const QByteArray name = QString::fromStdU16String(skinKey).toLatin1();
        const SkinRect rect = ReadSkinRect(skin, u"BUTTONINFO", skinKey);
        const CPngButton* button = m_window->Button(key.controlId);
        QVERIFY2(button != nullptr, name.constData());
        QVERIFY2(!IsUnplacedRect(rect),
                 name.constData()); // the drawn skin places every key of the table
        QCOMPARE(button->geometry(), QRect(rect.x, rect.y, rect.width, rect.height));
        QVERIFY2(button->isEnabled(), name.constData());
    }
    QVERIFY(m_window->Button(1174)->isEnabled());  // Fn
    QVERIFY(m_window->Button(1004)->isEnabled());  // G5
    QVERIFY(!m_window->Button(1140)->isEnabled()); // G6-G9 stay disabled
    QVERIFY(!m_window->Button(1006)->isEnabled()); // Apply: nothing modified yet
    QCOMPARE(m_window->Button(1005)->text(), QStringLiteral("<默认情景模式>"));
    QCOMPARE(m_window->Button(1122)->TooltipText(), QStringLiteral("帮助"));
}

void MainWindowTest::trayMenuItemsAndDefault() {
    QMenu& menu = m_window->TrayIcon().Menu();
    const QList<QAction*> items = menu.actions();
    QCOMPARE(items.size(), 4);
    const QStringList texts = {QStringLiteral("打开(&O)"), QStringLiteral("停止正在播放的宏(&S)"),
                               QStringLiteral("关于(&A)"), QStringLiteral("退出(&x)")};
    const QList<int> ids = {32771, 32775, 32773, 32774};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(items[i]->text(), texts[i]);
        QCOMPARE(items[i]->data().toInt(), ids[i]);
    }
    QCOMPARE(menu.defaultAction(), items.first()); // drawn bold
    QCOMPARE(m_window->TrayIcon().IconId(), 128);
    QVERIFY(m_window->isHidden());

    items[1]->trigger(); // stop macro: nothing the computer could stop
    QVERIFY(m_window->isHidden());
    QVERIFY(m_window->NoKeyboardMessage() == nullptr);
}

void MainWindowTest::openWithoutKeyboardRefuses() {
    m_window->TrayIcon().RunFirstItem(); // what a double click does
    QVERIFY(m_window->isHidden());
    QMessageBox* message = m_window->NoKeyboardMessage();
    QVERIFY(message != nullptr);
    QCOMPARE(message->text(), QStringLiteral("未检测到设备，无法显示按键设置! "));
    QCOMPARE(message->standardButtons(), QMessageBox::Ok);
    m_window->Open(); // a second refusal does not stack another box
    QCOMPARE(m_window->NoKeyboardMessage(), message);
    message->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(m_window->NoKeyboardMessage() == nullptr);
}

void MainWindowTest::openWithKeyboardShowsTheWindow() {
    m_state->keyboards.SetCount(1);
    m_window->HandleInstanceCommand(InstanceCommand::Open);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->NoKeyboardMessage() == nullptr);
    m_window->Button(2)->click(); // Cancel sends it back to the tray
    QVERIFY(m_window->isHidden());
    QCOMPARE(m_window->TrayIcon().IconId(), 128);
}

void MainWindowTest::trayStateChangesTheIcon() {
    m_window->SetTrayState(0, 141);
    QCOMPARE(m_window->TrayIcon().IconId(), 141);
    m_window->SetTrayState(1, 0);
    QCOMPARE(m_window->TrayIcon().IconId(), 142);
    m_window->SetTrayState(0, 0);
    QCOMPARE(m_window->TrayIcon().IconId(), 141);
}

void MainWindowTest::exitRemovesTheIconOnce() {
    QSignalSpy finished(m_window.get(), &CTavrikDlg::exitFinished);
    QVERIFY(m_state->namedEvents != nullptr);
    m_window->TrayIcon().Menu().actions().last()->trigger(); // "退出(&x)"
    QCOMPARE(finished.count(), 1);
    QVERIFY(!m_window->TrayIcon().IsEnabled());
    QCOMPARE(m_window->TrayIcon().IconId(), 0);
    QCOMPARE(m_state->namedEvents->OpenCount(), 0);
    QVERIFY(!m_window->IsInitialised()); // the face was released
    QVERIFY(!m_window->TrayIcon().SetIcon(141));
    m_window->HandleInstanceCommand(InstanceCommand::Kill); // a second exit does nothing
    QCOMPARE(finished.count(), 1);
}

void MainWindowTest::enterAndEscapeDoNothing() {
    m_state->keyboards.SetCount(1);
    m_window->Open();
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    QVERIFY(m_window->isVisible());
}

} // namespace tavrik

QTEST_MAIN(tavrik::MainWindowTest)
#include "tst_main_window.moc"
