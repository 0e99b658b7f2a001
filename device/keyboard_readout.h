#pragma once
// Reading what the keyboard holds for its hardware profiles: the three key maps and the macro
// image. The bytes come back raw; turning the image into macros belongs to the macro code.

#include "device/device_commands.h"
#include "device/keyboard_facts.h"
#include "device/macro_memory.h"

#include <array>
#include <vector>

namespace tavrik {

struct KeyMapsAndMacros {
    std::array<KeyMapBlock, kKeyMapBlockCount> keyMaps{};
    // The whole image, header included; empty when the macro memory holds no valid image.
    std::vector<uint8_t> macroImage;
};

// Key map blocks 0, 1, 2 (the first failure ends the read), then the 16-byte macro header and,
// when it carries the magic, the image of the size it announces. A size smaller than the header
// or larger than the macro memory (MacroCapacity, or the largest possible one while that is not
// known) is not an image: no macros are read. Runs without another thread's frames in between.
DeviceResult ReadKeyMapsAndMacros(DeviceCommands& commands, const KeyboardFacts& facts,
                                  KeyMapsAndMacros& out);

} // namespace tavrik
