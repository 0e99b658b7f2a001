// The key assignment dialog on the real drawn skin, opened from the main window
// and wired to the emulated keyboard in this process: its placement, its tabs,
// keys taken from native key events (the codes X11 sends) and Apply down to the
// keyboard. What the keyboard holds is read back from the emulated keyboard's
// memory, never from the dialog.

#include "app/app_paths.h"
#include "app/instance_server.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "assign/key_map_conversion.h"
#include "events/consumer_event.h"
#include "gui/assignment_dialog.h"
#include "gui/dialog_placement.h"
#include "keys/key_table.h"
#include "profile/profile_messages.h"
#include "profile/storage_paths.h"
#include "profile/user_preferences.h"
#include "skin/ini_file.h"
#include "skin/skin_rect.h"
#include "support/hooked_keyboard.h"
#include "support/keyboard_under_test.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <linux/input-event-codes.h>

#include <atomic>
#include <set>

namespace tavrik {

namespace {

using namespace composite_id;
using test::FunctionOnKeyboard;
using test::SendNativeKey;

constexpr int kMainApply = 1006;
constexpr int kProfile1 = 1135;
constexpr int kMacroButton = 1007;
constexpr int kKeyA = 1058;
constexpr int kKeyQ = 1044;
constexpr int kKeyW = 1045;
constexpr size_t kSlotQ = 0x10;

// X keysyms (X11/keysymdef.h).
constexpr uint32_t XK_a = 0x0061;
constexpr uint32_t XK_q = 0x0071;
constexpr uint32_t XK_w = 0x0077;
constexpr uint32_t XK_Return = 0xFF0D;
constexpr uint32_t XK_Escape = 0xFF1B;
constexpr uint32_t XK_Print = 0xFF61;
constexpr uint32_t XK_Menu = 0xFF67;
constexpr uint32_t XK_KP_Home = 0xFF95;

uint8_t ActiveProfileOnKeyboard(EmulatedHidBridge& keyboard) {
    return keyboard.WithFirmware(
        [](emu::KeyboardFirmware& firmware) { return firmware.Memory().ActiveProfile(); });
}

// Counts the key events that reach a widget itself.
class KeyEventCounter : public QObject {
public:
    explicit KeyEventCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            ++count;
        return false;
    }
};

// Chinese text arrives from the input method, not as key presses.
void TypeThroughTheInputMethod(QWidget* widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

QRect SkinRectOf(const CIniFile& skin, std::u16string_view key) {
    const SkinRect rect = ReadSkinRect(skin, u"BUTTONINFO", key);
    return {rect.x, rect.y, rect.width, rect.height};
}

} // namespace

class AssignmentDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsSitWhereTheSkinPutsThem();
    void opensOnTheTabOfTheKeysFunction_data();
    void opensOnTheTabOfTheKeysFunction();
    void placementBesideTheKey_data();
    void placementBesideTheKey();
    void opensBesideTheClickedKeyOnItsScreen();
    void theClickedKeyIsHighlightedWhileOpen();
    void nativeKeysAreCapturedAndConsumed_data();
    void nativeKeysAreCapturedAndConsumed();
    void releasesAndRepeatsAreTakenButNotCaptured();
    void otherTabsLetKeysThrough();
    void applyReachesTheKeyboardThroughTheMainWindow_data();
    void applyReachesTheKeyboardThroughTheMainWindow();
    void macroTabEditsReachTheKeyboard_data();
    void macroTabEditsReachTheKeyboard();
    void recordingTakesTheApplicationsKeys_data();
    void recordingTakesTheApplicationsKeys();
    void recordingStopsOnATabChangeAndOnEditingAPause();
    void actionCellsAreEditedInPlace_data();
    void actionCellsAreEditedInPlace();
    void theRecordDelaysOptionIsKept();
    void measuredPausesAreShownAsTheKeyboardPlaysThem();
    void macrosAreNamedByTyping();
    void actionButtonsMoveDeleteAndClear();
    void whatOkWritesIntoTheLiveProfile_data();
    void whatOkWritesIntoTheLiveProfile();
    void newMacrosAreNumberedAcrossOpenings();
    void theDialogClosesWhenTheKeyboardGoes();
    void aMissingOnScreenKeyboardIsSaid();
    void cancelWritesNothing();
    void profileSwitchIsRefusedWhileOpen();
    void enterAndEscapeAreSwallowed();
    void f1AsksForHelpWhereKeysAreNotTaken();
    void screenshotsOfEveryTab();

private:
    void Drain();
    void OpenOn(int buttonId);
    void SetEntry(size_t slot, const KeyFunctionEntry& entry);
    void ApplyInTheMainWindow();
    // What the keyboard types for a press and release of Q, until any macro it plays has ended.
    std::vector<emu::HidEvent> TypedByKeyQ();
    void PutMacrosOnTheKeyboard();
    void OpenOnANewMacro();
    QTableWidget& Actions();
    QStringList ShownRow(int row);
    KeyFunctionEntry LiveEntry(size_t slot);
    AssignmentDialog& Dialog() { return m_window->Assignment(); }
    EmulatedHidBridge& Keyboard() { return m_keyboard->Keyboard(); }

    const AppPaths m_paths =
        AppPathsFromExecutable(std::filesystem::path(TAVRIK_BIN_DIR) / "tavrik");
    std::unique_ptr<QTemporaryDir> m_documents;
    test::HookedKeyboard* m_keyboard = nullptr;
    QStringList m_messages;
    std::unique_ptr<ProcessState> m_state;
    std::unique_ptr<InstanceServer> m_server;
    std::unique_ptr<KeyboardEditor> m_editor;
    std::unique_ptr<CTavrikDlg> m_window;
};

void AssignmentDialogTest::init() {
    m_documents = std::make_unique<QTemporaryDir>();
    QVERIFY(m_documents->isValid());
    const std::filesystem::path documents = m_documents->path().toStdString();
    auto keyboard = std::make_unique<test::HookedKeyboard>(true);
    m_keyboard = keyboard.get();
    m_messages.clear();
    m_state = std::make_unique<ProcessState>();
    m_server = std::make_unique<InstanceServer>();
    m_editor = std::make_unique<KeyboardEditor>(
        std::move(keyboard), StoragePathsIn(documents), LightingPreferencesSource{},
        KeyboardEditor::UserDialogs{[this](const QString& text) { m_messages << text; },
                                    [this](const QString& question) {
                                        m_messages << question;
                                        return false;
                                    }});
    m_window = std::make_unique<CTavrikDlg>(*m_state, m_paths, *m_server, *m_editor,
                                            SettingsFile(SettingsFilePath(documents)));
    m_window->InitDialog();
    m_editor->Start();
    QTRY_VERIFY(m_window->IsReady());
    QTRY_COMPARE(m_editor->KeyboardCount(), 1);
    Drain();
    m_window->Open();
}

void AssignmentDialogTest::cleanup() {
    m_window.reset();
    m_editor.reset();
    m_server.reset();
    m_state.reset();
    m_documents.reset();
}

void AssignmentDialogTest::Drain() {
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_editor->PostAfterQueuedJobs([done] { *done = true; });
    QTRY_VERIFY(done->load());
    QCoreApplication::processEvents();
}

void AssignmentDialogTest::OpenOn(int buttonId) {
    QTest::mouseClick(m_window->Button(buttonId), Qt::LeftButton);
    QTRY_VERIFY(Dialog().isVisible());
    QVERIFY(Dialog().State() != nullptr);
}

void AssignmentDialogTest::SetEntry(size_t slot, const KeyFunctionEntry& entry) {
    Drain(); // the worker is idle: the test may take the lock
    LiveProfile& profile = m_editor->Stack().Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    profile.Record().layers[0][slot] = entry;
}

void AssignmentDialogTest::ApplyInTheMainWindow() {
    QTRY_VERIFY(m_window->Button(kMainApply)->isEnabled());
    QTest::mouseClick(m_window->Button(kMainApply), Qt::LeftButton);
    QTRY_VERIFY(!m_window->Button(kMainApply)->isEnabled());
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
}

std::vector<emu::HidEvent> AssignmentDialogTest::TypedByKeyQ() {
    return Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        const uint8_t q = PositionFromButton(kKeyQ);
        firmware.Press(q);
        firmware.Release(q);
        firmware.RunUntilIdle();
        return firmware.TakeTyped();
    });
}

void AssignmentDialogTest::controlsSitWhereTheSkinPutsThem() {
    OpenOn(kKeyA);
    const CIniFile skin(m_paths.compositeSkinFile);
    QCOMPARE(Dialog().size(), QSize(560, 436)); // the background picture's size
    for (const CompositeControl& control : CompositeControls()) {
        const QByteArray key =
            QString::fromStdU16String(std::u16string(control.skinKey)).toLatin1();
        QWidget* widget = Dialog().Control(control.id);
        QVERIFY2(widget != nullptr, key.constData());
        QVERIFY2(!IsUnplacedRect(ReadSkinRect(skin, u"BUTTONINFO", control.skinKey)),
                 key.constData());
        QCOMPARE(widget->geometry(), SkinRectOf(skin, control.skinKey));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QVERIFY2(!button->accessibleName().isEmpty(), key.constData());
        }
    }
    QCOMPARE(Dialog().Button(kClear)->TooltipText(), QStringLiteral("恢复按键默认功能"));
    QCOMPARE(Dialog().Button(kOnScreenKeyboard)->TooltipText(), QStringLiteral("打开屏幕键盘"));
    QVERIFY(!Dialog().Button(kMask)->isEnabled());
    QVERIFY(!Dialog().Button(kTitle)->isEnabled());
    QVERIFY(!Dialog().Button(kApply)->isEnabled()); // nothing changed yet
    auto* multimedia = qobject_cast<QComboBox*>(Dialog().Control(kMultimediaList));
    QCOMPARE(multimedia->count(), 18);
    QCOMPARE(qobject_cast<QComboBox*>(Dialog().Control(kFunctionKeyList))->count(), 11);
}

void AssignmentDialogTest::opensOnTheTabOfTheKeysFunction_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("type");
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("tabButton");
    QTest::addColumn<int>("selectedRow"); // in the tab's drop-down list, -1 for none
    QTest::addColumn<QString>("keyField");
    using enum KeyFunctionType;
    const auto row = [](const char* name, int type, uint value, int tab, int selected,
                        const QString& field) {
        QTest::newRow(name) << kKeyQ << type << value << tab << selected << field;
    };
    row("Default", int(Default), 0, kSingleKeyTab, -1, QString());
    row("a single key", int(SingleKey), 0x011, kSingleKeyTab, -1, QStringLiteral("W"));
    row("disabled, taken over", int(Disabled), 0, kSingleKeyTab, -1, QString());
    row("multimedia row 5", int(Multimedia), 5, kMultimediaTab, 5, QString());
    row("function key slot 10", int(FunctionKey), 10, kFunctionKeyTab, 10, QString());
    row("a function key the dialog does not offer", int(FunctionKey), 20, kFunctionKeyTab, -1,
        QString());
    row("a macro", int(PlayMacro), 1, kMacroTab, -1, QString());
    QTest::newRow("the macro button")
        << kMacroButton << int(Default) << 0u << kMacroTab << -1 << QString();
}

void AssignmentDialogTest::opensOnTheTabOfTheKeysFunction() {
    QFETCH(int, button);
    QFETCH(int, type);
    QFETCH(uint, value);
    QFETCH(int, tabButton);
    QFETCH(int, selectedRow);
    QFETCH(QString, keyField);
    const size_t slot =
        button == kMacroButton ? MacroKeySlot(kMacroKeysPerBank - 1, false) : kSlotQ;
    SetEntry(slot, {.type = static_cast<KeyFunctionType>(type), .value = value});
    OpenOn(button);
    AssignmentTab tab{};
    for (const CompositeTabButton& tabs : CompositeTabButtons()) {
        QCOMPARE(Dialog().Button(tabs.id)->CurrentLook() == ButtonLook::Lit, tabs.id == tabButton);
        if (tabs.id == tabButton)
            tab = tabs.tab;
    }
    // Every control of a tab shows with its tab only.
    for (const CompositeControl& control : CompositeControls()) {
        QCOMPARE(Dialog().Control(control.id)->isVisible(), !control.tab || *control.tab == tab);
    }
    QCOMPARE(qobject_cast<QLineEdit*>(Dialog().Control(kKeyField))->text(), keyField);
    if (tab == AssignmentTab::Multimedia || tab == AssignmentTab::FunctionKey) {
        const int list = tab == AssignmentTab::Multimedia ? kMultimediaList : kFunctionKeyList;
        QCOMPARE(qobject_cast<QComboBox*>(Dialog().Control(list))->currentIndex(), selectedRow);
    }
    // The macro button offers only the macro tab.
    const bool macroOnly = button == kMacroButton;
    for (const int id : {kSingleKeyTab, kMultimediaTab, kFunctionKeyTab, kClear})
        QCOMPARE(Dialog().Button(id)->isEnabled(), !macroOnly);
    QCOMPARE(Dialog().Button(kMacroTab)->isEnabled(), true);
}

void AssignmentDialogTest::placementBesideTheKey_data() {
    QTest::addColumn<QRect>("key");
    QTest::addColumn<QPoint>("expected");
    // A 560 x 436 dialog on a 1920 x 1080 screen opens at a corner of the key.
    QTest::newRow("room right and below") << QRect(100, 100, 40, 40) << QPoint(140, 140);
    QTest::newRow("only room above") << QRect(100, 800, 40, 40) << QPoint(140, 364);
    QTest::newRow("only room to the left") << QRect(1500, 100, 40, 40) << QPoint(940, 140);
    QTest::newRow("room only left and above") << QRect(1500, 800, 40, 40) << QPoint(940, 364);
    QTest::newRow("fits exactly right and below") << QRect(1320, 604, 40, 40) << QPoint(1360, 644);
    QTest::newRow("one pixel too far: above") << QRect(1320, 605, 40, 40) << QPoint(1360, 169);
    QTest::newRow("no room anywhere: right and below")
        << QRect(500, 400, 900, 300) << QPoint(1400, 700);
}

void AssignmentDialogTest::placementBesideTheKey() {
    QFETCH(QRect, key);
    QFETCH(QPoint, expected);
    QCOMPARE(PlaceBeside(key, QSize(560, 436), QRect(0, 0, 1920, 1080)), expected);
}

void AssignmentDialogTest::opensBesideTheClickedKeyOnItsScreen() {
    for (const int button : {kKeyA, kKeyW}) {
        OpenOn(button);
        const CPngButton* key = m_window->Button(button);
        const QRect keyRect(key->mapToGlobal(QPoint(0, 0)), key->size());
        QCOMPARE(Dialog().pos(),
                 PlaceBeside(keyRect, Dialog().size(), m_window->screen()->availableGeometry()));
        Dialog().Button(kCancel)->click();
        QVERIFY(!Dialog().isVisible());
    }
}

void AssignmentDialogTest::theClickedKeyIsHighlightedWhileOpen() {
    CPngButton* key = m_window->Button(kKeyQ);
    const QImage normal = key->grab().toImage();
    OpenOn(kKeyQ);
    const QImage highlighted = key->grab().toImage();
    QVERIFY(highlighted != normal);
    QCOMPARE(key->CurrentLook(),
             ButtonLook::Normal); // not pressed, not hovered: highlighted
    Dialog().Button(kCancel)->click();
    QCOMPARE(key->grab().toImage(), normal);
}

void AssignmentDialogTest::nativeKeysAreCapturedAndConsumed_data() {
    QTest::addColumn<uint>("linuxCode");
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<uint>("scan");
    QTest::addColumn<bool>("atTheMainWindow"); // sent to the main window, not the dialog
    QTest::newRow("A") << uint(KEY_A) << XK_a << int(Qt::Key_A) << 0x01Eu << false;
    QTest::newRow("the A key of an AZERTY layout")
        << uint(KEY_A) << XK_q << int(Qt::Key_Q) << 0x01Eu << false;
    QTest::newRow("Enter") << uint(KEY_ENTER) << XK_Return << int(Qt::Key_Return) << 0x01Cu
                           << false;
    QTest::newRow("Esc") << uint(KEY_ESC) << XK_Escape << int(Qt::Key_Escape) << 0x001u << false;
    QTest::newRow("Print Screen") << uint(KEY_SYSRQ) << XK_Print << int(Qt::Key_Print) << 0x137u
                                  << false;
    QTest::newRow("number pad 7, Num Lock off")
        << uint(KEY_KP7) << XK_KP_Home << int(Qt::Key_Home) << 0x047u << false;
    QTest::newRow("the menu key, which Qt cannot name")
        << uint(KEY_COMPOSE) << XK_Menu << int(Qt::Key_unknown) << 0x15Du << false;
    QTest::newRow("W typed at the main window")
        << uint(KEY_W) << XK_w << int(Qt::Key_W) << 0x011u << true;
}

void AssignmentDialogTest::nativeKeysAreCapturedAndConsumed() {
    QFETCH(uint, linuxCode);
    QFETCH(uint, keysym);
    QFETCH(int, qtKey);
    QFETCH(uint, scan);
    QFETCH(bool, atTheMainWindow);
    OpenOn(kKeyQ);
    QWidget* target =
        atTheMainWindow ? static_cast<QWidget*>(m_window->Button(kKeyA)) : Dialog().Button(kOk);
    KeyEventCounter reached(target);
    QVERIFY(SendNativeKey(target, QEvent::KeyPress, linuxCode, keysym, qtKey));
    QVERIFY(SendNativeKey(target, QEvent::KeyRelease, linuxCode, keysym, qtKey));
    QCOMPARE(reached.count, 0);
    QVERIFY(Dialog().isVisible()); // neither Enter nor Esc closed it
    const auto expected = static_cast<ScanCode>(scan);
    QCOMPARE(qobject_cast<QLineEdit*>(Dialog().Control(kKeyField))->text(),
             QString::fromStdU16String(KeyNameFromScan(expected)));
    QVERIFY(Dialog().Button(kApply)->isEnabled());

    Dialog().Button(kOk)->click();
    QVERIFY(!Dialog().isVisible());
    ApplyInTheMainWindow();
    const KeyFunctionEntry onKeyboard = FunctionOnKeyboard(Keyboard(), 0, kSlotQ);
    QCOMPARE(onKeyboard.type, KeyFunctionType::SingleKey);
    QCOMPARE(UsageFromScan(static_cast<ScanCode>(onKeyboard.value)), UsageFromScan(expected));
}

void AssignmentDialogTest::releasesAndRepeatsAreTakenButNotCaptured() {
    OpenOn(kKeyQ);
    QWidget* target = Dialog().Button(kOk);
    KeyEventCounter reached(target);
    QVERIFY(SendNativeKey(target, QEvent::KeyRelease, KEY_W, XK_w, Qt::Key_W));
    QVERIFY(SendNativeKey(target, QEvent::KeyPress, KEY_W, XK_w, Qt::Key_W, true));
    // Before a press the window system asks whether a shortcut may have the key:
    // it may not.
    QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_W, Qt::NoModifier, KEY_W + 8, XK_w, 0);
    shortcut.ignore();
    QApplication::sendEvent(target, &shortcut);
    QVERIFY(shortcut.isAccepted());
    QCOMPARE(reached.count, 0);
    QCOMPARE(Dialog().State()->Type(), KeyFunctionType::Default);
    QVERIFY(qobject_cast<QLineEdit*>(Dialog().Control(kKeyField))->text().isEmpty());
    QVERIFY(!Dialog().Button(kApply)->isEnabled());
}

void AssignmentDialogTest::otherTabsLetKeysThrough() {
    OpenOn(kKeyQ);
    Dialog().Button(kMultimediaTab)->click();
    auto* list = qobject_cast<QComboBox*>(Dialog().Control(kMultimediaList));
    KeyEventCounter reached(list);
    QVERIFY(SendNativeKey(list, QEvent::KeyPress, KEY_W, XK_w, Qt::Key_W));
    QCOMPARE(reached.count, 1);
    QCOMPARE(Dialog().State()->Type(), KeyFunctionType::Multimedia);
    Dialog().Button(kSingleKeyTab)->click(); // and back: keys are taken again
    QVERIFY(SendNativeKey(list, QEvent::KeyPress, KEY_W, XK_w, Qt::Key_W));
    QCOMPARE(reached.count, 1);
    QCOMPARE(Dialog().State()->ShownKey(), ScanCode{0x011});
}

void AssignmentDialogTest::applyReachesTheKeyboardThroughTheMainWindow_data() {
    QTest::addColumn<int>("tabButton");
    QTest::addColumn<int>("row"); // in the tab's drop-down list
    QTest::addColumn<bool>("okRatherThanApply");
    QTest::addColumn<int>("type");
    QTest::addColumn<uint>("value");
    using enum KeyFunctionType;
    QTest::newRow("multimedia row 5, Apply")
        << kMultimediaTab << 5 << false << int(Multimedia) << 5u;
    QTest::newRow("function key slot 3, OK")
        << kFunctionKeyTab << 3 << true << int(FunctionKey) << 3u;
    QTest::newRow("Clear, OK") << kClear << -1 << true << int(Default) << 0u;
}

void AssignmentDialogTest::applyReachesTheKeyboardThroughTheMainWindow() {
    QFETCH(int, tabButton);
    QFETCH(int, row);
    QFETCH(bool, okRatherThanApply);
    QFETCH(int, type);
    QFETCH(uint, value);
    SetEntry(kSlotQ, {.type = KeyFunctionType::SingleKey, .value = 0x011}); // Q sends W
    m_editor->EnableApply(true);
    ApplyInTheMainWindow();
    QCOMPARE(FunctionOnKeyboard(Keyboard(), 0, kSlotQ).type, KeyFunctionType::SingleKey);

    OpenOn(kKeyQ);
    Dialog().Button(tabButton)->click();
    if (row >= 0) {
        const int list = tabButton == kMultimediaTab ? kMultimediaList : kFunctionKeyList;
        auto* combo = qobject_cast<QComboBox*>(Dialog().Control(list));
        combo->setCurrentIndex(row);
        emit combo->activated(row); // what choosing the row from the drop-down list sends
    }
    if (okRatherThanApply) {
        Dialog().Button(kOk)->click();
        QVERIFY(!Dialog().isVisible());
    } else {
        QVERIFY(Dialog().Button(kApply)->isEnabled());
        Dialog().Button(kApply)->click();
        QVERIFY(!Dialog().Button(kApply)->isEnabled());
        QVERIFY(Dialog().isVisible());
    }
    ApplyInTheMainWindow();
    const KeyFunctionEntry onKeyboard = FunctionOnKeyboard(Keyboard(), 0, kSlotQ);
    QCOMPARE(int(onKeyboard.type), type);
    QCOMPARE(onKeyboard.value, value);
    // The key's mark follows: assigned or not.
    QCOMPARE(m_window->Button(kKeyQ)->CurrentLook() == ButtonLook::Lit,
             type != int(KeyFunctionType::Default));
}

// Q's dialog on the macro tab, showing a new empty macro.
void AssignmentDialogTest::OpenOnANewMacro() {
    OpenOn(kKeyQ);
    Dialog().Button(kMacroTab)->click();
    Dialog().Button(kMacroAdd)->click();
    QCOMPARE(qobject_cast<QComboBox*>(Dialog().Control(kMacroList))->count(), 1);
}

QTableWidget& AssignmentDialogTest::Actions() {
    return *qobject_cast<QTableWidget*>(Dialog().Control(kActionList));
}

QStringList AssignmentDialogTest::ShownRow(int row) {
    QStringList cells;
    for (int column = 0; column < Actions().columnCount(); ++column)
        cells << Actions().item(row, column)->text().trimmed();
    return cells;
}

// Two macros (ids 1 and 2) in the live profile and on the keyboard; W of the
// second hardware profile plays macro 2.
void AssignmentDialogTest::PutMacrosOnTheKeyboard() {
    Drain();
    {
        LiveProfile& profile = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        using enum KeyDirection;
        const std::vector<MacroAction> copy{
            {30, 0x01D, Press}, {40, 0x02E, Press}, {20, 0x02E, Release}, {0, 0x01D, Release}};
        profile.Macros() = {MacroRecord{.name = u"连招", .id = 1, .actions = copy},
                            MacroRecord{.name = u"跳跃", .id = 2}};
        profile.Record().layers[1][KeyIndexFromScan(ScanFromButton(kKeyW))] = {
            .type = KeyFunctionType::PlayMacro, .value = 2};
    }
    m_editor->MarkAllProfilesChanged();
    m_editor->EnableApply(true);
    ApplyInTheMainWindow();
}

void AssignmentDialogTest::macroTabEditsReachTheKeyboard_data() {
    QTest::addColumn<bool>("deleteFirst"); // else: add a macro
    QTest::addColumn<uint>("qPlaysPosition");
    QTest::addColumn<QList<int>>("profilesWritten");
    QTest::newRow("a macro added for Q") << false << 3u << QList<int>{0};
    // The second macro moves to the first place: W of the second profile must
    // follow it. The third profile plays no macro: its key map is the same and
    // the keyboard holds it already.
    QTest::newRow("the first macro deleted") << true << 1u << QList<int>{0, 1};
}

void AssignmentDialogTest::macroTabEditsReachTheKeyboard() {
    QFETCH(bool, deleteFirst);
    QFETCH(uint, qPlaysPosition);
    QFETCH(QList<int>, profilesWritten);
    PutMacrosOnTheKeyboard();
    auto written = std::make_shared<std::set<int>>();
    m_keyboard->BeforeFrame([written](const ConfigFrame& frame, EmulatedHidBridge&) {
        if (frame[frame::kCommand] == command::kWriteKeyMap)
            written->insert(FrameAddress(frame) / emu::kKeyMapStride);
    });

    OpenOn(kKeyQ);
    Dialog().Button(kMacroTab)->click();
    auto* macros = qobject_cast<QComboBox*>(Dialog().Control(kMacroList));
    QCOMPARE(macros->count(), 2);
    QCOMPARE(macros->currentIndex(),
             0); // a key that played no macro: the first one
    if (deleteFirst) {
        Dialog().Button(kMacroDelete)->click(); // no key plays it: no question
        QCOMPARE(macros->count(), 1);
        QCOMPARE(macros->itemText(0), QStringLiteral("跳跃"));
    } else {
        Dialog().Button(kMacroAdd)->click();
        QCOMPARE(macros->count(), 3);
        QCOMPARE(macros->currentText(), QStringLiteral("宏1"));
    }
    Dialog().Button(kOk)->click();
    ApplyInTheMainWindow();

    const KeyFunctionEntry q = FunctionOnKeyboard(Keyboard(), 0, kSlotQ);
    QCOMPARE(q.type, KeyFunctionType::PlayMacro);
    QCOMPARE(q.value, qPlaysPosition); // macros are read back as position + 1
    const KeyFunctionEntry w =
        FunctionOnKeyboard(Keyboard(), 1, KeyIndexFromScan(ScanFromButton(kKeyW)));
    QCOMPARE(w.type, KeyFunctionType::PlayMacro);
    QCOMPARE(w.value,
             1u + (deleteFirst ? 0u : 1u)); // macro 2, wherever it now lies
    QCOMPARE(QList<int>(written->begin(), written->end()), profilesWritten);
}

void AssignmentDialogTest::recordingTakesTheApplicationsKeys_data() {
    QTest::addColumn<QList<QList<uint>>>("events"); // Linux code, keysym, release, repeat
    QTest::addColumn<QList<uint>>("keys");          // scan codes of the rows, in order
    QTest::addColumn<QList<uint>>("releases");      // whether each row is a release
    const QList<uint> a{KEY_A, XK_a};
    const QList<uint> b{KEY_B, 0x0062};
    const QList<uint> print{KEY_SYSRQ, XK_Print};
    const auto event = [](const QList<uint>& key, bool release, bool repeat = false) {
        return QList<uint>{key[0], key[1], release ? 1u : 0u, repeat ? 1u : 0u};
    };
    QTest::newRow("A then B") << QList<QList<uint>>{event(a, false), event(a, true),
                                                    event(b, false), event(b, true)}
                              << QList<uint>{0x01E, 0x01E, 0x030, 0x030} << QList<uint>{0, 1, 0, 1};
    QTest::newRow("A held down: its repeats are taken, not recorded")
        << QList<QList<uint>>{event(a, false), event(a, true, true), event(a, false, true),
                              event(a, true)}
        << QList<uint>{0x01E, 0x01E} << QList<uint>{0, 1};
    QTest::newRow("Print Screen, whose press X11 reports")
        << QList<QList<uint>>{event(print, false), event(print, true)} << QList<uint>{0x137, 0x137}
        << QList<uint>{0, 1};
}

void AssignmentDialogTest::recordingTakesTheApplicationsKeys() {
    QFETCH(QList<QList<uint>>, events);
    QFETCH(QList<uint>, keys);
    QFETCH(QList<uint>, releases);
    OpenOnANewMacro();
    Dialog().Button(kRecord)->click();
    QCOMPARE(Dialog().Button(kRecord)->text(), QStringLiteral("停止录制"));
    QVERIFY(!Dialog().Button(kMacroAdd)->isEnabled());
    QVERIFY(!Dialog().Control(kMacroList)->isEnabled());
    // Typed at the action list, which would move its selection with keys of its
    // own.
    KeyEventCounter reached(&Actions());
    for (const QList<uint>& e : events) {
        QVERIFY(SendNativeKey(&Actions(), e[2] ? QEvent::KeyRelease : QEvent::KeyPress, e[0], e[1],
                              0, e[3] != 0));
    }
    QCOMPARE(reached.count, 0);
    QCOMPARE(Actions().rowCount(), keys.size());
    const QString press = QStringLiteral("↓");
    const QString release = QStringLiteral("↑");
    for (int row = 0; row < keys.size(); ++row) {
        const bool last = row == keys.size() - 1;
        QCOMPARE(ShownRow(row),
                 (QStringList{QString::fromStdU16String(KeyNameFromScan(ScanCode(keys[row]))),
                              releases[row] ? release : press,
                              last ? QStringLiteral("0") : QStringLiteral("50")}));
    }
    Dialog().Button(kOk)->click();
    ApplyInTheMainWindow();

    // The keyboard plays the macro for Q: the keys, 50 ms apart.
    const std::vector<emu::HidEvent> typed = TypedByKeyQ();
    QCOMPARE(typed.size(), size_t(keys.size()));
    for (size_t step = 0; step < typed.size(); ++step) {
        const auto row = static_cast<int>(step);
        QCOMPARE(typed[step].usage, UsageFromScan(ScanCode(keys[row])).usage);
        QCOMPARE(typed[step].down, releases[row] == 0);
        QCOMPARE(typed[step].timeMs - typed[0].timeMs, uint64_t(50 * step));
    }
}

void AssignmentDialogTest::recordingStopsOnATabChangeAndOnEditingAPause() {
    OpenOnANewMacro();
    Dialog().Button(kRecord)->click();
    QVERIFY(SendNativeKey(&Actions(), QEvent::KeyPress, KEY_A, XK_a, Qt::Key_A));
    Dialog().Button(kFunctionKeyTab)->click();
    QCOMPARE(Dialog().Button(kRecord)->text(), QStringLiteral("录制..."));
    auto* list = Dialog().Control(kFunctionKeyList);
    KeyEventCounter reached(list);
    SendNativeKey(list, QEvent::KeyPress, KEY_B, 0x0062, Qt::Key_B);
    QCOMPARE(reached.count, 1); // no longer taken

    Dialog().Button(kMacroTab)->click();
    QCOMPARE(Actions().rowCount(), 1);
    Dialog().Button(kRecord)->click();
    QCOMPARE(Dialog().Button(kRecord)->text(), QStringLiteral("停止录制"));
    Actions().editItem(Actions().item(0, 2)); // the pause of the first row
    QCOMPARE(Dialog().Button(kRecord)->text(), QStringLiteral("录制..."));
    QVERIFY(Dialog().Control(kMacroList)->isEnabled());
    KeyEventCounter reachedTheList(&Actions());
    SendNativeKey(&Actions(), QEvent::KeyPress, KEY_B, 0x0062, Qt::Key_B);
    QCOMPARE(reachedTheList.count, 1);
    QCOMPARE(Actions().rowCount(), 1);
}

void AssignmentDialogTest::actionCellsAreEditedInPlace_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed"); // digits typed, or the index of the choice picked
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::newRow("a pause above the longest")
        << 2 << QStringLiteral("40005") << QStringLiteral("40000")
        << QStringLiteral("最大延迟时间为: 40000(毫秒)  ");
    QTest::newRow("a pause in 10 ms steps")
        << 2 << QStringLiteral("1234") << QStringLiteral("1230") << QString();
    QTest::newRow("the direction") << 1 << QStringLiteral("1") << QStringLiteral("↑") << QString();
    QTest::newRow("the key") << 0 << QString::number(KeyCodeFromScan(0x030))
                             << QString::fromStdU16String(KeyNameFromScan(0x030)) << QString();
}

void AssignmentDialogTest::actionCellsAreEditedInPlace() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    OpenOnANewMacro();
    Dialog().Button(kRecord)->click();
    SendNativeKey(&Actions(), QEvent::KeyPress, KEY_A, XK_a, Qt::Key_A);
    Dialog().Button(kRecord)->click();
    QCOMPARE(Actions().rowCount(), 1);
    Actions().selectRow(0);
    Actions().editItem(Actions().item(0, column));
    QWidget* editor = Actions().viewport()->focusWidget();
    QVERIFY(editor != nullptr);
    if (auto* digits = qobject_cast<QLineEdit*>(editor)) {
        digits->setText(typed);
        QTest::keyClick(digits, Qt::Key_Return);
    } else {
        auto* choices = qobject_cast<QComboBox*>(editor);
        QVERIFY(choices != nullptr);
        choices->setCurrentIndex(typed.toInt());
        emit choices->activated(typed.toInt()); // what picking it from the list sends
    }
    QTRY_COMPARE(Actions().item(0, column)->text().trimmed(), shown);
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QCOMPARE(box != nullptr ? box->text() : QString(), message);
    if (box != nullptr)
        box->button(QMessageBox::Ok)->click();
    Dialog().Button(kOk)->click();
    ApplyInTheMainWindow();
    // What the live profile now holds for the macro's one step.
    Drain();
    LiveProfile& profile = m_editor->Stack().Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    QCOMPARE(profile.Macros().size(), size_t(1));
    const MacroAction step = profile.Macros()[0].actions.at(0);
    const QString stored =
        column == 0 ? QString::fromStdU16String(KeyNameFromScan(step.key))
        : column == 1
            ? (step.direction == KeyDirection::Release ? QStringLiteral("↑") : QStringLiteral("↓"))
            : QString::number(step.delayMs);
    QCOMPARE(stored, shown);
}

void AssignmentDialogTest::macrosAreNamedByTyping() {
    OpenOn(kKeyQ);
    Dialog().Button(kMacroTab)->click();
    auto* macros = qobject_cast<QComboBox*>(Dialog().Control(kMacroList));
    QCOMPARE(macros->count(), 0);
    TypeThroughTheInputMethod(macros->lineEdit(), QStringLiteral("连招"));
    QCOMPARE(macros->count(), 1); // typing into an empty list creates the macro
    Dialog().Button(kMacroAdd)->click();
    macros->lineEdit()->clear();
    TypeThroughTheInputMethod(macros->lineEdit(), QStringLiteral("跳"));
    QCOMPARE(macros->count(), 2);
    QCOMPARE(macros->itemText(1),
             QStringLiteral("跳")); // typing renames the shown one
    Dialog().Button(kOk)->click();
    Drain();
    LiveProfile& profile = m_editor->Stack().Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    QStringList names;
    for (const MacroRecord& macro : profile.Macros())
        names << QString::fromStdU16String(macro.name);
    QCOMPARE(names, (QStringList{QStringLiteral("连招"), QStringLiteral("跳")}));
}

void AssignmentDialogTest::actionButtonsMoveDeleteAndClear() {
    OpenOnANewMacro();
    Dialog().Button(kRecord)->click();
    for (const uint code : {KEY_A, KEY_B, KEY_C})
        SendNativeKey(&Actions(), QEvent::KeyPress, code, 0, 0);
    Dialog().Button(kRecord)->click();
    const auto keyColumn = [this] {
        QStringList keys;
        for (int row = 0; row < Actions().rowCount(); ++row)
            keys << Actions().item(row, 0)->text();
        return keys;
    };
    QCOMPARE(keyColumn(), (QStringList{"A", "B", "C"}));
    Actions().selectRow(2);
    Dialog().Button(kActionToTop)->click();
    QCOMPARE(keyColumn(), (QStringList{"C", "A", "B"}));
    QCOMPARE(Actions().selectedRanges().first().topRow(), 0); // it stays selected
    Dialog().Button(kActionDown)->click();
    QCOMPARE(keyColumn(), (QStringList{"A", "C", "B"}));
    Dialog().Button(kActionDelete)->click();
    QCOMPARE(keyColumn(), (QStringList{"A", "B"}));
    QString asked;
    QTimer::singleShot(0, [&asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        asked = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    Dialog().Button(kActionsClear)->click();
    QCOMPARE(asked, QStringLiteral("确实需要清空宏动作?  "));
    QCOMPARE(Actions().rowCount(), 0);
}

void AssignmentDialogTest::theRecordDelaysOptionIsKept() {
    const UserPreferences preferences(QCoreApplication::applicationName());
    const bool before = preferences.LoadRecordDelay();
    OpenOnANewMacro();
    auto* option = qobject_cast<QCheckBox*>(Dialog().Control(kRecordDelays));
    QCOMPARE(option->isChecked(), before);
    option->click();
    QCOMPARE(preferences.StoredValue(QStringLiteral("RecordDelay")),
             before ? QStringLiteral("0") : QStringLiteral("1"));
    Dialog().Button(kCancel)->click();
    OpenOn(kKeyW);
    QCOMPARE(option->isChecked(), !before);
    option->click(); // as it was
    QCOMPARE(option->isChecked(), before);
}

// Recorded with the record-delays option, each pause is shown as the keyboard
// plays it (in its 10 ms steps), and the keyboard plays the macro with the
// pauses shown.
void AssignmentDialogTest::measuredPausesAreShownAsTheKeyboardPlaysThem() {
    OpenOnANewMacro();
    auto* option = qobject_cast<QCheckBox*>(Dialog().Control(kRecordDelays));
    const bool before = option->isChecked();
    if (!before)
        option->click();
    Dialog().Button(kRecord)->click();
    // A pressed and released with pauses of a few milliseconds between, which a
    // clock measures off the 10 ms steps nearly every time.
    const int waitsMs[] = {13, 27, 6, 34, 18, 21};
    for (size_t event = 0; event < std::size(waitsMs); ++event) {
        QVERIFY(SendNativeKey(&Actions(), event % 2 == 0 ? QEvent::KeyPress : QEvent::KeyRelease,
                              KEY_A, XK_a, Qt::Key_A));
        QTest::qWait(waitsMs[event]);
    }
    Dialog().Button(kRecord)->click();
    if (!before)
        option->click(); // as it was
    QCOMPARE(Actions().rowCount(), int(std::size(waitsMs)));
    QList<uint64_t> shown;
    for (int row = 0; row < Actions().rowCount(); ++row) {
        const QString text = Actions().item(row, 2)->text().trimmed();
        shown << text.toULongLong();
        QVERIFY2(shown.last() % 10 == 0, qPrintable(text));
    }
    Dialog().Button(kOk)->click();
    ApplyInTheMainWindow();
    const std::vector<emu::HidEvent> typed = TypedByKeyQ();
    QCOMPARE(typed.size(), std::size(waitsMs));
    for (size_t step = 1; step < typed.size(); ++step)
        QCOMPARE(typed[step].timeMs - typed[step - 1].timeMs, shown[qsizetype(step) - 1]);
}

KeyFunctionEntry AssignmentDialogTest::LiveEntry(size_t slot) {
    Drain();
    LiveProfile& profile = m_editor->Stack().Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    return profile.Record().layers[0][slot];
}

void AssignmentDialogTest::whatOkWritesIntoTheLiveProfile_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("bankB");
    QTest::addColumn<bool>("macros"); // two macros in the profile, or none
    QTest::addColumn<int>("type");    // the key's entry when the dialog opens: type and value,
    QTest::addColumn<uint>("value");  // selection flag 7 and reserved word 9
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("writtenType");  // what OK writes: type, code and value; the
    QTest::addColumn<uint>("writtenCode"); // selection flag and reserved word always kept
    QTest::addColumn<uint>("writtenValue");
    using enum KeyFunctionType;
    const int q = int(kSlotQ);
    const int g9BankB = int(MacroKeySlot(kMacroKeysPerBank - 1, true));
    QTest::newRow("multimedia row 5, nothing changed")
        << kKeyQ << false << false << int(Multimedia) << 5u << QStringList{} << q << int(Multimedia)
        << 0u << 5u;
    QTest::newRow("the key itself pressed")
        << kKeyQ << false << false << int(Default) << 0u << QStringList{"press Q"} << q
        << int(Default) << 0u << 0x010u;
    QTest::newRow("a disabled key taken to the single-key tab, no key pressed")
        << kKeyQ << false << false << int(Disabled) << 0u << QStringList{"single-key tab"} << q
        << int(Default) << 0u << 0u;
    QTest::newRow("the macro tab without macros")
        << kKeyQ << false << false << int(Default) << 0u << QStringList{"macro tab"} << q
        << int(Default) << 0u << 0u;
    QTest::newRow("a key playing a macro, loop count typed")
        << kKeyQ << false << true << int(PlayMacro) << 2u << QStringList{"loop count 300"} << q
        << int(PlayMacro) << 255u << 2u;
    QTest::newRow("the macro button writes G9 of bank B")
        << kMacroButton << true << true << int(Default) << 0u << QStringList{} << g9BankB
        << int(PlayMacro) << 1u << 1u;
}

void AssignmentDialogTest::whatOkWritesIntoTheLiveProfile() {
    QFETCH(int, button);
    QFETCH(bool, bankB);
    QFETCH(bool, macros);
    QFETCH(int, type);
    QFETCH(uint, value);
    QFETCH(QStringList, steps);
    QFETCH(int, slot);
    QFETCH(int, writtenType);
    QFETCH(uint, writtenCode);
    QFETCH(uint, writtenValue);
    if (macros)
        PutMacrosOnTheKeyboard();
    if (bankB) {
        Keyboard().SendConsumerEvent(static_cast<uint16_t>(ConsumerEventCode::BankToggled));
        QTRY_VERIFY(m_editor->BankB());
    }
    SetEntry(static_cast<size_t>(slot), {.type = static_cast<KeyFunctionType>(type),
                                         .value = value,
                                         .selectionFlag = 7,
                                         .reserved = 9});
    OpenOn(button);
    for (const QString& step : steps) {
        if (step == QLatin1String("press Q")) {
            QVERIFY(SendNativeKey(Dialog().Button(kOk), QEvent::KeyPress, KEY_Q, XK_q, Qt::Key_Q));
        } else if (step == QLatin1String("single-key tab")) {
            Dialog().Button(kSingleKeyTab)->click();
        } else if (step == QLatin1String("macro tab")) {
            Dialog().Button(kMacroTab)->click();
        } else {
            auto* loopCount = qobject_cast<QLineEdit*>(Dialog().Control(kLoopCount));
            loopCount->clear();
            QTest::keyClicks(loopCount, QStringLiteral("300"));
            QCOMPARE(loopCount->text(), QStringLiteral("255"));
        }
    }
    Dialog().Button(kOk)->click();
    QCOMPARE(LiveEntry(static_cast<size_t>(slot)),
             (KeyFunctionEntry{.type = static_cast<KeyFunctionType>(writtenType),
                               .code = static_cast<uint16_t>(writtenCode),
                               .value = writtenValue,
                               .selectionFlag = 7,
                               .reserved = 9}));
    QTRY_VERIFY(m_window->Button(kMainApply)->isEnabled()); // the main window downloads it
}

void AssignmentDialogTest::newMacrosAreNumberedAcrossOpenings() {
    auto* macros = qobject_cast<QComboBox*>(Dialog().Control(kMacroList));
    for (const QString& name : {QStringLiteral("宏1"), QStringLiteral("宏2")}) {
        OpenOn(kKeyQ);
        Dialog().Button(kMacroTab)->click();
        Dialog().Button(kMacroAdd)->click();
        QCOMPARE(macros->currentText(), name);
        Dialog().Button(kCancel)->click();
    }
}

void AssignmentDialogTest::theDialogClosesWhenTheKeyboardGoes() {
    OpenOn(kKeyQ);
    Keyboard().Unplug();
    QTRY_VERIFY(m_window->isHidden());
    QVERIFY(!Dialog().isVisible());
    QVERIFY(!m_editor->IsAssignmentDialogOpen());
    // Without a keyboard there is no active layer to edit: nothing opens.
    Dialog().Request(kSlotQ, false, m_window->Button(kKeyQ));
    Drain();
    QVERIFY(!Dialog().isVisible());
    QVERIFY(!Dialog().IsOpenOrRequested());
    QVERIFY(!m_editor->IsAssignmentDialogOpen());
}

void AssignmentDialogTest::aMissingOnScreenKeyboardIsSaid() {
    // A PATH without the on-screen keyboard, whether or not this machine has it.
    const QTemporaryDir emptyFolder;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", emptyFolder.path().toLocal8Bit());
    const auto restorePath = qScopeGuard([&path] { qputenv("PATH", path); });
    OpenOn(kKeyQ);
    QString said;
    QTimer::singleShot(0, [&said] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        said = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    Dialog().Button(kOnScreenKeyboard)->click();
    QCOMPARE(said, QString::fromStdU16String(std::u16string(kNoOnScreenKeyboardText)));
    // Keys are taken again once the message is read.
    QVERIFY(SendNativeKey(Dialog().Button(kOk), QEvent::KeyPress, KEY_W, XK_w, Qt::Key_W));
    QCOMPARE(Dialog().State()->ShownKey(), ScanCode{0x011});
}

void AssignmentDialogTest::cancelWritesNothing() {
    OpenOn(kKeyQ);
    QVERIFY(SendNativeKey(Dialog().Button(kOk), QEvent::KeyPress, KEY_W, XK_w, Qt::Key_W));
    QVERIFY(Dialog().Button(kApply)->isEnabled());
    Dialog().Button(kCancel)->click();
    QVERIFY(!Dialog().isVisible());
    Drain();
    QVERIFY(!m_editor->IsModified());
    QVERIFY(!m_window->Button(kMainApply)->isEnabled());
    QCOMPARE(FunctionOnKeyboard(Keyboard(), 0, kSlotQ).type, KeyFunctionType::Default);
}

void AssignmentDialogTest::profileSwitchIsRefusedWhileOpen() {
    const QString refusal =
        QString::fromStdU16String(std::u16string(profile_text::kCloseEditorFirst));
    OpenOn(kKeyQ);
    QVERIFY(m_editor->IsAssignmentDialogOpen());
    QTest::mouseClick(m_window->Button(kProfile1 + 1), Qt::LeftButton);
    Drain();
    QCOMPARE(m_messages, QStringList{refusal});
    QCOMPARE(ActiveProfileOnKeyboard(Keyboard()), uint8_t{0});

    Dialog().Button(kCancel)->click();
    QVERIFY(!m_editor->IsAssignmentDialogOpen());
    QTest::mouseClick(m_window->Button(kProfile1 + 1), Qt::LeftButton);
    QTRY_COMPARE(ActiveProfileOnKeyboard(Keyboard()), uint8_t{1});
    QCOMPARE(m_messages.size(), 1);
}

void AssignmentDialogTest::enterAndEscapeAreSwallowed() {
    OpenOn(kKeyQ);
    Dialog().Button(kFunctionKeyTab)->click(); // no key is taken on this tab
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&Dialog(), key);
        QVERIFY(Dialog().isVisible());
    }
    QCOMPARE(Dialog().State()->Type(), KeyFunctionType::FunctionKey);
    QVERIFY(!m_editor->IsModified()); // nothing was applied either
}

void AssignmentDialogTest::f1AsksForHelpWhereKeysAreNotTaken() {
    OpenOn(kKeyQ);
    // Counted here rather than opening the help page in a browser.
    QObject::disconnect(&Dialog(), &AssignmentDialog::helpRequested, nullptr, nullptr);
    QSignalSpy help(&Dialog(), &AssignmentDialog::helpRequested);
    QVERIFY(SendNativeKey(Dialog().Button(kOk), QEvent::KeyPress, KEY_F1, 0xFFBE, Qt::Key_F1));
    QCOMPARE(help.count(), 0); // the single-key tab takes F1 as the key
    QCOMPARE(Dialog().State()->ShownKey(), ScanCode{0x03B});
    Dialog().Button(kMultimediaTab)->click();
    QTest::keyClick(&Dialog(), Qt::Key_F1);
    QCOMPARE(help.count(), 1);
}

void AssignmentDialogTest::screenshotsOfEveryTab() {
    const std::filesystem::path folder = std::filesystem::path(TAVRIK_BIN_DIR) / "screenshots";
    std::filesystem::create_directories(folder);
    PutMacrosOnTheKeyboard();
    SetEntry(kSlotQ, {.type = KeyFunctionType::SingleKey, .value = 0x011});
    OpenOn(kKeyQ);
    const QRect page = SkinRectOf(CIniFile(m_paths.compositeSkinFile), u"CONTROL_MASK");
    QList<QImage> pages;
    for (const CompositeTabButton& tab : CompositeTabButtons()) {
        Dialog().Button(tab.id)->click();
        if (tab.tab == AssignmentTab::Macro) // Q sent a key: no macro is shown yet
            qobject_cast<QComboBox*>(Dialog().Control(kMacroList))->setCurrentIndex(0);
        const QImage shot = Dialog().grab().toImage();
        const QString file = QStringLiteral("assignment-%1.png").arg(tab.id);
        QVERIFY(shot.save(QString::fromStdString((folder / file.toStdString()).string())));
        // Each tab draws a page of its own.
        const QImage pageShot = shot.copy(page);
        QVERIFY(!pages.contains(pageShot));
        pages << pageShot;
    }
}

} // namespace tavrik

QTEST_MAIN(tavrik::AssignmentDialogTest)
#include "tst_assignment_dialog.moc"
