#include "emulator/firmware_config.h"

namespace tavrik::emu {

LightingBytes FactoryLighting() {
    LightingBytes lighting{};
    lighting[0] = 9;  // effect
    lighting[1] = 20; // brightness
    lighting[2] = 5;  // speed
    return lighting;
}

std::string ConfigProblem(const FirmwareConfig& config) {
    if (config.macroCapacityUnits < kMinCapacityUnits)
        return "the macro capacity must be 1 to 255 units of 128 bytes";
    if (config.activeProfile >= kKeyMapBlockCount)
        return "the active profile must be 0, 1 or 2";
    for (uint8_t effect : config.offeredEffects) {
        if (effect > 10)
            return "lighting effects are numbered 1 to 10";
    }
    return {};
}

} // namespace tavrik::emu
