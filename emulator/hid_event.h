#pragma once
// What the keyboard sends to the computer when it types: HID usages going down and up.

#include <compare>
#include <cstdint>

namespace tavrik::emu {

namespace hid_page {
inline constexpr uint16_t kGenericDesktop = 0x01;
inline constexpr uint16_t kKeyboard = 0x07;
inline constexpr uint16_t kConsumer = 0x0C;
// The keyboard's numbered functions (kind 5, sub 5) travel on its vendor page, the usage being
// the function slot; the program's function-key table names them.
inline constexpr uint16_t kFunctionKey = 0xFF1C;
} // namespace hid_page

inline constexpr uint16_t kFirstModifierUsage =
    0xE0; // left Ctrl; bit i of a ModifierMask is 0xE0 + i

struct HidUsage {
    uint16_t page = 0;
    uint16_t usage = 0;
    auto operator<=>(const HidUsage&) const = default;
};

struct HidEvent {
    uint64_t timeMs = 0; // the keyboard's virtual clock
    uint16_t page = 0;
    uint16_t usage = 0;
    bool down = false;
    bool operator==(const HidEvent&) const = default;
};

} // namespace tavrik::emu
