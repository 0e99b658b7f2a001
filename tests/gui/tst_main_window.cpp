// The main window on the real drawn skin, wired to the emulated keyboard in this process: its
// placement, the tray icon, Open, Exit, and every command that reaches the keyboard. What the
// keyboard holds is read back from the emulated keyboard's memory, never from the window.

#include "app/app_paths.h"
#include "app/instance_server.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "device/config_frame.h"
#include "events/consumer_event.h"
#include "gui/key_click_route.h"
#include "gui/lighting_panel.h"
#include "gui/profile_manager_dialog.h"
#include "keys/key_table.h"
#include "profile/storage_paths.h"
#include "skin/ini_file.h"
#include "skin/skin_keys.h"
#include "skin/skin_rect.h"
#include "support/hooked_keyboard.h"
#include "widgets/busy_indicator.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <fstream>
#include <set>
#include <utility>

namespace tavrik {

namespace {

constexpr int kApply = 1006;
constexpr int kProfile1 = 1135;
constexpr int kDefault = 1138;
constexpr int kFlip1 = 1130;
constexpr int kF1 = 1010;
constexpr int kG1 = 1000;
constexpr int kBankLamp = 1128;
constexpr int kKeyA = 1058; // the button of A
constexpr KeyPosition kAPosition = 19;
constexpr uint8_t kUsageA = 0x04;
constexpr uint8_t kUsageB = 0x05;
constexpr size_t kKeyMapEntrySize = 3;

// A key map entry that makes the key type the HID usage given.
void RemapOnKeyboard(EmulatedHidBridge& keyboard, size_t profile, KeyPosition position,
                     uint8_t usage) {
    keyboard.WithFirmware([&](emu::KeyboardFirmware& firmware) {
        auto& entry = firmware.Memory().keyMaps[profile];
        entry[position * kKeyMapEntrySize + 2] = usage;
    });
}

uint8_t UsageOnKeyboard(EmulatedHidBridge& keyboard, size_t profile, KeyPosition position) {
    return keyboard.WithFirmware([&](emu::KeyboardFirmware& firmware) {
        return firmware.Memory().keyMaps[profile][position * kKeyMapEntrySize + 2];
    });
}

uint8_t ActiveProfileOnKeyboard(EmulatedHidBridge& keyboard) {
    return keyboard.WithFirmware(
        [](emu::KeyboardFirmware& firmware) { return firmware.Memory().ActiveProfile(); });
}

// Answers the next modal message box with `button` as soon as it is up.
void AnswerNextMessageBox(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        box->button(button)->click();
    });
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keyButtonsSitWhereTheSkinPutsThem();
    void everyButtonHasAnAccessibleName();
    void trayMenuItemsAndDefault();
    void startWithoutKeyboardNeverShowsTheWindow();
    void keyboardThatMayNotBeOpenedIsExplained();
    void openWithKeyboardShowsTheWindow();
    void trayStateChangesTheIcon();
    void exitRemovesTheIconOnce();
    void enterAndEscapeDoNothing();
    void keyClickRouting_data();
    void keyClickRouting();
    void keyClickOpensTheAssignmentOnItsSlot();
    void helpWithoutABrowserSaysWhereItIs();
    void assignedKeysCarryTheirMarkAndDescription();
    void applyWithNothingModifiedSendsNothing();
    void applyAfterAChangeDownloadsAndDisablesApply();
    void aRefusedWriteKeepsApplyAndNamesThePart();
    void aKeyMapStoredOtherwiseKeepsApplyAndNamesThePart();
    void anApplyCutOffIsFinishedAtTheNextAttach();
    void anApplyCutOffSaysWhatReachedTheKeyboard();
    void applySendsEveryKeyMapOnlyWhenMacrosMoved_data();
    void applySendsEveryKeyMapOnlyWhenMacrosMoved();
    void profileButtonSwitchesTheKeyboard();
    void theActiveProfileButtonSendsNothing();
    void flipTwiceGivesBackTheFirstSet();
    void defaultAsksFirst_data();
    void defaultAsksFirst();
    void plugWhileHiddenReadsTheKeyboard();
    void unplugWhileShownHidesTheWindow();
    void bankToggleOnTheKeyboardRemarksTheGKeys();
    void macroPlayOnTheKeyboardShowsItsIcon();
    void lightingChangeOnTheKeyboardIsReadAgain();
    void exportThenImportRoundTrips();
    void aTextBackupBringsBackTheKeysAndTheLighting();
    void aFaultyTextIsRefusedWithItsLineAndNothingIsSent();
    void anImportStoredOtherwiseKeepsApplyAndNamesThePart_data();
    void anImportStoredOtherwiseKeepsApplyAndNamesThePart();
    void theProfileNameButtonOpensTheProfileManager();

private:
    void Start(bool plugged, bool notAccessible = false);
    void WaitForAttach();
    // Every keyboard job posted so far has run and its signals have reached the window.
    void Drain();
    // An edit in the main window, not applied yet: key A of the first profile types B.
    void EditKeyAToTypeB();
    EmulatedHidBridge& Keyboard() { return m_keyboard->Keyboard(); }

    const AppPaths m_paths =
        AppPathsFromExecutable(std::filesystem::path(TAVRIK_BIN_DIR) / "tavrik");
    std::unique_ptr<QTemporaryDir> m_documents;
    test::HookedKeyboard* m_keyboard = nullptr;
    QStringList m_messages;
    bool m_answer = false;
    std::unique_ptr<ProcessState> m_state;
    std::unique_ptr<InstanceServer> m_server;
    std::unique_ptr<KeyboardEditor> m_editor;
    std::unique_ptr<CTavrikDlg> m_window;
};

void MainWindowTest::init() {
    Start(true);
}

void MainWindowTest::Start(bool plugged, bool notAccessible) {
    cleanup();
    m_documents = std::make_unique<QTemporaryDir>();
    QVERIFY(m_documents->isValid());
    const std::filesystem::path documents = m_documents->path().toStdString();
    auto keyboard = std::make_unique<test::HookedKeyboard>(plugged, notAccessible);
    m_keyboard = keyboard.get();
    m_messages.clear();
    m_state = std::make_unique<ProcessState>();
    m_server = std::make_unique<InstanceServer>();
    m_editor = std::make_unique<KeyboardEditor>(
        std::move(keyboard), StoragePathsIn(documents), LightingPreferencesSource{},
        KeyboardEditor::UserDialogs{[this](const QString& text) { m_messages << text; },
                                    [this](const QString& question) {
                                        m_messages << question;
                                        return m_answer;
                                    }});
    m_window = std::make_unique<CTavrikDlg>(*m_state, m_paths, *m_server, *m_editor,
                                            SettingsFile(SettingsFilePath(documents)));
    m_window->InitDialog();
    m_editor->Start();
    QTRY_VERIFY(m_window->IsReady());
    if (plugged)
        WaitForAttach();
}

void MainWindowTest::WaitForAttach() {
    QTRY_COMPARE(m_editor->KeyboardCount(), 1);
    Drain();
    QCOMPARE(m_window->TrayIcon().IconId(), 141);
}

void MainWindowTest::Drain() {
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_editor->PostAfterQueuedJobs([done] { *done = true; });
    QTRY_VERIFY(done->load());
    QCoreApplication::processEvents();
}

void MainWindowTest::EditKeyAToTypeB() {
    {
        LiveProfile& profile = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Record().layers[0][KeyIndexFromScan(0x1E)] = {.type = KeyFunctionType::SingleKey,
                                                              .value = 0x30};
    }
    m_editor->EnableApply(true);
}

void MainWindowTest::cleanup() {
    m_window.reset();
    m_editor.reset();
    m_server.reset();
    m_state.reset();
    m_documents.reset();
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
    }
    QVERIFY(m_window->Button(1174)->isEnabled());    // Fn
    QVERIFY(m_window->Button(1004)->isEnabled());    // G5
    QVERIFY(!m_window->Button(1140)->isEnabled());   // G6-G9 stay disabled
    QVERIFY(!m_window->Button(kApply)->isEnabled()); // nothing modified yet
    QCOMPARE(m_window->Button(1122)->TooltipText(), QStringLiteral("帮助"));
    const SkinRect busy = ReadSkinRect(skin, u"BUTTONINFO", u"CONTROL_JDTSTATIC");
    QCOMPARE(m_window->Busy()->geometry(), QRect(busy.x, busy.y, busy.width, busy.height));
    QVERIFY(m_window->Busy()->isHidden());
}

void MainWindowTest::everyButtonHasAnAccessibleName() {
    for (QAbstractButton* button :
         m_window->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(!button->accessibleName().isEmpty(),
                 qPrintable(QStringLiteral("button at %1,%2").arg(button->x()).arg(button->y())));
        QCOMPARE(button->focusPolicy(), Qt::TabFocus);
    }
    QCOMPARE(m_window->Button(kKeyA)->accessibleName(), QStringLiteral("A"));
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
    QVERIFY(m_window->isHidden());

    items[1]->trigger(); // stop macro: nothing the computer could stop
    QVERIFY(m_window->isHidden());
    QVERIFY(m_window->NoKeyboardMessage() == nullptr);
}

void MainWindowTest::startWithoutKeyboardNeverShowsTheWindow() {
    Start(false);
    QCOMPARE(m_window->TrayIcon().IconId(), 128);
    QCOMPARE(m_window->Button(1005)->text(), QStringLiteral("<默认情景模式>"));
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
    QCOMPARE(Keyboard().FramesReceived(), 0);
}

void MainWindowTest::keyboardThatMayNotBeOpenedIsExplained() {
    Start(false, true);
    QCOMPARE(m_window->TrayIcon().ToolTip(),
             QStringLiteral("游戏键盘：键盘已连接，但当前用户无权打开它"));
    m_window->TrayIcon().RunFirstItem();
    QVERIFY(m_window->isHidden());
    QMessageBox* message = m_window->NoKeyboardMessage();
    QVERIFY(message != nullptr);
    QVERIFY(message->text().startsWith(QStringLiteral("键盘已连接，但当前用户无权打开它")));
    QVERIFY(message->text().contains(QStringLiteral("/lib/udev/rules.d/70-voltri-vx60.rules")));
    QVERIFY(
        message->text().endsWith(QStringLiteral("\n\nsudo udevadm control --reload-rules && sudo "
                                                "udevadm trigger --subsystem-match=hidraw")));
    const std::filesystem::path shots = std::filesystem::path(TAVRIK_BIN_DIR) / "screenshots";
    std::filesystem::create_directories(shots);
    QVERIFY(message->grab().save(
        QString::fromStdString((shots / "keyboard-not-accessible.png").string())));
    message->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(m_window->NoKeyboardMessage() == nullptr);

    // The rule is installed and the keyboard plugged in again.
    m_keyboard->SetNotAccessible(false);
    m_editor->RecheckKeyboardAccess();
    QCOMPARE(m_window->TrayIcon().ToolTip(), QStringLiteral("游戏键盘：未检测到键盘"));
    Keyboard().Plug();
    WaitForAttach();
    m_window->TrayIcon().RunFirstItem();
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->NoKeyboardMessage() == nullptr);
}

void MainWindowTest::openWithKeyboardShowsTheWindow() {
    m_window->HandleInstanceCommand(InstanceCommand::Open);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->NoKeyboardMessage() == nullptr);
    QVERIFY(m_window->Button(kProfile1)->CurrentLook() == ButtonLook::Lit);
    QCOMPARE(m_window->Button(1005)->text(), QStringLiteral("$Profile0"));
    m_window->Button(2)->click(); // Cancel sends it back to the tray
    QVERIFY(m_window->isHidden());
}

void MainWindowTest::trayStateChangesTheIcon() {
    m_window->SetTrayState(1, 0);
    QCOMPARE(m_window->TrayIcon().IconId(), 142);
    m_window->SetTrayState(0, 0);
    QCOMPARE(m_window->TrayIcon().IconId(), 141);
    m_window->SetTrayState(0, 128);
    QCOMPARE(m_window->TrayIcon().IconId(), 128);
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
    QCOMPARE(m_editor->KeyboardCount(), 0);                 // the device link has stopped
    m_window->HandleInstanceCommand(InstanceCommand::Kill); // a second exit does nothing
    QCOMPARE(finished.count(), 1);
}

void MainWindowTest::enterAndEscapeDoNothing() {
    m_window->Open();
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    QVERIFY(m_window->isVisible());
}

void MainWindowTest::keyClickRouting_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<bool>("bankB");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("macroOnly");
    const int none = static_cast<int>(KeyClickAction::Nothing);
    const int paint = static_cast<int>(KeyClickAction::Paint);
    const int assign = static_cast<int>(KeyClickAction::Assign);
    QTest::newRow("key A") << kKeyA << false << false << assign << 0x1E << false;
    QTest::newRow("key A, edit mode") << kKeyA << true << false << paint << 0 << false;
    QTest::newRow("E0 key: right Ctrl") << 1089 << false << false << assign << 0x9D << false;
    QTest::newRow("G1, bank A") << kG1 << false << false << assign << 256 << false;
    QTest::newRow("G1, bank B, edit mode") << kG1 << true << true << assign << 265 << false;
    QTest::newRow("G9 is macro only") << 1143 << false << false << assign << 264 << true;
    QTest::newRow("macro button") << 1007 << true << true << assign << 273 << true;
    QTest::newRow("D1") << 1016 << false << false << none << 0 << false;
    QTest::newRow("D6, edit mode") << 1021 << true << false << paint << 0 << false;
    QTest::newRow("hidden piece 1057") << 1057 << false << false << none << 0 << false;
    QTest::newRow("Fn") << 1174 << false << false << none << 0 << false;
    QTest::newRow("Fn, edit mode") << 1174 << true << false << paint << 0 << false;
    QTest::newRow("Apply is no key") << kApply << true << false << none << 0 << false;
}

void MainWindowTest::keyClickRouting() {
    QFETCH(int, button);
    QFETCH(bool, editMode);
    QFETCH(bool, bankB);
    QFETCH(int, action);
    QFETCH(int, slot);
    QFETCH(bool, macroOnly);
    const KeyClickRoute expected{static_cast<KeyClickAction>(action), slot, macroOnly};
    QVERIFY(RouteKeyClick(button, editMode, bankB) == expected);
}

// The offscreen platform has no program for web pages, as a desktop without xdg-open has none.
void MainWindowTest::helpWithoutABrowserSaysWhereItIs() {
    m_window->Open();
    QTest::mouseClick(m_window->Button(1122), Qt::LeftButton); // the help button
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) != nullptr ||
                (box = m_window->findChild<QMessageBox*>()) != nullptr);
    QVERIFY2(box->text().startsWith(QStringLiteral("没有可以打开网页的程序")),
             qPrintable(box->text()));
    QVERIFY2(box->text().endsWith(QStringLiteral("index.html")), qPrintable(box->text()));
    box->button(QMessageBox::Ok)->click();
}

void MainWindowTest::keyClickOpensTheAssignmentOnItsSlot() {
    QSignalSpy requested(m_window.get(), &CTavrikDlg::assignmentRequested);
    m_window->Open();
    QTest::mouseClick(m_window->Button(kKeyA), Qt::LeftButton);
    QTest::mouseClick(m_window->Button(1007), Qt::LeftButton); // the macro button
    QCOMPARE(requested.count(), 2);
    QVERIFY(requested[0][0].value<KeyClickRoute>() ==
            (KeyClickRoute{KeyClickAction::Assign, 0x1E, false}));
    QCOMPARE(requested[0][1].toInt(), kKeyA);
    QVERIFY(requested[1][0].value<KeyClickRoute>() ==
            (KeyClickRoute{KeyClickAction::Assign, 264, true}));
}

void MainWindowTest::assignedKeysCarryTheirMarkAndDescription() {
    RemapOnKeyboard(Keyboard(), 0, kAPosition, kUsageB);
    Keyboard().Unplug();
    QTRY_COMPARE(m_editor->KeyboardCount(), 0);
    Keyboard().Plug();
    WaitForAttach();
    const CPngButton* a = m_window->Button(kKeyA);
    QCOMPARE(a->CurrentLook(), ButtonLook::Lit);
    QVERIFY2(a->TooltipText().startsWith(QStringLiteral("A按键，设定为: ")),
             qPrintable(a->TooltipText()));
    QCOMPARE(m_window->Button(kKeyA + 1)->CurrentLook(), ButtonLook::Normal); // S
    QCOMPARE(m_window->Button(kKeyA + 1)->TooltipText(), QStringLiteral("S"));
}

void MainWindowTest::applyWithNothingModifiedSendsNothing() {
    const int framesBefore = Keyboard().FramesReceived();
    QSignalSpy busy(m_editor.get(), &KeyboardEditor::busyChanged);
    m_window->Open();
    QTest::mouseClick(m_window->Button(1), Qt::LeftButton); // OK: Apply, then hide
    QTRY_COMPARE(busy.count(), 2);
    QCoreApplication::processEvents();
    QVERIFY(m_window->Busy()->isVisible() || m_window->isHidden());
    QTRY_VERIFY(m_window->Busy()->isHidden());
    QVERIFY(!m_window->Busy()->IsAnimating());
    QVERIFY(m_window->isHidden());
    QCOMPARE(Keyboard().FramesReceived(), framesBefore);
}

void MainWindowTest::applyAfterAChangeDownloadsAndDisablesApply() {
    EditKeyAToTypeB();
    Drain();
    QVERIFY(m_window->Button(kApply)->isEnabled());
    m_window->Open();
    QTest::mouseClick(m_window->Button(kApply), Qt::LeftButton);
    QTRY_VERIFY(!m_window->Button(kApply)->isEnabled());
    QCOMPARE(UsageOnKeyboard(Keyboard(), 0, kAPosition), kUsageB);
    QVERIFY(m_keyboard->FramesOf(command::kWriteKeyMap) > 0);
    QVERIFY(m_messages.isEmpty());
}

void MainWindowTest::aRefusedWriteKeepsApplyAndNamesThePart() {
    m_keyboard->BeforeFrame([](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
        if (frame[frame::kCommand] == command::kWriteKeyMap)
            keyboard.SetFault(emu::Fault::RefuseFF, 1);
    });
    EditKeyAToTypeB();
    m_window->Open();
    QTest::mouseClick(m_window->Button(kApply), Qt::LeftButton);
    QTRY_COMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QStringLiteral("写入硬件情景模式 1 的按键映射")),
             qPrintable(m_messages[0]));
    QVERIFY(m_messages[0].contains(QStringLiteral("0xFF")));
    // The refused frame was the only one that would have changed the keyboard.
    QVERIFY2(m_messages[0].contains(QStringLiteral("没有任何设定写入键盘")),
             qPrintable(m_messages[0]));
    Drain();
    QVERIFY(m_window->Button(kApply)->isEnabled());
    QVERIFY(m_editor->IsModified());
}

// The keyboard acknowledges the key map and stores one byte of it inverted: reading it back after
// the write shows it, and Apply fails as for a refused frame.
void MainWindowTest::aKeyMapStoredOtherwiseKeepsApplyAndNamesThePart() {
    auto flipped = std::make_shared<bool>(false);
    m_keyboard->BeforeFrame([flipped](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
        if (frame[frame::kCommand] != command::kReadKeyMap || *flipped)
            return;
        *flipped = true;
        const uint16_t address = FrameAddress(frame);
        keyboard.WithFirmware([address](emu::KeyboardFirmware& firmware) {
            firmware.Memory().keyMaps[address / 512][address % 512] ^= 0xFF;
        });
    });
    EditKeyAToTypeB(); // A's bytes lie in the key map's second frame: it alone is sent
    m_window->Open();
    QTest::mouseClick(m_window->Button(kApply), Qt::LeftButton);
    QTRY_COMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QStringLiteral("写入硬件情景模式 1 的按键映射 (字节 56..111)")),
             qPrintable(m_messages[0]));
    QVERIFY(m_messages[0].contains(QStringLiteral("写入后读回的数据不同")));
    Drain();
    QVERIFY(m_window->Button(kApply)->isEnabled());
    QVERIFY(m_editor->IsModified());
}

// The keyboard is unplugged in the middle of Apply: what the user meant to write stays in the
// store file, and when the keyboard comes back the program asks to finish, and does.
void MainWindowTest::anApplyCutOffIsFinishedAtTheNextAttach() {
    EditKeyAToTypeB();
    m_keyboard->BeforeFrame([](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
        if (frame[frame::kCommand] == command::kBegin)
            keyboard.SetFault(emu::Fault::UnplugAfter, 1);
    });
    m_window->Open();
    QTest::mouseClick(m_window->Button(kApply), Qt::LeftButton);
    QTRY_COMPARE(m_editor->KeyboardCount(), 0);
    QTRY_VERIFY(m_window->isHidden());
    QCOMPARE(UsageOnKeyboard(Keyboard(), 0, kAPosition), kUsageA);
    // Gone before the first frame that writes: the failure says that nothing was written.
    QTRY_COMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QStringLiteral("没有任何设定写入键盘")),
             qPrintable(m_messages[0]));

    m_keyboard->BeforeFrame({});
    m_messages.clear();
    m_answer = true;
    Keyboard().Plug();
    WaitForAttach();
    QTRY_COMPARE(UsageOnKeyboard(Keyboard(), 0, kAPosition), kUsageB);
    QCOMPARE(m_messages.size(), 1); // the question, and no failure
    QVERIFY(m_messages[0].contains(QStringLiteral("没有完成")));
    Drain();
    QVERIFY(!m_window->Button(kApply)->isEnabled());
    QCOMPARE(m_window->Button(kKeyA)->CurrentLook(), ButtonLook::Lit);
}

// The keyboard goes away after the macro image's first frames: its magic is cleared and the header
// that brings it back never came. The message says that part of it reached the keyboard and that
// it plays no macros until the download is finished.
void MainWindowTest::anApplyCutOffSaysWhatReachedTheKeyboard() {
    EditKeyAToTypeB();
    {
        LiveProfile& profile = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        MacroRecord macro{.name = u"m", .id = 1};
        macro.actions = {{.delayMs = 10, .key = 0x1E, .direction = KeyDirection::Press}};
        profile.Macros().push_back(macro);
    }
    m_keyboard->BeforeFrame([](const ConfigFrame& frame, EmulatedHidBridge& keyboard) {
        if (frame[frame::kCommand] == command::kWriteMacroMemory && FrameAddress(frame) >= 16)
            keyboard.SetFault(emu::Fault::UnplugAfter, 1);
    });
    m_window->Open();
    QTest::mouseClick(m_window->Button(kApply), Qt::LeftButton);
    QTRY_COMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QStringLiteral("键盘可能只收到了其中一部分")),
             qPrintable(m_messages[0]));
    QVERIFY(m_messages[0].contains(QStringLiteral("在写入完成之前键盘不会播放任何宏")));
    const std::vector<uint8_t> macroMemory = Keyboard().WithFirmware(
        [](emu::KeyboardFirmware& firmware) { return firmware.Memory().macroMemory; });
    QVERIFY(macroMemory[0] != 0xAA || macroMemory[1] != 0x55); // the image's magic is gone
}

void MainWindowTest::applySendsEveryKeyMapOnlyWhenMacrosMoved_data() {
    QTest::addColumn<bool>("macrosMoved");
    QTest::addColumn<QList<int>>("profilesWritten");
    QTest::newRow("a key changed") << false << QList<int>{0};
    QTest::newRow("a macro deletion moved the macros") << true << QList<int>{0, 1, 2};
}

void MainWindowTest::applySendsEveryKeyMapOnlyWhenMacrosMoved() {
    QFETCH(bool, macrosMoved);
    QFETCH(QList<int>, profilesWritten);
    constexpr uint16_t kKeyMapBlockStride = 512;
    auto written = std::make_shared<std::set<int>>();
    m_keyboard->BeforeFrame([written](const ConfigFrame& frame, EmulatedHidBridge&) {
        if (frame[frame::kCommand] == command::kWriteKeyMap)
            written->insert(FrameAddress(frame) / kKeyMapBlockStride);
    });
    // Every frame goes out, so the frames show which key maps the download covers.
    m_editor->Stack().Commands().WriteEveryFrame(true);
    m_editor->EnableApply(true);
    if (macrosMoved)
        m_editor->MarkAllProfilesChanged();
    m_window->Open();
    QTest::mouseClick(m_window->Button(kApply), Qt::LeftButton);
    QTRY_VERIFY(!m_window->Button(kApply)->isEnabled());
    QCOMPARE(QList<int>(written->begin(), written->end()), profilesWritten);
}

void MainWindowTest::profileButtonSwitchesTheKeyboard() {
    m_window->Open();
    QTest::mouseClick(m_window->Button(kProfile1 + 1), Qt::LeftButton);
    QTRY_COMPARE(ActiveProfileOnKeyboard(Keyboard()), uint8_t{1});
    Drain();
    QCOMPARE(m_window->Button(kProfile1 + 1)->CurrentLook(), ButtonLook::Lit);
    QCOMPARE(m_window->Button(kProfile1)->CurrentLook(), ButtonLook::Normal);
}

void MainWindowTest::theActiveProfileButtonSendsNothing() {
    const int framesBefore = Keyboard().FramesReceived();
    m_window->Open();
    QTest::mouseClick(m_window->Button(kProfile1), Qt::LeftButton);
    Drain();
    QCOMPARE(Keyboard().FramesReceived(), framesBefore);
    QCOMPARE(m_window->Button(kProfile1)->CurrentLook(), ButtonLook::Lit);
}

void MainWindowTest::flipTwiceGivesBackTheFirstSet() {
    const bool f1Enabled = m_window->Button(kF1)->isEnabled();
    m_window->Open();
    QTest::mouseClick(m_window->Button(kFlip1), Qt::LeftButton);
    QCOMPARE(m_window->Button(kF1)->isEnabled(), !f1Enabled);
    const QImage lampAfterOne = m_window->Button(1129)->grab().toImage();
    QTest::mouseClick(m_window->Button(kFlip1 + 1), Qt::LeftButton);
    QCOMPARE(m_window->Button(kF1)->isEnabled(), f1Enabled);
    // The Flip lamp shows one picture for each setting.
    QVERIFY(m_window->Button(1129)->grab().toImage() != lampAfterOne);
}

void MainWindowTest::defaultAsksFirst_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No keeps the remapped key") << false;
    QTest::newRow("Yes restores it on the keyboard") << true;
}

void MainWindowTest::defaultAsksFirst() {
    QFETCH(bool, yes);
    RemapOnKeyboard(Keyboard(), 0, kAPosition, kUsageB);
    Keyboard().Unplug();
    QTRY_COMPARE(m_editor->KeyboardCount(), 0);
    Keyboard().Plug();
    WaitForAttach();
    m_window->Open();
    AnswerNextMessageBox(yes ? QMessageBox::Yes : QMessageBox::No);
    QTest::mouseClick(m_window->Button(kDefault), Qt::LeftButton);
    Drain();
    QCOMPARE(UsageOnKeyboard(Keyboard(), 0, kAPosition), yes ? kUsageA : kUsageB);
    QCOMPARE(m_window->Button(kKeyA)->CurrentLook(), yes ? ButtonLook::Normal : ButtonLook::Lit);
    QVERIFY(!m_window->Button(kApply)->isEnabled());
}

void MainWindowTest::plugWhileHiddenReadsTheKeyboard() {
    Start(false);
    RemapOnKeyboard(Keyboard(), 0, kAPosition, kUsageB);
    Keyboard().Plug();
    WaitForAttach();
    QVERIFY(m_window->isHidden());
    QCOMPARE(m_window->Button(kProfile1)->CurrentLook(), ButtonLook::Lit);
    QCOMPARE(m_window->Button(kKeyA)->CurrentLook(), ButtonLook::Lit);
    m_window->Open();
    QVERIFY(m_window->isVisible());
}

void MainWindowTest::unplugWhileShownHidesTheWindow() {
    m_window->Open();
    QVERIFY(m_window->isVisible());
    Keyboard().Unplug();
    QTRY_VERIFY(m_window->isHidden());
    QTRY_COMPARE(m_window->TrayIcon().IconId(), 128);
}

void MainWindowTest::bankToggleOnTheKeyboardRemarksTheGKeys() {
    {
        // G keys exist only on the computer: a function on G1 of bank B.
        LiveProfile& profile = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Record().layers[0][265].type = KeyFunctionType::Disabled;
    }
    QCOMPARE(m_window->Button(kG1)->CurrentLook(), ButtonLook::Normal);
    const QImage bankA = m_window->Button(kBankLamp)->grab().toImage();
    Keyboard().SendConsumerEvent(static_cast<uint16_t>(ConsumerEventCode::BankToggled));
    QTRY_COMPARE(m_window->Button(kG1)->CurrentLook(), ButtonLook::Lit);
    QVERIFY(m_window->Button(kBankLamp)->grab().toImage() != bankA);
    QCOMPARE(m_window->Button(kG1)->accessibleName(), QStringLiteral("B1"));
    Keyboard().SendConsumerEvent(static_cast<uint16_t>(ConsumerEventCode::BankToggled));
    QTRY_COMPARE(m_window->Button(kG1)->CurrentLook(), ButtonLook::Normal);
    QCOMPARE(m_window->Button(kBankLamp)->grab().toImage(), bankA);
    QCOMPARE(m_window->Button(kG1)->accessibleName(), QStringLiteral("A1"));
}

void MainWindowTest::macroPlayOnTheKeyboardShowsItsIcon() {
    Keyboard().SendConsumerEvent(static_cast<uint16_t>(ConsumerEventCode::MacroStarted));
    QTRY_COMPARE(m_window->TrayIcon().IconId(), 142);
    Keyboard().SendConsumerEvent(static_cast<uint16_t>(ConsumerEventCode::MacroStopped));
    QTRY_COMPARE(m_window->TrayIcon().IconId(), 141);
}

void MainWindowTest::lightingChangeOnTheKeyboardIsReadAgain() {
    const uint8_t before = m_window->Lighting().State().effect;
    const uint8_t changed = before == 3 ? 4 : 3;
    Keyboard().WithFirmware(
        [changed](emu::KeyboardFirmware& firmware) { firmware.Memory().lighting[0] = changed; });
    Keyboard().SendConsumerEvent(static_cast<uint16_t>(ConsumerEventCode::LightingChanged));
    QTRY_COMPARE(m_window->Lighting().State().effect, changed);
}

void MainWindowTest::exportThenImportRoundTrips() {
    const std::filesystem::path file =
        std::filesystem::path(m_documents->path().toStdString()) / "backup.tvk";
    RemapOnKeyboard(Keyboard(), 0, kAPosition, kUsageB);
    Keyboard().Unplug();
    QTRY_COMPARE(m_editor->KeyboardCount(), 0);
    Keyboard().Plug();
    WaitForAttach();
    m_editor->PostExport(file);
    Drain();
    QVERIFY(std::filesystem::is_regular_file(file));
    RemapOnKeyboard(Keyboard(), 0, kAPosition, kUsageA);
    m_editor->PostImport(file);
    Drain();
    QCOMPARE(UsageOnKeyboard(Keyboard(), 0, kAPosition), kUsageB);
    QVERIFY(m_messages.isEmpty());
}

void MainWindowTest::aTextBackupBringsBackTheKeysAndTheLighting() {
    constexpr size_t kBrightness = 1;
    const std::filesystem::path file =
        std::filesystem::path(m_documents->path().toStdString()) / "backup.txt";
    RemapOnKeyboard(Keyboard(), 0, kAPosition, kUsageB);
    Keyboard().WithFirmware(
        [](emu::KeyboardFirmware& firmware) { firmware.Memory().lighting[kBrightness] = 7; });
    Keyboard().Unplug();
    QTRY_COMPARE(m_editor->KeyboardCount(), 0);
    Keyboard().Plug();
    WaitForAttach();
    m_editor->PostExport(file, BackupForm::Text);
    Drain();
    std::string firstLine;
    std::getline(std::ifstream(file), firstLine);
    QCOMPARE(firstLine, std::string("tavrik-profile-text 1"));

    RemapOnKeyboard(Keyboard(), 0, kAPosition, kUsageA);
    Keyboard().WithFirmware(
        [](emu::KeyboardFirmware& firmware) { firmware.Memory().lighting[kBrightness] = 2; });
    m_editor->PostImport(file);
    Drain();
    QCOMPARE(UsageOnKeyboard(Keyboard(), 0, kAPosition), kUsageB);
    QCOMPARE(Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        return firmware.Memory().lighting[kBrightness];
    }),
             uint8_t{7});
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
}

void MainWindowTest::aFaultyTextIsRefusedWithItsLineAndNothingIsSent() {
    const std::filesystem::path file =
        std::filesystem::path(m_documents->path().toStdString()) / "faulty.txt";
    std::ofstream(file) << "tavrik-profile-text 1\nlayer 0 \"No Such Key\" disabled\n";
    const auto memory = [this] {
        return Keyboard().WithFirmware(
            [](emu::KeyboardFirmware& firmware) { return firmware.Memory(); });
    };
    const emu::KeyboardMemory before = memory();
    const int framesBefore = Keyboard().FramesReceived();

    m_editor->PostImport(file);
    Drain();
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(QStringLiteral("文件格式错误，导入失败!")),
             qPrintable(m_messages[0]));
    QVERIFY2(m_messages[0].contains(QString::fromStdString(file.string() + ":2: ")),
             qPrintable(m_messages[0]));
    QCOMPARE(Keyboard().FramesReceived(), framesBefore);
    QVERIFY(memory() == before);
}

void MainWindowTest::anImportStoredOtherwiseKeepsApplyAndNamesThePart_data() {
    QTest::addColumn<int>("profile");
    QTest::newRow("the first key map written") << 0;
    QTest::newRow("the last key map written") << 2;
}

// "还原" downloads all three hardware profiles; the keyboard acknowledges one of them and stores
// the byte the import changes inverted. However far the download got after it, the user is told
// which part differs, and Apply stays enabled to write everything again.
void MainWindowTest::anImportStoredOtherwiseKeepsApplyAndNamesThePart() {
    QFETCH(int, profile);
    const std::filesystem::path file =
        std::filesystem::path(m_documents->path().toStdString()) / "a types b.tvk";
    const auto setA = [this, profile](const KeyFunctionEntry& entry) {
        Drain(); // the worker is idle: the test may take the lock
        LiveProfile& live = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = live.LockProfile();
        return std::exchange(live.Record().layers[profile][KeyIndexFromScan(0x1E)], entry);
    };
    // A file in which A types B; the live profile and the keyboard stay as they were.
    KeyFunctionEntry typesB;
    typesB.type = KeyFunctionType::SingleKey;
    typesB.value = 0x30; // B
    const KeyFunctionEntry original = setA(typesB);
    m_editor->PostExport(file);
    setA(original);
    const uint16_t usageAddress =
        static_cast<uint16_t>(profile * emu::kKeyMapStride + kAPosition * kKeyMapEntrySize + 2);
    Keyboard().WithFirmware([usageAddress](emu::KeyboardFirmware& firmware) {
        firmware.SetStoredByteFlip(emu::StoredByteFlip{emu::Area::KeyMaps, usageAddress});
    });

    m_window->Open();
    m_editor->PostImport(file);
    Drain();
    QCOMPARE(UsageOnKeyboard(Keyboard(), profile, kAPosition), uint8_t(kUsageB ^ 0xFF));
    QCOMPARE(m_messages.size(), 1);
    const QString part = QStringLiteral("写入硬件情景模式 %1 的按键映射 (字节 56..111)");
    QVERIFY2(m_messages[0].contains(part.arg(profile + 1)), qPrintable(m_messages[0]));
    QVERIFY(m_messages[0].contains(QStringLiteral("写入后读回的数据不同")));
    QVERIFY(m_window->Button(kApply)->isEnabled());
    QVERIFY(m_editor->IsModified());

    // With a keyboard that stores what it is sent, Apply finishes the import.
    Keyboard().WithFirmware(
        [](emu::KeyboardFirmware& firmware) { firmware.SetStoredByteFlip(std::nullopt); });
    QTest::mouseClick(m_window->Button(kApply), Qt::LeftButton);
    QTRY_VERIFY(!m_window->Button(kApply)->isEnabled());
    Drain();
    QCOMPARE(UsageOnKeyboard(Keyboard(), profile, kAPosition), kUsageB);
    QCOMPARE(m_messages.size(), 1);
}

void MainWindowTest::theProfileNameButtonOpensTheProfileManager() {
    m_window->Open();
    QTest::mouseClick(m_window->Button(1005), Qt::LeftButton);
    QTRY_VERIFY(m_window->ProfileManager().isVisible());
    m_window->ProfileManager().reject();
    QVERIFY(!m_window->ProfileManager().isVisible());
}

} // namespace tavrik

QTEST_MAIN(tavrik::MainWindowTest)
#include "tst_main_window.moc"
