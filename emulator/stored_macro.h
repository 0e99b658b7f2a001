#pragma once
// One macro as the keyboard finds it in its macro memory, read from the MacroImage there.
// The image comes from the computer and may be damaged: every offset, count and length is kept
// inside the image and inside the memory.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavrik::emu {

struct MacroStep {
    uint16_t pauseUnits = 0; // pause after the step, in 10 ms units (12 bits)
    uint8_t kind = 0;        // 2 keyboard, 3 consumer, 4 generic desktop, 0 no key
    uint8_t sub = 0;
    uint8_t arg = 0;
    bool press = false;
    bool operator==(const MacroStep&) const = default;
};

struct StoredMacro {
    uint8_t loopCount = 1;
    std::vector<MacroStep> steps;
};

inline constexpr uint16_t kPauseUnitMs = 10;

// Macro `index` (0-based) of the image at the start of `macroMemory`; nothing when the memory
// holds no image, the image has no such macro, or its offset table or the macro's block does not
// fit in the image.
std::optional<StoredMacro> ReadStoredMacro(std::span<const uint8_t> macroMemory, uint8_t index);

} // namespace tavrik::emu
