#pragma once
// The command line of `tavrik-emu serve SOCKET [options]`.

#include "emulator/firmware_config.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::emu {

struct ServeOptions {
    std::string socketPath;
    FirmwareConfig config;
    std::chrono::microseconds reportInterval{0};
    std::string stateFile; // empty: the keyboard forgets everything when the server ends
    bool plugged = true;
    bool help = false; // --help or -h: show the usage, serve nothing
};

// `args` are the words after "serve". Nothing and the reason when they do not describe a keyboard;
// --help anywhere asks for the usage alone, whatever else is there.
std::optional<ServeOptions> ParseServeOptions(const std::vector<std::string>& args,
                                              std::string* error);

} // namespace tavrik::emu
