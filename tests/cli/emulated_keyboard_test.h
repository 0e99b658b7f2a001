#pragma once
// The real programs end to end: tavrikctl against a keyboard served by `tavrik-emu serve` on a
// socket in a temporary folder, with HOME and the XDG folders there too, so that the store file
// and the settings never touch the real home. What the keyboard holds and types afterwards is
// asked from tavrik-emu itself. Tests that include this are built with TAVRIKCTL_PATH and
// TAVRIK_EMU_PATH defined (tests/cli/CMakeLists.txt).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrik::testing_support {

struct Finished {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

struct Typed {
    uint16_t page = 0;
    uint16_t usage = 0;
    bool down = false;
    uint64_t ms = 0;
};

inline std::string Text(const QByteArray& bytes) {
    return bytes.toStdString();
}

class EmulatedKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        QDir(folder_.path()).mkpath("home");
        QDir(folder_.path()).mkpath("config");
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.remove("TAVRIK_DEVICE");
        environment_.remove("XDG_DOCUMENTS_DIR");
        environment_.insert("HOME", folder_.filePath("home"));
        environment_.insert("XDG_CONFIG_HOME", folder_.filePath("config"));
        StartKeyboard();
    }

    void TearDown() override { StopKeyboard(); }

    // A keyboard fresh from the factory on a new socket.
    void StartKeyboard(const QStringList& options = {}) {
        socket_ = folder_.filePath(QString("kbd%1.sock").arg(++keyboards_));
        server_.setProcessEnvironment(environment_);
        server_.start(TAVRIK_EMU_PATH, QStringList{"serve", socket_} + options);
        ASSERT_TRUE(server_.waitForStarted());
        // The socket appears once the server listens.
        while (!QFile::exists(socket_) && server_.state() == QProcess::Running)
            QThread::msleep(5);
        ASSERT_TRUE(QFile::exists(socket_)) << Text(server_.readAllStandardError());
    }

    void StopKeyboard() {
        if (server_.state() == QProcess::NotRunning)
            return;
        Ctl({"quit"});
        server_.waitForFinished(-1);
    }

    Finished RunProgram(const QString& program, const QStringList& args,
                        const QByteArray& input = {}) {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.start(program, args);
        EXPECT_TRUE(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(-1);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

    Finished Tavrikctl(const QStringList& args, const QByteArray& input = {}) {
        return RunProgram(TAVRIKCTL_PATH, QStringList{"--device", "emu:" + socket_} + args, input);
    }

    // tavrikctl that must succeed; its standard output.
    QByteArray Do(const QStringList& args, const QByteArray& input = {}) {
        const Finished done = Tavrikctl(args, input);
        EXPECT_EQ(done.exitCode, 0) << args.join(' ').toStdString() << ": " << Text(done.err);
        return done.out;
    }

    QByteArray Ctl(const QStringList& args) {
        const Finished done = RunProgram(TAVRIK_EMU_PATH, QStringList{"ctl", socket_} + args);
        EXPECT_EQ(done.exitCode, 0) << args.join(' ').toStdString() << ": " << Text(done.err);
        return done.out;
    }

    // An area of the keyboard's memory: "OFFSET: XX XX ..." lines.
    std::vector<uint8_t> Dump(const QString& area) {
        std::vector<uint8_t> bytes;
        for (const QByteArray& line : Ctl({"dump", area}).split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            for (qsizetype i = 1; i < words.size(); ++i)
                bytes.push_back(static_cast<uint8_t>(words[i].toUInt(nullptr, 16)));
        }
        return bytes;
    }

    std::vector<Typed> TypedAfterTap(int position) {
        Ctl({"typed"}); // forget what came before
        Ctl({"tap", QString::number(position)});
        std::vector<Typed> typed;
        for (const QByteArray& line : Ctl({"typed"}).split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() == 4)
                typed.push_back({static_cast<uint16_t>(words[1].toUInt(nullptr, 16)),
                                 static_cast<uint16_t>(words[2].toUInt(nullptr, 16)),
                                 words[3] == "down", words[0].toULongLong()});
        }
        return typed;
    }

    QJsonObject JsonObjectOf(const QStringList& args) {
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(Do(QStringList{"--json"} + args), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << args.join(' ').toStdString();
        return document.object();
    }

    QString File(const QString& name) const { return folder_.filePath(name); }

    void WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(File(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir folder_;
    QProcessEnvironment environment_;
    QProcess server_;
    QString socket_;
    int keyboards_ = 0;
};

} // namespace tavrik::testing_support
