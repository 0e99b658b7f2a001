#include "emulator/keyboard_memory.h"

#include "device/byte_order.h"

#include <algorithm>

namespace tavrik::emu {

namespace {

std::optional<std::span<uint8_t>> Slice(std::span<uint8_t> bytes, size_t address, size_t length) {
    if (address > bytes.size() || length > bytes.size() - address)
        return std::nullopt;
    return bytes.subspan(address, length);
}

} // namespace

const KeyMapBlock& KeyboardMemory::ActiveKeyMap() const {
    const uint8_t profile = ActiveProfile();
    return keyMaps[profile < keyMaps.size() ? profile : 0];
}

std::array<uint8_t, kMacroHeaderBytes> EmptyMacroImage() {
    std::array<uint8_t, kMacroHeaderBytes> image{};
    WriteU16(image, 0, kMacroImageMagic);
    WriteU16(image, 2, kMacroHeaderBytes);
    WriteU16(image, 4, 0); // no macros
    WriteU16(image, 6, 1); // names included (there are none)
    return image;
}

KeyboardMemory FreshMemory(const FirmwareConfig& config) {
    KeyboardMemory memory;
    const uint8_t units = std::max(config.macroCapacityUnits, kMinCapacityUnits);
    memory.settings[settings_byte::kActiveProfile] =
        config.activeProfile < kKeyMapBlockCount ? config.activeProfile : 0;
    memory.settings[settings_byte::kMacroCapacityUnits] = units;
    std::copy(config.offeredEffects.begin(), config.offeredEffects.end(),
              memory.settings.begin() + settings_byte::kFirstEffect);
    memory.lighting = config.lighting;
    memory.defaultLayout = config.defaultLayout;
    memory.keyMaps.fill(config.defaultLayout);
    memory.macroMemory.assign(size_t{units} * kMacroUnitSize, 0);
    const auto empty = EmptyMacroImage();
    std::copy(empty.begin(), empty.end(), memory.macroMemory.begin());
    std::fill(memory.colours.begin(), memory.colours.begin() + kKeyColourTableSize, 0xFF);
    return memory;
}

std::optional<std::span<uint8_t>> AreaBytes(KeyboardMemory& memory, Area area, uint16_t address,
                                            size_t length) {
    switch (area) {
    case Area::Settings:
        return Slice(memory.settings, address, length);
    case Area::Lighting:
        return Slice(memory.lighting, address, length);
    case Area::KeyMaps: {
        const size_t block = address / kKeyMapStride;
        if (block >= memory.keyMaps.size())
            return std::nullopt;
        return Slice(memory.keyMaps[block], address % kKeyMapStride, length);
    }
    case Area::DefaultLayout:
        return Slice(memory.defaultLayout, address, length);
    case Area::MacroMemory:
        return Slice(memory.macroMemory, address, length);
    case Area::Colours:
        return Slice(memory.colours, address, length);
    }
    return std::nullopt;
}

std::string MemoryProblem(const KeyboardMemory& memory) {
    if (memory.ActiveProfile() >= kKeyMapBlockCount)
        return "active profile out of range";
    if (memory.CapacityUnits() < kMinCapacityUnits)
        return "no macro memory";
    if (memory.macroMemory.size() != size_t{memory.CapacityUnits()} * kMacroUnitSize)
        return "macro memory does not match the announced capacity";
    if (std::any_of(memory.colours.begin() + kKeyColourTableSize, memory.colours.end(),
                    [](uint8_t b) { return b != 0; }))
        return "colour padding is not zero";
    return {};
}

} // namespace tavrik::emu
