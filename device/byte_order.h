#pragma once
// Little-endian field access for byte layouts that come from files and from the keyboard.
// Callers check bounds first; these helpers only assemble and split the bytes.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik {

inline uint16_t ReadU16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(ReadU16(bytes, offset)) |
           (static_cast<uint32_t>(ReadU16(bytes, offset + 2)) << 16);
}

inline void WriteU16(std::span<uint8_t> bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void WriteU32(std::span<uint8_t> bytes, size_t offset, uint32_t value) {
    WriteU16(bytes, offset, static_cast<uint16_t>(value & 0xFFFF));
    WriteU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

} // namespace tavrik
