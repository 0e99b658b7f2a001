// tavrikctl info takes no arguments.
#include "cli/command_parsing.h"

namespace tavrik::cli {

Parsed ParseInfo(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 0, ""))
        return *error;
    return InfoRequest{};
}

} // namespace tavrik::cli
