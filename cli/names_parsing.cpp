// tavrikctl names [keys|media|fn].
#include "cli/command_parsing.h"

namespace tavrik::cli {

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

} // namespace tavrik::cli
