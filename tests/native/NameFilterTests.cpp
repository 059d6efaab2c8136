#include "base/NameFilter.h"

#include <gtest/gtest.h>

#include <set>

namespace flipset {
namespace {

TEST(NameFilter, AllowsExactlyTheSpaceLettersDigitsAndTenMarks)
{
    EXPECT_EQ(kNameCharacters.size(), 73u);
    std::set<char> allowed;
    for (int c = 0; c < 256; ++c) {
        if (IsNameCharacter(static_cast<char>(c), kNameCharacters))
            allowed.insert(static_cast<char>(c));
    }
    std::set<char> expected = {' ', '!', '@', '#', '$', '&', '?', '-', '_', '.', ','};
    for (char c = 'a'; c <= 'z'; ++c)
        expected.insert(c);
    for (char c = 'A'; c <= 'Z'; ++c)
        expected.insert(c);
    for (char c = '0'; c <= '9'; ++c)
        expected.insert(c);
    EXPECT_EQ(allowed, expected);
}

TEST(NameFilter, FilterRemovesEveryOtherByteAndTrimsNothing)
{
    EXPECT_EQ(FilterName("  a\\b/c\"d'e\tf\xE9g%h*  ", kNameCharacters), "  abcdefgh  ");
    EXPECT_EQ(FilterName(std::string("x\0y", 3), kNameCharacters), "xy");
}

TEST(NameFilter, FilterUsesTheAllowedCharactersItIsGiven)
{
    EXPECT_EQ(FilterName("abc-123", "abc"), "abc");
}

struct CheckCase {
    const char* what;
    std::string editText;
    bool replace;
    std::string text;
    bool acceptable;
};

void PrintTo(const CheckCase& c, std::ostream* out)
{
    *out << c.what;
}

class NameCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(NameCheckTest, ShowsTheTextThatTheEditShouldHold)
{
    const CheckCase& c = GetParam();
    const NameCheck check = CheckName(c.editText, kNameCharacters);
    EXPECT_EQ(check.replace, c.replace) << c.what;
    EXPECT_EQ(check.text, c.text) << c.what;
    EXPECT_EQ(check.acceptable, c.acceptable) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameCheckTest,
    ::testing::Values(CheckCase{"backslash typed after ab", "ab\\", true, "ab", true},
                      CheckCase{"e acute typed after ab", "ab\xE9", true, "ab", true},
                      CheckCase{"tab pasted at the end", "ab\t", true, "ab", true},
                      CheckCase{"tab pasted at the start", "\tab", true, "ab", true},
                      CheckCase{"tab pasted in the middle", "a\tb", true, "ab", true},
                      CheckCase{"spaces around a clean name stay", "  x ", false, "  x ", true},
                      CheckCase{"a removed character takes the spaces around with it", "  x\\ ",
                                true, "x", true},
                      CheckCase{"only spaces", "   ", false, "   ", false},
                      CheckCase{"empty", "", false, "", false},
                      CheckCase{"only disallowed characters", "\\/\t", true, "", false},
                      CheckCase{"spaces and a disallowed character", "  \" ", true, "", false},
                      CheckCase{"mixed", " Office/Home \"2\" ", true, "OfficeHome 2", true},
                      CheckCase{"every allowed mark", "a!@#$&?-_.,", false, "a!@#$&?-_.,", true}));

TEST(IsStorableName, AnyNameButABlankOneOrOneWithAControlCharacter)
{
    const struct {
        const char* name;
        bool storable;
    } cases[] = {
        {"Office", true}, {"B\xFCro \x80", true}, {"a\\b [1] \"x\"", true}, {"", false},
        {"   ", false},   {"a\tb", false},        {"a\x1B[2J", false},      {"a\x7F", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsStorableName(c.name), c.storable) << c.name;
}

}  // namespace
}  // namespace flipset
