#include "cli/command_line.h"

#include "cli/key_names.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace tavrik::cli {

namespace {

struct OptionSpec {
    std::string_view name;
    bool takesValue = false;
};

// One command's words once its options are taken out.
struct Arguments {
    std::string_view command;
    std::vector<std::string_view> words;
    std::map<std::string_view, std::string_view> options;

    bool Has(std::string_view option) const { return options.contains(option); }
    std::optional<std::string_view> Value(std::string_view option) const {
        const auto found = options.find(option);
        return found != options.end() ? std::optional(found->second) : std::nullopt;
    }
};

using Parsed = std::variant<Request, UsageError>;

struct CommandSpec {
    std::string_view name;
    std::vector<OptionSpec> options;
    Parsed (*parse)(const Arguments&);
};

UsageError Misuse(const Arguments& arguments, std::string message) {
    return {std::move(message), std::string(arguments.command)};
}

std::string Quoted(std::string_view word) {
    return "\"" + std::string(word) + "\"";
}

// Exactly `count` words, or a usage error naming what the command expects.
std::optional<UsageError> ExpectWords(const Arguments& arguments, size_t count,
                                      std::string_view expected) {
    if (arguments.words.size() < count)
        return Misuse(arguments, "missing " + std::string(expected));
    if (arguments.words.size() > count)
        return Misuse(arguments, "unexpected argument " + Quoted(arguments.words[count]));
    return std::nullopt;
}

std::optional<int> ParseNumber(std::string_view word, int low, int high) {
    const std::optional<unsigned> value = ParseDecimal(word, static_cast<unsigned>(high));
    if (!value || static_cast<int>(*value) < low)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<bool> ParseOnOff(std::string_view word) {
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    return std::nullopt;
}

std::string RangeText(std::string_view what, int low, int high) {
    return std::string(what) + " must be a number from " + std::to_string(low) + " to " +
           std::to_string(high);
}

// ---- keys and functions --------------------------------------------------------------------

inline constexpr std::string_view kPositionPrefix = "pos:";
inline constexpr int kLastProfile = static_cast<int>(kHardwareProfileCount) - 1;

std::optional<KeyArgument> ParseMacroKey(std::string_view word) {
    if (word.size() != 2 || (word[0] != 'G' && word[0] != 'g') || word[1] < '1' || word[1] > '9')
        return std::nullopt;
    KeyArgument key;
    key.kind = KeyArgument::Kind::MacroKey;
    key.gIndex = static_cast<size_t>(word[1] - '1');
    return key;
}

std::variant<KeyArgument, std::string> ParseKeyArgument(std::string_view word) {
    if (const std::optional<KeyArgument> macroKey = ParseMacroKey(word))
        return *macroKey;
    if (word.starts_with(kPositionPrefix)) {
        const std::optional<int> position =
            ParseNumber(word.substr(kPositionPrefix.size()), 0, kKeyPositionCount - 1);
        if (!position)
            return RangeText("a key position", 0, kKeyPositionCount - 1);
        KeyArgument key;
        key.kind = KeyArgument::Kind::Position;
        key.position = static_cast<KeyPosition>(*position);
        return key;
    }
    if (const std::optional<ScanCode> scan = ScanFromKeyToken(word)) {
        KeyArgument key;
        key.scan = *scan;
        return key;
    }
    return "unknown key " + Quoted(word) + " (tavrikctl names keys lists the key names)";
}

FunctionArgument FunctionOf(KeyFunctionType type, ScanCode key, uint32_t row) {
    FunctionArgument function;
    function.type = type;
    function.key = key;
    function.row = row;
    return function;
}

// A key the keyboard can send as a single key: one with a usage on the keyboard page.
bool IsKeyboardKey(ScanCode scan) {
    const Usage usage = UsageFromScan(scan);
    return usage.page == 0x07 && usage.usage != 0;
}

std::variant<FunctionArgument, std::string> ParseSingleKey(std::string_view name) {
    const std::optional<ScanCode> scan = ScanFromKeyToken(name);
    if (!scan)
        return "unknown key " + Quoted(name) + " (tavrikctl names keys lists the key names)";
    if (!IsKeyboardKey(*scan))
        return "the keyboard cannot send " + Quoted(name) +
               " as a single key; multimedia keys are assigned with media:NAME";
    return FunctionOf(KeyFunctionType::SingleKey, *scan, 0);
}

std::variant<FunctionArgument, std::string> ParseMacroFunction(std::string_view reference) {
    FunctionArgument function = FunctionOf(KeyFunctionType::PlayMacro, 0, 0);
    const size_t colon = reference.rfind(':');
    if (colon != std::string_view::npos) {
        const std::string_view loopWord = reference.substr(colon + 1);
        if (!loopWord.empty() &&
            std::ranges::all_of(loopWord, [](char c) { return c >= '0' && c <= '9'; })) {
            const std::optional<int> loops = ParseNumber(loopWord, 1, 255);
            if (!loops)
                return RangeText("the loop count", 1, 255);
            function.loops = static_cast<uint8_t>(*loops);
            reference = reference.substr(0, colon);
        }
    }
    if (reference.empty())
        return std::string("macro: needs a macro's id or name");
    function.macro = std::string(reference);
    return function;
}

std::variant<FunctionArgument, std::string> ParseFunctionArgument(std::string_view word) {
    if (word == "default")
        return FunctionArgument{};
    const size_t colon = word.find(':');
    const std::string_view kind = word.substr(0, colon);
    const std::string_view rest =
        colon == std::string_view::npos ? std::string_view{} : word.substr(colon + 1);
    if (kind == "key")
        return ParseSingleKey(rest);
    if (kind == "macro")
        return ParseMacroFunction(rest);
    if (kind == "media") {
        const std::optional<size_t> row = MultimediaRowFromToken(rest);
        if (!row)
            return "unknown multimedia function " + Quoted(rest) +
                   " (tavrikctl names media lists them)";
        return FunctionOf(KeyFunctionType::Multimedia, 0, static_cast<uint32_t>(*row));
    }
    if (kind == "fn") {
        const std::optional<size_t> slot = FunctionSlotFromToken(rest);
        if (!slot)
            return "unknown keyboard function " + Quoted(rest) + " (tavrikctl names fn lists them)";
        return FunctionOf(KeyFunctionType::FunctionKey, 0, static_cast<uint32_t>(*slot));
    }
    return "unknown function " + Quoted(word) +
           " (expected default, key:NAME, macro:NAME|ID[:LOOPS], media:NAME|ROW or fn:NAME|SLOT)";
}

// ---- commands ------------------------------------------------------------------------------

Parsed ParseHelp(const Arguments& arguments) {
    if (arguments.words.size() > 1)
        return Misuse(arguments, "unexpected argument " + Quoted(arguments.words[1]));
    return HelpRequest{arguments.words.empty() ? std::string() : std::string(arguments.words[0])};
}

Parsed ParseInfo(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 0, ""))
        return *error;
    return InfoRequest{};
}

Parsed ParseProfile(const Arguments& arguments) {
    if (arguments.words.empty())
        return ProfileRequest{};
    if (auto error = ExpectWords(arguments, 1, "the hardware profile"))
        return *error;
    const std::optional<int> index = ParseNumber(arguments.words[0], 0, kLastProfile);
    if (!index)
        return Misuse(arguments, RangeText("the hardware profile", 0, kLastProfile));
    return ProfileRequest{*index};
}

Parsed ParseFileCommand(const Arguments& arguments, FileVerb verb) {
    if (auto error = ExpectWords(arguments, 1, "FILE"))
        return *error;
    return FileRequest{verb, std::string(arguments.words[0])};
}

Parsed ParseBackup(const Arguments& arguments) {
    return ParseFileCommand(arguments, FileVerb::Backup);
}
Parsed ParseRestore(const Arguments& arguments) {
    return ParseFileCommand(arguments, FileVerb::Restore);
}
Parsed ParseValidate(const Arguments& arguments) {
    return ParseFileCommand(arguments, FileVerb::Validate);
}

Parsed ParseDump(const Arguments& arguments) {
    if (arguments.Has("--keyboard")) {
        if (auto error = ExpectWords(arguments, 0, ""))
            return *error;
        return FileRequest{FileVerb::Dump, {}};
    }
    return ParseFileCommand(arguments, FileVerb::Dump);
}

Parsed ParseRemap(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 2, "KEY and FUNCTION"))
        return *error;
    RemapRequest request;
    if (const auto profile = arguments.Value("--profile")) {
        const std::optional<int> index = ParseNumber(*profile, 0, kLastProfile);
        if (!index)
            return Misuse(arguments, RangeText("the hardware profile", 0, kLastProfile));
        request.profile = *index;
    }
    auto key = ParseKeyArgument(arguments.words[0]);
    if (auto* message = std::get_if<std::string>(&key))
        return Misuse(arguments, *message);
    request.key = std::get<KeyArgument>(key);
    if (const auto bank = arguments.Value("--bank")) {
        if (*bank != "a" && *bank != "b" && *bank != "A" && *bank != "B")
            return Misuse(arguments, "the bank must be a or b");
        if (request.key.kind != KeyArgument::Kind::MacroKey)
            return Misuse(arguments, "--bank applies to the macro keys G1..G9 only");
        request.bankB = *bank == "b" || *bank == "B";
    }
    auto function = ParseFunctionArgument(arguments.words[1]);
    if (auto* message = std::get_if<std::string>(&function))
        return Misuse(arguments, *message);
    request.function = std::get<FunctionArgument>(function);
    return request;
}

// A sub-command's word, its verb, how many words follow it and what they are (for the usage
// error when they are missing).
template <typename Verb>
struct VerbSpec {
    std::string_view word;
    Verb verb;
    size_t words; // after the verb
    std::string_view expected;
};

constexpr std::array<VerbSpec<MacroVerb>, 7> kMacroVerbs{{
    {"list", MacroVerb::List, 0, ""},
    {"show", MacroVerb::Show, 1, "the macro's id or name"},
    {"add", MacroVerb::Add, 1, "the new macro's name"},
    {"rm", MacroVerb::Remove, 1, "the macro's id or name"},
    {"rename", MacroVerb::Rename, 2, "the macro's id or name and its new name"},
    {"loop", MacroVerb::Loop, 2, "the macro's id or name and the loop count"},
    {"actions", MacroVerb::Actions, 2,
     "the macro's id or name and the action FILE (- for "
     "standard input)"},
}};

Parsed ParseMacro(const Arguments& arguments) {
    if (arguments.words.empty())
        return Misuse(arguments, "missing the macro command (list, show, add, rm, rename, loop "
                                 "or actions)");
    const auto spec =
        std::ranges::find(kMacroVerbs, arguments.words[0], &VerbSpec<MacroVerb>::word);
    if (spec == kMacroVerbs.end())
        return Misuse(arguments, "unknown macro command " + Quoted(arguments.words[0]));
    Arguments rest = arguments;
    rest.words.erase(rest.words.begin());
    if (auto error = ExpectWords(rest, spec->words, spec->expected))
        return *error;
    if (arguments.Has("--force") && spec->verb != MacroVerb::Remove)
        return Misuse(arguments, "--force applies to macro rm only");
    MacroRequest request;
    request.verb = spec->verb;
    request.force = arguments.Has("--force");
    if (!rest.words.empty())
        request.macro = std::string(rest.words[0]);
    if (rest.words.size() > 1 && spec->verb != MacroVerb::Loop)
        request.argument = std::string(rest.words[1]);
    if ((spec->verb == MacroVerb::Add || spec->verb == MacroVerb::Rename) &&
        (spec->verb == MacroVerb::Add ? request.macro : request.argument).empty())
        return Misuse(arguments, "a macro needs a name");
    if (spec->verb == MacroVerb::Loop) {
        const std::optional<int> loops = ParseNumber(rest.words[1], 1, 255);
        if (!loops)
            return Misuse(arguments, RangeText("the loop count", 1, 255));
        request.loops = *loops;
    }
    return request;
}

std::optional<LightingOption> ParseLightingOption(std::string_view word) {
    struct Named {
        std::string_view name;
        LightingOption option;
    };
    constexpr std::array<Named, 4> kNames{{
        {"trigger-mode", LightingOption::TriggerMode},
        {"trigger-area", LightingOption::TriggerArea},
        {"press-reaction", LightingOption::PressReaction},
        {"breathing", LightingOption::Breathing},
    }};
    for (const Named& named : kNames) {
        if (word == named.name || ParseDecimal(word, 255) == static_cast<unsigned>(named.option))
            return named.option;
    }
    return std::nullopt;
}

// A key position by number ("18", "pos:18") or by the name of a key that has one.
std::optional<int> ParseLightingKey(std::string_view word) {
    if (word.starts_with(kPositionPrefix))
        word.remove_prefix(kPositionPrefix.size());
    if (const std::optional<int> position = ParseNumber(word, 0, kKeyPositionCount - 1))
        return position;
    const std::optional<ScanCode> scan = ScanFromKeyToken(word);
    if (!scan)
        return std::nullopt;
    const std::span<const KeyButton> buttons = KeyButtons();
    const auto button = std::ranges::find(buttons, *scan, &KeyButton::scan);
    if (button == buttons.end())
        return std::nullopt;
    return button->position;
}

Parsed ParseLightingWords(const Arguments& arguments, LightingRequest request) {
    const std::vector<std::string_view>& words = arguments.words;
    switch (request.verb) {
    case LightingVerb::Show:
    case LightingVerb::Reset:
        return request;
    case LightingVerb::Effect:
        if (const auto effect = ParseNumber(words[1], kFirstEffect, kLastEffect)) {
            request.value = *effect;
            return request;
        }
        return Misuse(arguments, RangeText("the effect", kFirstEffect, kLastEffect));
    case LightingVerb::Brightness:
    case LightingVerb::Speed:
        if (const auto level = ParseNumber(words[1], 0, kLevelMax)) {
            request.value = *level;
            return request;
        }
        return Misuse(arguments, RangeText(request.verb == LightingVerb::Speed ? "the speed"
                                                                               : "the brightness",
                                           0, kLevelMax));
    case LightingVerb::Direction:
        if (words[1] != "left" && words[1] != "right")
            return Misuse(arguments, "the direction must be left or right");
        request.value = words[1] == "right" ? 1 : 0;
        return request;
    case LightingVerb::Option: {
        const std::optional<LightingOption> option = ParseLightingOption(words[1]);
        if (!option)
            return Misuse(arguments, "the option must be 5, 7, 8, 9 or trigger-mode, "
                                     "trigger-area, press-reaction, breathing");
        const std::optional<int> choice = ParseNumber(words[2], 0, 1);
        if (!choice)
            return Misuse(arguments, "the option's value must be 0 or 1");
        request.option = *option;
        request.value = *choice;
        return request;
    }
    case LightingVerb::Key:
    case LightingVerb::All: {
        const bool key = request.verb == LightingVerb::Key;
        if (key) {
            const std::optional<int> position = ParseLightingKey(words[1]);
            if (!position)
                return Misuse(arguments, "the key must be a position from 0 to 159 or the name "
                                         "of a key of the keyboard");
            request.value = *position;
        }
        const std::string_view onOff = words[key ? 2 : 1];
        const std::optional<bool> on = ParseOnOff(onOff);
        if (!on)
            return Misuse(arguments, "expected on or off, not " + Quoted(onOff));
        request.on = *on;
        return request;
    }
    }
    return request;
}

constexpr std::array<VerbSpec<LightingVerb>, 9> kLightingVerbs{{
    {"show", LightingVerb::Show, 0, ""},
    {"effect", LightingVerb::Effect, 1, "the effect number"},
    {"brightness", LightingVerb::Brightness, 1, "the brightness"},
    {"speed", LightingVerb::Speed, 1, "the speed"},
    {"direction", LightingVerb::Direction, 1, "the direction"},
    {"option", LightingVerb::Option, 2, "the option and its value"},
    {"key", LightingVerb::Key, 2, "the key and on or off"},
    {"all", LightingVerb::All, 1, "on or off"},
    {"reset", LightingVerb::Reset, 0, ""},
}};

Parsed ParseLighting(const Arguments& arguments) {
    if (arguments.words.empty())
        return Misuse(arguments, "missing the lighting command");
    const auto spec =
        std::ranges::find(kLightingVerbs, arguments.words[0], &VerbSpec<LightingVerb>::word);
    if (spec == kLightingVerbs.end())
        return Misuse(arguments, "unknown lighting command " + Quoted(arguments.words[0]));
    Arguments rest = arguments;
    rest.words.erase(rest.words.begin());
    if (auto error = ExpectWords(rest, spec->words, spec->expected))
        return *error;
    LightingRequest request;
    request.verb = spec->verb;
    return ParseLightingWords(arguments, request);
}

Parsed ParseWatch(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 0, ""))
        return *error;
    WatchRequest request;
    if (const auto count = arguments.Value("--count")) {
        const std::optional<int> events = ParseNumber(*count, 1, 1'000'000'000);
        if (!events)
            return Misuse(arguments, "the count must be a positive number");
        request.count = *events;
    }
    return request;
}

Parsed ParseNames(const Arguments& arguments) {
    if (arguments.words.empty())
        return NamesRequest{};
    if (auto error = ExpectWords(arguments, 1, "the list"))
        return *error;
    const std::string_view list = arguments.words[0];
    if (list == "keys")
        return NamesRequest{NameList::Keys};
    if (list == "media")
        return NamesRequest{NameList::Media};
    if (list == "fn")
        return NamesRequest{NameList::Functions};
    return Misuse(arguments, "the list must be keys, media or fn");
}

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands{
        {"help", {}, ParseHelp},
        {"info", {}, ParseInfo},
        {"profile", {}, ParseProfile},
        {"backup", {}, ParseBackup},
        {"restore", {}, ParseRestore},
        {"validate", {}, ParseValidate},
        {"dump", {{"--keyboard", false}}, ParseDump},
        {"remap", {{"--profile", true}, {"--bank", true}}, ParseRemap},
        {"macro", {{"--force", false}}, ParseMacro},
        {"lighting", {}, ParseLighting},
        {"watch", {{"--count", true}}, ParseWatch},
        {"names", {}, ParseNames},
    };
    return commands;
}

const CommandSpec* FindCommand(std::string_view name) {
    const auto& commands = Commands();
    const auto found = std::ranges::find(commands, name, &CommandSpec::name);
    return found != commands.end() ? &*found : nullptr;
}

// Words of the command and its options; "--" makes every later word a plain word.
struct Word {
    std::string_view text;
    bool plain = false;
};

std::variant<Arguments, UsageError> SeparateOptions(const CommandSpec& spec,
                                                    std::span<const Word> words) {
    Arguments arguments;
    arguments.command = spec.name;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i].text;
        if (words[i].plain || !word.starts_with("--")) {
            arguments.words.push_back(word);
            continue;
        }
        const size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const auto option = std::ranges::find(spec.options, name, &OptionSpec::name);
        if (option == spec.options.end())
            return Misuse(arguments, "unknown option " + Quoted(name));
        if (!option->takesValue) {
            if (equals != std::string_view::npos)
                return Misuse(arguments, Quoted(name) + " takes no value");
            arguments.options[name] = {};
        } else if (equals != std::string_view::npos) {
            arguments.options[name] = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            arguments.options[name] = words[++i].text;
        } else {
            return Misuse(arguments, Quoted(name) + " needs a value");
        }
    }
    return arguments;
}

} // namespace

std::variant<CommandLine, UsageError> ParseCommandLine(std::span<const std::string_view> args) {
    CommandLine line;
    bool help = false;
    bool version = false;
    std::vector<Word> rest;
    bool plain = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view word = args[i];
        if (plain) {
            rest.push_back({word, true});
        } else if (word == "--") {
            plain = true;
        } else if (word == "--json") {
            line.json = true;
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--version") {
            version = true;
        } else if (word == "--device") {
            if (i + 1 >= args.size())
                return UsageError{"--device needs a value (hid, demo or emu:PATH)", {}};
            line.device = std::string(args[++i]);
        } else if (word.starts_with("--device=")) {
            line.device = std::string(word.substr(std::string_view("--device=").size()));
        } else {
            rest.push_back({word, false});
        }
    }
    if (rest.empty()) {
        if (!help && !version)
            return UsageError{"no command given", {}};
        line.request = version && !help ? Request(VersionRequest{}) : Request(HelpRequest{});
        return line;
    }
    if (!rest.front().plain && rest.front().text.starts_with("-"))
        return UsageError{"unknown option " + Quoted(rest.front().text), {}};
    const CommandSpec* spec = FindCommand(rest.front().text);
    if (spec == nullptr)
        return UsageError{"unknown command " + Quoted(rest.front().text), {}};
    if (help) {
        line.request = HelpRequest{std::string(spec->name)};
        return line;
    }
    auto arguments = SeparateOptions(*spec, std::span(rest).subspan(1));
    if (auto* error = std::get_if<UsageError>(&arguments))
        return *error;
    Parsed parsed = spec->parse(std::get<Arguments>(arguments));
    if (auto* error = std::get_if<UsageError>(&parsed))
        return *error;
    line.request = std::get<Request>(std::move(parsed));
    return line;
}

bool NeedsKeyboard(const Request& request) {
    if (const auto* file = std::get_if<FileRequest>(&request))
        return file->verb != FileVerb::Validate &&
               !(file->verb == FileVerb::Dump && !file->path.empty());
    return !std::holds_alternative<HelpRequest>(request) &&
           !std::holds_alternative<VersionRequest>(request) &&
           !std::holds_alternative<NamesRequest>(request);
}

} // namespace tavrik::cli
