#pragma once
// Keys, multimedia functions and keyboard functions as they are named on the command line and
// in macro action files.
//
// A key is named by its key table name ("Q", "F1", "Num 7", "退格"), by an English name for the
// keys the table names in Chinese ("Backspace", "Space", "Right Shift", "Volume Up", ...), or
// by its scan code ("scan:0x01e"). Names are compared without regard to ASCII case, and '-' or
// '_' stand for a space in the English names.

#include "keys/key_table.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::cli {

// The key a token names; nothing for no key. A scan code must lie in one of the two ranges that
// name keys.
std::optional<ScanCode> ScanFromKeyToken(std::string_view token);

// The token that names the key again: its table name when that name leads back to this key,
// otherwise "scan:0x%03x".
std::string KeyToken(ScanCode scan);

// The English name of a key, empty for keys without one.
std::string_view EnglishKeyName(ScanCode scan);

// A row of the multimedia table: its number 0..17, or any name of its key ("Volume Up",
// "音量加", "Mute", ...).
std::optional<size_t> MultimediaRowFromToken(std::string_view token);

// A keyboard function the assignment offers (slots 0..10): its slot number or its name
// ("打开" or "Open", ..., "放大" or "Zoom In").
std::optional<size_t> FunctionSlotFromToken(std::string_view token);
std::string_view EnglishFunctionName(size_t slot);

// A decimal number made of digits only (no sign, no spaces) that fits `limit`.
std::optional<unsigned> ParseDecimal(std::string_view text, unsigned limit);

} // namespace tavrik::cli
