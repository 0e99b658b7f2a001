#pragma once
// The Linux input names (KEY_ESC, KEY_LEFTSHIFT, KEY_KP7, ... as linux/input-event-codes.h spells
// them) of the Linux key codes that evdev_map.h turns into keys of the key table.

#include <cstdint>
#include <span>
#include <string_view>

namespace tavrik {

struct EvdevKeyName {
    uint32_t code; // the Linux key code; ScanFromEvdev gives its key
    std::string_view name;
};

// Two names may give the same key: KEY_COMPUTER and KEY_FILE, KEY_MEDIA and KEY_CONFIG.
std::span<const EvdevKeyName> EvdevKeyNames();

} // namespace tavrik
