#include "names/quoted_text.h"

#include "keys/text.h"

#include <charconv>
#include <cstdio>

namespace tavrik {

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

std::string Escape(char16_t unit) {
    switch (unit) {
    case u'"':
        return "\\\"";
    case u'\\':
        return "\\\\";
    case u'\n':
        return "\\n";
    case u'\t':
        return "\\t";
    default: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(unit));
        return hex;
    }
    }
}

bool NeedsEscape(char16_t unit) {
    return unit < 0x20 || unit == 0x7F || unit == u'"' || unit == u'\\';
}

std::optional<char16_t> HexUnit(std::string_view digits) {
    unsigned value = 0;
    if (digits.size() != 4)
        return std::nullopt;
    const auto [end, error] = std::from_chars(digits.begin(), digits.end(), value, 16);
    if (error != std::errc{} || end != digits.end())
        return std::nullopt;
    return static_cast<char16_t>(value);
}

// The escape at the start of `text` (just after the backslash): the unit and the bytes read.
std::optional<std::pair<char16_t, size_t>> ReadEscape(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    switch (text[0]) {
    case '"':
        return std::pair{u'"', size_t{1}};
    case '\\':
        return std::pair{u'\\', size_t{1}};
    case 'n':
        return std::pair{u'\n', size_t{1}};
    case 't':
        return std::pair{u'\t', size_t{1}};
    case 'u':
        if (const std::optional<char16_t> unit = HexUnit(text.substr(1, 4)))
            return std::pair{*unit, size_t{5}};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

std::string QuoteText(std::u16string_view text) {
    std::string quoted = "\"";
    std::u16string plain;
    for (size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        const bool paired =
            IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]);
        if (paired) {
            plain += text.substr(at, 2);
            ++at;
        } else if (NeedsEscape(unit) || IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            quoted += Utf8From(plain) + Escape(unit);
            plain.clear();
        } else {
            plain += unit;
        }
    }
    return quoted + Utf8From(plain) + "\"";
}

std::optional<QuotedToken> ReadQuotedText(std::string_view line) {
    QuotedToken token;
    size_t plainStart = 1;
    for (size_t at = 1; at < line.size();) {
        if (line[at] != '\\' && line[at] != '"') {
            ++at;
            continue;
        }
        token.text += Utf16From(line.substr(plainStart, at - plainStart));
        if (line[at] == '"') {
            token.length = at + 1;
            return token;
        }
        const auto escape = ReadEscape(line.substr(at + 1));
        if (!escape)
            return std::nullopt;
        token.text += escape->first;
        at += 1 + escape->second;
        plainStart = at;
    }
    return std::nullopt;
}

} // namespace tavrik
