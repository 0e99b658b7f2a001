#pragma once
// Linux input key codes (linux/input-event-codes.h, what evdev reports and what X11 and xkb
// report plus 8) of the keys in the key table, turned into their ScanCode.

#include "keys/key_table.h"

#include <cstdint>

namespace tavrik {

// The ScanCode of a Linux key code; 0 for codes of keys the table does not have.
ScanCode ScanFromEvdev(uint32_t evdevCode);

} // namespace tavrik
