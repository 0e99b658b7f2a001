#pragma once
// A name typed on the command line compared with the names a table knows. Names match in any
// ASCII case, with '_', '-' and spaces alike: inside a name a run of them is left out
// ("Page_Up", "page-up", "PageUp" and "page up" are one name, and so are "Num *" and "num*"); at
// either end a run with '-' in it is the minus sign ("Num -" and "num-"), and a name made only of
// such characters is taken as it is ("-", "_"). When no name matches, the closest ones by edit
// distance are offered.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavrik {

// The form in which two names are compared.
std::string FoldedName(std::string_view name);

// Edits (insert, delete, replace, swap of two neighbours) that turn one text into the other,
// counted in UTF-16 units so that a Chinese character is one.
size_t EditDistance(std::u16string_view from, std::u16string_view to);

// One name a table accepts and the entry it stands for (an index the caller chose).
struct KnownName {
    std::string name;
    size_t value = 0;
    // Among names that match, the lowest rank wins: a key table name outranks an alias.
    int rank = 0;
};

struct NameMatch {
    std::optional<size_t> value;
    // The name matched several entries at its best rank; each entry once, in table order.
    std::vector<size_t> ambiguous;
    // Nothing matched: the names nearest to it, one per entry, at most three.
    std::vector<std::string> closest;
};

// The byte-exact name first, then the folded one; the closest names when neither matches.
NameMatch MatchName(std::string_view typed, std::span<const KnownName> names);

// The names nearest to `typed` once folded, one per entry, at most three; none when no name is
// close enough to be a slip.
std::vector<std::string> ClosestNames(std::string_view typed, std::span<const KnownName> names);

// What a name resolved to, or nothing when the resolution gave its reason for none.
template <typename Value>
std::optional<Value> ResolvedValue(const std::variant<Value, std::string>& resolved) {
    if (const Value* value = std::get_if<Value>(&resolved))
        return *value;
    return std::nullopt;
}

// "; did you mean "A", "B" or "C"?", or nothing when there are no close names.
std::string DidYouMean(std::span<const std::string> closest);

// "unknown WHAT "TYPED"" followed by the closest names, or by "(HINT)" when none is close.
std::string UnknownNameText(std::string_view what, std::string_view typed,
                            std::span<const std::string> closest, std::string_view hint);

// As UnknownNameText, with the closest of a list of words (commands, sub-commands).
std::string UnknownWordText(std::string_view what, std::string_view typed,
                            std::span<const std::string_view> known, std::string_view hint);

} // namespace tavrik
