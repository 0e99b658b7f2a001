#include "cli/command_parsing.h"

#include "names/key_names.h"

namespace tavrik::cli {

UsageError Misuse(const Arguments& arguments, std::string message) {
    return {std::move(message), std::string(arguments.command)};
}

std::string Quoted(std::string_view word) {
    return "\"" + std::string(word) + "\"";
}

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

std::string RangeText(std::string_view what, int low, int high) {
    return std::string(what) + " must be a number from " + std::to_string(low) + " to " +
           std::to_string(high);
}

Parsed ParseFileCommand(const Arguments& arguments, FileVerb verb) {
    if (auto error = ExpectWords(arguments, 1, "FILE"))
        return *error;
    return FileRequest{verb, std::string(arguments.words[0])};
}

} // namespace tavrik::cli
