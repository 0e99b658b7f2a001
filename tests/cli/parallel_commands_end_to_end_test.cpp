// Two tavrikctl commands at the same moment on one keyboard, as scripts run them: pairs of
// writing commands (remaps of the active and another profile, macros added, given actions and
// deleted, the lighting, a whole restore) start together against one tavrik-emu. They must take
// turns: whatever the order the keyboard gave them, the keyboard, the exit statuses and the store
// file end exactly as the two commands run one after the other in one order or the other. Each
// pair is run again both ways, from the memory and store file it started with, to know those two
// endings.
#include "cli/emulated_keyboard_test.h"

#include <QElapsedTimer>
#include <QJsonArray>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <random>

namespace {

using namespace tavrik::testing_support;

constexpr int kPairs = 100;

struct Command {
    QStringList args;
    QByteArray input;
    std::string Name() const { return args.join(' ').toStdString(); }
};

// What a run of commands left: their exit statuses, the keyboard's whole memory, the store file.
struct Ending {
    std::vector<int> statuses;
    QByteArray memory;
    QByteArray store;
    bool operator==(const Ending&) const = default;
};

// Writing commands drawn at random (the same draw every run). A command on a macro names one the
// keyboard holds before the pair starts; the other command of the pair may delete it first.
class CommandDraw {
public:
    explicit CommandDraw(QString backup)
        : backup_(std::move(backup)) {}

    void SetMacros(QStringList names) { held_ = std::move(names); }

    Command Next() {
        switch (Pick(9)) {
        case 0:
            return {{"remap", Letter(), "key:" + Letter()}, {}};
        case 1:
            return {
                {"remap", "--profile", QString::number(1 + Pick(2)), Letter(), "key:" + Letter()},
                {}};
        case 2:
            return {{"macro", "add", MacroName(++macros_)}, {}};
        case 3:
            return {{"macro", "actions", RecentMacro(), "-"},
                    QString("%1 down 10\n%1 up 20\n").arg(Letter()).toUtf8()};
        case 4:
            return {{"macro", "rm", "--force", RecentMacro()}, {}};
        case 5:
            return {{"remap", Letter(), "macro:" + RecentMacro()}, {}};
        case 6:
            return {{"lighting", "brightness", QString::number(Pick(26))}, {}};
        case 7:
            return {{"lighting", "speed", QString::number(Pick(26))}, {}};
        default:
            return {{"restore", backup_}, {}};
        }
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    QString Letter() { return QString(QChar('A' + Pick(26))); }
    static QString MacroName(int number) { return QString("m%1").arg(number); }
    QString RecentMacro() {
        return held_.isEmpty() ? MacroName(macros_) : held_[Pick(static_cast<int>(held_.size()))];
    }

    std::mt19937 random_{27};
    QString backup_;
    int macros_ = 0;
    QStringList held_;
};

class ParallelCommands : public EmulatedKeyboardTest {
protected:
    std::filesystem::path Documents() const {
        return folder_.filePath("home/Documents").toStdString();
    }
    QString Store() const {
        return folder_.filePath("home/Documents/VOLTRI VX60 Driver/$Profile0");
    }

    void KeepDocuments(const QString& name) {
        const std::filesystem::path kept = File(name).toStdString();
        std::filesystem::remove_all(kept);
        std::filesystem::copy(Documents(), kept, std::filesystem::copy_options::recursive);
    }
    void PutBackDocuments(const QString& name) {
        std::filesystem::remove_all(Documents());
        std::filesystem::copy(File(name).toStdString(), Documents(),
                              std::filesystem::copy_options::recursive);
    }

    // The keyboard's memory and the store file from the state saved as `name`.
    void PutBack(const QString& name) {
        Ctl({"load", File(name + ".state")});
        PutBackDocuments(name + ".documents");
    }

    // Also saved as `name` (.state and .documents) to go on from.
    Ending EndingWith(std::vector<int> statuses, const QString& name = "ending") {
        Ctl({"save", File(name + ".state")});
        KeepDocuments(name + ".documents");
        QFile memory(File(name + ".state"));
        QFile store(Store());
        EXPECT_TRUE(memory.open(QIODevice::ReadOnly));
        store.open(QIODevice::ReadOnly);
        return {std::move(statuses), memory.readAll(), store.readAll()};
    }

    QStringList MacrosOnTheKeyboard() {
        QStringList names;
        const QJsonArray macros = QJsonDocument::fromJson(Do({"--json", "macro", "list"})).array();
        for (const QJsonValue& macro : macros)
            names << macro.toObject()["name"].toString();
        return names;
    }

    Ending OneAfterTheOther(const Command& first, const Command& second) {
        PutBack("before");
        std::vector<int> statuses;
        for (const Command* command : {&first, &second})
            statuses.push_back(Tavrikctl(command->args, command->input).exitCode);
        return EndingWith(std::move(statuses));
    }

    struct Together {
        std::vector<int> statuses;
        std::vector<QByteArray> errors;
        std::vector<qint64> milliseconds;
    };

    Together AtTheSameMoment(const std::vector<Command>& commands) {
        std::vector<std::unique_ptr<QProcess>> processes;
        std::vector<QElapsedTimer> clocks(commands.size());
        for (size_t i = 0; i < commands.size(); ++i) {
            auto& process = processes.emplace_back(std::make_unique<QProcess>());
            process->setProcessEnvironment(environment_);
            clocks[i].start();
            process->start(TAVRIKCTL_PATH,
                           QStringList{"--device", "emu:" + socket_} + commands[i].args);
        }
        for (size_t i = 0; i < processes.size(); ++i) {
            EXPECT_TRUE(processes[i]->waitForStarted());
            processes[i]->write(commands[i].input);
            processes[i]->closeWriteChannel();
        }
        Together together;
        for (size_t i = 0; i < processes.size(); ++i) {
            QProcess& process = *processes[i];
            process.waitForFinished(-1);
            together.milliseconds.push_back(clocks[i].elapsed());
            together.statuses.push_back(
                process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1);
            together.errors.push_back(process.readAllStandardError());
        }
        return together;
    }
};

TEST_F(ParallelCommands, PairsTakeTurnsAndEndAsOneOrderWould) {
    Do({"remap", "Q", "key:W"});
    Do({"macro", "add", "m0"});
    Do({"backup", File("backup.tvk")});
    CommandDraw draw(File("backup.tvk"));

    int successes = 0, waited = 0;
    qint64 longest = 0;
    for (int pair = 0; pair < kPairs; ++pair) {
        draw.SetMacros(MacrosOnTheKeyboard());
        const Command first = draw.Next();
        const Command second = draw.Next();
        SCOPED_TRACE("pair " + std::to_string(pair) + ": " + first.Name() + " | " + second.Name());
        Ctl({"save", File("before.state")});
        KeepDocuments("before.documents");

        const Together together = AtTheSameMoment({first, second});
        const Ending ending = EndingWith(together.statuses, "together");

        const Ending firstThenSecond = OneAfterTheOther(first, second);
        const Ending secondThenFirst = OneAfterTheOther(second, first);
        std::vector<int> reversed = secondThenFirst.statuses;
        std::reverse(reversed.begin(), reversed.end());
        const Ending secondThenFirstByCommand{reversed, secondThenFirst.memory,
                                              secondThenFirst.store};
        EXPECT_TRUE(ending == firstThenSecond || ending == secondThenFirstByCommand)
            << "statuses " << together.statuses[0] << " " << together.statuses[1]
            << "; one after the other " << firstThenSecond.statuses[0] << " "
            << firstThenSecond.statuses[1] << ", the other way " << reversed[0] << " "
            << reversed[1] << "; memory as one order: "
            << (ending.memory == firstThenSecond.memory || ending.memory == secondThenFirst.memory)
            << ", store as one order: "
            << (ending.store == firstThenSecond.store || ending.store == secondThenFirst.store)
            << "\n"
            << Text(together.errors[0]) << Text(together.errors[1]);

        for (size_t i = 0; i < 2; ++i) {
            successes += together.statuses[i] == 0 ? 1 : 0;
            waited += together.errors[i].contains("waiting up to") ? 1 : 0;
            longest = std::max(longest, together.milliseconds[i]);
        }
        PutBack("together"); // the next pair goes on from what the pair itself left
        if (HasFailure())
            break;
    }
    std::cout << kPairs << " pairs, " << 2 * kPairs << " commands: " << successes << " succeeded, "
              << waited << " said they waited over a second; the longest took " << longest
              << " ms\n";
    RecordProperty("successes", successes);
    RecordProperty("longest_ms", static_cast<int>(longest));
}

// Another program keeps the keyboard (here util-linux's flock on the turn's lock file): a command
// says after a second that it waits and for whom, and gives up when --wait runs out, having sent
// nothing.
TEST_F(ParallelCommands, ACommandThatDoesNotGetItsTurnSaysWhoHasTheKeyboard) {
    const std::vector<uint8_t> before = Dump("keymap0");
    QProcess holder;
    // flock holds the lock until its shell ends, which is when its standard input closes.
    holder.start("flock", {socket_ + ".lock", "-c", "echo held; read line"});
    ASSERT_TRUE(holder.waitForReadyRead(10000)) << "flock did not take the lock";
    const Finished refused = Tavrikctl({"--wait", "2", "remap", "Q", "key:W"});
    const std::string who = "flock (pid " + std::to_string(holder.processId()) + ")";
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished());

    EXPECT_EQ(refused.exitCode, 1);
    const std::string said = Text(refused.err);
    EXPECT_NE(said.find("waiting up to 2 s for the keyboard: it is in use by " + who),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("still in use by " + who + " after 2 s"), std::string::npos) << said;
    EXPECT_NE(said.find("nothing was sent"), std::string::npos) << said;
    EXPECT_EQ(Dump("keymap0"), before);
    EXPECT_EQ(Tavrikctl({"--wait", "2", "remap", "Q", "key:W"}).exitCode, 0);
}

// A command waiting for its standard input (someone typing the actions) has not taken the
// keyboard yet: other programs go on meanwhile.
TEST_F(ParallelCommands, ACommandWaitingForItsInputLeavesTheKeyboardFree) {
    Do({"macro", "add", "typed"});
    QProcess waiting;
    waiting.setProcessEnvironment(environment_);
    waiting.start(TAVRIKCTL_PATH, {"--device", "emu:" + socket_, "macro", "actions", "typed", "-"});
    ASSERT_TRUE(waiting.waitForStarted());
    const Finished other = Tavrikctl({"--wait", "0", "remap", "Q", "key:W"});
    EXPECT_EQ(other.exitCode, 0) << Text(other.err);
    waiting.write("A down 10\nA up 10\n");
    waiting.closeWriteChannel();
    ASSERT_TRUE(waiting.waitForFinished(-1));
    EXPECT_EQ(waiting.exitCode(), 0) << Text(waiting.readAllStandardError());
    EXPECT_NE(Do({"macro", "show", "typed"}).indexOf("A down 10"), -1);
}

} // namespace
