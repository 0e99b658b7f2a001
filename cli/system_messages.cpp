#include "cli/system_messages.h"

#include "device/device_texts.h"
#include "keys/text.h"
#include "macro/macro_texts.h"
#include "profile/profile_messages.h"

#include <array>

namespace tavrik::cli {

namespace {

struct KnownMessage {
    std::u16string_view text; // the whole text, or the fixed part a path follows
    std::string_view english;
};

constexpr std::array<KnownMessage, 9> kKnownMessages{{
    {profile_text::kFormatErrorRestoringDefaults, "the file is not a valid profile file:"},
    {profile_text::kImportFailed, "the profile file was not imported"},
    {macro_text::kMacroMemoryTooSmall,
     "the macros do not fit the keyboard's macro memory even without their names; nothing "
     "was sent"},
    {macro_text::kMacroNamesLeftOut,
     "the macro memory is too small for the macro names; the macros were sent without them"},
    {macro_text::kTooManyMacros, "a profile holds at most 100 macros"},
    {macro_text::kDelayTooLong, "the longest pause is 40000 ms"},
    {macro_text::kDeleteReferencedMacro, "keys still play this macro"},
    {macro_text::kClearActions, "all actions of the macro would be removed"},
    {kDefaultLayoutReadFailed, "reading the keyboard's default key layout failed"},
}};

std::string OneLine(std::u16string_view text) {
    std::string line;
    bool lastWasSpace = false;
    for (const char c : Utf8From(text)) {
        const bool space = c == '\n' || c == '\r' || c == ' ';
        if (space && lastWasSpace)
            continue;
        line.push_back(space ? ' ' : c);
        lastWasSpace = space;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

} // namespace

std::string ExplainSystemMessage(std::u16string_view text) {
    for (const KnownMessage& known : kKnownMessages) {
        if (!text.starts_with(known.text))
            continue;
        const std::u16string_view rest = text.substr(known.text.size());
        std::string explained(known.english);
        if (!rest.empty())
            explained += " " + OneLine(rest);
        return explained;
    }
    return OneLine(text);
}

} // namespace tavrik::cli
