#pragma once
// What the parsers of tavrikctl's commands share: a command's words with its options taken out,
// the usage errors they give and the checks of word counts and numbers. Each command group's
// parser sits in a file of its own beside the group's command file (remap_parsing.cpp beside
// remap_command.cpp, ...); command_line.cpp finds the command and hands it its words.

#include "cli/command_line.h"
#include "names/name_matching.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavrik::cli {

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

// What a command's parser gives: its request, or a usage error that shows its usage.
using Parsed = std::variant<Request, UsageError>;

UsageError Misuse(const Arguments& arguments, std::string message);

std::string Quoted(std::string_view word);

// Exactly `count` words, or a usage error naming what the command expects.
std::optional<UsageError> ExpectWords(const Arguments& arguments, size_t count,
                                      std::string_view expected);

// A decimal number from low to high, nothing otherwise.
std::optional<int> ParseNumber(std::string_view word, int low, int high);

// "WHAT must be a number from LOW to HIGH".
std::string RangeText(std::string_view what, int low, int high);

// The one FILE word of backup, restore, validate and dump.
Parsed ParseFileCommand(const Arguments& arguments, FileVerb verb);

// "pos:N" names a key position in remap and lighting key.
inline constexpr std::string_view kPositionPrefix = "pos:";
inline constexpr int kLastProfile = static_cast<int>(kHardwareProfileCount) - 1;

// A sub-command's word, its verb, how many words follow it and what they are (for the usage
// error when they are missing).
template <typename Verb>
struct VerbSpec {
    std::string_view word;
    Verb verb;
    size_t words; // after the verb
    std::string_view expected;
};

// "unknown WHAT "WORD"" with the closest of the verbs' words.
template <typename Verb, size_t Count>
std::string UnknownVerbText(std::string_view what, std::string_view word,
                            const std::array<VerbSpec<Verb>, Count>& verbs) {
    std::array<std::string_view, Count> words;
    std::ranges::transform(verbs, words.begin(), &VerbSpec<Verb>::word);
    return UnknownWordText(what, word, words, "");
}

// info_parsing.cpp
Parsed ParseInfo(const Arguments& arguments);
Parsed ParseDoctor(const Arguments& arguments);

// profile_parsing.cpp
Parsed ParseProfile(const Arguments& arguments);
Parsed ParseBackup(const Arguments& arguments);
Parsed ParseRestore(const Arguments& arguments);
Parsed ParseValidate(const Arguments& arguments);

// profile_text_parsing.cpp
Parsed ParseExport(const Arguments& arguments);
Parsed ParseImport(const Arguments& arguments);
Parsed ParseDiff(const Arguments& arguments);

// dump_parsing.cpp
Parsed ParseDump(const Arguments& arguments);

// remap_parsing.cpp
Parsed ParseRemap(const Arguments& arguments);

// macro_parsing.cpp
Parsed ParseMacro(const Arguments& arguments);

// lighting_parsing.cpp
Parsed ParseLighting(const Arguments& arguments);

// watch_parsing.cpp
Parsed ParseWatch(const Arguments& arguments);

// names_parsing.cpp
Parsed ParseNames(const Arguments& arguments);

} // namespace tavrik::cli
