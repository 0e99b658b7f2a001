#pragma once
// Keys as they are named on the command line and in macro action files.
//
// A key is named by its key table name ("Q", "F1", "Num 7", "退格"), by any of its other names
// (keys/key_aliases.h: "Backspace", "Left Shift", "PgUp", "Prior", "KP_7"; keys/evdev_names.h:
// "KEY_PAGEUP"), or by its scan code ("scan:0x01e"). Names are compared as name_matching.h says:
// any ASCII case, '_', '-' and spaces alike. A key table name wins over another key's alias; a
// name that several keys share at the same rank ("Super", "*") names none of them.

#include "keys/key_table.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavrik {

// The key a token names, or why it names none: an unknown name with the closest names, or a name
// shared by several keys with those keys. A scan code must lie in one of the two ranges that
// name keys.
std::variant<ScanCode, std::string> ResolveKeyToken(std::string_view token);
std::optional<ScanCode> ScanFromKeyToken(std::string_view token);

// The token that names the key again: its table name when that name leads back to this key,
// otherwise "scan:0x%03x".
std::string KeyToken(ScanCode scan);

// The English name of a key whose table name is Chinese, a symbol or one side of a left/right
// pair ("Backspace", "Minus", "Left Shift"); empty for the others.
std::string_view EnglishKeyName(ScanCode scan);

// How messages name a key: its English name, else its token.
std::string KeyDisplayName(ScanCode scan);

// The keys that have a name, each once (the second right Shift row shares the first one's),
// in key table order.
const std::vector<ScanCode>& NamedKeys();

// Every name of the key other than its table name and its English name: captions, X names,
// Linux input names.
std::vector<std::string> OtherKeyNames(ScanCode scan);

// Every name of the key: its table name, its English name and the others.
std::vector<std::string> AllNamesOfKey(ScanCode scan);

// A decimal number made of digits only (no sign, no spaces) that fits `limit`.
std::optional<unsigned> ParseDecimal(std::string_view text, unsigned limit);

} // namespace tavrik
