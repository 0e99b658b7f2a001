// The command line: what each valid command line asks for, and that every malformed one is a
// usage error (exit status 2) reported before any keyboard is opened.
#include "cli/command_line.h"
#include "cli/tavrikctl.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tavrik::cli {
namespace {

std::vector<std::string_view> Words(const std::vector<std::string>& args) {
    return {args.begin(), args.end()};
}

struct ValidCase {
    std::vector<std::string> args;
    Request expected;
    std::optional<std::string> device = std::nullopt;
    bool json = false;
};

KeyArgument Key(ScanCode scan) {
    KeyArgument key;
    key.scan = scan;
    return key;
}

KeyArgument MacroKey(size_t gIndex) {
    KeyArgument key;
    key.kind = KeyArgument::Kind::MacroKey;
    key.gIndex = gIndex;
    return key;
}

KeyArgument Position(KeyPosition position) {
    KeyArgument key;
    key.kind = KeyArgument::Kind::Position;
    key.position = position;
    return key;
}

FunctionArgument Function(KeyFunctionType type, ScanCode key = 0, uint32_t row = 0,
                          std::string macro = {}, std::optional<uint8_t> loops = std::nullopt) {
    FunctionArgument function;
    function.type = type;
    function.key = key;
    function.row = row;
    function.macro = std::move(macro);
    function.loops = loops;
    return function;
}

RemapRequest Remap(KeyArgument key, FunctionArgument function,
                   std::optional<int> profile = std::nullopt, bool bankB = false) {
    RemapRequest request;
    request.key = key;
    request.function = std::move(function);
    request.profile = profile;
    request.bankB = bankB;
    return request;
}

MacroRequest Macro(MacroVerb verb, std::string macro = {}, std::string argument = {}, int loops = 0,
                   bool force = false) {
    MacroRequest request;
    request.verb = verb;
    request.macro = std::move(macro);
    request.argument = std::move(argument);
    request.loops = loops;
    request.force = force;
    return request;
}

LightingRequest Lighting(LightingVerb verb, int value = 0, bool on = false,
                         LightingOption option = LightingOption::TriggerMode) {
    LightingRequest request;
    request.verb = verb;
    request.value = value;
    request.on = on;
    request.option = option;
    return request;
}

using Type = KeyFunctionType;

TEST(CliCommandLine, ValidCommandLinesAskForTheirCommand) {
    const std::vector<ValidCase> cases{
        {{"--help"}, HelpRequest{}},
        {{"--version"}, VersionRequest{}},
        {{"help", "remap"}, HelpRequest{"remap"}},
        {{"remap", "--help"}, HelpRequest{"remap"}},
        {{"--device", "demo", "info"}, InfoRequest{}, "demo"},
        {{"info", "--device=emu:/tmp/k.sock", "--json"}, InfoRequest{}, "emu:/tmp/k.sock", true},
        {{"profile"}, ProfileRequest{}},
        {{"profile", "2"}, ProfileRequest{2}},
        {{"backup", "a.tvk"}, FileRequest{FileVerb::Backup, "a.tvk"}},
        {{"restore", "a.tvk"}, FileRequest{FileVerb::Restore, "a.tvk"}},
        {{"validate", "--", "--odd.tvk"}, FileRequest{FileVerb::Validate, "--odd.tvk"}},
        {{"dump", "a.tvk"}, FileRequest{FileVerb::Dump, "a.tvk"}},
        {{"dump", "--keyboard"}, FileRequest{FileVerb::Dump, ""}},
        {{"export", "--text", "a.txt"}, ProfileTextRequest{TextVerb::Export, "a.txt", {}}},
        {{"import", "a.txt"}, ProfileTextRequest{TextVerb::Import, "a.txt", {}}},
        {{"diff", "a.tvk", "b.txt"}, ProfileTextRequest{TextVerb::Diff, "b.txt", "a.tvk"}},
        {{"diff", "--keyboard", "b.txt"}, ProfileTextRequest{TextVerb::Diff, "b.txt", {}}},
        {{"remap", "Q", "key:W"}, Remap(Key(0x010), Function(Type::SingleKey, 0x011))},
        {{"remap", "--profile", "1", "num 7", "default"},
         Remap(Key(0x047), Function(Type::Default), 1)},
        {{"remap", "scan:0x11d", "key:Right Shift"},
         Remap(Key(0x11D), Function(Type::SingleKey, 0x036))},
        {{"remap", "pos:18", "key:Ctrl"}, Remap(Position(18), Function(Type::SingleKey, 0x01D))},
        {{"remap", "--bank", "b", "G9", "macro:Hello:3"},
         Remap(MacroKey(8), Function(Type::PlayMacro, 0, 0, "Hello", 3), std::nullopt, true)},
        {{"remap", "g1", "macro:a:b"}, Remap(MacroKey(0), Function(Type::PlayMacro, 0, 0, "a:b"))},
        {{"remap", "F1", "media:volume-up"}, Remap(Key(0x03B), Function(Type::Multimedia, 0, 6))},
        {{"remap", "F2", "media:静音"}, Remap(Key(0x03C), Function(Type::Multimedia, 0, 7))},
        {{"remap", "F3", "fn:10"}, Remap(Key(0x03D), Function(Type::FunctionKey, 0, 10))},
        {{"remap", "F4", "fn:Select All"}, Remap(Key(0x03E), Function(Type::FunctionKey, 0, 8))},
        {{"macro", "list"}, Macro(MacroVerb::List)},
        {{"macro", "show", "7"}, Macro(MacroVerb::Show, "7")},
        {{"macro", "add", "My macro"}, Macro(MacroVerb::Add, "My macro")},
        {{"macro", "rm", "--force", "3"}, Macro(MacroVerb::Remove, "3", {}, 0, true)},
        {{"macro", "rename", "3", "Other"}, Macro(MacroVerb::Rename, "3", "Other")},
        {{"macro", "loop", "宏1", "255"}, Macro(MacroVerb::Loop, "宏1", {}, 255)},
        {{"macro", "actions", "3", "-"}, Macro(MacroVerb::Actions, "3", "-")},
        {{"lighting", "show"}, Lighting(LightingVerb::Show)},
        {{"lighting", "effect", "10"}, Lighting(LightingVerb::Effect, 10)},
        {{"lighting", "brightness", "0"}, Lighting(LightingVerb::Brightness, 0)},
        {{"lighting", "speed", "25"}, Lighting(LightingVerb::Speed, 25)},
        {{"lighting", "direction", "right"}, Lighting(LightingVerb::Direction, 1)},
        {{"lighting", "option", "9", "1"},
         Lighting(LightingVerb::Option, 1, false, LightingOption::Breathing)},
        {{"lighting", "option", "trigger-area", "0"},
         Lighting(LightingVerb::Option, 0, false, LightingOption::TriggerArea)},
        {{"lighting", "key", "Q", "on"}, Lighting(LightingVerb::Key, 18, true)},
        {{"lighting", "key", "159", "off"}, Lighting(LightingVerb::Key, 159, false)},
        {{"lighting", "all", "on"}, Lighting(LightingVerb::All, 0, true)},
        {{"lighting", "reset"}, Lighting(LightingVerb::Reset)},
        {{"watch"}, WatchRequest{}},
        {{"watch", "--count", "3"}, WatchRequest{3}},
        {{"names", "media"}, NamesRequest{NameList::Media}},
        // Keys, functions and effects by the names users know them by.
        {{"remap", "PgUp", "key:Left Ctrl"}, Remap(Key(0x149), Function(Type::SingleKey, 0x01D))},
        {{"remap", "KEY_KP7", "key:Escape"}, Remap(Key(0x047), Function(Type::SingleKey, 0x001))},
        {{"remap", "prtsc", "media:XF86AudioMute"},
         Remap(Key(0x137), Function(Type::Multimedia, 0, 7))},
        {{"remap", "Del", "fn:SELECT_ALL"}, Remap(Key(0x153), Function(Type::FunctionKey, 0, 8))},
        {{"remap", "Right-Shift", "key:Shift"},
         Remap(Key(0x036), Function(Type::SingleKey, 0x02A))},
        {{"lighting", "effect", "static"}, Lighting(LightingVerb::Effect, 3)},
        {{"lighting", "effect", "Per Key"}, Lighting(LightingVerb::Effect, 6)},
        {{"lighting", "key", "PrtSc", "on"}, Lighting(LightingVerb::Key, 38, true)},
        {{"lighting", "key", "pos:18", "off"}, Lighting(LightingVerb::Key, 18)},
        {{"names", "effects"}, NamesRequest{NameList::Effects}},
        {{"names", "--plain", "keys"}, NamesRequest{NameList::Keys, true}},
    };
    for (const ValidCase& c : cases) {
        const std::string line = ::testing::PrintToString(c.args);
        const auto parsed = ParseCommandLine(Words(c.args));
        ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed))
            << line << ": " << std::get<UsageError>(parsed).message;
        const CommandLine& result = std::get<CommandLine>(parsed);
        EXPECT_TRUE(result.request == c.expected) << line;
        EXPECT_EQ(result.device, c.device) << line;
        EXPECT_EQ(result.json, c.json) << line;
    }
}

TEST(CliCommandLine, MalformedCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string>> cases{
        {},
        {"--json"},
        {"frobnicate"},
        {"--colour", "info"},
        {"--device"},
        {"info", "extra"},
        {"info", "--count", "3"},
        {"profile", "3"},
        {"profile", "-1"},
        {"profile", "1", "2"},
        {"backup"},
        {"restore", "a.tvk", "b.tvk"},
        {"dump"},
        {"dump", "--keyboard", "a.tvk"},
        {"dump", "--keyboard=yes"},
        {"export", "a.txt"},
        {"export", "--text"},
        {"export", "--text", "a.txt", "b.txt"},
        {"import"},
        {"import", "a.txt", "b.txt"},
        {"diff", "a.txt"},
        {"diff", "--keyboard"},
        {"diff", "--keyboard", "a.txt", "b.txt"},
        {"remap", "Q"},
        {"remap", "NoSuchKey", "key:W"},
        {"remap", "Q", "key:NoSuchKey"},
        {"remap", "Q", "key:音量加"},
        {"remap", "Q", "frob:1"},
        {"remap", "Q", "media:18"},
        {"remap", "Q", "fn:11"},
        {"remap", "Q", "macro:"},
        {"remap", "Q", "macro:x:0"},
        {"remap", "Q", "macro:x:256"},
        {"remap", "pos:160", "default"},
        {"remap", "scan:0x200", "default"},
        {"remap", "G0", "default"},
        {"remap", "--bank", "c", "G1", "default"},
        {"remap", "--bank", "b", "Q", "default"},
        {"remap", "--profile", "3", "Q", "default"},
        {"remap", "--profile"},
        {"macro"},
        {"macro", "paint"},
        {"macro", "show"},
        {"macro", "add", ""},
        {"macro", "rename", "1"},
        {"macro", "loop", "1", "0"},
        {"macro", "loop", "1", "256"},
        {"macro", "actions", "1"},
        {"macro", "show", "--force", "1"},
        {"lighting"},
        {"lighting", "effect", "0"},
        {"lighting", "effect", "11"},
        {"lighting", "brightness", "26"},
        {"lighting", "speed", "fast"},
        {"lighting", "direction", "up"},
        {"lighting", "option", "6", "1"},
        {"lighting", "option", "5", "2"},
        {"lighting", "key", "160", "on"},
        {"lighting", "key", "Q", "dim"},
        {"lighting", "all"},
        {"watch", "--count", "0"},
        {"names", "colours"},
        {"help", "remap", "extra"},
        {"remp", "Q", "default"},
        {"remap", "Super", "default"},
        {"remap", "Q", "key:*"},
        {"remap", "Escpe", "default"},
        {"remap", "Q", "media:volume-upp"},
        {"lighting", "efect", "3"},
        {"lighting", "effect", "sparkle"},
        {"lighting", "key", "Super", "on"},
        {"lighting", "key", "Volume Up", "on"},
        {"lighting", "key", "pos:160", "on"},
        {"names", "--plain", "colours"},
    };
    for (const auto& args : cases) {
        const std::string line = ::testing::PrintToString(args);
        EXPECT_TRUE(std::holds_alternative<UsageError>(ParseCommandLine(Words(args)))) << line;
        std::ostringstream out;
        std::ostringstream err;
        Console console(out, err);
        std::istringstream input;
        EXPECT_EQ(RunTavrikctl(Words(args), console, input, nullptr), 2) << line;
        EXPECT_NE(err.str().find("Usage:"), std::string::npos) << line;
        EXPECT_TRUE(out.str().empty()) << line;
    }
}

// A word the command line does not know is answered with the closest ones it does; a name that
// several keys share, with the keys it could mean.
TEST(CliCommandLine, UsageErrorsSayWhatWasMeant) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"remp", "Q"}, "unknown command \"remp\"; did you mean \"remap\"?"},
        {{"remap", "Escpe", "default"}, "unknown key \"Escpe\"; did you mean \"Escape\"?"},
        {{"remap", "Super", "default"},
         "\"Super\" names more than one key: \"Left Win\" or \"Right Win\""},
        {{"remap", "Q", "key:Lefft Ctrl"},
         "unknown key \"Lefft Ctrl\"; did you mean \"Left Ctrl\"?"},
        {{"remap", "Q", "key:NoSuchKey"},
         "unknown key \"NoSuchKey\" (tavrikctl names keys lists the key names)"},
        {{"remap", "Q", "media:volume-upp"},
         "unknown multimedia function \"volume-upp\"; did you mean \"Volume Up\"?"},
        {{"remap", "Q", "fn:paste-it"}, "unknown keyboard function \"paste-it\""},
        {{"lighting", "efect", "3"},
         "unknown lighting command \"efect\"; did you mean \"effect\"?"},
        {{"lighting", "effect", "staic"}, "unknown effect \"staic\"; did you mean \"static\"?"},
        {{"lighting", "key", "Volume Up", "on"}, "\"Volume Up\" has no light of its own"},
        {{"macro", "ad", "X"}, "unknown macro command \"ad\"; did you mean \"add\"?"},
        {{"names", "key"}, "unknown list \"key\"; did you mean \"keys\"?"},
    };
    for (const auto& [args, says] : cases) {
        std::ostringstream out;
        std::ostringstream err;
        Console console(out, err);
        std::istringstream input;
        EXPECT_EQ(RunTavrikctl(Words(args), console, input, nullptr), 2) << says;
        EXPECT_NE(err.str().find("tavrikctl: " + says), std::string::npos) << err.str();
    }
}

TEST(CliCommandLine, ABadDeviceIsAUsageErrorAndHelpForAnUnknownTopicToo) {
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err);
    std::istringstream input;
    const std::vector<std::string> info{"info"};
    EXPECT_EQ(RunTavrikctl(Words(info), console, input, "usb"), 2);
    EXPECT_NE(err.str().find("unknown device"), std::string::npos);
    const std::vector<std::string> help{"help", "frobnicate"};
    EXPECT_EQ(RunTavrikctl(Words(help), console, input, nullptr), 2);
}

TEST(CliCommandLine, OnlyCommandsThatReachTheKeyboardNeedOne) {
    const std::vector<std::pair<Request, bool>> cases{
        {HelpRequest{}, false},
        {NamesRequest{}, false},
        {FileRequest{FileVerb::Validate, "a.tvk"}, false},
        {FileRequest{FileVerb::Dump, "a.tvk"}, false},
        {FileRequest{FileVerb::Dump, ""}, true},
        {FileRequest{FileVerb::Backup, "a.tvk"}, true},
        {ProfileTextRequest{TextVerb::Diff, "b.txt", "a.txt"}, false},
        {ProfileTextRequest{TextVerb::Diff, "b.txt", {}}, true},
        {ProfileTextRequest{TextVerb::Import, "a.txt", {}}, true},
        {ProfileTextRequest{TextVerb::Export, "a.txt", {}}, true},
        {InfoRequest{}, true},
        {WatchRequest{}, true},
    };
    for (const auto& [request, needed] : cases)
        EXPECT_EQ(NeedsKeyboard(request), needed) << request.index();
}

} // namespace
} // namespace tavrik::cli
