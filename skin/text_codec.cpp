#include "skin/text_codec.h"

#include "keys/text.h"

#include <cstdint>

namespace tavrik {
namespace {

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

void AppendUtf16Bytes(std::string& out, char16_t unit, bool bigEndian) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out.push_back(bigEndian ? high : low);
    out.push_back(bigEndian ? low : high);
}

} // namespace

DecodedText DecodeText(std::span<const char> bytes) {
    if (StartsWith(bytes, {0xFF, 0xFE})) {
        return {DecodeUtf16(bytes.subspan(2), false), TextEncoding::Utf16Le};
    }
    if (StartsWith(bytes, {0xFE, 0xFF})) {
        return {DecodeUtf16(bytes.subspan(2), true), TextEncoding::Utf16Be};
    }
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        const auto rest = bytes.subspan(3);
        return {Utf16From({rest.data(), rest.size()}), TextEncoding::Utf8WithBom};
    }
    return {Utf16From({bytes.data(), bytes.size()}), TextEncoding::Utf8};
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
        return "\xEF\xBB\xBF" + Utf8From(text);
    case TextEncoding::Utf8:
        break;
    }
    return Utf8From(text);
}

} // namespace tavrik
