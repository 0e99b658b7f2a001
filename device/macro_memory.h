#pragma once
// The keyboard's macro memory as the device link sees it: a 16-byte header that starts with the
// image magic, then the image. The image's inner layout belongs to the macro code.

#include <cstddef>
#include <cstdint>

namespace tavrik {

inline constexpr uint16_t kMacroImageMagic = 0x55AA;
inline constexpr size_t kMacroHeaderBytes = 16;
// The largest macro memory settings byte 11 can announce (255 units of 128 bytes).
inline constexpr int kLargestMacroMemory = 255 * 128;

} // namespace tavrik
