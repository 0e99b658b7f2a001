#pragma once
// The keyboard's factory key map: 160 three-byte key map entries (kind, sub, arg) indexed by
// KeyPosition. The program starts with this copy and replaces it with the keyboard's own each
// time a keyboard is attached; the emulated keyboard answers it as its own by default.

#include "device/device_commands.h"

namespace tavrik {

extern const KeyMapBlock kDefaultLayout;

} // namespace tavrik
