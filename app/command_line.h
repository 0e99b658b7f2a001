#pragma once
// The program's command line. The switches: "/Kill" stops a running instance, "/Start" (the
// start at login) is accepted and changes nothing; each whole argument is compared without
// regard to case, and words that are not options are ignored. The options: --device chooses the
// keyboard, --help and --version answer without a window, and Qt's own options (-platform,
// -display, -style, ...) go on to Qt. Any other option is refused before anything starts.

#include <span>
#include <string>
#include <string_view>

namespace tavrik {

struct StartSwitches {
    bool kill = false;
    bool start = false;
};

// The arguments after the program's name.
StartSwitches ParseStartSwitches(std::span<const std::string_view> arguments);

struct CommandLineCheck {
    enum class Request {
        Run,     // start the program
        Help,    // --help or -h: print the usage and end
        Version, // --version: print the version and end
        Refused, // an unknown option, or an option without its value
    };
    Request request = Request::Run;
    std::string problem; // Refused: what is wrong, as one sentence
};

// The arguments after the program's name, left to right: the first help, version or refused
// option decides; "--" ends the options.
CommandLineCheck CheckCommandLine(std::span<const std::string_view> arguments);

// What --help and --version print.
std::string_view DesktopUsage();
std::string DesktopVersion();

} // namespace tavrik
