#pragma once
// What one emulated keyboard is built from: the facts a real keyboard has burnt in (macro
// capacity, offered lighting effects, factory key map) and the state it starts in.

#include "device/default_layout.h"
#include "device/device_commands.h"

#include <array>
#include <cstdint>
#include <string>

namespace tavrik::emu {

inline constexpr size_t kLightingAreaSize = kLightingParamsSize; // 56 bytes from address 0
using LightingBytes = std::array<uint8_t, kLightingAreaSize>;
using OfferedEffects = std::array<uint8_t, settings_byte::kEffectSlots>;

inline constexpr uint8_t kMinCapacityUnits = 1; // the empty macro image needs 16 bytes
inline constexpr uint8_t kMacroUnitSize = 128;

// Effect 9, brightness 20, speed 5, direction left, every option at its first choice: what the
// program's lighting reset writes, and what a keyboard leaves the factory with.
LightingBytes FactoryLighting();

struct FirmwareConfig {
    uint8_t macroCapacityUnits = 32; // 4 KiB of macro memory
    OfferedEffects offeredEffects = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0, 0, 0};
    uint8_t activeProfile = 0; // 0..2
    KeyMapBlock defaultLayout = kDefaultLayout;
    LightingBytes lighting = FactoryLighting();
};

// Empty when the configuration describes a keyboard that can exist, else the reason.
std::string ConfigProblem(const FirmwareConfig& config);

} // namespace tavrik::emu
