#include "names/name_matching.h"

#include "keys/text.h"

#include <algorithm>
#include <numeric>

namespace tavrik {

namespace {

// At most this many close names are offered.
inline constexpr size_t kMostClosest = 3;

bool IsSeparator(char c) {
    return c == ' ' || c == '_' || c == '-';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// How far a typed name may be from a known one to be offered: a slip per three characters or so,
// and never a name that shares nothing with it.
bool CloseEnough(size_t distance, size_t typedLength) {
    const size_t limit = typedLength <= 3 ? 1 : typedLength <= 6 ? 2 : 3;
    return distance <= limit && distance < typedLength;
}

struct Candidate {
    size_t distance;
    int rank;
    const KnownName* name;
};

// The entries the names accepted by `matches` stand for, at the best rank among them.
template <typename Matches>
std::vector<size_t> BestMatches(std::span<const KnownName> names, Matches matches) {
    std::optional<int> bestRank;
    std::vector<size_t> values;
    for (const KnownName& name : names) {
        if (!matches(name) || (bestRank && name.rank > *bestRank))
            continue;
        if (!bestRank || name.rank < *bestRank) {
            bestRank = name.rank;
            values.clear();
        }
        if (std::ranges::find(values, name.value) == values.end())
            values.push_back(name.value);
    }
    return values;
}

} // namespace

std::vector<std::string> ClosestNames(std::string_view typed, std::span<const KnownName> names) {
    const std::u16string folded = Utf16From(FoldedName(typed));
    std::vector<Candidate> candidates;
    for (const KnownName& name : names) {
        const size_t distance = EditDistance(folded, Utf16From(FoldedName(name.name)));
        if (CloseEnough(distance, folded.size()))
            candidates.push_back({distance, name.rank, &name});
    }
    std::ranges::stable_sort(candidates, [](const Candidate& a, const Candidate& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.rank < b.rank;
    });
    std::vector<std::string> closest;
    std::vector<size_t> offered;
    for (const Candidate& candidate : candidates) {
        if (closest.size() == kMostClosest || candidate.distance > candidates.front().distance)
            break;
        if (std::ranges::find(offered, candidate.name->value) != offered.end())
            continue;
        offered.push_back(candidate.name->value);
        closest.push_back(candidate.name->name);
    }
    return closest;
}

std::string FoldedName(std::string_view name) {
    if (std::ranges::all_of(name, IsSeparator))
        return std::string(name);
    std::string folded;
    size_t at = 0;
    while (at < name.size()) {
        if (!IsSeparator(name[at])) {
            folded.push_back(LowerAscii(name[at++]));
            continue;
        }
        const size_t end = std::min(name.find_first_not_of(" _-", at), name.size());
        const bool inside = at > 0 && end < name.size();
        if (!inside && name.substr(at, end - at).find('-') != std::string_view::npos)
            folded.push_back('-');
        at = end;
    }
    return folded;
}

size_t EditDistance(std::u16string_view from, std::u16string_view to) {
    // Rows of the optimal string alignment table: two before the current one are needed for a
    // swap of neighbours.
    std::vector<size_t> beforeLast(to.size() + 1);
    std::vector<size_t> last(to.size() + 1);
    std::vector<size_t> current(to.size() + 1);
    std::iota(last.begin(), last.end(), size_t{0});
    for (size_t i = 1; i <= from.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= to.size(); ++j) {
            const size_t replace = last[j - 1] + (from[i - 1] == to[j - 1] ? 0 : 1);
            current[j] = std::min({last[j] + 1, current[j - 1] + 1, replace});
            if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1])
                current[j] = std::min(current[j], beforeLast[j - 2] + 1);
        }
        beforeLast.swap(last);
        last.swap(current);
    }
    return last[to.size()];
}

NameMatch MatchName(std::string_view typed, std::span<const KnownName> names) {
    std::vector<size_t> values =
        BestMatches(names, [typed](const KnownName& name) { return name.name == typed; });
    if (values.empty()) {
        const std::string folded = FoldedName(typed);
        values = BestMatches(
            names, [&folded](const KnownName& name) { return FoldedName(name.name) == folded; });
    }
    NameMatch match;
    if (values.size() == 1)
        match.value = values.front();
    else if (values.size() > 1)
        match.ambiguous = std::move(values);
    else
        match.closest = ClosestNames(typed, names);
    return match;
}

std::string DidYouMean(std::span<const std::string> closest) {
    if (closest.empty())
        return {};
    std::string text = "; did you mean ";
    for (size_t i = 0; i < closest.size(); ++i) {
        if (i > 0)
            text += i + 1 == closest.size() ? " or " : ", ";
        text += "\"" + closest[i] + "\"";
    }
    return text + "?";
}

std::string UnknownNameText(std::string_view what, std::string_view typed,
                            std::span<const std::string> closest, std::string_view hint) {
    std::string text = "unknown " + std::string(what) + " \"" + std::string(typed) + "\"";
    if (!closest.empty())
        return text + DidYouMean(closest);
    return hint.empty() ? text : text + " (" + std::string(hint) + ")";
}

std::string UnknownWordText(std::string_view what, std::string_view typed,
                            std::span<const std::string_view> known, std::string_view hint) {
    std::vector<KnownName> names;
    for (size_t i = 0; i < known.size(); ++i)
        names.push_back({std::string(known[i]), i, 0});
    return UnknownNameText(what, typed, ClosestNames(typed, names), hint);
}

} // namespace tavrik
