#include "names/function_names.h"

#include "assign/key_function_tables.h"
#include "keys/text.h"
#include "names/key_names.h"
#include "names/name_matching.h"

#include <array>
#include <vector>

namespace tavrik {

namespace {

constexpr std::array<std::string_view, kAssignableFunctionKeys> kEnglishFunctionNames{
    "Open",  "New",  "Undo",       "Save",     "Copy",   "Cut",
    "Paste", "Find", "Select All", "Zoom Out", "Zoom In"};

// The names of each row's key, the key table's first.
std::vector<KnownName> CollectMultimediaNames() {
    std::vector<KnownName> names;
    for (size_t row = 0; row < kMultimediaTable.size(); ++row) {
        std::vector<std::string> all = AllNamesOfKey(kMultimediaTable[row].scan);
        for (size_t i = 0; i < all.size(); ++i)
            names.push_back({std::move(all[i]), row, i == 0 ? 0 : 1});
    }
    return names;
}

std::vector<KnownName> CollectFunctionNames() {
    std::vector<KnownName> names;
    for (size_t slot = 0; slot < kAssignableFunctionKeys; ++slot) {
        names.push_back({Utf8From(kFunctionKeyTable[slot]), slot, 0});
        names.push_back({std::string(kEnglishFunctionNames[slot]), slot, 0});
    }
    return names;
}

// A number up to `last`, or one of the names.
std::variant<size_t, std::string> Resolve(std::string_view token, size_t last,
                                          const std::vector<KnownName>& names,
                                          std::string_view what, std::string_view hint) {
    if (const std::optional<unsigned> number = ParseDecimal(token, static_cast<unsigned>(last)))
        return size_t{*number};
    const NameMatch match = MatchName(token, names);
    if (match.value)
        return *match.value;
    return UnknownNameText(what, token, match.closest, hint);
}

} // namespace

std::variant<size_t, std::string> ResolveMultimediaRow(std::string_view token) {
    static const std::vector<KnownName> names = CollectMultimediaNames();
    return Resolve(token, kMultimediaTable.size() - 1, names, "multimedia function",
                   "tavrikctl names media lists them");
}

std::optional<size_t> MultimediaRowFromToken(std::string_view token) {
    return ResolvedValue(ResolveMultimediaRow(token));
}

std::variant<size_t, std::string> ResolveFunctionSlot(std::string_view token) {
    static const std::vector<KnownName> names = CollectFunctionNames();
    return Resolve(token, kAssignableFunctionKeys - 1, names, "keyboard function",
                   "tavrikctl names fn lists them");
}

std::optional<size_t> FunctionSlotFromToken(std::string_view token) {
    return ResolvedValue(ResolveFunctionSlot(token));
}

std::string_view EnglishFunctionName(size_t slot) {
    return slot < kEnglishFunctionNames.size() ? kEnglishFunctionNames[slot] : std::string_view{};
}

} // namespace tavrik
