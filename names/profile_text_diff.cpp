#include "names/profile_text_diff.h"

#include "names/quoted_text.h"

#include <algorithm>
#include <map>
#include <optional>

namespace tavrik {

namespace {

// One fact of a profile: a key function line, the identity line, a macro with its actions, a
// lighting line.
struct Unit {
    std::string key;   // what it is about: layer 0 "Q", identity, macro 3, lighting key "Q"
    std::string value; // the rest of its line
    std::vector<std::string> actions;
};

constexpr std::string_view kLightingKey = "lighting key ";

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

size_t KeyTokens(std::string_view line) {
    if (line.starts_with("layer ") || line.starts_with(kLightingKey) ||
        line.starts_with("lighting option "))
        return 3;
    return line.starts_with("macro ") || line.starts_with("lighting ") ? 2 : 1;
}

// The end of the line's key: "layer N SLOT", "lighting key KEY" and "lighting option NAME" take
// three tokens, "macro N" and the other lighting lines two, "identity" one.
size_t KeyEnd(std::string_view line) {
    const size_t tokens = KeyTokens(line);
    size_t end = 0;
    for (size_t token = 0; token < tokens && end < line.size(); ++token)
        end = TokenEnd(line, token == 0 ? 0 : end + 1);
    return end;
}

// What a profile without the unit's line holds there; nothing when the line's absence is itself
// the difference (a macro, the lighting of a profile without lighting).
std::optional<std::string> AbsentValue(std::string_view key, bool hasLighting) {
    if (key.starts_with("layer "))
        return "default";
    if (key == "identity")
        return "usual";
    if (key.starts_with(kLightingKey) && hasLighting)
        return "FFFFFF";
    return std::nullopt;
}

Unit UnitOf(std::string_view line) {
    const size_t end = KeyEnd(line);
    return {std::string(line.substr(0, end)),
            std::string(end < line.size() ? line.substr(end + 1) : std::string_view{}),
            {}};
}

bool HasLighting(const std::vector<Unit>& units) {
    return std::ranges::any_of(units,
                               [](const Unit& unit) { return unit.key.starts_with("lighting "); });
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
    Differences(bool beforeHasLighting, bool afterHasLighting)
        : beforeHasLighting_(beforeHasLighting)
        , afterHasLighting_(afterHasLighting) {}

    void Compare(const Unit& before, const Unit& after) {
        if (before.value != after.value)
            Changed(before.key, before.value, after.value);
        CompareActions(before, after);
    }

    void OnlyBefore(const Unit& unit) {
        if (const auto absent = AbsentValue(unit.key, afterHasLighting_))
            Changed(unit.key, unit.value, *absent);
        else
            lines_.push_back("- " + Whole(unit));
    }

    void OnlyAfter(const Unit& unit) {
        if (const auto absent = AbsentValue(unit.key, beforeHasLighting_))
            Changed(unit.key, *absent, unit.value);
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

    bool beforeHasLighting_;
    bool afterHasLighting_;
    std::vector<std::string> lines_;
};

} // namespace

std::vector<std::string> ProfileTextDifferences(std::string_view before, std::string_view after) {
    const std::vector<Unit> beforeUnits = Units(before);
    const std::vector<Unit> afterUnits = Units(after);
    auto unmatched = ByKey(afterUnits);
    Differences differences(HasLighting(beforeUnits), HasLighting(afterUnits));
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

} // namespace tavrik
