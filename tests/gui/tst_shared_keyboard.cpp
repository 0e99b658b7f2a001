// The desktop program and tavrikctl on one keyboard (a tavrik-emu process), as users run them:
// the window lives in the tray all day while scripts call tavrikctl. The window follows what the
// scripts write; its unapplied edits are kept on top of it or dropped, as the user answers; an
// Apply never writes back over a script's changes, and the store file both programs share ends
// as the keyboard's mirror.
#include "emulator/socket_hid_bridge.h"
#include "keys/key_table.h"
#include "main_window_rig.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace tavrik {
namespace {

constexpr int kApply = 1006;
constexpr ScanCode kScanA = 0x1E;
constexpr ScanCode kScanB = 0x30;
constexpr ScanCode kScanS = 0x1F;
constexpr ScanCode kScanD = 0x20;
constexpr ScanCode kScanZ = 0x2C;
constexpr int kScriptRemaps = 25;
constexpr int kScriptMacros = 25;
// The window looks for other programs' writes once a second.
constexpr int kFollowTimeoutMs = 10000;

const QString kKeepQuestion = QStringLiteral("另一个程序修改了键盘上的设定");

struct Finished {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

class SharedKeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void windowEditsAndScriptWritesBothReachTheKeyboard();
    void anApplyRightAfterAScriptKeepsTheScriptsChange();
    void withoutEditsTheWindowFollowsAScript();
    void droppedEditsGiveWayToTheScript();

private:
    Finished Run(const QString& program, const QStringList& args);
    // tavrikctl on the shared keyboard, which must succeed; its standard output.
    QByteArray Tavrikctl(const QStringList& args);
    // The keyboard's configuration as text, a line each.
    QStringList KeyboardText();
    void OpenWindow(bool keepEdits);
    KeyFunctionEntry LiveEntry(ScanCode key);
    // The window's edit of key A to type B, not applied.
    void EditKeyAToTypeB();
    bool Asked() const { return m_rig->messages.filter(kKeepQuestion).size() > 0; }

    std::unique_ptr<QTemporaryDir> m_folder;
    QProcessEnvironment m_environment;
    QProcess m_server;
    QString m_socket;
    std::unique_ptr<test::MainWindowRig> m_rig;
};

void SharedKeyboardTest::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    QDir(m_folder->path()).mkpath("home/Documents");
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.remove("TAVRIK_DEVICE");
    m_environment.remove("XDG_DOCUMENTS_DIR");
    m_environment.insert("HOME", m_folder->filePath("home"));
    m_environment.insert("XDG_CONFIG_HOME", m_folder->filePath("config"));
    m_socket = m_folder->filePath("keyboard.sock");
    m_server.setProcessEnvironment(m_environment);
    m_server.start(TAVRIK_EMU_PATH, {"serve", m_socket});
    QVERIFY(m_server.waitForStarted());
    QTRY_VERIFY(QFile::exists(m_socket));
}

void SharedKeyboardTest::cleanup() {
    m_rig.reset();
    Run(TAVRIK_EMU_PATH, {"ctl", m_socket, "quit"});
    m_server.waitForFinished();
    m_folder.reset();
}

Finished SharedKeyboardTest::Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(program, args);
    if (!process.waitForStarted())
        return {-1, {}, process.errorString().toUtf8()};
    process.closeWriteChannel();
    // The window's thread goes on meanwhile: the window must follow the script as it runs. The
    // events processed here may be the ones that tell the process has ended, after which
    // waitForFinished says false at once: the state is what tells.
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(10);
        QCoreApplication::processEvents();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray SharedKeyboardTest::Tavrikctl(const QStringList& args) {
    const Finished done = Run(TAVRIKCTL_PATH, QStringList{"--device", "emu:" + m_socket} + args);
    if (done.exitCode != 0)
        qWarning("tavrikctl %s: %s", qPrintable(args.join(' ')), done.err.constData());
    return done.exitCode == 0 ? done.out : QByteArray();
}

QStringList SharedKeyboardTest::KeyboardText() {
    const QString text = m_folder->filePath("keyboard.txt");
    Tavrikctl({"export", "--text", text});
    QFile exported(text);
    if (!exported.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(exported.readAll()).split('\n');
}

void SharedKeyboardTest::OpenWindow(bool keepEdits) {
    std::string error;
    std::unique_ptr<HidBridge> transport = ConnectEmulatorSocket(m_socket.toStdString(), &error);
    QVERIFY2(transport, error.c_str());
    m_rig = std::make_unique<test::MainWindowRig>(
        std::move(transport), m_folder->filePath("home/Documents").toStdString());
    m_rig->answer = keepEdits;
    QVERIFY(m_rig->WaitForAttach());
}

KeyFunctionEntry SharedKeyboardTest::LiveEntry(ScanCode key) {
    m_rig->Drain();
    LiveProfile& profile = m_rig->Editor().Stack().Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    return profile.Record().layers[0][KeyIndexFromScan(key)];
}

void SharedKeyboardTest::EditKeyAToTypeB() {
    m_rig->Editor().PostAfterQueuedJobs([this] {
        LiveProfile& profile = m_rig->Editor().Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Record().layers[0][KeyIndexFromScan(kScanA)] = {.type = KeyFunctionType::SingleKey,
                                                                .value = kScanB};
        m_rig->Editor().EnableApply(true);
    });
    m_rig->Drain();
}

// The case that used to lose a script's work: the window holds unapplied edits (a remap and a new
// macro on a key) while a script makes 50 changes, then the user presses Apply.
void SharedKeyboardTest::windowEditsAndScriptWritesBothReachTheKeyboard() {
    OpenWindow(/*keepEdits=*/true);
    EditKeyAToTypeB();
    m_rig->Editor().PostAfterQueuedJobs([this] {
        LiveProfile& profile = m_rig->Editor().Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        MacroRecord macro{.name = u"window macro", .isNew = true, .id = 1};
        macro.actions = {{.delayMs = 10, .key = kScanB, .direction = KeyDirection::Press},
                         {.delayMs = 10, .key = kScanB, .direction = KeyDirection::Release}};
        profile.Macros().push_back(macro);
        profile.Record().layers[0][KeyIndexFromScan(kScanZ)] = {.type = KeyFunctionType::PlayMacro,
                                                                .value = 1};
    });
    m_rig->Drain();

    // Letters other than A and Z, sent to the next letter, in profiles 0 and 1.
    QStringList expectedLines;
    for (int i = 0; i < kScriptRemaps; ++i) {
        const QChar key('B' + i % 24);
        const QChar sends('C' + i % 24);
        const QString profile = QString::number(i % 2);
        QVERIFY(
            !Tavrikctl({"remap", "--profile", profile, key, "key:" + QString(sends)}).isEmpty());
        expectedLines << QString("layer %1 \"%2\" key \"%3\"").arg(profile, key, sends);
        QVERIFY(!Tavrikctl({"macro", "add", QString("script %1").arg(i)}).isEmpty());
    }
    QTRY_VERIFY_WITH_TIMEOUT(Asked(), kFollowTimeoutMs);
    QVERIFY(m_rig->Window().Button(kApply)->isEnabled()); // the edits were kept, not applied
    m_rig->Window().Open();
    QTest::mouseClick(m_rig->Window().Button(kApply), Qt::LeftButton);
    QTRY_VERIFY(!m_rig->Window().Button(kApply)->isEnabled());
    m_rig->Drain();

    // Everything both programs made is on the keyboard.
    const QJsonArray macros =
        QJsonDocument::fromJson(Tavrikctl({"--json", "macro", "list"})).array();
    QCOMPARE(macros.size(), kScriptMacros + 1);
    int windowMacro = 0;
    for (const QJsonValue& macro : macros)
        if (macro.toObject()["name"].toString() == "window macro")
            windowMacro = macro.toObject()["id"].toInt();
    QVERIFY(windowMacro > 0);
    const QStringList lines = KeyboardText();
    for (const QString& line : expectedLines)
        QVERIFY2(lines.contains(line), qPrintable(line));
    QVERIFY(lines.contains("layer 0 \"A\" key \"B\""));
    const QRegularExpression playsWindowMacro(
        QString("^layer 0 \"Z\" macro %1( |$)").arg(windowMacro));
    QVERIFY2(lines.filter(playsWindowMacro).size() == 1,
             qPrintable(lines.filter("\"Z\"").join('\n')));

    // The store file the window left is the keyboard's mirror: only the lighting, which a profile
    // file does not hold, differs. (diff reads the keyboard through a session of its own, which
    // mirrors it into the store file again: it compares a copy.)
    const QString store = m_folder->filePath("home/Documents/VOLTRI VX60 Driver/$Profile0");
    const QString copy = m_folder->filePath("store copy.tvk");
    QVERIFY(QFile::copy(store, copy));
    const Finished diff =
        Run(TAVRIKCTL_PATH, {"--device", "emu:" + m_socket, "diff", "--keyboard", copy});
    const QStringList differences = QString::fromUtf8(diff.out).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(differences.filter(QRegularExpression("^- lighting ")).size() == differences.size(),
             diff.out.constData());
}

// The window has not looked yet (here: the assignment dialog is open, which holds the look back)
// when Apply comes: Apply itself finds the script's write and keeps it.
void SharedKeyboardTest::anApplyRightAfterAScriptKeepsTheScriptsChange() {
    OpenWindow(/*keepEdits=*/true);
    m_rig->Editor().SetAssignmentDialogOpen(true);
    EditKeyAToTypeB();
    QVERIFY(!Tavrikctl({"remap", "S", "key:D"}).isEmpty());
    m_rig->Editor().PostApply();
    m_rig->Drain();
    const QStringList lines = KeyboardText();
    QVERIFY(lines.contains("layer 0 \"A\" key \"B\""));
    QVERIFY(lines.contains("layer 0 \"S\" key \"D\""));
    QVERIFY(!Asked());
    QVERIFY(!m_rig->Window().Button(kApply)->isEnabled());
}

void SharedKeyboardTest::withoutEditsTheWindowFollowsAScript() {
    OpenWindow(/*keepEdits=*/true);
    QVERIFY(!Tavrikctl({"remap", "S", "key:D"}).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(LiveEntry(kScanS).value == kScanD, kFollowTimeoutMs);
    QVERIFY(!Asked());
    QVERIFY(!m_rig->Window().Button(kApply)->isEnabled());
}

void SharedKeyboardTest::droppedEditsGiveWayToTheScript() {
    OpenWindow(/*keepEdits=*/false);
    EditKeyAToTypeB();
    QVERIFY(!Tavrikctl({"remap", "S", "key:D"}).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(Asked(), kFollowTimeoutMs);
    QTRY_VERIFY(LiveEntry(kScanS).value == kScanD);
    QCOMPARE(LiveEntry(kScanA).type, KeyFunctionType::Default);
    QTRY_VERIFY(!m_rig->Window().Button(kApply)->isEnabled());
}

} // namespace tavrik

QTEST_MAIN(tavrik::SharedKeyboardTest)
#include "tst_shared_keyboard.moc"
