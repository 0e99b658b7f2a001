#include "skin/text_codec.h"

#include <cstdint>

namespace tavrik {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool StartsWith(std::span<const char> bytes, std::initializer_list<uint8_t> prefix) {
    if (bytes.size() < prefix.size()) {
        return false;
    }
    size_t i = 0;
    for (uint8_t expected : prefix) {
        if (static_cast<uint8_t>(bytes[i++]) != expected) {
            return false;
        }
    }
    return true;
}

std::u16string DecodeUtf16(std::span<const char> bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<uint8_t>(bytes[i]);
        const auto second = static_cast<uint8_t>(bytes[i + 1]);
        text.push_back(bigEndian ? static_cast<char16_t>(first << 8 | second)
                                 : static_cast<char16_t>(second << 8 | first));
    }
    return text;
}

// Length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot lead one.
int SequenceLength(uint8_t lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

void AppendCodePoint(std::u16string& text, char32_t code) {
    if (code < 0x10000) {
        text.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

void AppendUtf16Bytes(std::string& out, char16_t unit, bool bigEndian) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out.push_back(bigEndian ? high : low);
    out.push_back(bigEndian ? low : high);
}

} // namespace

std::u16string Utf16FromUtf8(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + static_cast<size_t>(length) > bytes.size()) {
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(bytes[i + static_cast<size_t>(k)]);
            valid = valid && (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (!valid || overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        AppendCodePoint(text, code);
        i += static_cast<size_t>(length);
    }
    return text;
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        const bool highSurrogate = code >= 0xD800 && code <= 0xDBFF;
        if (highSurrogate && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        AppendUtf8(out, code);
    }
    return out;
}

DecodedText DecodeText(std::span<const char> bytes) {
    if (StartsWith(bytes, {0xFF, 0xFE})) {
        return {DecodeUtf16(bytes.subspan(2), false), TextEncoding::Utf16Le};
    }
    if (StartsWith(bytes, {0xFE, 0xFF})) {
        return {DecodeUtf16(bytes.subspan(2), true), TextEncoding::Utf16Be};
    }
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        const auto rest = bytes.subspan(3);
        return {Utf16FromUtf8({rest.data(), rest.size()}), TextEncoding::Utf8WithBom};
    }
    return {Utf16FromUtf8({bytes.data(), bytes.size()}), TextEncoding::Utf8};
}

std::string EncodeText(std::u16string_view text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        const bool bigEndian = encoding == TextEncoding::Utf16Be;
        std::string out;
        out.reserve(2 + text.size() * 2);
        AppendUtf16Bytes(out, 0xFEFF, bigEndian);
        for (char16_t unit : text) {
            AppendUtf16Bytes(out, unit, bigEndian);
        }
        return out;
    }
    case TextEncoding::Utf8WithBom:
        return "\xEF\xBB\xBF" + Utf8FromUtf16(text);
    case TextEncoding::Utf8:
        break;
    }
    return Utf8FromUtf16(text);
}

} // namespace tavrik
