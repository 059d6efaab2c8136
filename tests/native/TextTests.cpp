#include "base/Text.h"

#include <gtest/gtest.h>

#include <utility>

namespace flipset {
namespace {

TEST(Text, TrimRemovesEveryKindOfWhiteSpaceAtBothEndsOnly)
{
    EXPECT_EQ(Trim(" \t\r\n\v\fa b\t\r\n\v\f "), "a b");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0") << "bytes above 127 are not white space";
}

TEST(Text, EqualsNoCaseFoldsAsciiLettersOnly)
{
    EXPECT_TRUE(EqualsNoCase("Office LAN", "office lan"));
    EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
    EXPECT_FALSE(EqualsNoCase("[", "{")) << "no folding outside the letters";
    EXPECT_TRUE(EqualsNoCase("", ""));

    // The folded form keys a map: equal exactly where EqualsNoCase is.
    EXPECT_EQ(FoldCase("Office LAN [2]\xC4"), "office lan [2]\xC4");
}

TEST(Text, HexDigitValueTakesEitherCaseAndRefusesTheRest)
{
    const std::pair<char, int> cases[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'F', 15},
                                          {'g', -1}, {'G', -1}, {'/', -1}, {':', -1},
                                          {'@', -1}, {'`', -1}, {'\0', -1}};
    for (const auto& [c, value] : cases)
        EXPECT_EQ(HexDigitValue(c), value) << "'" << c << "'";
}

TEST(Text, LeadingNumberReadsLeadingDigitsWithinTheSignedRange)
{
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"17", 17},
        {"3abc", 3},
        {"abc", 0},
        {"", 0},
        {"007", 7},
        {"-4", 0},
        {"2147483647", 2147483647},
        {"2147483648", 0},
        {"99999999999999999999", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

TEST(Text, FillPlaceholdersCopiesArgumentsWithoutReadingThem)
{
    struct Case {
        const char* pattern;
        StringList arguments;
        const char* expected;
    };
    const Case cases[] = {
        {"%1 is %2 bytes long", {"The text", "1024"}, "The text is 1024 bytes long"},
        {"%2 before %1, %1 again", {"a", "b"}, "b before a, a again"},
        // An argument that looks like a placeholder or a format stays as it is.
        {"%1 and %2", {"%2%s%n", "x"}, "%2%s%n and x"},
        {"%3 of %1, 100%", {"one"}, "%3 of one, 100%"},
        {"%0%", {}, "%0%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillPlaceholders(c.pattern, c.arguments), c.expected) << c.pattern;
}

TEST(JoinText, PutsTheSeparatorOnlyBetweenEntriesAndKeepsEmptyOnes)
{
    EXPECT_EQ(JoinText({}, ';'), "");
    EXPECT_EQ(JoinText({"a"}, ';'), "a");
    EXPECT_EQ(JoinText({"a", "", "b"}, ';'), "a;;b");
    EXPECT_EQ(JoinText({"", ""}, '\n'), "\n");
}

}  // namespace
}  // namespace flipset
