// Undo, redo and the changes waiting for Apply in the running main window and its assignment
// dialog, on the real drawn skin and the emulated keyboard in this process. What the keyboard
// holds is read back from the emulated keyboard's memory after the window's Apply.

#include "gui/assignment_controls.h"
#include "gui/assignment_dialog.h"
#include "gui/pending_changes_dialog.h"
#include "main_window_rig.h"
#include "support/keyboard_under_test.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <linux/input-event-codes.h>

namespace tavrik {
namespace {

using namespace composite_id;
using test::FunctionOnKeyboard;

constexpr int kMainApply = 1006;
constexpr int kProfile2 = 1136;
constexpr int kKeyQ = 1044;
constexpr int kKeyA = 1058;
constexpr size_t kSlotQ = 0x10;
constexpr ScanCode kW = 0x011;
constexpr uint32_t XK_w = 0x0077;

QStringList Lines(const QListWidget& list) {
    QStringList lines;
    for (int row = 0; row < list.count(); ++row)
        lines << list.item(row)->text();
    return lines;
}

} // namespace

class UndoHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void undoneAssignmentsReachTheKeyboardAtTheNextApply();
    void theShortcutsAreTheDesktops_data();
    void theShortcutsAreTheDesktops();
    void revertAllIsOneStepBackToTheKeyboard();
    void theHistoryEndsWhereTheProfileIsReplaced_data();
    void theHistoryEndsWhereTheProfileIsReplaced();
    void theDialogUndoesItsOwnEditsThenTheAppliedSteps();

private:
    // Q sends W, through the assignment dialog as the user gives it.
    void AssignQToW();
    void Undo() { Press(Qt::Key_Z, Qt::ControlModifier); }
    void Redo() { Press(Qt::Key_Y, Qt::ControlModifier); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers);
    void Apply();
    CPngButton& Q() { return *Window().Button(kKeyQ); }
    bool ApplyEnabled() { return Window().Button(kMainApply)->isEnabled(); }
    KeyFunctionEntry QOnKeyboard() { return FunctionOnKeyboard(m_rig->Keyboard(), 0, kSlotQ); }
    CTavrikDlg& Window() { return m_rig->Window(); }
    AssignmentDialog& Dialog() { return Window().Assignment(); }

    std::unique_ptr<test::MainWindowRig> m_rig;
};

void UndoHistoryTest::init() {
    m_rig = std::make_unique<test::MainWindowRig>();
    QVERIFY(m_rig->WaitForAttach());
    Window().Open();
    QVERIFY(QTest::qWaitForWindowActive(&Window()));
}

void UndoHistoryTest::cleanup() {
    m_rig.reset();
}

void UndoHistoryTest::AssignQToW() {
    QTest::mouseClick(&Q(), Qt::LeftButton);
    QTRY_VERIFY(Dialog().isVisible());
    test::SendNativeKey(&Dialog(), QEvent::KeyPress, KEY_W, XK_w, Qt::Key_W);
    Dialog().Button(kOk)->click();
    QVERIFY(m_rig->Drain());
}

void UndoHistoryTest::Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    // Window shortcuts: the keys go to the active window, as the desktop delivers them.
    Window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), key, modifiers);
    QVERIFY(m_rig->Drain());
}

void UndoHistoryTest::Apply() {
    QVERIFY(ApplyEnabled());
    QTest::mouseClick(Window().Button(kMainApply), Qt::LeftButton);
    QVERIFY(m_rig->Drain());
    QVERIFY2(m_rig->messages.isEmpty(), qPrintable(m_rig->messages.join(u'\n')));
    QVERIFY(!ApplyEnabled());
}

void UndoHistoryTest::undoneAssignmentsReachTheKeyboardAtTheNextApply() {
    AssignQToW();
    QCOMPARE(Window().UndoAction()->text(), QStringLiteral("撤销: 分配 Q → W"));
    QVERIFY(Q().CornerMark().isValid());
    QVERIFY(Q().TooltipText().endsWith(QStringLiteral("\n已更改: Q → W")));
    QVERIFY(!Window().Button(kKeyA)->CornerMark().isValid());

    Undo(); // before Apply: back to what the keyboard holds, nothing to write
    QVERIFY(!Q().CornerMark().isValid());
    QVERIFY(!ApplyEnabled());
    QCOMPARE(Window().RedoAction()->text(), QStringLiteral("重做: 分配 Q → W"));
    QVERIFY(!Window().UndoAction()->isEnabled());

    Redo();
    QVERIFY(Q().CornerMark().isValid());
    Apply();
    QCOMPARE(QOnKeyboard(), (KeyFunctionEntry{.type = KeyFunctionType::SingleKey, .value = kW}));
    QVERIFY(!Q().CornerMark().isValid());

    Undo(); // after Apply: the window is modified again and says what Apply will undo
    QVERIFY(ApplyEnabled());
    QVERIFY(Q().TooltipText().endsWith(QStringLiteral("\n已更改: W → Q")));
    Apply();
    QCOMPARE(QOnKeyboard(), KeyFunctionEntry{});

    Redo();
    Apply();
    QCOMPARE(QOnKeyboard().value, uint32_t{kW});
}

void UndoHistoryTest::theShortcutsAreTheDesktops_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("undoes");
    QTest::newRow("Ctrl+Z undoes") << int(Qt::Key_Z) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+Z redoes")
        << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Y redoes") << int(Qt::Key_Y) << int(Qt::ControlModifier) << false;
}

void UndoHistoryTest::theShortcutsAreTheDesktops() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, undoes);
    AssignQToW();
    if (!undoes)
        Undo();
    Press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(Q().CornerMark().isValid(), !undoes);
    QCOMPARE(Window().RedoAction()->isEnabled(), undoes);
}

void UndoHistoryTest::revertAllIsOneStepBackToTheKeyboard() {
    AssignQToW();
    PendingChangesDialog& pending = Window().PendingChanges();
    Window().RunCommand(32782); // the Button Menu's "待应用的更改..."
    QVERIFY(pending.isVisible());
    QCOMPARE(Lines(*pending.List()), QStringList{QStringLiteral("Q: Q → W")});

    pending.RevertAllButton()->click();
    QVERIFY(m_rig->Drain());
    QVERIFY(Lines(*pending.List()).isEmpty());
    QVERIFY(!pending.RevertAllButton()->isEnabled());
    QVERIFY(!Q().CornerMark().isValid());
    QVERIFY(!ApplyEnabled());
    QCOMPARE(Window().UndoAction()->text(), QStringLiteral("撤销: 全部还原"));

    Window().UndoAction()->trigger(); // the edits come back
    QVERIFY(m_rig->Drain());
    QCOMPARE(Lines(*pending.List()), QStringList{QStringLiteral("Q: Q → W")});
    QVERIFY(ApplyEnabled());
}

void UndoHistoryTest::theHistoryEndsWhereTheProfileIsReplaced_data() {
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("undoable");
    QTest::newRow("Apply keeps it") << "apply" << true;
    QTest::newRow("a profile switch ends it") << "switch" << false;
    QTest::newRow("a reload from the keyboard ends it") << "reload" << false;
}

void UndoHistoryTest::theHistoryEndsWhereTheProfileIsReplaced() {
    QFETCH(QString, event);
    QFETCH(bool, undoable);
    AssignQToW();
    if (event == QLatin1String("apply")) {
        Apply();
    } else if (event == QLatin1String("switch")) {
        m_rig->answer = false; // the edits are not saved
        QTest::mouseClick(Window().Button(kProfile2), Qt::LeftButton);
        QVERIFY(m_rig->Drain());
    } else {
        // The keyboard comes again and is read whole.
        m_rig->Keyboard().Unplug();
        QTRY_COMPARE(m_rig->Editor().KeyboardCount(), 0);
        m_rig->Keyboard().Plug();
        QVERIFY(m_rig->WaitForAttach());
    }
    QCOMPARE(Window().UndoAction()->isEnabled(), undoable);
    Window().UndoAction()->trigger();
    QVERIFY(m_rig->Drain());
    QCOMPARE(ApplyEnabled(), undoable);
}

void UndoHistoryTest::theDialogUndoesItsOwnEditsThenTheAppliedSteps() {
    QTest::mouseClick(Window().Button(kKeyA), Qt::LeftButton);
    QTRY_VERIFY(Dialog().isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&Dialog()));
    Dialog().Button(kMacroTab)->click();
    Dialog().Button(kMacroAdd)->click();
    auto* macros = qobject_cast<QComboBox*>(Dialog().Control(kMacroList));
    macros->lineEdit()->setFocus(); // the user clicks into the name
    macros->lineEdit()->selectAll();
    QTest::keyClicks(macros->lineEdit(), QStringLiteral("ab"));
    QCOMPARE(Dialog().UndoAction()->text(), QStringLiteral("撤销: 重命名宏 宏1 → ab"));

    // Ctrl+Z typed into the name goes to the dialog's history, not to the edit's own.
    QTest::keyClick(macros->lineEdit(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(macros->currentText(), QStringLiteral("宏1"));
    QCOMPARE(Dialog().UndoAction()->text(), QStringLiteral("撤销: 添加宏 宏1"));
    Dialog().UndoAction()->trigger();
    QCOMPARE(macros->count(), 0);
    Dialog().RedoAction()->trigger();
    Dialog().RedoAction()->trigger();
    QCOMPARE(macros->currentText(), QStringLiteral("ab"));

    Dialog().Button(kApply)->click();
    QVERIFY(m_rig->Drain());
    QCOMPARE(Window().UndoAction()->text(), QStringLiteral("撤销: 分配 A → 宏(ab)"));
    // Nothing of its own left: the dialog steps over the applied steps, one by one, and shows
    // the key as it is after each.
    QCOMPARE(Dialog().UndoAction()->text(), QStringLiteral("撤销: 分配 A → 宏(ab)"));
    Dialog().UndoAction()->trigger();
    QVERIFY(m_rig->Drain());
    QTRY_COMPARE(Dialog().State()->Tab(), AssignmentTab::SingleKey);
    QCOMPARE(Dialog().UndoAction()->text(), QStringLiteral("撤销: 重命名宏 宏1 → ab"));
    Dialog().UndoAction()->trigger();
    QVERIFY(m_rig->Drain());
    QTRY_COMPARE(Dialog().UndoAction()->text(), QStringLiteral("撤销: 添加宏 宏1"));
    QTRY_COMPARE(macros->itemText(0), QStringLiteral("宏1")); // the key read again
    Dialog().Button(kMacroTab)->click();
    QCOMPARE(macros->currentText(), QStringLiteral("宏1"));
    Dialog().Button(kCancel)->click();
    QCOMPARE(Window().RedoAction()->text(), QStringLiteral("重做: 重命名宏 宏1 → ab"));
}

} // namespace tavrik

QTEST_MAIN(tavrik::UndoHistoryTest)
#include "tst_undo_history.moc"
