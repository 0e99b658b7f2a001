// Every tavrikctl command that writes the key maps, the macro memory or the key colours reads back
// what it wrote. The keyboard served by tavrik-emu acknowledges a write and stores one byte of it
// inverted (its flip faults), at a byte the command changes: the command fails with the part and
// the bytes that differ; with --no-verify it succeeds and the inverted byte stays on the keyboard;
// run again on a keyboard that stores what it is sent, it leaves what was asked for.
#include <QRegularExpression>

#include "cli/emulated_keyboard_test.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tavrik::testing_support;

// A memory area of the keyboard that is read back after writing.
struct Area {
    QString dump;          // tavrik-emu's name of it for dump
    QString fault;         // the fault that stores one of its bytes inverted
    uint16_t baseAddress;  // the device address of the dump's first byte
    std::string writeName; // how tavrikctl names a frame written to it
};

const Area kKeyMap0{"keymap0", "flip-keymap", 0, "writing the key map of hardware profile 0"};
const Area kKeyMap1{"keymap1", "flip-keymap", 512, "writing the key map of hardware profile 1"};
const Area kKeyMap2{"keymap2", "flip-keymap", 1024, "writing the key map of hardware profile 2"};
const Area kMacros{"macro", "flip-macro", 0, "writing the macro memory"};
const Area kColours{"colours", "flip-colours", 0, "writing the key colours"};
const Area kAreas[] = {kKeyMap0, kKeyMap1, kKeyMap2, kMacros, kColours};

constexpr size_t kFrameDataSize = 56;

using Memory = std::map<QString, std::vector<uint8_t>>;

struct WritingCommand {
    const char* name;
    std::vector<QStringList> setUp; // run first, on a keyboard that stores faithfully
    QStringList command;
    QByteArray input; // standard input
    Area area;        // where the command changes a byte that the fault then inverts
    // What finishes the job after the command failed: the command itself unless it cannot be
    // repeated (the macro it adds, renames or removes is already so in the store file).
    QStringList again = {};
};

std::optional<size_t> FirstDifference(const std::vector<uint8_t>& a,
                                      const std::vector<uint8_t>& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i])
            return i;
    }
    return std::nullopt;
}

// The message names the frame of `area` holding byte `offset` (an offset of the dump, which for a
// key map is its place in the profile's key map) and says its bytes read back otherwise.
void ExpectNamesTheDifferingFrame(const QByteArray& message, const Area& area, size_t offset) {
    const QRegularExpression named(
        QRegularExpression::escape(QString::fromStdString(area.writeName)) +
        R"( \(bytes (\d+)\.\.(\d+)\): the bytes read back differ from those written)");
    const QRegularExpressionMatch match = named.match(QString::fromUtf8(message));
    ASSERT_TRUE(match.hasMatch()) << Text(message);
    const size_t first = match.captured(1).toULong();
    const size_t last = match.captured(2).toULong();
    EXPECT_LE(first, offset) << Text(message);
    EXPECT_GE(last, offset) << Text(message);
    EXPECT_LT(last - first, kFrameDataSize) << "one frame, not the whole write: " << Text(message);
}

class WrittenBytesEndToEnd : public EmulatedKeyboardTest {
protected:
    // A keyboard fresh from the factory, and a home without a store file.
    void StartAfresh() {
        StopKeyboard();
        const QString home = QString("home%1").arg(keyboards_ + 1);
        QDir(folder_.path()).mkpath(home);
        environment_.insert("HOME", folder_.filePath(home));
        StartKeyboard();
    }

    void SetUpFor(const WritingCommand& c) {
        StartAfresh();
        for (const QStringList& step : c.setUp)
            Do(step);
    }

    Memory Read() {
        Memory memory;
        for (const Area& area : kAreas)
            memory[area.dump] = Dump(area.dump);
        return memory;
    }

    void StoreInvertedAt(const Area& area, size_t offset) {
        Ctl({"fault", area.fault, QString::number(area.baseAddress + offset)});
    }
};

TEST_F(WrittenBytesEndToEnd, AByteStoredOtherwiseFailsTheCommandUnlessNotVerified) {
    // A profile file and a text with a remapped key in hardware profile 1 and a macro, for
    // restore and import.
    Do({"remap", "--profile", "1", "A", "media:mute"});
    Do({"macro", "add", "Saved"});
    Do({"backup", File("saved.tvk")});
    Do({"export", "--text", File("saved.txt")});
    const QByteArray actions = "Shift down 10\nA down 20\nA up 0\nShift up 0\n";
    // Changes nothing, so it writes only what an unfinished download left to write.
    const QStringList finish{"remap", "Q", "default"};

    const std::vector<WritingCommand> cases{
        {"remap in the active profile", {}, {"remap", "Q", "key:W"}, {}, kKeyMap0},
        {"remap in another profile",
         {},
         {"remap", "--profile", "2", "F1", "fn:copy"},
         {},
         kKeyMap2},
        {"remap to a macro with its loop count",
         {{"macro", "add", "M"}},
         {"remap", "Z", "macro:M:3"},
         {},
         kMacros},
        {"macro add", {}, {"macro", "add", "Greeting"}, {}, kMacros, finish},
        {"macro actions",
         {{"macro", "add", "M"}},
         {"macro", "actions", "M", "-"},
         actions,
         kMacros},
        {"macro rename",
         {{"macro", "add", "M"}},
         {"macro", "rename", "M", "N"},
         {},
         kMacros,
         finish},
        {"macro loop", {{"macro", "add", "M"}}, {"macro", "loop", "M", "7"}, {}, kMacros},
        {"macro rm", {{"macro", "add", "M"}}, {"macro", "rm", "M"}, {}, kMacros, finish},
        {"macro rm of a macro a key plays",
         {{"macro", "add", "M"}, {"remap", "Q", "macro:M"}},
         {"macro", "rm", "--force", "M"},
         {},
         kKeyMap0,
         finish},
        {"restore, key map", {}, {"restore", File("saved.tvk")}, {}, kKeyMap1},
        {"restore, macros", {}, {"restore", File("saved.tvk")}, {}, kMacros},
        {"import of a profile file", {}, {"import", File("saved.tvk")}, {}, kKeyMap1},
        {"import of a text, key map", {}, {"import", File("saved.txt")}, {}, kKeyMap1},
        {"import of a text, macros", {}, {"import", File("saved.txt")}, {}, kMacros},
        {"lighting key",
         {{"lighting", "all", "on"}},
         {"lighting", "key", "Q", "off"},
         {},
         kColours},
        {"lighting all", {{"lighting", "all", "on"}}, {"lighting", "all", "off"}, {}, kColours},
        {"lighting reset", {{"lighting", "all", "off"}}, {"lighting", "reset"}, {}, kColours},
    };
    for (const WritingCommand& c : cases) {
        SCOPED_TRACE(c.name);
        // What the command asks for, on a keyboard that stores faithfully.
        SetUpFor(c);
        const Memory before = Read();
        Do(c.command, c.input);
        const Memory asked = Read();
        const std::optional<size_t> changed =
            FirstDifference(before.at(c.area.dump), asked.at(c.area.dump));
        ASSERT_TRUE(changed) << "the command changes nothing in " << c.area.dump.toStdString();
        std::vector<uint8_t> inverted = asked.at(c.area.dump);
        inverted[*changed] ^= 0xFF;

        SetUpFor(c);
        StoreInvertedAt(c.area, *changed);
        const Finished failed = Tavrikctl(c.command, c.input);
        EXPECT_EQ(failed.exitCode, 1) << Text(failed.err);
        ExpectNamesTheDifferingFrame(failed.err, c.area, *changed);
        EXPECT_EQ(Dump(c.area.dump).at(*changed), inverted[*changed]); // the fault did strike
        // Nothing of the failed run is trusted: run again, everything asked for is stored.
        Ctl({"fault", "none"});
        if (c.again.isEmpty())
            Do(c.command, c.input);
        else
            Do(c.again);
        EXPECT_EQ(Read(), asked);

        SetUpFor(c);
        StoreInvertedAt(c.area, *changed);
        const Finished unverified = Tavrikctl(QStringList{"--no-verify"} + c.command, c.input);
        EXPECT_EQ(unverified.exitCode, 0) << Text(unverified.err);
        EXPECT_EQ(Dump(c.area.dump), inverted);
    }
}

// A failed download leaves the store file's configuration standing in for the keyboard's: a
// command that only reads says so without claiming to write anything, and the next remap writes
// it all.
TEST_F(WrittenBytesEndToEnd, AfterAFailedDownloadReadingCommandsSayWhereTheirConfigurationIsFrom) {
    constexpr int kUsageOfQ = 18 * 3 + 2; // in the key map of hardware profile 0
    constexpr uint8_t kUsageW = 0x1A;
    Ctl({"fault", "flip-keymap", QString::number(kUsageOfQ)});
    EXPECT_EQ(Tavrikctl({"remap", "Q", "key:W"}).exitCode, 1);
    Ctl({"fault", "none"});

    // Every command that reads says so, the same way, in text and JSON.
    for (const QStringList& reading :
         {QStringList{"dump", "--keyboard"}, QStringList{"info"}, QStringList{"--json", "info"},
          QStringList{"macro", "list"}, QStringList{"--json", "macro", "list"},
          QStringList{"export", "--text", File("pending.txt")}}) {
        SCOPED_TRACE(reading.join(' ').toStdString());
        const Finished read = Tavrikctl(reading);
        EXPECT_EQ(read.exitCode, 0) << Text(read.err);
        EXPECT_NE(Text(read.err).find("the last download to the keyboard did not complete; the "
                                      "configuration kept in "),
                  std::string::npos)
            << Text(read.err);
        EXPECT_NE(Text(read.err).find("is used in place of the keyboard's"), std::string::npos);
        EXPECT_EQ(Text(read.err).find("this command writes"), std::string::npos);
    }
    EXPECT_TRUE(JsonObjectOf({"info"})["downloadPending"].toBool());
    EXPECT_EQ(Dump("keymap0").at(kUsageOfQ), static_cast<uint8_t>(~kUsageW));

    Do({"remap", "A", "key:B"});
    EXPECT_EQ(Dump("keymap0").at(kUsageOfQ), kUsageW);
    EXPECT_FALSE(JsonObjectOf({"info"})["downloadPending"].toBool());
}

// A byte stored otherwise and kept with --no-verify leaves an entry the program reads as another
// function. Commands that only read report the keyboard, naming that entry with its bytes, and
// succeed; a command that would write it back refuses.
TEST_F(WrittenBytesEndToEnd, ReadingCommandsNameAnEntryTheyCannotReadAndSucceed) {
    constexpr int kUsageOfQ = 18 * 3 + 2; // in the key map of hardware profile 0
    constexpr uint8_t kUsageW = 0x1A;
    Ctl({"fault", "flip-keymap", QString::number(kUsageOfQ)});
    Do({"--no-verify", "remap", "Q", "key:W"});
    Ctl({"fault", "none"});
    const std::vector<uint8_t> keyboard = Dump("keymap0");
    ASSERT_EQ(keyboard.at(kUsageOfQ), static_cast<uint8_t>(~kUsageW));

    for (const QStringList& reading :
         {QStringList{"dump", "--keyboard"}, QStringList{"export", "--text", File("odd.txt")},
          QStringList{"macro", "list"}, QStringList{"diff", "--keyboard", File("odd.txt")}}) {
        SCOPED_TRACE(reading.join(' ').toStdString());
        const Finished read = Tavrikctl(reading);
        EXPECT_EQ(read.exitCode, 0) << Text(read.err);
        EXPECT_NE(Text(read.err).find("hardware profile 0, key position 18: the keyboard holds "
                                      "02 02 e5, which this program cannot read as it is"),
                  std::string::npos)
            << Text(read.err);
    }
    const Finished remap = Tavrikctl({"remap", "A", "key:B"});
    EXPECT_EQ(remap.exitCode, 1);
    EXPECT_NE(Text(remap.err).find("cannot write back as they are"), std::string::npos)
        << Text(remap.err);
    EXPECT_EQ(Dump("keymap0"), keyboard);
}

} // namespace
