#include "cli/key_names.h"

#include "assign/key_function_tables.h"
#include "keys/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace tavrik::cli {

namespace {

inline constexpr std::string_view kScanPrefix = "scan:";

struct EnglishName {
    ScanCode scan;
    std::string_view name;
};

// English names of the keys whose table names are Chinese or symbols.
constexpr std::array<EnglishName, 33> kEnglishKeyNames{{
    {0x00E, "Backspace"},
    {0x039, "Space"},
    {0x036, "Right Shift"},
    {0x11D, "Right Ctrl"},
    {0x138, "Right Alt"},
    {0x15C, "Right Win"},
    {0x148, "Up"},
    {0x150, "Down"},
    {0x14B, "Left"},
    {0x14D, "Right"},
    {0x029, "Grave"},
    {0x110, "Previous Track"},
    {0x119, "Next Track"},
    {0x120, "Mute"},
    {0x121, "Calculator"},
    {0x122, "Play Pause"},
    {0x124, "Stop Playing"},
    {0x12E, "Volume Down"},
    {0x130, "Volume Up"},
    {0x132, "Browser Home"},
    {0x15E, "Power"},
    {0x15F, "Sleep"},
    {0x163, "Wake"},
    {0x165, "Browser Search"},
    {0x166, "Browser Favourites"},
    {0x167, "Browser Refresh"},
    {0x168, "Browser Stop"},
    {0x169, "Browser Forward"},
    {0x16A, "Browser Back"},
    {0x16B, "My Computer"},
    {0x16C, "Mail"},
    {0x16D, "Media Player"},
    {0x15D, "Menu"},
}};

constexpr std::array<std::string_view, kAssignableFunctionKeys> kEnglishFunctionNames{
    "Open",  "New",  "Undo",       "Save",     "Copy",   "Cut",
    "Paste", "Find", "Select All", "Zoom Out", "Zoom In"};

char Fold(char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c == '-' || c == '_' ? ' ' : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, {}, Fold, Fold);
}

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

// Every table row in index order, first with the exact name, then with the name in any case.
std::optional<ScanCode> ScanFromTableName(std::string_view token) {
    for (const bool exact : {true, false}) {
        for (int index = 1; index < kKeyTableSize; ++index) {
            const std::u16string_view name = KeyTableRow(static_cast<KeyIndex>(index)).name;
            if (name.empty())
                continue;
            const std::string utf8 = Utf8From(name);
            if (exact ? utf8 == token : SameName(utf8, token))
                return ScanFromKeyIndex(static_cast<KeyIndex>(index));
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<unsigned> ParseDecimal(std::string_view text, unsigned limit) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > limit)
        return std::nullopt;
    return value;
}

std::optional<ScanCode> ScanFromKeyToken(std::string_view token) {
    if (token.starts_with(kScanPrefix))
        return ScanFromHexToken(token);
    if (const std::optional<ScanCode> scan = ScanFromTableName(token))
        return scan;
    for (const EnglishName& english : kEnglishKeyNames) {
        if (SameName(english.name, token))
            return english.scan;
    }
    return std::nullopt;
}

std::string KeyToken(ScanCode scan) {
    const std::u16string_view name = KeyTableRow(KeyIndexFromScan(scan)).name;
    if (IsValidScan(scan) && !name.empty()) {
        std::string utf8 = Utf8From(name);
        if (ScanFromTableName(utf8) == scan)
            return utf8;
    }
    char text[16];
    std::snprintf(text, sizeof text, "scan:0x%03x", static_cast<unsigned>(scan));
    return text;
}

std::string_view EnglishKeyName(ScanCode scan) {
    const auto found = std::ranges::find(kEnglishKeyNames, scan, &EnglishName::scan);
    return found != kEnglishKeyNames.end() ? found->name : std::string_view{};
}

std::optional<size_t> MultimediaRowFromToken(std::string_view token) {
    if (const std::optional<unsigned> row = ParseDecimal(token, kMultimediaTable.size() - 1))
        return *row;
    const std::optional<ScanCode> scan = ScanFromKeyToken(token);
    if (!scan)
        return std::nullopt;
    const auto row = std::ranges::find(kMultimediaTable, *scan, &MultimediaFunction::scan);
    if (row == kMultimediaTable.end())
        return std::nullopt;
    return static_cast<size_t>(row - kMultimediaTable.begin());
}

std::optional<size_t> FunctionSlotFromToken(std::string_view token) {
    if (const std::optional<unsigned> slot = ParseDecimal(token, kAssignableFunctionKeys - 1))
        return *slot;
    for (size_t slot = 0; slot < kAssignableFunctionKeys; ++slot) {
        if (Utf8From(kFunctionKeyTable[slot]) == token ||
            SameName(kEnglishFunctionNames[slot], token))
            return slot;
    }
    return std::nullopt;
}

std::string_view EnglishFunctionName(size_t slot) {
    return slot < kEnglishFunctionNames.size() ? kEnglishFunctionNames[slot] : std::string_view{};
}

} // namespace tavrik::cli
