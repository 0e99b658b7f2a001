#include "cli/macro_reference.h"

#include "keys/text.h"
#include "names/key_names.h"
#include "names/name_matching.h"

#include <algorithm>

namespace tavrik::cli {

namespace {

MacroRefusal NoSuchMacro(std::span<const MacroRecord> macros, std::string_view reference) {
    std::vector<KnownName> names;
    for (size_t i = 0; i < macros.size(); ++i)
        names.push_back({Utf8From(StoredMacroName(macros[i])), i, 0});
    std::string message =
        "the keyboard holds no macro with the id or name \"" + std::string(reference) + "\"";
    const std::vector<std::string> closest = ClosestNames(reference, names);
    message += closest.empty() ? " (tavrikctl macro list shows them)" : DidYouMean(closest);
    return {ExitStatus::DeviceError, std::move(message)};
}

} // namespace

std::variant<size_t, MacroRefusal> FindMacro(std::span<const MacroRecord> macros,
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
        return NoSuchMacro(macros, reference);
    if (std::ranges::count_if(macros, named) > 1)
        return MacroRefusal{ExitStatus::UsageError, "several macros are named \"" +
                                                        std::string(reference) +
                                                        "\"; name it by its id"};
    return static_cast<size_t>(found - macros.begin());
}

} // namespace tavrik::cli
