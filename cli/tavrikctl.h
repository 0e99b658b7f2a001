#pragma once
// tavrikctl as a function: parses the command line, opens the keyboard when the command needs
// it, runs the command and gives the exit status.

#include "cli/console.h"

#include <istream>
#include <span>
#include <string_view>

namespace tavrik::cli {

// `deviceEnvironment` is the value of TAVRIK_DEVICE (nullptr when unset); `input` is what
// "macro actions NAME -" reads.
int RunTavrikctl(std::span<const std::string_view> args, Console& console, std::istream& input,
                 const char* deviceEnvironment);

} // namespace tavrik::cli
