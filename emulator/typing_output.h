#pragma once
// What typing produces: HID usages for the computer's keyboard input, and the keyboard's own
// events (macro started, macro stopped) for the CONS unit, in the order they happened.

#include "emulator/typed_log.h"

#include <cstdint>
#include <vector>

namespace tavrik::emu {

struct TypingOutput {
    TypedLog typed;
    std::vector<uint16_t> events;
};

} // namespace tavrik::emu
