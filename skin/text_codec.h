#pragma once
// Text files that users may edit by hand (skin files): UTF-16 with a byte-order mark, or UTF-8
// with or without one. Bytes that are not valid UTF-8 become U+FFFD instead of being trusted.

#include <span>
#include <string>
#include <string_view>

namespace tavrik {

// How a text file was stored, so that a rewrite keeps the user's encoding.
enum class TextEncoding { Utf8, Utf8WithBom, Utf16Le, Utf16Be };

struct DecodedText {
    std::u16string text;
    TextEncoding encoding = TextEncoding::Utf8;
};

DecodedText DecodeText(std::span<const char> bytes);
std::string EncodeText(std::u16string_view text, TextEncoding encoding);

} // namespace tavrik
