#pragma once
// The keyboard's memory areas as the configuration commands address them.

#include "device/macro_memory.h"
#include "emulator/firmware_config.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavrik::emu {

inline constexpr size_t kKeyColourTableSize = 480; // 160 positions x (red, green, blue)
// The colour table moves in nine frames of 18 keys, so the last frame reaches 6 bytes past
// position 159. The keyboard keeps those bytes as padding: writes there are dropped, reads give 0.
inline constexpr size_t kColourAreaSize = 486;
inline constexpr uint16_t kKeyMapStride = 512; // block i starts at device address i x 512

enum class Area { Settings, Lighting, KeyMaps, DefaultLayout, MacroMemory, Colours };

struct KeyboardMemory {
    DeviceSettings settings{};
    LightingBytes lighting{};
    std::array<KeyMapBlock, kKeyMapBlockCount> keyMaps{};
    KeyMapBlock defaultLayout{};
    std::vector<uint8_t> macroMemory; // MacroCapacity bytes
    std::array<uint8_t, kColourAreaSize> colours{};

    uint8_t ActiveProfile() const { return settings[settings_byte::kActiveProfile]; }
    uint8_t CapacityUnits() const { return settings[settings_byte::kMacroCapacityUnits]; }
    const KeyMapBlock& ActiveKeyMap() const;
    bool operator==(const KeyboardMemory&) const = default;
};

// A keyboard fresh from the factory: every key map a copy of the default layout, the macro memory
// holding an empty image (magic, length 16, no macros), all keys lit white. An impossible config is
// mended first: capacity at least one unit, active profile 0 when out of range.
KeyboardMemory FreshMemory(const FirmwareConfig& config);

// The bytes of one area that a frame's address and length cover, or nothing when any of them
// lies outside the area (key map addresses must stay inside one block).
std::optional<std::span<uint8_t>> AreaBytes(KeyboardMemory& memory, Area area, uint16_t address,
                                            size_t length);

// The empty macro image a fresh keyboard holds.
std::array<uint8_t, kMacroHeaderBytes> EmptyMacroImage();

// Empty when the memory is one a keyboard can hold (sizes, active profile, macro memory the size
// the capacity byte announces, colour padding zero), else the reason.
std::string MemoryProblem(const KeyboardMemory& memory);

} // namespace tavrik::emu
