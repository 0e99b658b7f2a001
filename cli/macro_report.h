#pragma once
// Macros as JSON, for `macro list`, `macro show` and `dump`.

#include "cli/json.h"
#include "macro_record/macro_record.h"

namespace tavrik::cli {

// Id, name, loop count and the number of actions.
JsonValue MacroSummaryJson(const MacroRecord& macro);
// The summary and every action (key, scan code, direction, pause).
JsonValue MacroJson(const MacroRecord& macro);

} // namespace tavrik::cli
