#pragma once
// A macro named on the command line: by its id (1..100) or by its name. A reference made of
// digits is an id when a macro has that id; otherwise it is looked up as a name, which must
// belong to exactly one macro.

#include "cli/exit_status.h"
#include "macro_record/macro_record.h"

#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tavrik::cli {

// Why a reference names no macro, and the exit status that says so: the keyboard holds no such
// macro (DeviceError, since the command line itself was right), or several macros have that
// name (UsageError: the command line has to say which).
struct MacroRefusal {
    ExitStatus status = ExitStatus::DeviceError;
    std::string message;
};

// The macro's index in the array, or why there is none.
std::variant<size_t, MacroRefusal> FindMacro(std::span<const MacroRecord> macros,
                                             std::string_view reference);

} // namespace tavrik::cli
