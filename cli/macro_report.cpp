#include "cli/macro_report.h"

#include "keys/text.h"
#include "names/key_names.h"

namespace tavrik::cli {

JsonValue MacroSummaryJson(const MacroRecord& macro) {
    return JsonValue::MakeObject()
        .Set("id", macro.id)
        .Set("name", Utf8From(StoredMacroName(macro)))
        .Set("loopCount", macro.loopCount)
        .Set("actionCount", StoredMacroActions(macro).size());
}

JsonValue MacroJson(const MacroRecord& macro) {
    JsonValue actions = JsonValue::MakeArray();
    for (const MacroAction& action : StoredMacroActions(macro))
        actions.Append(
            JsonValue::MakeObject()
                .Set("key", KeyToken(action.key))
                .Set("scan", action.key)
                .Set("direction", action.direction == KeyDirection::Press ? "down" : "up")
                .Set("pauseMs", action.delayMs));
    return MacroSummaryJson(macro).Set("actions", std::move(actions));
}

} // namespace tavrik::cli
