// tavrikctl names [--plain] [keys|media|fn|effects].
#include "cli/command_parsing.h"

#include <array>

namespace tavrik::cli {

namespace {

constexpr std::array<VerbSpec<NameList>, 4> kLists{{
    {"keys", NameList::Keys, 0, ""},
    {"media", NameList::Media, 0, ""},
    {"fn", NameList::Functions, 0, ""},
    {"effects", NameList::Effects, 0, ""},
}};

} // namespace

Parsed ParseNames(const Arguments& arguments) {
    const bool plain = arguments.Has("--plain");
    if (arguments.words.empty())
        return NamesRequest{NameList::All, plain};
    if (auto error = ExpectWords(arguments, 1, "the list"))
        return *error;
    const auto list = std::ranges::find(kLists, arguments.words[0], &VerbSpec<NameList>::word);
    if (list == kLists.end())
        return Misuse(arguments, UnknownVerbText("list", arguments.words[0], kLists) +
                                     " (the lists are keys, media, fn and effects)");
    return NamesRequest{list->verb, plain};
}

} // namespace tavrik::cli
