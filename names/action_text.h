#pragma once
// The plain-text form of a macro's actions, for exporting a macro, editing it in any text
// editor and importing it again. One action a line:
//
//     KEY down|up PAUSE_MS
//
// KEY names the key as on the command line (see key_names.h; names may contain spaces), PAUSE_MS
// is the pause after the step in milliseconds (0..40000; the keyboard keeps tens of
// milliseconds, so the editor rounds it down to a multiple of 10, and the command says so).
// Everything from '#' to the end of a line is a comment; blank lines are ignored. At most 2000
// actions.

#include "files/file_read.h"
#include "macro_record/macro_record.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavrik {

// Room for one line: a key name, a direction, a pause and a comment.
inline constexpr uint64_t kActionLineRoom = 512;
// The largest action text read: a line of that room for each of a macro's 2000 actions.
inline constexpr FileKind kActionFileKind{"a macro's action list",
                                          kMaxMacroActions* kActionLineRoom};

struct ActionTextError {
    size_t line = 0; // 1-based
    std::string message;
};

// The actions, and when `lines` is given the line (1-based) each action stands on.
std::variant<std::vector<MacroAction>, ActionTextError>
ParseActionText(std::string_view text, std::vector<size_t>* lines = nullptr);

// The actions of a macro in this format, preceded by a comment naming the macro.
std::string FormatActionText(const MacroRecord& macro);

// One action as a line of the format, without the newline.
std::string FormatAction(const MacroAction& action);

} // namespace tavrik
