#pragma once
// The 64-byte configuration report exchanged with the keyboard's CTRL unit, requests and
// answers alike.

#include <array>
#include <cstdint>
#include <span>

namespace tavrik {

inline constexpr size_t kFrameSize = 64;
inline constexpr size_t kFrameDataSize = 56;
inline constexpr uint8_t kConfigReportId = 4;

// Byte offsets inside a frame.
namespace frame {
inline constexpr size_t kReportId = 0;
inline constexpr size_t kChecksumLow = 1;
inline constexpr size_t kChecksumHigh = 2;
inline constexpr size_t kCommand = 3;
inline constexpr size_t kLength = 4;
inline constexpr size_t kAddressLow = 5;
inline constexpr size_t kAddressHigh = 6;
inline constexpr size_t kStatus = 7;
inline constexpr size_t kData = 8;
} // namespace frame

// The keyboard's configuration commands (byte 3 of a request, echoed in its answer).
namespace command {
inline constexpr uint8_t kBegin = 1;
inline constexpr uint8_t kEnd = 2;
inline constexpr uint8_t kReadSettings = 3;
inline constexpr uint8_t kWriteSettings = 4;
inline constexpr uint8_t kReadLighting = 5;
inline constexpr uint8_t kWriteLighting = 6;
inline constexpr uint8_t kReadKeyMap = 7;
inline constexpr uint8_t kWriteKeyMap = 8;
inline constexpr uint8_t kReadMacroMemory = 9;
inline constexpr uint8_t kWriteMacroMemory = 10;
inline constexpr uint8_t kReadDefaultLayout = 15;
inline constexpr uint8_t kReadColours = 16;
inline constexpr uint8_t kWriteColours = 17;
} // namespace command

// Answer status bytes by which the keyboard refuses a request.
inline constexpr uint8_t kStatusRefusedFF = 0xFF;
inline constexpr uint8_t kStatusRefusedFE = 0xFE;

using ConfigFrame = std::array<uint8_t, kFrameSize>;

// Whether the command writes the keyboard's memory (settings, lighting, key maps, macro memory,
// colours), as opposed to reading it or bracketing a configuration.
bool ChangesKeyboardMemory(uint8_t code);

// Unsigned sum of bytes 3..63, truncated to 16 bits.
uint16_t FrameChecksum(std::span<const uint8_t, kFrameSize> frame);

// Writes FrameChecksum into bytes 1 (low) and 2 (high).
void StampFrameChecksum(ConfigFrame& frame);

inline uint16_t FrameAddress(const ConfigFrame& frame) {
    return static_cast<uint16_t>(frame[frame::kAddressLow] | (frame[frame::kAddressHigh] << 8));
}

} // namespace tavrik
