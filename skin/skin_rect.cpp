#include "skin/skin_rect.h"

#include <array>
#include <optional>

namespace tavrik {
namespace {

// Reads one "%d" at `pos`: blanks, an optional sign, then at least one digit.
std::optional<int> ReadNumber(std::u16string_view text, size_t& pos) {
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const size_t firstDigit = pos;
    long long value = 0;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos] - u'0');
        if (value > kMaxSkinCoordinate) {
            return std::nullopt;
        }
        ++pos;
    }
    if (pos == firstDigit) {
        return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

SkinRect ParseSkinRect(std::u16string_view text) {
    std::array<int, 4> fields{1, 1, 1, 1};
    size_t pos = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != u',') {
                break;
            }
            ++pos;
        }
        const std::optional<int> number = ReadNumber(text, pos);
        if (!number) {
            break;
        }
        fields[i] = *number;
    }
    return {fields[0], fields[1], fields[2], fields[3]};
}

SkinRect ReadSkinRect(const CIniFile& ini, std::u16string_view section, std::u16string_view key) {
    const auto value = ini.GetString(section, key, kDefaultRectText, kMaxRectTextLength);
    return ParseSkinRect(value.value_or(std::u16string(kDefaultRectText)));
}

} // namespace tavrik
