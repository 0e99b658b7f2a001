#pragma once
// A UTF-16 text as one double-quoted token of a line: printable characters as UTF-8, and
// '"', '\\', control characters and unpaired surrogates escaped (\" \\ \n \t \uXXXX), so that
// any text, however damaged, reads back unit for unit.

#include <optional>
#include <string>
#include <string_view>

namespace tavrik {

std::string QuoteText(std::u16string_view text);

struct QuotedToken {
    std::u16string text;
    size_t length = 0; // bytes of the line the token took, both quotes included
};

// The quoted token at the start of `line` (which must start with '"'); nothing when it is not
// closed or holds an unknown escape.
std::optional<QuotedToken> ReadQuotedText(std::string_view line);

} // namespace tavrik
