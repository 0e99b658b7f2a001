#pragma once
// A write the keyboard acknowledged is read back and compared byte for byte with what was sent:
// a keyboard may acknowledge a frame and store something else (a firmware fault, a frame mangled
// on the way, another program writing at the same time), and only the read shows it.

#include "device/command_frames.h"
#include "device/device_result.h"

#include <cstdint>
#include <functional>
#include <span>

namespace tavrik {

// Hears of each written frame whose bytes read back differently: the write command, and the
// address and length of that frame.
using DifferingFrameListener = std::function<void(const CommandHeader& writtenFrame)>;

// The command that reads back what `writeCommand` writes (the same address space), or 0 when
// the write has none.
uint8_t ReadBackCommandFor(uint8_t writeCommand);

// Reads `written.size()` bytes from `address` on with the read matching `writeCommand`, in the
// frames the write used, and tells `listener` of every frame that differs. Results: Done (all
// equal), DiffersAfterWrite, or the failed read's result.
DeviceResult CheckWrittenBytes(FrameExchange& exchange, uint8_t writeCommand, uint16_t address,
                               std::span<const uint8_t> written,
                               const DifferingFrameListener& listener);

} // namespace tavrik
