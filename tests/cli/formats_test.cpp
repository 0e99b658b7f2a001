// The plain-text formats of the command line: key names, the macro action format and JSON.
#include "cli/action_text.h"
#include "cli/json.h"
#include "cli/key_names.h"
#include "cli/system_messages.h"
#include "macro/macro_texts.h"

#include <gtest/gtest.h>

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
    };
    for (const auto& [token, scan] : cases)
        EXPECT_EQ(ScanFromKeyToken(token), scan) << token;
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

TEST(CliSystemMessages, SaidInEnglishWithTheOriginalQuoted) {
    EXPECT_EQ(ExplainSystemMessage(macro_text::kMacroNamesLeftOut),
              "the macro memory is too small for the macro names; the macros were sent without "
              "them (硬件空间紧张，取消了宏名的存储。)");
    EXPECT_EQ(ExplainSystemMessage(u"文件格式错误，恢复为默认值: \n  /tmp/a.tvk"),
              "the file is not a valid profile file: /tmp/a.tvk (文件格式错误，恢复为默认值: "
              "/tmp/a.tvk)");
    EXPECT_EQ(ExplainSystemMessage(u"something else"), "something else");
}

} // namespace
} // namespace tavrik::cli
