// The plain-text formats of the command line: key names, the macro action format and JSON.
#include "cli/json.h"
#include "cli/system_messages.h"
#include "device/device_texts.h"
#include "macro/macro_texts.h"
#include "names/action_text.h"
#include "names/effect_names.h"
#include "names/function_names.h"
#include "names/key_names.h"
#include "names/name_matching.h"
#include "profile/profile_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace tavrik::cli {
namespace {

TEST(CliKeyNames, TokensNameTheirKeys) {
    const std::vector<std::pair<std::string, std::optional<ScanCode>>> cases{
        {"Q", 0x010},
        {"q", 0x010},
        {"F12", 0x058},
        {"Num 7", 0x047},
        {"num 7", 0x047},
        {"退格", 0x00E},
        {"Backspace", 0x00E},
        {"space", 0x039},
        {"Right Shift", 0x036},
        {"right-ctrl", 0x11D},
        {"volume_up", 0x130},
        {"\\", 0x02B},
        {"-", 0x00C},
        {"scan:0x136", 0x136},
        {"scan:05a", 0x05A},
        {"scan:0x000", std::nullopt},
        {"scan:0x080", std::nullopt},
        {"scan:0x1ffff", std::nullopt},
        {"scan:", std::nullopt},
        {"", std::nullopt},
        {"NoSuchKey", std::nullopt},
        // The captions of the main window's key buttons.
        {"PgUp", 0x149},
        {"PgDn", 0x151},
        {"PrtSc", 0x137},
        {"ScrLk", 0x046},
        {"Del", 0x153},
        {"Ins", 0x152},
        {"Num", 0x145},
        {"~", 0x029},
        {"_", 0x00C},
        // English, X and Linux input names, in any case and with '_', '-' and spaces alike.
        {"Escape", 0x001},
        {"ESCAPE", 0x001},
        {"Return", 0x01C},
        {"Left Shift", 0x02A},
        {"LShift", 0x02A},
        {"left_shift", 0x02A},
        {"Left Ctrl", 0x01D},
        {"left-ctrl", 0x01D},
        {"Control_R", 0x11D},
        {"RWin", 0x15C},
        {"AltGr", 0x138},
        {"KP_7", 0x047},
        {"kp-home", 0x047},
        {"Prior", 0x149},
        {"Page_Up", 0x149},
        {"pageup", 0x149},
        {"KEY_PAGEUP", 0x149},
        {"key_kp7", 0x047},
        {"KEY_LEFTMETA", 0x15B},
        {"KEY_SYSRQ", 0x137},
        {"KEY_COMPOSE", 0x15D},
        {"XF86AudioMute", 0x120},
        {"Menu", 0x15D},
        // The key table's own names win over another key's alias: Shift is the left one.
        {"Shift", 0x02A},
        {"Enter", 0x01C},
        {"7", 0x008},
        // The minus sign at the end of a name is no separator.
        {"Num -", 0x04A},
        {"num-", 0x04A},
        {"NUM_-", 0x04A},
        {"num*", 0x037},
        // Names several keys share name none of them.
        {"Super", std::nullopt},
        {"Control", std::nullopt},
        {"*", std::nullopt},
        {"+", std::nullopt},
    };
    for (const auto& [token, scan] : cases)
        EXPECT_EQ(ScanFromKeyToken(token), scan) << token;
}

// Why a token names no key: the closest names of an unknown one, the keys an ambiguous one could
// mean.
TEST(CliKeyNames, UnknownAndAmbiguousNamesSayWhatWasMeant) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Escpe", "unknown key \"Escpe\"; did you mean \"Escape\"?"},
        {"Shitf", "unknown key \"Shitf\"; did you mean \"Shift\"?"},
        {"PgUpp", "unknown key \"PgUpp\"; did you mean \"PgUp\"?"},
        {"Lefft Shift", "did you mean \"Left Shift\"?"},
        {"KEY_PAGEUPP", "did you mean \"KEY_PAGEUP\"?"},
        {"xyzzy", "unknown key \"xyzzy\" (tavrikctl names keys lists the key names)"},
        {"Super", "\"Super\" names more than one key: \"Left Win\" or \"Right Win\"; name "
                  "the one you mean"},
        {"control", "\"control\" names more than one key: \"Left Ctrl\" or \"Right Ctrl\""},
        {"*", "\"*\" names more than one key: \"8\" or \"Num *\""},
        {"scan:0x200", "unknown key \"scan:0x200\" (a scan code is 0x001..0x07f or 0x100..0x17f)"},
    };
    for (const auto& [token, says] : cases) {
        const auto resolved = ResolveKeyToken(token);
        ASSERT_TRUE(std::holds_alternative<std::string>(resolved)) << token;
        EXPECT_NE(std::get<std::string>(resolved).find(says), std::string::npos)
            << std::get<std::string>(resolved);
    }
}

// Every name of the alias table reaches its key, unless another key has the same name on
// purpose; no name is hidden behind another key's.
TEST(CliKeyNames, EveryNameOfAKeyLeadsToItUnlessKeysShareIt) {
    std::map<std::string, std::set<ScanCode>> keysOfName;
    for (const ScanCode scan : NamedKeys()) {
        for (const std::string& name : AllNamesOfKey(scan))
            keysOfName[FoldedName(name)].insert(scan);
    }
    for (const ScanCode scan : NamedKeys()) {
        for (const std::string& name : AllNamesOfKey(scan)) {
            const auto resolved = ResolveKeyToken(name);
            if (keysOfName[FoldedName(name)].size() == 1) {
                EXPECT_EQ(ResolvedValue(resolved), scan) << name;
                continue;
            }
            ASSERT_TRUE(std::holds_alternative<std::string>(resolved)) << name;
            EXPECT_NE(std::get<std::string>(resolved).find("\"" + KeyDisplayName(scan) + "\""),
                      std::string::npos)
                << std::get<std::string>(resolved);
        }
    }
}

// Messages and `names keys` name every key in English: left and right keys alike.
TEST(CliKeyNames, EveryKeyHasAnEnglishNameAndPairsAreNamedAlike) {
    for (const ScanCode scan : NamedKeys()) {
        const std::string name = KeyDisplayName(scan);
        EXPECT_TRUE(std::ranges::all_of(name, [](char c) { return c >= 0x20 && c < 0x7F; }))
            << name;
    }
    const std::vector<std::pair<ScanCode, ScanCode>> pairs{
        {0x01D, 0x11D}, {0x02A, 0x036}, {0x038, 0x138}, {0x15B, 0x15C}};
    for (const auto& [left, right] : pairs) {
        EXPECT_EQ(KeyDisplayName(left).substr(0, 5), "Left ");
        EXPECT_EQ(KeyDisplayName(right).substr(0, 6), "Right ");
        EXPECT_EQ(KeyDisplayName(left).substr(5), KeyDisplayName(right).substr(6));
    }
}

TEST(CliNameMatching, FoldingAndEditDistance) {
    const std::vector<std::pair<std::string, std::string>> folded{
        {"Page_Up", "pageup"},
        {"page-up", "pageup"},
        {"PAGE UP", "pageup"},
        {"Num -", "num-"},
        {"num_-", "num-"},
        {"Num *", "num*"},
        {"-", "-"},
        {"_", "_"},
        {"右边 Shift", "右边shift"},
        {" Tab ", "tab"},
    };
    for (const auto& [name, expected] : folded)
        EXPECT_EQ(FoldedName(name), expected) << name;
    EXPECT_EQ(EditDistance(u"escpe", u"escape"), 1u);
    EXPECT_EQ(EditDistance(u"shitf", u"shift"), 1u); // a swap of neighbours is one edit
    EXPECT_EQ(EditDistance(u"", u"abc"), 3u);
    EXPECT_EQ(EditDistance(u"静态常量", u"静态常亮"), 1u);
    EXPECT_EQ(DidYouMean(std::vector<std::string>{"A", "B", "C"}),
              "; did you mean \"A\", \"B\" or \"C\"?");
    EXPECT_EQ(DidYouMean(std::vector<std::string>{}), "");
}

TEST(CliKeyNames, EveryKeyIsNamedByATokenThatLeadsBackToIt) {
    for (int index = 1; index < kKeyTableSize; ++index) {
        const ScanCode scan = ScanFromKeyIndex(static_cast<KeyIndex>(index));
        EXPECT_EQ(ScanFromKeyToken(KeyToken(scan)), scan) << KeyToken(scan);
    }
    // The second right Shift row shares its name with the first; unnamed rows have none.
    EXPECT_EQ(KeyToken(0x136), "scan:0x136");
    EXPECT_EQ(KeyToken(0x05A), "scan:0x05a");
    EXPECT_EQ(KeyToken(0x036), "右边 Shift");
}

TEST(CliKeyNames, MultimediaRowsAndFunctionSlots) {
    EXPECT_EQ(MultimediaRowFromToken("XF86AudioRaiseVolume"), 6u);
    EXPECT_EQ(MultimediaRowFromToken("KEY_MUTE"), 7u);
    EXPECT_EQ(MultimediaRowFromToken("volume-up"), 6u);
    EXPECT_EQ(FunctionSlotFromToken("SELECT_ALL"), 8u);
    EXPECT_EQ(MultimediaRowFromToken("0"), 0u);
    EXPECT_EQ(MultimediaRowFromToken("17"), 17u);
    EXPECT_EQ(MultimediaRowFromToken("18"), std::nullopt);
    EXPECT_EQ(MultimediaRowFromToken("播放/暂停"), 1u);
    EXPECT_EQ(MultimediaRowFromToken("Mail"), 17u);
    EXPECT_EQ(MultimediaRowFromToken("Q"), std::nullopt); // a key, but no multimedia function
    EXPECT_EQ(FunctionSlotFromToken("放大"), 10u);
    EXPECT_EQ(FunctionSlotFromToken("zoom-in"), 10u);
    EXPECT_EQ(FunctionSlotFromToken("0"), 0u);
    EXPECT_EQ(FunctionSlotFromToken("11"), std::nullopt); // A1: only from the keyboard
    EXPECT_EQ(FunctionSlotFromToken("A1"), std::nullopt);
}

TEST(CliKeyNames, UnknownFunctionsSayWhatWasMeant) {
    const std::vector<std::pair<std::variant<size_t, std::string>, std::string>> cases{
        {ResolveMultimediaRow("volume-upp"),
         "unknown multimedia function \"volume-upp\"; did you mean \"Volume Up\"?"},
        {ResolveMultimediaRow("Q"),
         "unknown multimedia function \"Q\" (tavrikctl names media lists them)"},
        {ResolveFunctionSlot("zoom-inn"), "unknown keyboard function \"zoom-inn\"; did you mean "
                                          "\"Zoom In\"?"},
        {ResolveFunctionSlot("A1"), "unknown keyboard function \"A1\" (tavrikctl names fn lists "
                                    "them)"},
    };
    for (const auto& [resolved, says] : cases) {
        ASSERT_TRUE(std::holds_alternative<std::string>(resolved)) << says;
        EXPECT_EQ(std::get<std::string>(resolved), says);
    }
}

// Effects by number, by English name, and by the name the skin gives them.
TEST(CliEffectNames, NumbersEnglishNamesAndTheSkinsNames) {
    const SkinValueLookup skin = [](std::u16string_view section,
                                    std::u16string_view key) -> std::optional<std::u16string> {
        if (section == u"Mode" && key == u"3")
            return u"静态常亮";
        if (section == u"Mode" && key == u"9")
            return u"霓虹渐变";
        return std::nullopt;
    };
    const std::vector<std::tuple<std::string, SkinValueLookup, std::variant<int, std::string>>>
        cases{
            {"3", {}, 3},
            {"static", {}, 3},
            {"STATIC", skin, 3},
            {"per key", {}, 6},
            {"Per-Key", {}, 6},
            {"aurora", {}, 10},
            {"静态常亮", skin, 3},
            {"霓虹渐变", skin, 9},
            {"静态常亮",
             {},
             "unknown effect \"静态常亮\" (an effect is a number from 1 to 10 or a "
             "name tavrikctl names effects lists)"},
            {"0", {}, "unknown effect \"0\""},
            {"11", {}, "unknown effect \"11\""},
            {"staic", {}, "unknown effect \"staic\"; did you mean \"static\"?"},
            {"静态常量", skin, "did you mean \"静态常亮\"?"},
        };
    for (const auto& [token, lookup, expected] : cases) {
        const auto resolved = ResolveEffect(token, lookup);
        if (const int* effect = std::get_if<int>(&expected)) {
            EXPECT_EQ(ResolvedValue(resolved), *effect) << token;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<std::string>(resolved)) << token;
        EXPECT_NE(std::get<std::string>(resolved).find(std::get<std::string>(expected)),
                  std::string::npos)
            << std::get<std::string>(resolved);
    }
    // A skin that names no effect gives no names, not the rule's "1".
    const SkinValueLookup empty = [](std::u16string_view, std::u16string_view) {
        return std::optional<std::u16string>();
    };
    EXPECT_EQ(EffectSkinName(4, empty), "");
    EXPECT_EQ(EffectEnglishName(4), "breathing");
}

MacroAction Action(uint32_t delayMs, ScanCode key, KeyDirection direction) {
    return {.delayMs = delayMs, .key = key, .direction = direction};
}

constexpr KeyDirection kDown = KeyDirection::Press;
constexpr KeyDirection kUp = KeyDirection::Release;

TEST(CliActionText, ReadsActionsCommentsAndNamesWithSpaces) {
    const std::string text = "\xEF\xBB\xBF# a greeting\r\n"
                             "Shift down 0\n"
                             "  H   down  10   # capital H\n"
                             "H up 0\r\n"
                             "\n"
                             "Shift up 40000\n"
                             "Num 7 down 5\n"
                             "scan:0x05a up 0\n"
                             "Volume Up down 0";
    const auto parsed = ParseActionText(text);
    ASSERT_TRUE(std::holds_alternative<std::vector<MacroAction>>(parsed))
        << std::get<ActionTextError>(parsed).message;
    const std::vector<MacroAction> expected{Action(0, 0x02A, kDown), Action(10, 0x023, kDown),
                                            Action(0, 0x023, kUp),   Action(40000, 0x02A, kUp),
                                            Action(5, 0x047, kDown), Action(0, 0x05A, kUp),
                                            Action(0, 0x130, kDown)};
    EXPECT_EQ(std::get<std::vector<MacroAction>>(parsed), expected);
}

TEST(CliActionText, ErrorsNameTheLine) {
    struct Case {
        std::string text;
        size_t line;
        std::string says;
    };
    const std::vector<Case> cases{
        {"A down 0\nA\n", 2, "expected KEY down|up PAUSE_MS"},
        {"A down\n", 1, "expected KEY down|up PAUSE_MS"},
        {"# x\n\nNoSuchKey down 0\n", 3, "unknown key \"NoSuchKey\""},
        {"A press 0\n", 1, "down or up"},
        {"A down 40001\n", 1, "from 0 to 40000"},
        {"A down -1\n", 1, "from 0 to 40000"},
        {"A down 1.5\n", 1, "from 0 to 40000"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseActionText(c.text);
        ASSERT_TRUE(std::holds_alternative<ActionTextError>(parsed)) << c.text;
        const ActionTextError& error = std::get<ActionTextError>(parsed);
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
    }
}

TEST(CliActionText, AtMostTwoThousandActions) {
    std::string text;
    for (size_t i = 0; i < kMaxMacroActions; ++i)
        text += "A down 0\n";
    EXPECT_TRUE(std::holds_alternative<std::vector<MacroAction>>(ParseActionText(text)));
    const auto parsed = ParseActionText(text + "A up 0\n");
    ASSERT_TRUE(std::holds_alternative<ActionTextError>(parsed));
    EXPECT_EQ(std::get<ActionTextError>(parsed).line, kMaxMacroActions + 1);
}

TEST(CliActionText, WhatIsPrintedReadsBackAsTheSameActions) {
    MacroRecord macro;
    macro.id = 4;
    macro.name = u"Two\nlines";
    macro.loopCount = 3;
    macro.actions = {Action(0, 0x136, kDown), Action(1230, 0x047, kDown), Action(40000, 0x047, kUp),
                     Action(0, 0x05A, kUp),   Action(10, 0x122, kDown),   Action(0, 0x039, kUp)};
    const std::string text = FormatActionText(macro);
    EXPECT_EQ(text.rfind("# macro 4 \"Two lines\", loop count 3\n", 0), 0u) << text;
    const auto parsed = ParseActionText(text);
    ASSERT_TRUE(std::holds_alternative<std::vector<MacroAction>>(parsed));
    EXPECT_EQ(std::get<std::vector<MacroAction>>(parsed), macro.actions);
}

TEST(CliJson, EscapesStringsAndKeepsMemberOrder) {
    JsonValue document = JsonValue::MakeObject();
    document.Set("name", "a \"quoted\" \\ name\n\x01")
        .Set("count", 3)
        .Set("on", true)
        .Set("none", JsonValue())
        .Set("list", JsonValue::MakeArray().Append(-1).Append("宏"))
        .Set("empty", JsonValue::MakeObject());
    EXPECT_EQ(document.Text(false),
              "{\"name\":\"a \\\"quoted\\\" \\\\ name\\n\\u0001\",\"count\":3,"
              "\"on\":true,\"none\":null,\"list\":[-1,\"宏\"],\"empty\":{}}");
    EXPECT_EQ(JsonValue::MakeArray().Append(1).Text(true), "[\n  1\n]");
}

// The command line speaks English: the desktop program's Chinese messages are said in English
// alone, whatever follows their fixed part (a path) kept as it is.
TEST(CliSystemMessages, SaidInEnglishAlone) {
    EXPECT_EQ(ExplainSystemMessage(macro_text::kMacroNamesLeftOut),
              "the macro memory is too small for the macro names; the macros were sent without "
              "them");
    EXPECT_EQ(ExplainSystemMessage(u"文件格式错误，恢复为默认值: \n  /tmp/a.tvk"),
              "the file is not a valid profile file: /tmp/a.tvk");
    EXPECT_EQ(ExplainSystemMessage(u"something else"), "something else");
    for (const std::u16string_view message :
         {profile_text::kFormatErrorRestoringDefaults, profile_text::kImportFailed,
          macro_text::kMacroMemoryTooSmall, macro_text::kMacroNamesLeftOut,
          macro_text::kTooManyMacros, macro_text::kDelayTooLong, macro_text::kDeleteReferencedMacro,
          macro_text::kClearActions, kDefaultLayoutReadFailed}) {
        const std::string english = ExplainSystemMessage(message);
        EXPECT_TRUE(std::ranges::all_of(english, [](char c) { return c >= 0x20 && c < 0x7F; }))
            << english;
    }
}

} // namespace
} // namespace tavrik::cli
