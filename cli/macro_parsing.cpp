// tavrikctl macro list|show|add|rm|rename|loop|actions ...
#include "cli/command_parsing.h"

#include <algorithm>
#include <array>

namespace tavrik::cli {

namespace {

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

} // namespace

Parsed ParseMacro(const Arguments& arguments) {
    if (arguments.words.empty())
        return Misuse(arguments, "missing the macro command (list, show, add, rm, rename, loop "
                                 "or actions)");
    const auto spec =
        std::ranges::find(kMacroVerbs, arguments.words[0], &VerbSpec<MacroVerb>::word);
    if (spec == kMacroVerbs.end())
        return Misuse(arguments, UnknownVerbText("macro command", arguments.words[0], kMacroVerbs));
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

} // namespace tavrik::cli
