#pragma once
// Skin keys that are formed from numbers.

#include "keys/key_table.h"

#include <string>

namespace tavrik {

// The key of a key button in section "BUTTONINFO": "KEY_" and the key's KeyIndex in three
// upper-case hexadecimal digits ("KEY_%03X"), for example "KEY_09D" for right Ctrl.
std::u16string KeyButtonSkinKey(ScanCode scan);

} // namespace tavrik
