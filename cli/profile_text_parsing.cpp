// tavrikctl export --text FILE, import FILE, diff A B | diff --keyboard B.
#include "cli/command_parsing.h"

namespace tavrik::cli {

Parsed ParseExport(const Arguments& arguments) {
    const std::optional<std::string_view> path = arguments.Value("--text");
    if (!path)
        return Misuse(arguments, "export writes text: --text FILE (backup writes a profile file)");
    if (auto error = ExpectWords(arguments, 0, "nothing but --text FILE"))
        return *error;
    return ProfileTextRequest{TextVerb::Export, std::string(*path), std::nullopt};
}

Parsed ParseImport(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 1, "FILE"))
        return *error;
    return ProfileTextRequest{TextVerb::Import, std::string(arguments.words[0]), std::nullopt};
}

Parsed ParseDiff(const Arguments& arguments) {
    if (arguments.Has("--keyboard")) {
        if (auto error = ExpectWords(arguments, 1, "FILE"))
            return *error;
        return ProfileTextRequest{TextVerb::Diff, std::string(arguments.words[0]), std::nullopt};
    }
    if (auto error = ExpectWords(arguments, 2, "two files, or --keyboard and a file"))
        return *error;
    return ProfileTextRequest{TextVerb::Diff, std::string(arguments.words[1]),
                              std::string(arguments.words[0])};
}

} // namespace tavrik::cli
