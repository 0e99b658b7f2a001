#include "names/key_names.h"

#include "keys/evdev_map.h"
#include "keys/evdev_names.h"
#include "keys/key_aliases.h"
#include "keys/text.h"
#include "names/name_matching.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tavrik {

namespace {

inline constexpr std::string_view kScanPrefix = "scan:";
// A key table name outranks every other name.
inline constexpr int kTableNameRank = 0;
inline constexpr int kOtherNameRank = 1;

std::optional<ScanCode> ScanFromHexToken(std::string_view token) {
    std::string_view digits = token.substr(kScanPrefix.size());
    if (digits.starts_with("0x") || digits.starts_with("0X"))
        digits.remove_prefix(2);
    unsigned value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value > 0xFFFF || !IsValidScan(static_cast<ScanCode>(value)) ||
        KeyIndexFromScan(static_cast<ScanCode>(value)) == 0)
        return std::nullopt;
    return static_cast<ScanCode>(value);
}

std::string TableName(ScanCode scan) {
    return Utf8From(KeyTableRow(KeyIndexFromScan(scan)).name);
}

std::vector<ScanCode> FindNamedKeys() {
    std::vector<ScanCode> keys;
    std::vector<std::string> names;
    for (int index = 1; index < kKeyTableSize; ++index) {
        const ScanCode scan = ScanFromKeyIndex(static_cast<KeyIndex>(index));
        std::string name = TableName(scan);
        if (name.empty() || std::ranges::find(names, name) != names.end())
            continue;
        keys.push_back(scan);
        names.push_back(std::move(name));
    }
    return keys;
}

std::vector<KnownName> CollectKnownKeyNames() {
    std::vector<KnownName> names;
    for (const ScanCode scan : NamedKeys()) {
        std::vector<std::string> all = AllNamesOfKey(scan);
        for (size_t i = 0; i < all.size(); ++i)
            names.push_back({std::move(all[i]), scan, i == 0 ? kTableNameRank : kOtherNameRank});
    }
    return names;
}

const std::vector<KnownName>& KnownKeyNames() {
    static const std::vector<KnownName> names = CollectKnownKeyNames();
    return names;
}

std::string AmbiguousKeyText(std::string_view token, const std::vector<size_t>& keys) {
    std::string text = "\"" + std::string(token) + "\" names more than one key: ";
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i > 0)
            text += i + 1 == keys.size() ? " or " : ", ";
        text += "\"" + KeyDisplayName(static_cast<ScanCode>(keys[i])) + "\"";
    }
    return text + "; name the one you mean";
}

} // namespace

std::optional<unsigned> ParseDecimal(std::string_view text, unsigned limit) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > limit)
        return std::nullopt;
    return value;
}

std::variant<ScanCode, std::string> ResolveKeyToken(std::string_view token) {
    if (token.starts_with(kScanPrefix)) {
        if (const std::optional<ScanCode> scan = ScanFromHexToken(token))
            return *scan;
        return "unknown key \"" + std::string(token) +
               "\" (a scan code is 0x001..0x07f or 0x100..0x17f)";
    }
    const NameMatch match = MatchName(token, KnownKeyNames());
    if (match.value)
        return static_cast<ScanCode>(*match.value);
    if (!match.ambiguous.empty())
        return AmbiguousKeyText(token, match.ambiguous);
    return UnknownNameText("key", token, match.closest, "tavrikctl names keys lists the key names");
}

std::optional<ScanCode> ScanFromKeyToken(std::string_view token) {
    return ResolvedValue(ResolveKeyToken(token));
}

std::string KeyToken(ScanCode scan) {
    if (IsValidScan(scan)) {
        std::string name = TableName(scan);
        if (!name.empty() && ScanFromKeyToken(name) == scan)
            return name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "scan:0x%03x", static_cast<unsigned>(scan));
    return text;
}

std::string_view EnglishKeyName(ScanCode scan) {
    const KeyAliases* aliases = FindKeyAliases(scan);
    return aliases != nullptr ? aliases->englishName : std::string_view{};
}

std::string KeyDisplayName(ScanCode scan) {
    const std::string_view english = EnglishKeyName(scan);
    return english.empty() ? KeyToken(scan) : std::string(english);
}

const std::vector<ScanCode>& NamedKeys() {
    static const std::vector<ScanCode> keys = FindNamedKeys();
    return keys;
}

std::vector<std::string> OtherKeyNames(ScanCode scan) {
    std::vector<std::string> names;
    if (const KeyAliases* aliases = FindKeyAliases(scan)) {
        for (const std::string_view other : aliases->otherNames) {
            if (!other.empty())
                names.emplace_back(other);
        }
    }
    for (const EvdevKeyName& evdev : EvdevKeyNames()) {
        if (ScanFromEvdev(evdev.code) == scan)
            names.emplace_back(evdev.name);
    }
    return names;
}

std::vector<std::string> AllNamesOfKey(ScanCode scan) {
    std::vector<std::string> names{TableName(scan)};
    if (const std::string_view english = EnglishKeyName(scan); !english.empty())
        names.emplace_back(english);
    for (std::string& other : OtherKeyNames(scan))
        names.push_back(std::move(other));
    return names;
}

} // namespace tavrik
