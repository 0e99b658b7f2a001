// tavrikctl info and tavrikctl doctor take no arguments.
#include "cli/command_parsing.h"

namespace tavrik::cli {

Parsed ParseInfo(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 0, ""))
        return *error;
    return InfoRequest{};
}

Parsed ParseDoctor(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 0, ""))
        return *error;
    return DoctorRequest{};
}

} // namespace tavrik::cli
