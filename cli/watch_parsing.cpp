// tavrikctl watch [--count N].
#include "cli/command_parsing.h"

namespace tavrik::cli {

Parsed ParseWatch(const Arguments& arguments) {
    if (auto error = ExpectWords(arguments, 0, ""))
        return *error;
    WatchRequest request;
    if (const auto count = arguments.Value("--count")) {
        const std::optional<int> events = ParseNumber(*count, 1, 1'000'000'000);
        if (!events)
            return Misuse(arguments, "the count must be a positive number");
        request.count = *events;
    }
    return request;
}

} // namespace tavrik::cli
