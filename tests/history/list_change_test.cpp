#include "history/list_change.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrik {
namespace {

using Chars = std::vector<char>;

Chars Of(std::string_view text) {
    return {text.begin(), text.end()};
}

struct SpliceCase {
    std::string_view from;
    std::string_view to;
    size_t position;
    std::string_view before;
    std::string_view after;
};

class ListChangeTest : public testing::TestWithParam<SpliceCase> {};

TEST_P(ListChangeTest, KeepsOnlyTheSpliceAndGoesBothWays) {
    const SpliceCase& c = GetParam();
    const ListChange<char> change = ListChange<char>::Between(Of(c.from), Of(c.to));
    EXPECT_EQ(change.position, c.position);
    EXPECT_EQ(change.before, Of(c.before));
    EXPECT_EQ(change.after, Of(c.after));
    Chars list = Of(c.from);
    change.Redo(list);
    EXPECT_EQ(list, Of(c.to));
    change.Undo(list);
    EXPECT_EQ(list, Of(c.from));
}

INSTANTIATE_TEST_SUITE_P(
    Splices, ListChangeTest,
    testing::Values(SpliceCase{"abc", "abc", 3, "", ""}, SpliceCase{"abc", "abcd", 3, "", "d"},
                    SpliceCase{"", "a", 0, "", "a"}, SpliceCase{"abc", "ac", 1, "b", ""},
                    SpliceCase{"abc", "aXc", 1, "b", "X"}, SpliceCase{"aaa", "aa", 2, "a", ""},
                    SpliceCase{"abc", "", 0, "abc", ""},
                    SpliceCase{"abcd", "adcb", 1, "bcd", "dcb"}));

TEST(ListChangeTest, AbsorbsAnEditWithinWhatItPutInPlaceOnly) {
    ListChange<char> added = ListChange<char>::Between(Of("ab"), Of("abX"));
    ASSERT_TRUE(added.Absorb(ListChange<char>::Between(Of("abX"), Of("abY"))));
    EXPECT_EQ(added.after, Of("Y"));
    EXPECT_FALSE(added.Absorb(ListChange<char>::Between(Of("abY"), Of("aZY"))));
    EXPECT_EQ(added.after, Of("Y"));
    Chars list = Of("ab");
    added.Redo(list);
    EXPECT_EQ(list, Of("abY"));
    added.Undo(list);
    EXPECT_EQ(list, Of("ab"));
}

} // namespace
} // namespace tavrik
