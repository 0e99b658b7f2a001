#include "profile/decimal_text.h"

#include <algorithm>
#include <climits>

namespace tavrik {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

int DecimalTextToInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        magnitude = std::min<long long>(magnitude * 10 + (text[i] - u'0'), 1LL + INT_MAX);
    return static_cast<int>(
        std::clamp<long long>(negative ? -magnitude : magnitude, INT_MIN, INT_MAX));
}

std::u16string IntToDecimalText(int n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace tavrik
