#pragma once
// A macro named on the command line: by its id (1..100) or by its name. A reference made of
// digits is an id when a macro has that id; otherwise it is looked up as a name, which must
// belong to exactly one macro.

#include "macro_record/macro_record.h"

#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tavrik::cli {

// The macro's index in the array, or why there is none.
std::variant<size_t, std::string> FindMacro(std::span<const MacroRecord> macros,
                                            std::string_view reference);

} // namespace tavrik::cli
