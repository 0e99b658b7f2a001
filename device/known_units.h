#pragma once
// The keyboard's USB identity and its units as the program sees them on a hidraw node: which
// top-level collection (usage page and usage) is which unit. The configuration frames and the
// indicator status begin with their report id; the keyboard's events are read without it, so
// that their first two bytes are the event code.

#include "device/hid_bridge.h"

#include <cstdint>
#include <string_view>

namespace tavrik {

inline constexpr uint16_t kKeyboardVendorId = 0x04B4;
inline constexpr uint16_t kKeyboardProductId = 0x2009;

struct KnownUnit {
    UnitDescriptor unit;
    bool reportIdInData = false;
    std::string_view name; // "LED", "CONS", "CTRL"
};

inline constexpr KnownUnit kKnownUnits[] = {
    {kLedUnit, true, "LED"},
    {kConsUnit, false, "CONS"},
    {kCtrlUnit, true, "CTRL"},
};

// The unit a top-level collection is; null for any other collection.
const KnownUnit* FindKnownUnit(uint16_t usagePage, uint16_t usage);

} // namespace tavrik
