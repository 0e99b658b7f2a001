#pragma once
// Which of the keyboard's three hardware profiles is active: settings byte 10, cached in
// KeyboardFacts so that the keyboard is asked only when the answer is not known.

#include "device/device_commands.h"
#include "device/keyboard_facts.h"

namespace tavrik {

// The cached index when known; otherwise the keyboard's settings byte 10, which then becomes
// the cache. kUnknownProfile when the keyboard cannot be read.
int GetActiveProfileIndex(DeviceCommands& commands, KeyboardFacts& facts);

// Makes hardware profile `index` the active one: settings read, byte 10 changed, settings written
// back, all without another thread's frames in between. The cache becomes `index` when the write
// succeeds and unknown when it fails; a failed read changes nothing. The keyboard decides which
// indices it accepts (the profile manager may ask for a fourth row's index 3), so only an index
// that does not fit byte 10 (negative or above 255) sends nothing and gives BadBlockIndex.
DeviceResult SetActiveProfileIndex(DeviceCommands& commands, KeyboardFacts& facts, int index);

} // namespace tavrik
