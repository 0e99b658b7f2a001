#pragma once
// The keyboard's own events, reported on the CONS unit as a 2-byte little-endian code.

#include <cstddef>
#include <cstdint>

namespace tavrik::emu {

namespace keyboard_event {
inline constexpr uint16_t kBankToggled = 0x02FF;
inline constexpr uint16_t kLightingChanged = 0x0401;
inline constexpr uint16_t kMacroStarted = 0x1811;
inline constexpr uint16_t kMacroStopped = 0x1810;
} // namespace keyboard_event

inline constexpr size_t kConsumerReportSize = 2;

} // namespace tavrik::emu
