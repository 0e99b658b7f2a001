#pragma once
// The keyboard's own events: a u16 little-endian code in the first two bytes of a report on the
// CONS unit.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavrik {

enum class ConsumerEventCode : uint16_t {
    BankToggled = 0x02FF,     // the G-key bank was switched on the keyboard
    LightingChanged = 0x0401, // the lighting was changed on the keyboard
    MacroStarted = 0x1811,    // the keyboard started playing a macro
    MacroStopped = 0x1810,    // the keyboard stopped playing a macro
};

inline constexpr size_t kConsumerEventSize = 2;

// The code of a CONS report, or nothing when the report is too short to hold one.
inline std::optional<uint16_t> ConsumerEventCodeOf(const uint8_t* report, size_t length) {
    if (report == nullptr || length < kConsumerEventSize)
        return std::nullopt;
    return static_cast<uint16_t>(report[0] | (report[1] << 8));
}

} // namespace tavrik
