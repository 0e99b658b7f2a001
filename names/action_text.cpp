#include "names/action_text.h"

#include "keys/text.h"
#include "names/key_names.h"

#include <optional>

namespace tavrik {

namespace {

inline constexpr std::string_view kSpaces = " \t\r";
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

// Splits off the last space-separated word: (rest, word).
std::pair<std::string_view, std::string_view> SplitLastWord(std::string_view text) {
    const size_t space = text.find_last_of(kSpaces);
    if (space == std::string_view::npos)
        return {{}, text};
    return {Trim(text.substr(0, space)), text.substr(space + 1)};
}

// A macro name inside a comment line: line breaks would end the comment.
std::string CommentText(std::u16string_view name) {
    std::string text = Utf8From(name);
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

std::optional<KeyDirection> DirectionFromWord(std::string_view word) {
    if (word == "down")
        return KeyDirection::Press;
    if (word == "up")
        return KeyDirection::Release;
    return std::nullopt;
}

std::variant<MacroAction, std::string> ParseActionLine(std::string_view line) {
    const auto [beforePause, pauseWord] = SplitLastWord(line);
    const auto [keyText, directionWord] = SplitLastWord(beforePause);
    if (keyText.empty())
        return std::string("expected KEY down|up PAUSE_MS");
    auto key = ResolveKeyToken(keyText);
    if (auto* problem = std::get_if<std::string>(&key))
        return std::move(*problem);
    const std::optional<KeyDirection> direction = DirectionFromWord(directionWord);
    if (!direction)
        return "the direction must be down or up, not \"" + std::string(directionWord) + "\"";
    const std::optional<unsigned> pause = ParseDecimal(pauseWord, kMaxEditedDelayMs);
    if (!pause)
        return "the pause must be a number of milliseconds from 0 to " +
               std::to_string(kMaxEditedDelayMs) + ", not \"" + std::string(pauseWord) + "\"";
    return MacroAction{.delayMs = *pause, .key = std::get<ScanCode>(key), .direction = *direction};
}

} // namespace

std::variant<std::vector<MacroAction>, ActionTextError>
ParseActionText(std::string_view text, std::vector<size_t>* lines) {
    if (text.starts_with(kUtf8ByteOrderMark))
        text.remove_prefix(kUtf8ByteOrderMark.size());
    std::vector<MacroAction> actions;
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        auto parsed = ParseActionLine(line);
        if (auto* message = std::get_if<std::string>(&parsed))
            return ActionTextError{lineNumber, std::move(*message)};
        if (actions.size() == kMaxMacroActions)
            return ActionTextError{lineNumber, "a macro holds at most " +
                                                   std::to_string(kMaxMacroActions) + " actions"};
        actions.push_back(std::get<MacroAction>(parsed));
        if (lines)
            lines->push_back(lineNumber);
    }
    return actions;
}

std::string FormatAction(const MacroAction& action) {
    return KeyToken(action.key) + (action.direction == KeyDirection::Press ? " down " : " up ") +
           std::to_string(action.delayMs);
}

std::string FormatActionText(const MacroRecord& macro) {
    std::string text = "# macro " + std::to_string(macro.id) + " \"" +
                       CommentText(StoredMacroName(macro)) + "\", loop count " +
                       std::to_string(macro.loopCount) + "\n# KEY down|up PAUSE_MS\n";
    for (const MacroAction& action : StoredMacroActions(macro))
        text += FormatAction(action) + '\n';
    return text;
}

} // namespace tavrik
