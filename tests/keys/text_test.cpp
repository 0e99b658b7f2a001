#include "keys/text.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

TEST(TextTest, Utf16From) {
    struct Case {
        const char* what;
        std::string_view utf8;
        std::u16string_view utf16;
    };
    const Case cases[] = {
        {"empty", "", u""},
        {"ASCII", "Num 7", u"Num 7"},
        {"Chinese", "\xE6\x9C\xAA\xE7\x9F\xA5\xE6\x8C\x89\xE9\x94\xAE", u"未知按键"},
        {"a character outside the BMP", "\xF0\x9F\x8E\xB9", u"\U0001F3B9"},
        {"U+10FFFF", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"a NUL inside", std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3)},
        {"a lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"a truncated sequence at the end", "a\xE6\x9C", u"a\uFFFD"},
        {"a truncated sequence before ASCII",
         "\xE6\x9C"
         "z",
         u"\uFFFDz"},
        {"an overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"an overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"bytes that never start a sequence", "\xF5\xFF", u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Utf16From(c.utf8), c.utf16);
    }
}

TEST(TextTest, Utf8From) {
    struct Case {
        const char* what;
        std::u16string_view utf16;
        std::string_view utf8;
    };
    const Case cases[] = {
        {"empty", u"", ""},
        {"ASCII and Chinese", u"右边 Shift", "\xE5\x8F\xB3\xE8\xBE\xB9 Shift"},
        {"two-byte form", u"\u00E9", "\xC3\xA9"},
        {"a surrogate pair", u"\U0001F3B9", "\xF0\x9F\x8E\xB9"},
        {"a lone high surrogate", u"a\xD83Cz", "a\xEF\xBF\xBDz"},
        {"a high surrogate at the end", u"a\xD83C", "a\xEF\xBF\xBD"},
        {"a lone low surrogate", u"\xDF39", "\xEF\xBF\xBD"},
        {"two high surrogates, then a pair", u"\xD83C\xD83C\xDFB9", "\xEF\xBF\xBD\xF0\x9F\x8E\xB9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Utf8From(c.utf16), c.utf8);
    }
}

TEST(TextTest, WellFormedTextSurvivesTheRoundTrip) {
    std::u16string every;
    for (char32_t cp = 1; cp <= 0x10FFFF; cp += 0x101) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        if (cp < 0x10000) {
            every.push_back(static_cast<char16_t>(cp));
        } else {
            every.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            every.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    EXPECT_EQ(Utf16From(Utf8From(every)), every);
}

} // namespace
} // namespace tavrik
