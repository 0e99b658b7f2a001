#include "cli/macro_reference.h"

#include "cli/key_names.h"
#include "keys/text.h"

#include <algorithm>

namespace tavrik::cli {

std::variant<size_t, std::string> FindMacro(std::span<const MacroRecord> macros,
                                            std::string_view reference) {
    if (const std::optional<unsigned> id = ParseDecimal(reference, 0xFFFF)) {
        const auto found = std::ranges::find(macros, *id, &MacroRecord::id);
        if (found != macros.end())
            return static_cast<size_t>(found - macros.begin());
    }
    const std::u16string name = Utf16From(reference);
    const auto named = [&name](const MacroRecord& macro) { return StoredMacroName(macro) == name; };
    const auto found = std::ranges::find_if(macros, named);
    if (found == macros.end())
        return "no macro has the id or name \"" + std::string(reference) +
               "\" (tavrikctl macro list shows them)";
    if (std::ranges::count_if(macros, named) > 1)
        return "several macros are named \"" + std::string(reference) + "\"; name it by its id";
    return static_cast<size_t>(found - macros.begin());
}

} // namespace tavrik::cli
