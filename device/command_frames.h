#pragma once
// The command wrapper shared by every keyboard command: a single frame, or a multi-packet
// transfer of up to 56 data bytes per frame.

#include "device/config_frame.h"
#include "device/device_result.h"

#include <cstdint>
#include <functional>
#include <span>

namespace tavrik {

class FrameExchange;

struct CommandHeader {
    uint8_t command = 0;
    uint8_t length = 0;
    uint16_t address = 0;
};

// One frame: `dataOut` (at most 56 bytes, the rest zero) goes out after the header; on Done,
// answer data bytes are copied into `dataIn` (at most 56). A longer `dataOut` or `dataIn`
// gives BadBlockIndex with nothing sent.
DeviceResult SendCommand(FrameExchange& exchange, CommandHeader header,
                         std::span<const uint8_t> dataOut = {}, std::span<uint8_t> dataIn = {});

// Decides, frame by frame, whether a write frame goes out: given its header and the data bytes
// it carries.
using FrameChoice = std::function<bool(const CommandHeader&, std::span<const uint8_t> data)>;

// Sends `source` to the keyboard from `address` on, 56 bytes per frame. One frame buffer serves
// the whole transfer, so a shorter last frame still carries the previous frame's bytes beyond
// its length. When `send` is given, only the frames it chooses go out, each exactly as it would
// in the whole transfer. The first failing frame ends the transfer; nothing is undone.
DeviceResult WriteTransfer(FrameExchange& exchange, uint8_t command, uint16_t address,
                           std::span<const uint8_t> source, const FrameChoice& send = {});

// Fills `destination` from the keyboard from `address` on, 56 bytes per frame. The first
// failing frame ends the transfer and leaves the rest of `destination` untouched.
DeviceResult ReadTransfer(FrameExchange& exchange, uint8_t command, uint16_t address,
                          std::span<uint8_t> destination);

} // namespace tavrik
