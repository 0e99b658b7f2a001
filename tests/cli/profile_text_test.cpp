// A profile as text: files of every kind of content come back byte for byte, and faulty text is
// refused with the line of the fault.
#include "names/key_names.h"
#include "names/profile_text.h"
#include "names/profile_text_diff.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace tavrik::cli {
namespace {

class ProfileGenerator {
public:
    explicit ProfileGenerator(unsigned seed)
        : random_(seed) {}

    ProfileContents Make() {
        ProfileContents contents;
        if (Chance(4))
            contents.record.identity[Below(record::kIdentitySize)] ^= 0x5A;
        const size_t changed = Below(200);
        for (size_t count = 0; count < changed; ++count)
            ChangeEntry(contents, Below(kProfileEntryCount));
        const size_t macros = Below(6);
        for (size_t count = 0; count < macros; ++count)
            contents.macros.push_back(MakeMacro());
        return contents;
    }

private:
    size_t Below(size_t limit) {
        return std::uniform_int_distribution<size_t>(0, limit - 1)(random_);
    }
    bool Chance(size_t oneIn) { return Below(oneIn) == 0; }
    uint32_t Any() { return static_cast<uint32_t>(random_()); }

    ScanCode AnyKey() {
        const std::vector<ScanCode>& keys = NamedKeys();
        return keys[Below(keys.size())];
    }

    std::u16string AnyText() {
        std::u16string text;
        const size_t length = Below(12);
        for (size_t at = 0; at < length; ++at) {
            const std::u16string_view pool = u"aZ 9\"\\\n\t#é中\xD800\xDC00=";
            text += pool[Below(pool.size())];
        }
        return text;
    }

    void ChangeEntry(ProfileContents& contents, size_t number) {
        KeyFunctionEntry& entry = contents.record.Entry(number);
        contents.texts.Release(number);
        entry.type = static_cast<KeyFunctionType>(Below(11));
        entry.value = Chance(3) ? Any() : static_cast<uint32_t>(Below(120));
        if (entry.type == KeyFunctionType::SingleKey && !Chance(5))
            entry.value = AnyKey();
        if (Chance(3))
            entry.code = static_cast<uint16_t>(Any());
        if (Chance(6))
            entry.selectionFlag = Any();
        if (Chance(6))
            entry.reserved = Any();
        if (entry.type == KeyFunctionType::LaunchProgram ||
            entry.type == KeyFunctionType::TextBlock)
            contents.texts.Set(number, AnyText());
    }

    MacroRecord MakeMacro() {
        MacroRecord macro;
        macro.id = static_cast<uint16_t>(Below(kMaxMacroId) + 1);
        macro.name = AnyText();
        macro.loopCount = static_cast<uint8_t>(Below(256));
        macro.reserved501 = Chance(4) ? static_cast<uint8_t>(Any()) : 0;
        macro.isNew = Chance(2);
        macro.reserved504 = Chance(4) ? static_cast<uint16_t>(Any()) : 0;
        macro.reserved510 = Chance(4) ? static_cast<uint16_t>(Any()) : 0;
        const size_t actions = Below(30);
        for (size_t count = 0; count < actions; ++count)
            macro.actions.push_back({static_cast<uint32_t>(Below(4001) * kDelayStepMs), AnyKey(),
                                     Chance(2) ? KeyDirection::Press : KeyDirection::Release});
        return macro;
    }

    std::mt19937 random_;
};

std::vector<uint8_t> FileBytes(const ProfileContents& contents) {
    ProfileRecord record = contents.record;
    return SerialiseProfileFile(record, contents.macros, contents.texts).value();
}

TEST(CliProfileText, GeneratedProfilesComeBackByteForByte) {
    for (unsigned seed = 0; seed < 300; ++seed) {
        const std::vector<uint8_t> file = FileBytes(ProfileGenerator(seed).Make());
        const std::unique_ptr<ProfileContents> parsed = ParseProfileFile(file);
        ASSERT_TRUE(parsed);
        ASSERT_EQ(FileBytes(*parsed), file)
            << "seed " << seed << ": not a file this program writes";
        const std::string text = FormatProfileText(*parsed);
        auto reread = ParseProfileText(text);
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProfileContents>>(reread))
            << "seed " << seed << ", line " << std::get<ProfileTextError>(reread).line << ": "
            << std::get<ProfileTextError>(reread).message << "\n"
            << text;
        const ProfileContents& back = *std::get<std::unique_ptr<ProfileContents>>(reread);
        EXPECT_EQ(FileBytes(back), file) << "seed " << seed << "\n" << text;
        EXPECT_EQ(FormatProfileText(back), text) << "seed " << seed;
    }
}

ProfileLighting MakeLighting(unsigned seed) {
    std::mt19937 random(seed);
    const auto byte = [&random] { return static_cast<uint8_t>(random()); };
    ProfileLighting lighting = LitLighting();
    lighting.effect = seed % 2 ? static_cast<uint8_t>(seed % 10 + 1) : byte();
    lighting.brightness = byte();
    lighting.speed = seed % 3 ? static_cast<uint8_t>(seed % 26) : byte();
    lighting.direction = seed % 4 ? static_cast<uint8_t>(seed % 2) : byte();
    for (uint8_t& option : lighting.options)
        option = seed % 5 ? static_cast<uint8_t>(random() % 2) : byte();
    const size_t changed = random() % 40;
    for (size_t count = 0; count < changed; ++count)
        lighting.colours.SetTriple(static_cast<KeyPosition>(random() % kKeyPositionCount),
                                   {byte(), byte(), byte()});
    return lighting;
}

TEST(CliProfileText, TheLightingComesBackAsItWas) {
    for (unsigned seed = 0; seed < 200; ++seed) {
        const ProfileContents contents = ProfileGenerator(seed).Make();
        const ProfileLighting lighting = MakeLighting(seed);
        const std::string text = FormatProfileText(contents, &lighting);
        std::optional<ProfileLighting> read;
        auto parsed = ParseProfileText(text, &read);
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProfileContents>>(parsed))
            << "seed " << seed << ": " << std::get<ProfileTextError>(parsed).message << "\n"
            << text;
        ASSERT_TRUE(read.has_value()) << "seed " << seed;
        EXPECT_EQ(*read, lighting) << "seed " << seed << "\n" << text;
        EXPECT_EQ(FormatProfileText(*std::get<std::unique_ptr<ProfileContents>>(parsed), &*read),
                  text);
    }
}

TEST(CliProfileText, TheLightingIsReadableAndTextWithoutItHasNone) {
    ProfileLighting lighting = LitLighting();
    lighting.effect = 6;
    lighting.brightness = 20;
    lighting.speed = 5;
    lighting.options[3] = 1;
    lighting.colours.SetTriple(18, {0x01, 0x02, 0xAB});
    EXPECT_EQ(FormatProfileText(ProfileContents{}, &lighting),
              std::string(kProfileTextFirstLine) +
                  "\nlighting effect per-key\nlighting brightness 20\nlighting speed 20\n"
                  "lighting direction left\nlighting option trigger-mode 0\n"
                  "lighting option trigger-area 0\nlighting option press-reaction 0\n"
                  "lighting option breathing 1\nlighting key \"Q\" 0102AB\n");
    std::optional<ProfileLighting> read = lighting;
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProfileContents>>(
        ParseProfileText(FormatProfileText(ProfileContents{}), &read)));
    EXPECT_FALSE(read.has_value());
}

TEST(CliProfileText, NewProfileIsOneLine) {
    EXPECT_EQ(FormatProfileText(ProfileContents{}), std::string(kProfileTextFirstLine) + "\n");
}

TEST(CliProfileText, FaultsNameTheirLine) {
    const std::string first = std::string(kProfileTextFirstLine) + "\n";
    const std::vector<std::tuple<std::string, size_t, std::string>> cases{
        {"", 1, "as the first line"},
        {"tavrik-profile-text 2\n", 1, "as the first line"},
        {first + "layer 0 \"NoSuchKey\" disabled\n", 2, "NoSuchKey"},
        {first + "\n# note\nlayer 4 \"Q\" disabled\n", 4, "the layer"},
        {first + "layer 0 \"Q\" key \"W\"\nlayer 0 \"Q\" disabled\n", 3, "once"},
        {first + "layer 0 \"Q\" media \"Nothing\"\n", 2, "Nothing"},
        {first + "layer 0 \"Q\" macro 101\n", 2, "macro id"},
        {first + "layer 0 \"Q\" program \"unclosed\n", 2, "quoted text"},
        {first + "layer 0 \"Q\" disabled colour 3\n", 2, "colour"},
        {first + "macro 1 \"m\" loop 1\n  Q down 10\n  Q sideways 10\nend\n", 4, "direction"},
        {first + "macro 1 \"m\" loop 1\n  Q down 10\n", 3, "\"end\""},
        {first + "identity 00\n", 2, "hexadecimal"},
        {first + "colour red\n", 2, "identity, layer, macro or lighting"},
        {first + "lighting effect static\nlighting effect wave\n", 3, "once"},
        {first + "lighting key \"Q\" 12345\n", 2, "RRGGBB"},
        {first + "lighting key pos:160 123456\n", 2, "pos:0..159"},
        {first + "lighting speed 26\n", 2, "raw"},
        {first + "lighting effect static\n", 2, "lighting brightness"},
    };
    for (const auto& [text, line, expected] : cases) {
        auto parsed = ParseProfileText(text);
        ASSERT_TRUE(std::holds_alternative<ProfileTextError>(parsed)) << text;
        const ProfileTextError& error = std::get<ProfileTextError>(parsed);
        EXPECT_EQ(error.line, line) << text;
        EXPECT_NE(error.message.find(expected), std::string::npos) << error.message;
    }
}

TEST(CliProfileText, DifferencesAreNamedByKeyAndMacro) {
    ProfileContents before;
    before.record.layers[0][KeyIndexFromScan(0x10)] = {.type = KeyFunctionType::SingleKey,
                                                       .value = 0x11}; // Q sends W
    before.record.layers[1][KeyIndexFromScan(0x1E)] = {.type = KeyFunctionType::Disabled};
    MacroRecord copy;
    copy.id = 3;
    copy.name = u"Copy";
    copy.loopCount = 1;
    copy.actions = {{10, 0x10, KeyDirection::Press}, {0, 0x10, KeyDirection::Release}};
    before.macros.push_back(copy);
    MacroRecord paste = copy;
    paste.id = 4;
    paste.name = u"Paste";
    before.macros.push_back(paste);

    ProfileContents after = before;
    after.record.layers[0][KeyIndexFromScan(0x10)].value = 0x12; // Q sends E
    after.record.layers[1][KeyIndexFromScan(0x1E)] = {};         // A as it was
    after.record.layers[2][KeyIndexFromScan(0x3B)] = {.type = KeyFunctionType::Disabled};
    after.macros[0].loopCount = 2;
    after.macros[0].actions[1].delayMs = 20;
    after.macros[0].actions.push_back({0, 0x12, KeyDirection::Press});
    after.macros.pop_back();
    MacroRecord cut = copy;
    cut.id = 5;
    cut.name = u"Cut";
    cut.actions.pop_back();
    after.macros.push_back(cut);

    const std::vector<std::string> expected{
        "layer 0 \"Q\": key \"W\" -> key \"E\"",
        "layer 1 \"A\": disabled -> default",
        "macro 3: \"Copy\" loop 1 -> \"Copy\" loop 2",
        "macro 3 action 2: Q up 0 -> Q up 20",
        "macro 3 action 3: + E down 0",
        "- macro 4 \"Paste\" loop 1 (2 actions)",
        "layer 2 \"F1\": default -> disabled",
        "+ macro 5 \"Cut\" loop 1 (1 action)",
    };
    EXPECT_EQ(ProfileTextDifferences(FormatProfileText(before), FormatProfileText(after)),
              expected);
    EXPECT_TRUE(ProfileTextDifferences(FormatProfileText(after), FormatProfileText(after)).empty());
}

TEST(CliProfileText, LightingDiffersByLineAndAnUnnamedKeyIsLit) {
    const ProfileContents contents;
    ProfileLighting before = LitLighting();
    before.colours.SetTriple(20, {0, 0, 0});
    ProfileLighting after = before;
    after.colours.SetTriple(18, {0x01, 0x02, 0xAB}); // Q
    after.colours.SetTriple(20, {0xFF, 0xFF, 0xFF}); // Z lit again
    after.brightness = 3;
    EXPECT_EQ(ProfileTextDifferences(FormatProfileText(contents, &before),
                                     FormatProfileText(contents, &after)),
              (std::vector<std::string>{"lighting brightness: 0 -> 3",
                                        "lighting key \"Z\": 000000 -> FFFFFF",
                                        "lighting key \"Q\": FFFFFF -> 0102AB"}));
    // Against a profile without lighting, each lighting line is there or not.
    const std::vector<std::string> added =
        ProfileTextDifferences(FormatProfileText(contents), FormatProfileText(contents, &after));
    ASSERT_EQ(added.size(), 9u);
    EXPECT_EQ(added.front(), "+ lighting effect neon");
    EXPECT_EQ(added.back(), "+ lighting key \"Q\" 0102AB");
}

TEST(CliProfileText, MacrosOfOneIdAreComparedInTheirOrder) {
    ProfileContents before;
    MacroRecord first;
    first.id = 7;
    first.name = u"one";
    before.macros = {first, first};
    before.macros[1].name = u"two";
    ProfileContents after = before;
    after.macros[1].name = u"three";
    EXPECT_EQ(ProfileTextDifferences(FormatProfileText(before), FormatProfileText(after)),
              std::vector<std::string>{"macro 7: \"two\" loop 1 -> \"three\" loop 1"});
}

} // namespace
} // namespace tavrik::cli
