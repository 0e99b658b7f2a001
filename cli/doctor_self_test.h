#pragma once
// tavrikctl doctor's self-test: one read of each kind the program relies on, timed, through the
// configuration unit. It only reads: nothing is written to the keyboard.

#include "device/device_commands.h"

#include <chrono>
#include <string>
#include <vector>

namespace tavrik::cli {

struct SelfTestStep {
    std::string exchange; // "settings", "key map of hardware profile 0", ...
    DeviceResult result = DeviceResult::Done;
    std::chrono::microseconds took{0};
};

// Settings, the default layout, the three key maps, the macro header and the lighting.
std::vector<SelfTestStep> RunSelfTest(DeviceCommands& commands);

} // namespace tavrik::cli
