#pragma once
// What a key does, in English words for tavrikctl's messages: "sends W", "plays macro Hello
// (loop count 3)", "sends Volume Up". The keyboard's own Chinese names appear only where a thing
// has no other name (a macro's name, a keyboard function beyond the assignable ones).

#include "assign/key_function_entry.h"
#include "macro_record/macro_record.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrik {

// The entry's function; `text` is the program path or text block of such entries.
std::string FunctionWords(const KeyFunctionEntry& entry, std::span<const MacroRecord> macros,
                          std::optional<std::u16string_view> text = std::nullopt);

} // namespace tavrik
