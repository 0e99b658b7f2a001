// tavrikctl profile [N], backup FILE, restore FILE, validate FILE.
#include "cli/command_parsing.h"

namespace tavrik::cli {

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

Parsed ParseBackup(const Arguments& arguments) {
    return ParseFileCommand(arguments, FileVerb::Backup);
}
Parsed ParseRestore(const Arguments& arguments) {
    return ParseFileCommand(arguments, FileVerb::Restore);
}
Parsed ParseValidate(const Arguments& arguments) {
    return ParseFileCommand(arguments, FileVerb::Validate);
}

} // namespace tavrik::cli
