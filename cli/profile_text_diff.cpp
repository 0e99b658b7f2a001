#include "cli/profile_text_diff.h"

#include "cli/quoted_text.h"

#include <algorithm>
#include <map>
#include <optional>

namespace tavrik::cli {

namespace {

// One fact of a profile: a key function line, the identity line, or a macro with its actions.
struct Unit {
    std::string key;                   // what it is about: layer 0 "Q", identity, macro 3
    std::string value;                 // the rest of its line
    std::optional<std::string> absent; // what a profile without the line holds there
    std::vector<std::string> actions;
};

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

// The length of the word (or the quoted text) that starts at `at`.
size_t TokenEnd(std::string_view line, size_t at) {
    if (at >= line.size())
        return line.size();
    if (line[at] == '"')
        if (const std::optional<QuotedToken> quoted = ReadQuotedText(line.substr(at)))
            return at + quoted->length;
    return std::min(line.size(), line.find(' ', at));
}

// The end of the line's key: "layer N SLOT" takes three tokens, "macro N" two, others one.
size_t KeyEnd(std::string_view line) {
    const size_t tokens = line.starts_with("layer ") ? 3 : line.starts_with("macro ") ? 2 : 1;
    size_t end = 0;
    for (size_t token = 0; token < tokens && end < line.size(); ++token)
        end = TokenEnd(line, token == 0 ? 0 : end + 1);
    return end;
}

std::optional<std::string> AbsentValue(std::string_view key) {
    if (key.starts_with("layer "))
        return "default";
    if (key == "identity")
        return "usual";
    return std::nullopt;
}

Unit UnitOf(std::string_view line) {
    const size_t end = KeyEnd(line);
    const std::string key(line.substr(0, end));
    const std::string value(end < line.size() ? line.substr(end + 1) : std::string_view{});
    return {key, value, AbsentValue(key), {}};
}

// The facts after the first line; a macro's action lines are indented and closed by "end".
std::vector<Unit> Units(std::string_view text) {
    std::vector<Unit> units;
    const std::vector<std::string_view> lines = Lines(text);
    for (size_t at = 1; at < lines.size(); ++at) {
        const std::string_view line = lines[at];
        if (line.starts_with("  ") && !units.empty())
            units.back().actions.emplace_back(line.substr(2));
        else if (line != "end" && !line.empty())
            units.push_back(UnitOf(line));
    }
    return units;
}

// The units by key; a key that comes again (two macros of one id) is matched in order.
std::map<std::string, std::vector<const Unit*>> ByKey(const std::vector<Unit>& units) {
    std::map<std::string, std::vector<const Unit*>> byKey;
    for (const Unit& unit : units)
        byKey[unit.key].push_back(&unit);
    return byKey;
}

std::string Whole(const Unit& unit) {
    std::string whole = unit.key + (unit.value.empty() ? "" : " " + unit.value);
    if (unit.key.starts_with("macro "))
        whole += " (" + std::to_string(unit.actions.size()) +
                 (unit.actions.size() == 1 ? " action)" : " actions)");
    return whole;
}

class Differences {
public:
    void Compare(const Unit& before, const Unit& after) {
        if (before.value != after.value)
            Changed(before.key, before.value, after.value);
        CompareActions(before, after);
    }

    void OnlyBefore(const Unit& unit) {
        if (unit.absent)
            Changed(unit.key, unit.value, *unit.absent);
        else
            lines_.push_back("- " + Whole(unit));
    }

    void OnlyAfter(const Unit& unit) {
        if (unit.absent)
            Changed(unit.key, *unit.absent, unit.value);
        else
            lines_.push_back("+ " + Whole(unit));
    }

    std::vector<std::string> Lines() && { return std::move(lines_); }

private:
    void Changed(const std::string& key, const std::string& from, const std::string& to) {
        lines_.push_back(key + ": " + from + " -> " + to);
    }

    void CompareActions(const Unit& before, const Unit& after) {
        const size_t count = std::max(before.actions.size(), after.actions.size());
        for (size_t index = 0; index < count; ++index) {
            const std::string key = before.key + " action " + std::to_string(index + 1);
            if (index >= after.actions.size())
                lines_.push_back(key + ": - " + before.actions[index]);
            else if (index >= before.actions.size())
                lines_.push_back(key + ": + " + after.actions[index]);
            else if (before.actions[index] != after.actions[index])
                Changed(key, before.actions[index], after.actions[index]);
        }
    }

    std::vector<std::string> lines_;
};

} // namespace

std::vector<std::string> ProfileTextDifferences(std::string_view before, std::string_view after) {
    const std::vector<Unit> beforeUnits = Units(before);
    const std::vector<Unit> afterUnits = Units(after);
    auto unmatched = ByKey(afterUnits);
    Differences differences;
    for (const Unit& unit : beforeUnits) {
        std::vector<const Unit*>& candidates = unmatched[unit.key];
        if (candidates.empty()) {
            differences.OnlyBefore(unit);
            continue;
        }
        differences.Compare(unit, *candidates.front());
        candidates.erase(candidates.begin());
    }
    for (const Unit& unit : afterUnits) {
        std::vector<const Unit*>& candidates = unmatched[unit.key];
        if (std::ranges::find(candidates, &unit) != candidates.end())
            differences.OnlyAfter(unit);
    }
    return std::move(differences).Lines();
}

} // namespace tavrik::cli
