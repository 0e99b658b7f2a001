#include "cli/doctor_self_test.h"

#include "device/macro_memory.h"

#include <functional>

namespace tavrik::cli {

namespace {

SelfTestStep Timed(std::string exchange, const std::function<DeviceResult()>& read) {
    const auto start = std::chrono::steady_clock::now();
    const DeviceResult result = read();
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    return {std::move(exchange), result, took};
}

} // namespace

std::vector<SelfTestStep> RunSelfTest(DeviceCommands& commands) {
    DeviceSettings settings{};
    KeyMapBlock block{};
    std::array<uint8_t, kMacroHeaderBytes> macroHeader{};
    std::array<uint8_t, kLightingParamsSize> lighting{};
    std::vector<SelfTestStep> steps;
    steps.push_back(Timed("settings", [&] { return commands.ReadSettings(settings); }));
    steps.push_back(Timed("default layout", [&] { return commands.ReadDefaultLayout(block); }));
    for (int profile = 0; profile < kKeyMapBlockCount; ++profile)
        steps.push_back(Timed("key map of hardware profile " + std::to_string(profile),
                              [&] { return commands.ReadKeyMapBlock(profile, block); }));
    steps.push_back(Timed("macro header", [&] { return commands.ReadMacroMemory(macroHeader); }));
    steps.push_back(Timed("lighting", [&] { return commands.ReadLighting(lighting, 0); }));
    return steps;
}

} // namespace tavrik::cli
