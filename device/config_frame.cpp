#include "device/config_frame.h"

namespace tavrik {

uint16_t FrameChecksum(std::span<const uint8_t, kFrameSize> frame) {
    uint32_t sum = 0;
    for (size_t i = frame::kCommand; i < kFrameSize; ++i)
        sum += frame[i];
    return static_cast<uint16_t>(sum);
}

void StampFrameChecksum(ConfigFrame& frame) {
    const uint16_t sum = FrameChecksum(frame);
    frame[frame::kChecksumLow] = static_cast<uint8_t>(sum & 0xFF);
    frame[frame::kChecksumHigh] = static_cast<uint8_t>(sum >> 8);
}

bool ChangesKeyboardMemory(uint8_t code) {
    switch (code) {
    case command::kWriteSettings:
    case command::kWriteLighting:
    case command::kWriteKeyMap:
    case command::kWriteMacroMemory:
    case command::kWriteColours:
        return true;
    default:
        return false;
    }
}

} // namespace tavrik
