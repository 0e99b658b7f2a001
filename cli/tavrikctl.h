#pragma once
// tavrikctl as a function: parses the command line, opens the keyboard when the command needs
// it, runs the command and gives the exit status.

#include "cli/command_line.h"
#include "cli/command_support.h"
#include "cli/console.h"

#include <istream>
#include <span>
#include <string_view>

namespace tavrik::cli {

class KeyboardSession;

// `deviceEnvironment` is the value of TAVRIK_DEVICE (nullptr when unset); `input` is what
// "macro actions NAME -" reads.
int RunTavrikctl(std::span<const std::string_view> args, Console& console, std::istream& input,
                 const char* deviceEnvironment);

// A parsed command on a keyboard session that is already open.
ExitStatus RunCommand(KeyboardSession& session, const Output& output, const Request& request,
                      std::istream& input);

} // namespace tavrik::cli
