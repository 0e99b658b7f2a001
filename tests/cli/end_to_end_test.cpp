// The real programs end to end: tavrikctl against a keyboard served by tavrik-emu
// (cli/emulated_keyboard_test.h).
#include <QFileInfo>
#include <QJsonArray>

#include "cli/emulated_keyboard_test.h"
#include "support/odd_files.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace tavrik::testing_support;

class CliEndToEnd : public EmulatedKeyboardTest {};

constexpr int kQPosition = 18;
constexpr int kF1Position = 16;
constexpr uint16_t kKeyboardPage = 0x07;

TEST_F(CliEndToEnd, BackupAndRestoreGiveAFreshKeyboardTheSameMemory) {
    WriteFile("m.txt", "Shift down 10\nA down 20\nA up 0\nShift up 0\n");
    Do({"remap", "Q", "key:W"});
    Do({"remap", "--profile", "1", "A", "media:mute"});
    Do({"remap", "--profile", "2", "F1", "fn:copy"});
    Do({"macro", "add", "Shouted A"});
    Do({"macro", "actions", "Shouted A", File("m.txt")});
    Do({"remap", "--profile", "2", "Z", "macro:Shouted A:3"});
    const QStringList areas{"keymap0", "keymap1", "keymap2", "macro"};
    std::vector<std::vector<uint8_t>> configured;
    for (const QString& area : areas)
        configured.push_back(Dump(area));
    Do({"backup", File("all.tvk")});

    StopKeyboard();
    StartKeyboard();
    ASSERT_NE(Dump("keymap0"), configured[0]); // a fresh keyboard indeed
    Do({"restore", File("all.tvk")});
    for (int i = 0; i < areas.size(); ++i)
        EXPECT_EQ(Dump(areas[i]), configured[static_cast<size_t>(i)]) << areas[i].toStdString();
}

TEST_F(CliEndToEnd, DoctorReadsEveryKindOfMemoryAndWritesNothing) {
    const QStringList areas = {"settings", "keymap0",  "keymap1", "keymap2",
                               "macro",    "lighting", "colours"};
    std::vector<std::vector<uint8_t>> before;
    for (const QString& area : areas)
        before.push_back(Dump(area));

    const QJsonObject healthy = JsonObjectOf({"doctor"});
    EXPECT_TRUE(healthy["ok"].toBool());
    EXPECT_EQ(healthy["keyboards"].toInt(), 1);
    const QJsonArray steps = healthy["selfTest"].toArray();
    ASSERT_EQ(steps.size(), 7);
    for (const QJsonValue& step : steps)
        EXPECT_EQ(step["result"].toString(), "done") << step["exchange"].toString().toStdString();
    for (qsizetype i = 0; i < areas.size(); ++i)
        EXPECT_EQ(Dump(areas[i]), before[static_cast<size_t>(i)]) << areas[i].toStdString();

    // A keyboard that refuses every frame from now on: each read is named with its result.
    Ctl({"fault", "refuse-ff", "500"});
    const Finished refused = Tavrikctl({"doctor"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(Text(refused.out).find("  key map of hardware profile 2   refused by the keyboard"),
              std::string::npos)
        << Text(refused.out);
    EXPECT_NE(Text(refused.out).find("result: the program cannot configure the keyboard"),
              std::string::npos);
    Ctl({"fault", "none"});

    Ctl({"unplug"});
    const Finished unplugged = Tavrikctl({"doctor"});
    EXPECT_EQ(unplugged.exitCode, 1);
    EXPECT_NE(Text(unplugged.out).find("self-test: skipped, no keyboard can be reached"),
              std::string::npos);
}

TEST_F(CliEndToEnd, AfterRemappingQToWTheKeyboardTypesW) {
    Do({"remap", "Q", "key:W"});
    const std::vector<Typed> typed = TypedAfterTap(kQPosition);
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[0].page, kKeyboardPage);
    EXPECT_EQ(typed[0].usage, 0x1A); // W
    EXPECT_TRUE(typed[0].down);
    EXPECT_EQ(typed[1].usage, 0x1A);
    EXPECT_FALSE(typed[1].down);
}

TEST_F(CliEndToEnd, AMacroImportedFromTheTextFormatTypesItsActions) {
    WriteFile("hi.txt", "# Hi\nShift down 10\nH down 10\nH up 10\nShift up 0\nI down 20\n"
                        "I up 0\n");
    Do({"macro", "add", "Greeting"});
    Do({"macro", "actions", "Greeting", File("hi.txt")});
    Do({"remap", "F1", "macro:Greeting"});
    const std::vector<Typed> typed = TypedAfterTap(kF1Position);
    struct Expected {
        uint16_t usage;
        bool down;
        uint64_t after;
    };
    const std::vector<Expected> expected{{0xE1, true, 0},   {0x0B, true, 10}, {0x0B, false, 20},
                                         {0xE1, false, 30}, {0x0C, true, 30}, {0x0C, false, 50}};
    ASSERT_EQ(typed.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(typed[i].page, kKeyboardPage) << i;
        EXPECT_EQ(typed[i].usage, expected[i].usage) << i;
        EXPECT_EQ(typed[i].down, expected[i].down) << i;
        EXPECT_EQ(typed[i].ms - typed[0].ms, expected[i].after) << i;
    }
    // Exported, imported again through standard input, exported: the same text.
    const QByteArray shown = Do({"macro", "show", "Greeting"});
    Do({"macro", "actions", "Greeting", "-"}, shown);
    EXPECT_EQ(Do({"macro", "show", "Greeting"}), shown);
}

TEST_F(CliEndToEnd, LightingCommandsLeaveTheirBytes) {
    struct Case {
        QStringList args;
        size_t offset;
        uint8_t value;
    };
    const std::vector<Case> cases{
        {{"effect", "3"}, 0, 3},
        {{"brightness", "7"}, 1, 7},
        {{"speed", "20"}, 2, 5},
        {{"speed", "0"}, 2, 25},
        {{"direction", "right"}, 4, 1},
        {{"option", "5", "1"}, 5, 1},
        {{"option", "trigger-area", "1"}, 7, 1},
        {{"option", "8", "1"}, 8, 1},
        {{"option", "breathing", "1"}, 9, 1},
        {{"option", "breathing", "0"}, 9, 0},
    };
    for (const Case& c : cases) {
        Do(QStringList{"lighting"} + c.args);
        EXPECT_EQ(Dump("lighting").at(c.offset), c.value) << c.args.join(' ').toStdString();
    }
    Do({"lighting", "reset"});
    const std::vector<uint8_t> reset = Dump("lighting");
    EXPECT_EQ(std::vector<uint8_t>(reset.begin(), reset.begin() + 3),
              (std::vector<uint8_t>{9, 20, 5}));

    Do({"lighting", "all", "off"});
    Do({"lighting", "key", "Q", "on"});
    std::vector<uint8_t> colours(480, 0);
    colours[kQPosition * 3] = colours[kQPosition * 3 + 1] = colours[kQPosition * 3 + 2] = 1;
    EXPECT_EQ(Dump("colours"), colours);
    Do({"lighting", "all", "on"});
    EXPECT_EQ(Dump("colours"), std::vector<uint8_t>(480, 0xFF));
}

TEST_F(CliEndToEnd, JsonOutputCarriesWhatScriptsNeed) {
    const QJsonObject info = JsonObjectOf({"info"});
    EXPECT_EQ(info["attached"].toInt(), 1);
    EXPECT_EQ(info["activeProfile"].toInt(), 0);
    EXPECT_EQ(info["macroCapacity"].toInt(), 4096);
    EXPECT_EQ(info["effects"].toArray().size(), 10);
    EXPECT_EQ(info["lighting"].toObject()["effect"].toInt(), 9);
    EXPECT_EQ(info["lighting"].toObject()["brightness"].toInt(), 20);

    Do({"macro", "add", "宏 one"});
    Do({"remap", "--profile", "1", "Q", "key:W"});
    const QJsonObject dump = JsonObjectOf({"dump", "--keyboard"});
    const QJsonArray keys = dump["keys"].toArray();
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(keys[0].toObject()["layer"].toInt(), 1);
    EXPECT_EQ(keys[0].toObject()["key"].toString(), "Q");
    EXPECT_EQ(keys[0].toObject()["type"].toString(), "SingleKey");
    EXPECT_EQ(keys[0].toObject()["value"].toInt(), 0x11);
    EXPECT_EQ(dump["macros"].toArray()[0].toObject()["name"].toString(), QString("宏 one"));
    EXPECT_EQ(dump["header"].toObject()["macroCount"].toInt(), 1);

    Do({"profile", "2"});
    EXPECT_EQ(JsonObjectOf({"profile"})["activeProfile"].toInt(), 2);
}

TEST_F(CliEndToEnd, AMalformedFileIsRefusedWithTheFormatMessage) {
    Do({"backup", File("good.tvk")});
    QFile good(File("good.tvk"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QByteArray bytes = good.readAll();
    bytes[31] = static_cast<char>(bytes[31] + 1); // the header's checksum
    WriteFile("bad.tvk", bytes);
    Do({"remap", "Q", "key:W"});
    const std::vector<uint8_t> before = Dump("keymap0");

    // Said once, in English: the file and what is wrong with it.
    const std::string malformed = "tavrikctl: " + File("bad.tvk").toStdString() +
                                  " is not a valid profile file: its header is malformed\n";
    for (const char* command : {"validate", "restore", "dump"}) {
        const Finished refused = Tavrikctl({command, File("bad.tvk")});
        EXPECT_EQ(refused.exitCode, 3) << command;
        EXPECT_EQ(Text(refused.err), malformed) << command;
    }
    EXPECT_EQ(Dump("keymap0"), before);

    WriteFile("short.tvk", bytes.left(100));
    EXPECT_EQ(Tavrikctl({"validate", File("short.tvk")}).exitCode, 3);
    EXPECT_EQ(Tavrikctl({"dump", File("bad.tvk")}).exitCode, 3);
    EXPECT_EQ(Tavrikctl({"validate", File("missing.tvk")}).exitCode, 3);
    EXPECT_EQ(Tavrikctl({"validate", File("good.tvk")}).exitCode, 0);

    Do({"macro", "add", "M"});
    WriteFile("actions.txt", "A down 10\nA sideways 10\n");
    const Finished actions = Tavrikctl({"macro", "actions", "M", File("actions.txt")});
    EXPECT_EQ(actions.exitCode, 3);
    EXPECT_NE(Text(actions.err).find("actions.txt:2: the direction must be down or up"),
              std::string::npos)
        << Text(actions.err);
}

// Every command that reads a file judges it first: a folder, a pipe nobody writes to, a link to
// /dev/zero, a file larger than any profile, action list or state file, a name inside a plain file
// (and a file nobody may read, when not run as root) are refused at once with their reason, by
// tavrikctl (exit status 3) and by tavrik-emu loading a state (exit status 1).
TEST_F(CliEndToEnd, FilesThatCannotBeReadAreRefusedAtOnceWithTheirReason) {
    Do({"macro", "add", "M"});
    const std::vector<uint8_t> keyMap = Dump("keymap0");
    const std::vector<uint8_t> macros = Dump("macro");
    const std::filesystem::path folder = File("odd").toStdString();
    std::filesystem::create_directory(folder);
    const struct {
        QString program;
        QStringList arguments; // the file follows
        int exitCode;
    } commands[] = {
        {TAVRIKCTL_PATH, {"--device", "emu:" + socket_, "validate"}, 3},
        {TAVRIKCTL_PATH, {"--device", "emu:" + socket_, "dump"}, 3},
        {TAVRIKCTL_PATH, {"--device", "emu:" + socket_, "restore"}, 3},
        {TAVRIKCTL_PATH, {"--device", "emu:" + socket_, "macro", "actions", "M"}, 3},
        {TAVRIK_EMU_PATH, {"ctl", socket_, "load"}, 1},
        {TAVRIK_EMU_PATH, {"serve", File("second.sock"), "--state"}, 1},
    };
    for (const tavrik::test::OddFile& odd : tavrik::test::MakeOddFiles(folder, 64 << 20)) {
        for (const auto& command : commands) {
            SCOPED_TRACE(std::string(odd.what) + ", " + command.arguments.join(' ').toStdString());
            const Finished refused = RunProgram(
                command.program,
                command.arguments + QStringList{QString::fromStdString(odd.path.string())});
            EXPECT_EQ(refused.exitCode, command.exitCode);
            EXPECT_NE(Text(refused.err).find(odd.path.string()), std::string::npos);
            EXPECT_NE(Text(refused.err).find(odd.reason), std::string::npos) << Text(refused.err);
        }
    }
    EXPECT_EQ(Dump("keymap0"), keyMap);
    EXPECT_EQ(Dump("macro"), macros);
}

// A file name is bytes: a backup to a name that is no valid UTF-8 lands under that very name
// (the shell makes the name, since a QString cannot carry such bytes) and restores from it.
TEST_F(CliEndToEnd, ABackupTakesItsFileNameByteForByte) {
    const std::filesystem::path folder = File("names").toStdString();
    std::filesystem::create_directory(folder);
    // The name's last part is "caf", then the bytes E9 and FF, then ".tvk".
    const QString script =
        QStringLiteral(R"sh(exec "$0" --device "emu:$1" "$3" "$2/$(printf 'caf\351\377.tvk')")sh");
    for (const char* command : {"backup", "restore"}) {
        const Finished done =
            RunProgram("/bin/sh", {"-c", script, TAVRIKCTL_PATH, socket_,
                                   QString::fromStdString(folder.string()), command});
        EXPECT_EQ(done.exitCode, 0) << command << ": " << Text(done.err);
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().native());
    EXPECT_EQ(names, std::vector<std::string>{"caf\xE9\xFF.tvk"});
}

// A file is judged whole before anything is written: a profile whose macros the keyboard's macro
// memory cannot hold leaves the keyboard, the store file and the next commands as they were, and a
// file that is no profile file sends no frame at all.
TEST_F(CliEndToEnd, ARefusedRestoreLeavesEverythingAsItWas) {
    WriteFile("long.txt", QByteArray("A down 10\nA up 10\n").repeated(40));
    for (int i = 0; i < 4; ++i) {
        Do({"macro", "add", QString("long %1").arg(i)});
        Do({"macro", "actions", QString("long %1").arg(i), File("long.txt")});
    }
    Do({"backup", File("long.tvk")});
    StopKeyboard();
    StartKeyboard({"--capacity-units", "2"}); // 256 bytes: room for one such macro, not four
    Do({"remap", "Q", "key:W"});
    const QString store = File("home/Documents/VOLTRI VX60 Driver/$Profile0");
    const QString pending = store + ".pending";
    const auto storeBytes = [&store] {
        QFile file(store);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray storeBefore = storeBytes();
    const std::vector<uint8_t> keyMapBefore = Dump("keymap0");
    const std::vector<uint8_t> macrosBefore = Dump("macro");

    const Finished restored = Tavrikctl({"restore", File("long.tvk")});
    EXPECT_EQ(restored.exitCode, 3) << Text(restored.err);
    EXPECT_NE(Text(restored.err).find("do not fit the keyboard's macro memory"), std::string::npos)
        << Text(restored.err);
    EXPECT_EQ(storeBytes(), storeBefore);
    EXPECT_FALSE(QFile::exists(pending));
    EXPECT_EQ(Dump("keymap0"), keyMapBefore);
    EXPECT_EQ(Dump("macro"), macrosBefore);
    const QJsonObject info = JsonObjectOf({"info"});
    EXPECT_FALSE(info["downloadPending"].toBool());
    EXPECT_EQ(info["macroUse"].toObject()["macros"].toInt(), 0);
    Do({"remap", "A", "key:B"}); // the next command is not held up by it

    WriteFile("garbage.tvk", QByteArray(40000, 'x'));
    const QByteArray framesBefore = Ctl({"frames"});
    EXPECT_EQ(Tavrikctl({"restore", File("garbage.tvk")}).exitCode, 3);
    WriteFile("garbage.txt", "tavrik-profile-text 1\nlayer 9 nonsense\n");
    EXPECT_EQ(Tavrikctl({"import", File("garbage.txt")}).exitCode, 3);
    EXPECT_EQ(Ctl({"frames"}), framesBefore);
}

TEST_F(CliEndToEnd, WatchPrintsOneLinePerEventAndStopsAfterTheCount) {
    QProcess watch;
    watch.setProcessEnvironment(environment_);
    watch.start(TAVRIKCTL_PATH, {"--device", "emu:" + socket_, "--json", "watch", "--count", "2"});
    ASSERT_TRUE(watch.waitForStarted());
    // Events sent before the watch has started are not seen: keep switching the bank until two
    // have been printed.
    while (watch.state() != QProcess::NotRunning && !watch.waitForFinished(50))
        Ctl({"bank"});
    EXPECT_EQ(watch.exitCode(), 0) << Text(watch.readAllStandardError());
    const QList<QByteArray> lines = watch.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    for (const QByteArray& line : lines) {
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        EXPECT_EQ(event["event"].toString(), "bank");
        EXPECT_TRUE(event["bank"].toString() == "A" || event["bank"].toString() == "B");
    }
}

TEST_F(CliEndToEnd, WithoutAKeyboardCommandsFailAsDeviceErrors) {
    Ctl({"unplug"});
    const Finished info = Tavrikctl({"info"});
    EXPECT_EQ(info.exitCode, 1);
    EXPECT_NE(Text(info.err).find("no keyboard attached"), std::string::npos);
    // Once, with what to do about it.
    EXPECT_EQ(Text(info.err).find("no keyboard"), Text(info.err).rfind("no keyboard"));
    EXPECT_NE(Text(info.err).find("tavrikctl watch"), std::string::npos);
    EXPECT_NE(Text(info.err).find("--device demo"), std::string::npos);
    EXPECT_TRUE(info.out.isEmpty()) << Text(info.out);
    EXPECT_EQ(Tavrikctl({"remap", "Q", "key:W"}).exitCode, 1);
    const Finished nowhere =
        RunProgram(TAVRIKCTL_PATH, {"--device", "emu:" + File("none"), "info"});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_FALSE(nowhere.err.isEmpty());
}

// Bash completion, as the build tree holds it beside bin/, completes with the names the tavrikctl
// just built accepts, in any case, quoted for the shell; readline replaces only what follows the
// colon of key:NAME.
TEST_F(CliEndToEnd, ShellCompletionOffersTheNamesTavrikctlAccepts) {
    const QString script =
        QFileInfo(TAVRIKCTL_PATH).dir().filePath("../share/bash-completion/completions/tavrikctl");
    ASSERT_TRUE(QFile::exists(script)) << script.toStdString();
    const QString complete = QStringLiteral(
        R"sh(source "$1"; COMP_LINE=$2; COMP_POINT=${#COMP_LINE}
COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'; _tavrikctl; printf '%s\n' "${COMPREPLY[@]}")sh");
    const QString program = QString(TAVRIKCTL_PATH).replace(" ", "\\ ");
    const std::vector<std::pair<QString, QStringList>> cases{
        {"rem", {"remap"}},
        {"remap PgU", {"PgUp"}},
        {"remap prts", {"PrtSc", "PrtScn"}},
        {"remap Q key:Left\\ C", {"Left\\ Ctrl", "Left\\ Control"}},
        {"remap --profile 1 Q media:vol", {"Volume\\ Down", "Volume\\ Up"}},
        {"remap Q fn:zoom", {"Zoom\\ Out", "Zoom\\ In"}},
        {"lighting effect stat", {"static"}},
        {"lighting key num\\ lo", {"Num\\ Lock"}},
        {"lighting all o", {"on", "off"}},
        {"names e", {"effects"}},
        {"macro r", {"rm", "rename"}},
    };
    for (const auto& [typed, offered] : cases) {
        const Finished done =
            RunProgram("/bin/bash", {"-c", complete, "bash", script, program + " " + typed});
        EXPECT_EQ(done.exitCode, 0) << Text(done.err);
        const QStringList lines = QString::fromUtf8(done.out).split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines, offered) << typed.toStdString() << ": " << Text(done.out);
    }
}

TEST_F(CliEndToEnd, TheStoreFileMirrorsTheKeyboardInTheTemporaryHome) {
    Do({"remap", "Q", "key:W"});
    const QString store = folder_.filePath("home/Documents/VOLTRI VX60 Driver/$Profile0");
    ASSERT_TRUE(QFile::exists(store));
    const Finished dumped = RunProgram(TAVRIKCTL_PATH, {"--json", "dump", store});
    EXPECT_EQ(dumped.exitCode, 0) << Text(dumped.err);
    const QJsonArray keys = QJsonDocument::fromJson(dumped.out).object()["keys"].toArray();
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(keys[0].toObject()["description"].toString(), QString("Q按键，设定为: 单键(W)"));
}

// The demo keyboard is a factory keyboard in every run: mirroring it must not replace what the
// user's own keyboard left in the store file.
TEST_F(CliEndToEnd, TheDemoKeyboardLeavesTheUsersStoreFileAlone) {
    Do({"remap", "Q", "key:W"});
    const QString store = folder_.filePath("home/Documents/VOLTRI VX60 Driver/$Profile0");
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const Finished demo = RunProgram(TAVRIKCTL_PATH, {"--device", "demo", "remap", "A", "key:B"});
    EXPECT_EQ(demo.exitCode, 0) << Text(demo.err);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

} // namespace
