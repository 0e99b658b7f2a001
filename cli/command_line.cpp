// The words of the command line: the global options anywhere, then a command and its options;
// the command's own words go to its group's parser (command_parsing.h).
#include "cli/command_line.h"

#include "cli/command_parsing.h"
#include "names/name_matching.h"

#include <algorithm>
#include <vector>

namespace tavrik::cli {

namespace {

// A day: a script that must wait longer for the keyboard waits in a loop of its own.
constexpr std::chrono::seconds kLongestTurnWait{24 * 60 * 60};

struct OptionSpec {
    std::string_view name;
    bool takesValue = false;
};

struct CommandSpec {
    std::string_view name;
    std::vector<OptionSpec> options;
    Parsed (*parse)(const Arguments&);
};

// help [COMMAND] belongs to the command line itself, as --help does.
Parsed ParseHelp(const Arguments& arguments) {
    if (arguments.words.size() > 1)
        return Misuse(arguments, "unexpected argument " + Quoted(arguments.words[1]));
    return HelpRequest{arguments.words.empty() ? std::string() : std::string(arguments.words[0])};
}

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands{
        {"help", {}, ParseHelp},
        {"info", {}, ParseInfo},
        {"profile", {}, ParseProfile},
        {"backup", {}, ParseBackup},
        {"restore", {}, ParseRestore},
        {"validate", {}, ParseValidate},
        {"export", {{"--text", true}}, ParseExport},
        {"import", {}, ParseImport},
        {"diff", {{"--keyboard", false}}, ParseDiff},
        {"dump", {{"--keyboard", false}}, ParseDump},
        {"remap", {{"--profile", true}, {"--bank", true}}, ParseRemap},
        {"macro", {{"--force", false}}, ParseMacro},
        {"lighting", {}, ParseLighting},
        {"watch", {{"--count", true}}, ParseWatch},
        {"names", {{"--plain", false}}, ParseNames},
        {"doctor", {}, ParseDoctor},
    };
    return commands;
}

const CommandSpec* FindCommand(std::string_view name) {
    const auto& commands = Commands();
    const auto found = std::ranges::find(commands, name, &CommandSpec::name);
    return found != commands.end() ? &*found : nullptr;
}

std::string UnknownCommandText(std::string_view word) {
    std::vector<std::string_view> names;
    for (const CommandSpec& command : Commands())
        names.push_back(command.name);
    return UnknownWordText("command", word, names, "tavrikctl --help lists the commands");
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
        } else if (word == "--no-verify") {
            line.verifyWrites = false;
        } else if (word == "--full-write") {
            line.writeEveryFrame = true;
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--version") {
            version = true;
        } else if (word == "--wait" || word.starts_with("--wait=")) {
            std::string_view value;
            if (word == "--wait") {
                if (i + 1 >= args.size())
                    return UsageError{"--wait needs a number of seconds", {}};
                value = args[++i];
            } else {
                value = word.substr(std::string_view("--wait=").size());
            }
            const std::optional<int> wait =
                ParseNumber(value, 0, static_cast<int>(kLongestTurnWait.count()));
            if (!wait)
                return UsageError{"--wait takes a whole number of seconds from 0 to " +
                                      std::to_string(kLongestTurnWait.count()) + ", not " +
                                      Quoted(value),
                                  {}};
            line.turnWait = std::chrono::seconds(*wait);
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
        return UsageError{UnknownCommandText(rest.front().text), {}};
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
    if (const auto* text = std::get_if<ProfileTextRequest>(&request))
        return text->verb != TextVerb::Diff || !text->before;
    if (const auto* file = std::get_if<FileRequest>(&request))
        return file->verb != FileVerb::Validate &&
               !(file->verb == FileVerb::Dump && !file->path.empty());
    return !std::holds_alternative<HelpRequest>(request) &&
           !std::holds_alternative<VersionRequest>(request) &&
           !std::holds_alternative<NamesRequest>(request);
}

} // namespace tavrik::cli
