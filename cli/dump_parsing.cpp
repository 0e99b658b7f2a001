// tavrikctl dump FILE, dump --keyboard.
#include "cli/command_parsing.h"

namespace tavrik::cli {

Parsed ParseDump(const Arguments& arguments) {
    if (arguments.Has("--keyboard")) {
        if (auto error = ExpectWords(arguments, 0, ""))
            return *error;
        return FileRequest{FileVerb::Dump, {}};
    }
    return ParseFileCommand(arguments, FileVerb::Dump);
}

} // namespace tavrik::cli
