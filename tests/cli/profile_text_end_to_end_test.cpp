// export --text, import and diff, the real tavrikctl against the real tavrik-emu: a profile
// exported as text and imported into a fresh keyboard leaves the same memory; faulty text is
// refused with its line and writes nothing; diff names exactly what differs.
#include <QJsonArray>

#include "cli/emulated_keyboard_test.h"

#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace tavrik::testing_support;

class ProfileTextEndToEnd : public EmulatedKeyboardTest {
protected:
    // A keyboard with something in every area an import writes.
    void Configure() {
        WriteFile("m.txt", "Shift down 10\nA down 20\nA up 0\nShift up 0\n");
        Do({"macro", "add", "Shouted A"});
        Do({"macro", "actions", "Shouted A", File("m.txt")});
        Do({"macro", "loop", "Shouted A", "2"});
        for (const auto& [profile, key, function] :
             {std::tuple{"0", "Q", "key:W"}, std::tuple{"1", "A", "media:mute"},
              std::tuple{"2", "F1", "fn:copy"}, std::tuple{"2", "Z", "macro:Shouted A:3"}})
            Do({"remap", "--profile", profile, key, function});
    }

    std::vector<std::vector<uint8_t>> Memory(const QStringList& areas) {
        std::vector<std::vector<uint8_t>> memory;
        for (const QString& area : areas)
            memory.push_back(Dump(area));
        return memory;
    }

    QByteArray ReadFile(const QString& name) const {
        QFile file(File(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    }
};

const QStringList kConfigurationAreas{"keymap0", "keymap1", "keymap2", "macro"};
const QStringList kEveryArea{"settings", "keymap0",  "keymap1", "keymap2",
                             "macro",    "lighting", "colours"};

// A text carries the lighting too, a profile file only the key maps and macros.
TEST_F(ProfileTextEndToEnd, ATextOrAProfileFileImportedGivesAFreshKeyboardTheSameMemory) {
    Configure();
    for (const QStringList& lighting :
         {QStringList{"effect", "per-key"}, QStringList{"brightness", "7"},
          QStringList{"speed", "3"}, QStringList{"direction", "right"},
          QStringList{"option", "breathing", "1"}, QStringList{"all", "off"},
          QStringList{"key", "Q", "on"}})
        Do(QStringList{"lighting"} + lighting);
    const QStringList lightingAreas{"lighting", "colours"};
    const std::vector<std::vector<uint8_t>> configured = Memory(kConfigurationAreas);
    const std::vector<std::vector<uint8_t>> lit = Memory(lightingAreas);
    Do({"export", "--text", File("all.txt")});
    Do({"backup", File("all.tvk")});
    for (const QString& source : {QString("all.txt"), QString("all.tvk")}) {
        StopKeyboard();
        StartKeyboard();
        ASSERT_NE(Dump("keymap0"), configured[0]); // a fresh keyboard indeed
        ASSERT_NE(Memory(lightingAreas), lit);
        Do({"import", File(source)});
        EXPECT_EQ(Memory(kConfigurationAreas), configured) << source.toStdString();
        if (source.endsWith(".tvk"))
            continue;
        EXPECT_EQ(Memory(lightingAreas), lit);
        // Exported again: the same text, byte for byte.
        Do({"export", "--text", File("again.txt")});
        EXPECT_EQ(ReadFile("again.txt"), ReadFile("all.txt"));
    }
}

// The keyboard stores no name for a macro whose name is empty: the name comes back from the
// computer's copy, as it is, and the text round trip stays lossless.
TEST_F(ProfileTextEndToEnd, AMacroWithAnEmptyNameKeepsItThroughTheKeyboard) {
    WriteFile("m.txt", "A down 10\nA up 0\n");
    Do({"macro", "add", "placeholder"});
    Do({"macro", "actions", "placeholder", File("m.txt")});
    Do({"export", "--text", File("named.txt")});
    QByteArray text = ReadFile("named.txt");
    text.replace("\"placeholder\"", "\"\"");
    WriteFile("unnamed.txt", text);

    Do({"import", File("unnamed.txt")});
    Do({"export", "--text", File("again.txt")});
    EXPECT_EQ(ReadFile("again.txt"), text);
}

TEST_F(ProfileTextEndToEnd, FaultyTextIsRefusedWithItsLineAndNothingIsWritten) {
    Configure();
    const std::vector<std::vector<uint8_t>> before = Memory(kEveryArea);
    struct Case {
        const char* fault;
        QByteArray text;
        int line;
        std::string expected;
    };
    const QByteArray first = "tavrik-profile-text 1\n";
    const std::vector<Case> cases{
        {"first line", "tavrik-profile-text 2\nlayer 0 \"Q\" disabled\n", 1,
         "expected \"tavrik-profile-text 1\" as the first line"},
        {"unknown key", first + "layer 0 \"Q\" disabled\nlayer 0 \"Nokey\" disabled\n", 3,
         "expected a key: unknown key \"Nokey\""},
        {"unknown function", first + "# a comment\nlayer 0 \"Q\" sparkle\n", 3,
         "expected a function"},
        {"action line",
         first + "layer 0 \"Q\" disabled\nmacro 1 \"M\" loop 1\n  Q down 10\n"
                 "  Q sideways 0\nend\n",
         5, "expected KEY down|up PAUSE_MS: the direction must be down or up"},
        {"lighting value",
         first + "layer 0 \"Q\" disabled\nlighting effect static\n"
                 "lighting brightness 300\n",
         4, "expected lighting brightness"},
        {"key after lighting", first + "lighting effect static\nlayer 0 \"Q\" disabled\n", 3,
         "expected only lighting lines"},
        {"unterminated macro",
         first + "layer 0 \"Q\" disabled\nmacro 1 \"M\" loop 1\n  Q down 10\n  Q up 0\n", 5,
         "expected \"end\" after the macro's actions"},
    };
    for (const Case& test : cases) {
        WriteFile("bad.txt", test.text);
        const Finished refused = Tavrikctl({"import", File("bad.txt")});
        EXPECT_EQ(refused.exitCode, 3) << test.fault;
        const std::string where =
            File("bad.txt").toStdString() + ":" + std::to_string(test.line) + ": ";
        EXPECT_NE(Text(refused.err).find(where + test.expected), std::string::npos)
            << test.fault << ": " << Text(refused.err);
        EXPECT_EQ(Memory(kEveryArea), before) << test.fault;
    }
}

TEST_F(ProfileTextEndToEnd, DiffNamesEachDifferenceAndSaysWhetherThereIsOne) {
    Configure();
    Do({"export", "--text", File("a.txt")});
    Do({"backup", File("a.tvk")});
    Do({"remap", "--profile", "1", "A", "key:B"});
    WriteFile("m2.txt", "Shift down 10\nA down 20\nA up 30\nShift up 0\n");
    Do({"macro", "actions", "Shouted A", File("m2.txt")});
    Do({"lighting", "brightness", "21"});
    Do({"export", "--text", File("b.txt")});
    Do({"backup", File("b.tvk")});

    const std::string key = "layer 1 \"A\": media \"静音\" -> key \"B\"\n";
    const std::string action = "macro 1 action 3: A up 0 -> A up 30\n";
    struct Case {
        QStringList args;
        std::string differences;
    };
    const std::vector<Case> cases{
        {{"diff", File("a.txt"), File("b.txt")}, key + action + "lighting brightness: 20 -> 21\n"},
        {{"diff", File("a.tvk"), File("b.tvk")}, key + action},
        {{"diff", "--keyboard", File("a.txt")},
         "layer 1 \"A\": key \"B\" -> media \"静音\"\nmacro 1 action 3: A up 30 -> A up 0\n"
         "lighting brightness: 21 -> 20\n"},
        {{"diff", File("b.tvk"), File("b.tvk")}, ""},
        {{"diff", "--keyboard", File("b.txt")}, ""},
    };
    const QJsonObject json = JsonObjectOf({"diff", File("a.tvk"), File("a.tvk")});
    EXPECT_TRUE(json["equal"].toBool());
    EXPECT_TRUE(json["differences"].toArray().isEmpty());
    const Finished different = Tavrikctl({"--json", "diff", File("a.tvk"), File("b.tvk")});
    EXPECT_EQ(different.exitCode, 1);
    const QJsonObject listed = QJsonDocument::fromJson(different.out).object();
    EXPECT_FALSE(listed["equal"].toBool());
    EXPECT_EQ(listed["differences"].toArray().size(), 2);
    for (const Case& test : cases) {
        const Finished done = Tavrikctl(test.args);
        EXPECT_EQ(done.exitCode, test.differences.empty() ? 0 : 1)
            << test.args.join(' ').toStdString() << ": " << Text(done.err);
        EXPECT_EQ(Text(done.out), test.differences) << test.args.join(' ').toStdString();
    }
}

} // namespace
