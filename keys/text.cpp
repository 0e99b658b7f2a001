#include "keys/text.h"

#include <cstdint>

namespace tavrik {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t cp) {
    const auto put = [&out](unsigned value) { out.push_back(static_cast<char>(value)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// How a UTF-8 lead byte continues: the number of bytes in all and the range of the second
// byte, which rules out overlong forms, surrogates and code points above U+10FFFF.
struct Utf8Lead {
    int length = 0; // 0 = not a lead byte
    uint8_t secondMin = 0x80;
    uint8_t secondMax = 0xBF;
    char32_t bits = 0;
};

constexpr Utf8Lead ClassifyLead(uint8_t byte) {
    if (byte >= 0xC2 && byte <= 0xDF) {
        return {2, 0x80, 0xBF, char32_t{byte & 0x1Fu}};
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        const uint8_t min = byte == 0xE0 ? 0xA0 : 0x80;
        const uint8_t max = byte == 0xED ? 0x9F : 0xBF;
        return {3, min, max, char32_t{byte & 0x0Fu}};
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        const uint8_t min = byte == 0xF0 ? 0x90 : 0x80;
        const uint8_t max = byte == 0xF4 ? 0x8F : 0xBF;
        return {4, min, max, char32_t{byte & 0x07u}};
    }
    return {};
}

// Decodes the sequence at text[pos]; advances pos past it, or past its longest valid start
// when it is ill-formed (then the result is U+FFFD).
char32_t DecodeUtf8(std::string_view text, size_t& pos) {
    const auto byteAt = [&text](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byteAt(pos++);
    if (lead < 0x80) {
        return lead;
    }
    const Utf8Lead form = ClassifyLead(lead);
    if (form.length == 0) {
        return kReplacement;
    }
    char32_t cp = form.bits;
    for (int i = 1; i < form.length; ++i) {
        const uint8_t min = i == 1 ? form.secondMin : 0x80;
        const uint8_t max = i == 1 ? form.secondMax : 0xBF;
        if (pos >= text.size() || byteAt(pos) < min || byteAt(pos) > max) {
            return kReplacement;
        }
        cp = (cp << 6) | (byteAt(pos++) & 0x3Fu);
    }
    return cp;
}

} // namespace

std::string Utf8From(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            unit = kReplacement;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::u16string Utf16From(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        AppendUtf16(out, DecodeUtf8(text, pos));
    }
    return out;
}

} // namespace tavrik
