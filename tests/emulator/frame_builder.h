#pragma once
// Builds configuration requests the way the program sends them, for the emulator's tests.

#include "device/config_frame.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace tavrik::emu::test {

inline ConfigFrame Request(uint8_t command, uint8_t length = 0, uint16_t address = 0,
                           std::span<const uint8_t> data = {}) {
    ConfigFrame frame{};
    frame[frame::kReportId] = kConfigReportId;
    frame[frame::kCommand] = command;
    frame[frame::kLength] = length;
    frame[frame::kAddressLow] = static_cast<uint8_t>(address & 0xFF);
    frame[frame::kAddressHigh] = static_cast<uint8_t>(address >> 8);
    std::copy_n(data.begin(), std::min(data.size(), kFrameDataSize), frame.begin() + frame::kData);
    StampFrameChecksum(frame);
    return frame;
}

inline std::vector<uint8_t> AnswerData(const ConfigFrame& answer, size_t length) {
    return {answer.begin() + frame::kData, answer.begin() + frame::kData + length};
}

} // namespace tavrik::emu::test
