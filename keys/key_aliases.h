#pragma once
// The other names people and programs give the keys of the key table: an English name where the
// table's own is Chinese, a symbol or only one side of a left/right pair ("Backspace", "Minus",
// "Left Shift"), the captions on the main window's key buttons ("PgUp", "PrtSc", "Del"), and the
// X keysym names ("Prior", "KP_7", "Control_L"). The Linux input names (KEY_*) are in
// evdev_names.h. This is data only: how a typed name is compared with these is the reader's rule.
//
// A name may belong to more than one key on purpose ("Super" is either Win key, "*" the number
// pad's or the 8 key's shifted caption): such a name does not say which key it means.

#include "keys/key_table.h"

#include <array>
#include <span>
#include <string_view>

namespace tavrik {

struct KeyAliases {
    ScanCode scan = 0;
    // Empty when the key table's own name is the English one.
    std::string_view englishName;
    // Unused places are empty.
    std::array<std::string_view, 8> otherNames{};
};

std::span<const KeyAliases> KeyAliasTable();

// The key's row of the alias table; nullptr for a key without other names.
const KeyAliases* FindKeyAliases(ScanCode scan);

} // namespace tavrik
