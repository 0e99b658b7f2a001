// Two processes of the real program: the single-instance hand-over, "/Kill", the stale socket,
// the sibling program and the end of the process on a missing skin picture. Every test runs
// the program with a private runtime folder and home, on the offscreen platform.

#include "app/instance_message.h"
#include "temp_folder.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>

namespace tavrik {
namespace {

// A generous bound so that a broken hand-over fails the test instead of hanging it.
constexpr int kProcessWaitMs = 60000;

// One run of the program, its stderr collected as it comes.
class Program {
public:
    Program(const QString& executable, const testing::TempFolder& sandbox,
            const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), QString::fromStdString(sandbox.Path().string()));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           QString::fromStdString((sandbox / "run").string()));
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("tavrik.instance.info=true"));
        environment.insert(QStringLiteral("TAVRIK_DEVICE"), QStringLiteral("demo"));
        environment.insert(QStringLiteral("MARKER"),
                           QString::fromStdString((sandbox / "marker").string()));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(executable, arguments);
    }
    ~Program() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kProcessWaitMs);
        }
    }

    // Waits until stderr holds the text; false when the program ended or kProcessWaitMs passed
    // without it.
    bool WaitForLog(const QString& text) {
        QElapsedTimer waited;
        waited.start();
        while (!Log().contains(text)) {
            if (m_process.state() == QProcess::NotRunning || waited.elapsed() > kProcessWaitMs) {
                return Log().contains(text);
            }
            m_process.waitForReadyRead(200);
        }
        return true;
    }
    const QString& Log() {
        m_log += QString::fromUtf8(m_process.readAllStandardError());
        return m_log;
    }
    bool Finish() { return m_process.waitForFinished(kProcessWaitMs); }
    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }
    int ExitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus ExitStatus() const { return m_process.exitStatus(); }

private:
    QProcess m_process;
    QString m_log;
};

const QString kListening = QStringLiteral("listening on");

std::filesystem::path SocketOf(const testing::TempFolder& sandbox) {
    return sandbox / "run" / "Tavrik_Mutex";
}

} // namespace

class InstanceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondStartHandsOverAndFirstReceivesOpen();
    void killEndsTheRunningInstance_data();
    void killEndsTheRunningInstance();
    void killWithNothingRunningStartsNormally();
    void wrongTagIsIgnored();
    void staleSocketIsTakenOver();
    void siblingProgramStartsWithThePrimaryOnly();
    void missingSkinPictureEndsWithZero();
    void refusedStartEndsWithOneLine_data();
    void refusedStartEndsWithOneLine();

private:
    // A folder holding a copy of the program, with the built skin beside it.
    std::filesystem::path PrivateProgramFolder(bool withSkin);
    void StopProgram();

    const QString m_executable = QStringLiteral(TAVRIK_EXECUTABLE);
    std::unique_ptr<testing::TempFolder> m_sandbox;
};

void InstanceTest::init() {
    m_sandbox = std::make_unique<testing::TempFolder>();
    // $XDG_RUNTIME_DIR is private to its user.
    std::filesystem::create_directory(*m_sandbox / "run");
    ::chmod((*m_sandbox / "run").c_str(), 0700);
}

void InstanceTest::cleanup() {
    m_sandbox.reset();
}

void InstanceTest::StopProgram() {
    Program stopper(m_executable, *m_sandbox, {QStringLiteral("/Kill")});
    QVERIFY(stopper.Finish());
}

void InstanceTest::secondStartHandsOverAndFirstReceivesOpen() {
    Program first(m_executable, *m_sandbox, {});
    QVERIFY(first.WaitForLog(kListening));

    Program second(m_executable, *m_sandbox, {});
    QVERIFY(second.Finish());
    QCOMPARE(second.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(second.ExitCode(), 0);
    QVERIFY(!second.Log().contains(kListening));
    QVERIFY(first.WaitForLog(QStringLiteral("received OPEN")));
    QVERIFY(first.IsRunning());
    StopProgram();
    QVERIFY(first.Finish());
}

void InstanceTest::killEndsTheRunningInstance_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("/kill") << QStringList{QStringLiteral("/kill")};
    QTest::newRow("/KILL") << QStringList{QStringLiteral("/KILL")};
    QTest::newRow("/Start /Kill") << QStringList{QStringLiteral("/Start"), QStringLiteral("/Kill")};
    QTest::newRow("/kill /start") << QStringList{QStringLiteral("/kill"), QStringLiteral("/start")};
}

void InstanceTest::killEndsTheRunningInstance() {
    QFETCH(QStringList, arguments);
    Program first(m_executable, *m_sandbox, {});
    QVERIFY(first.WaitForLog(kListening));

    Program killer(m_executable, *m_sandbox, arguments);
    QVERIFY(killer.Finish());
    QCOMPARE(killer.ExitCode(), 0);
    // The killer returns only once the running instance has gone: its end closed the socket.
    QVERIFY(first.Finish());
    QCOMPARE(first.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(first.ExitCode(), 0);
    QVERIFY(first.Log().contains(QStringLiteral("received KILL")));
    QVERIFY(!killer.Log().contains(kListening));
    QVERIFY(!std::filesystem::exists(SocketOf(*m_sandbox)));
}

void InstanceTest::killWithNothingRunningStartsNormally() {
    Program program(m_executable, *m_sandbox, {QStringLiteral("/Kill")});
    QVERIFY(program.WaitForLog(kListening));
    QVERIFY(program.IsRunning());
    StopProgram();
    QVERIFY(program.Finish());
    QCOMPARE(program.ExitCode(), 0);
}

void InstanceTest::wrongTagIsIgnored() {
    Program first(m_executable, *m_sandbox, {});
    QVERIFY(first.WaitForLog(kListening));

    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(SocketOf(*m_sandbox).string()));
    QVERIFY(socket.waitForConnected(kProcessWaitMs));
    for (const InstanceMessage& message : {InstanceMessage{MSG_INSTANCE_KILL, kTagOpen, 0},
                                           InstanceMessage{MSG_INSTANCE_OPEN, 0x12345678, 0}}) {
        const auto bytes = EncodeInstanceMessage(message);
        socket.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        QVERIFY(socket.waitForBytesWritten(kProcessWaitMs));
        while (socket.bytesAvailable() < 4) {
            QVERIFY(socket.waitForReadyRead(kProcessWaitMs));
        }
        QCOMPARE(DecodeInstanceReply(
                     std::span(reinterpret_cast<const uint8_t*>(socket.read(4).constData()), 4)),
                 0u);
    }
    QVERIFY(first.WaitForLog(QStringLiteral("ignored message 0x5350 with wParam 0x12345678")));
    QVERIFY(first.Log().contains(QStringLiteral("ignored message 0x4d4b with wParam 0x4f50454e")));
    QVERIFY(!first.Log().contains(QStringLiteral("received")));
    QVERIFY(first.IsRunning());
    socket.disconnectFromServer();
    StopProgram();
    QVERIFY(first.Finish());
}

void InstanceTest::staleSocketIsTakenOver() {
    // A socket left behind by an instance that did not end: bound, then its process gone.
    const std::string path = SocketOf(*m_sandbox).string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(std::filesystem::exists(path));

    Program program(m_executable, *m_sandbox, {});
    QVERIFY(program.WaitForLog(QStringLiteral("took over a stale socket")));
    QVERIFY(program.IsRunning());
    StopProgram();
    QVERIFY(program.Finish());
    QCOMPARE(program.ExitCode(), 0);
}

std::filesystem::path InstanceTest::PrivateProgramFolder(bool withSkin) {
    const std::filesystem::path folder = *m_sandbox / "app";
    const std::filesystem::path built = m_executable.toStdString();
    std::filesystem::create_directories(folder);
    std::error_code linkError;
    std::filesystem::create_hard_link(built, folder / "tavrik", linkError);
    if (linkError) {
        std::filesystem::copy_file(built, folder / "tavrik");
    }
    if (withSkin) {
        std::filesystem::create_directory_symlink(built.parent_path() / "Skins", folder / "Skins");
        std::filesystem::create_directory_symlink(built.parent_path() / "icons", folder / "icons");
    }
    return folder;
}

void InstanceTest::siblingProgramStartsWithThePrimaryOnly() {
    const std::filesystem::path folder = PrivateProgramFolder(true);
    m_sandbox->Write("app/VoZurade", "#!/bin/sh\necho started >> \"$MARKER\"\n");
    std::filesystem::permissions(folder / "VoZurade", std::filesystem::perms::owner_all);
    const QString program = QString::fromStdString((folder / "tavrik").string());
    const auto starts = [&] { return testing::ReadFile(*m_sandbox / "marker"); };

    Program first(program, *m_sandbox, {QStringLiteral("/Start")});
    QVERIFY(first.WaitForLog(kListening));
    QTRY_COMPARE(starts(), std::string("started\n"));

    Program second(program, *m_sandbox, {});
    QVERIFY(second.Finish());
    QCOMPARE(second.ExitCode(), 0);
    QTest::qWait(300); // room for a wrongly started sibling to write
    QCOMPARE(starts(), std::string("started\n"));
    StopProgram();
    QVERIFY(first.Finish());
}

void InstanceTest::missingSkinPictureEndsWithZero() {
    const std::filesystem::path folder = PrivateProgramFolder(false);
    m_sandbox->Write("app/Skins/Main.ini", "[SCREEN]\nMain=main_normal.jpg\n");
    Program program(QString::fromStdString((folder / "tavrik").string()), *m_sandbox, {});
    QVERIFY(program.Finish());
    QCOMPARE(program.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(program.ExitCode(), 0);
    const QStringList complaints =
        program.Log().split(QLatin1Char('\n')).filter(QStringLiteral("skin picture"));
    QCOMPARE(complaints.size(), 1);
    QVERIFY(complaints.first().contains(QStringLiteral("main_normal.jpg")));
}

void InstanceTest::refusedStartEndsWithOneLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("named");
    // A keyboard the user chose that cannot be opened is a failure, not a quiet success. The
    // socket's folder is the test's sandbox, made for each row.
    QTest::newRow("emulator not served")
        << QStringList{QStringLiteral("--device"), QStringLiteral("emu:SANDBOX/no-emulator")} << 1
        << QStringLiteral("SANDBOX/no-emulator");
    QTest::newRow("unknown device")
        << QStringList{QStringLiteral("--device=bogus")} << 2 << QStringLiteral("\"bogus\"");
    QTest::newRow("device without value")
        << QStringList{QStringLiteral("/Start"), QStringLiteral("--device")} << 2
        << QStringLiteral("--device");
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--verbose")} << 2 << QStringLiteral("--verbose");
}

void InstanceTest::refusedStartEndsWithOneLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, named);
    const QString sandbox = QString::fromStdString(m_sandbox->Path().string());
    arguments.replaceInStrings(QStringLiteral("SANDBOX"), sandbox);
    named.replace(QStringLiteral("SANDBOX"), sandbox);
    Program program(m_executable, *m_sandbox, arguments);
    QVERIFY(program.Finish());
    QCOMPARE(program.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(program.ExitCode(), exitCode);
    const QStringList lines = program.Log()
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                  .filter(QStringLiteral("tavrik: "));
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(named), qPrintable(lines.first()));
}

} // namespace tavrik

QTEST_MAIN(tavrik::InstanceTest)
#include "tst_instance.moc"
