#include "coder/QNHexCoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace flipset {
namespace {

class QNHexCoderListKeyTest : public ::testing::Test {
protected:
    QNHexCoderListKeyTest() { coder.SetKey(kListCoderKey); }

    // Decodes a hand-built frame, scrambled as CodeValue would scramble it.
    std::string DecodeFrame(const std::string& frame) const
    {
        return coder.DecodeValue(coder.Scramble(frame));
    }

    CQNHexCoder coder;
};

// "abc" is framed as "20103abc". Scrambled with key 5A0C93E1 (digit values
// 5 10 0 12 9 3 14 1, cycling with the output position):
//   '2'=32: 3^5=6 G, 2^10=8 I      '0'=30: 3^0=3 D, 0^12=12 M
//   '1'=31: 3^9=10 K, 1^3=2 C      '0'=30: 3^14=13 N, 0^1=1 B
//   '3'=33: 3^5=6 G, 3^10=9 J      'a'=61: 6^0=6 G, 1^12=13 N
//   'b'=62: 6^9=15 P, 2^3=1 B      'c'=63: 6^14=8 I, 3^1=2 C
constexpr const char* kAbcCodedWithListKey = "GIDMKCNBGJGNPBIC";

TEST_F(QNHexCoderListKeyTest, CodesAKnownTextToTheHandScrambledFrame)
{
    EXPECT_EQ(coder.Scramble("20103abc"), kAbcCodedWithListKey);
    EXPECT_EQ(coder.CodeValue("abc"), kAbcCodedWithListKey);
    EXPECT_EQ(coder.DecodeValue(kAbcCodedWithListKey), "abc");
}

// The default key has 11 digits, so it wraps in the middle of a byte:
// output position 11 uses key digit 0 again.
//   7 11 3 10 0 12 5 8 14 2 6 | 7 11 3 10 0
//   nibbles 3 2 3 0 3 1 3 0 3 3 6 | 1 6 2 6 3
//   -> E J A K D N G I N B A | G N B M D
TEST(QNHexCoderKeyTest, NewCoderUsesTheDefaultKeyWrappingMidByte)
{
    CQNHexCoder coder;
    EXPECT_EQ(coder.CodeValue("abc"), "EJAKDNGINBAGNBMD");
    EXPECT_EQ(coder.DecodeValue("EJAKDNGINBAGNBMD"), "abc");
}

TEST(QNHexCoderKeyTest, EmptyKeyKeepsThePreviousKey)
{
    CQNHexCoder coder;
    coder.SetKey(kListCoderKey);
    coder.SetKey("");
    EXPECT_EQ(coder.CodeValue("abc"), kAbcCodedWithListKey);
}

TEST(QNHexCoderKeyTest, KeyCharactersOutsideTheAlphabetCountAsZero)
{
    // Key digit 0 leaves every nibble as it is: 0x12 -> 'A'+1, 'A'+2.
    for (const char* key : {"0", "z", "a", "0z"}) {
        CQNHexCoder coder;
        coder.SetKey(key);
        EXPECT_EQ(coder.Scramble("\x12"), "BC") << "key " << key;
    }
}

TEST_F(QNHexCoderListKeyTest, EmptyTextCodesAndDecodesToEmpty)
{
    EXPECT_EQ(coder.CodeValue(""), "");
    EXPECT_EQ(coder.DecodeValue(""), "");
}

TEST(QNHexCoderWidthTest, LengthWidthGrowsAtEachHexDigitBoundary)
{
    struct Case {
        uint64_t length;
        int width;
    };
    const Case cases[] = {
        {0, 2},         {0xFF, 2},      {0x100, 3},      {0xFFF, 3},      {0x1000, 4},
        {0xFFFF, 4},    {0x10000, 5},   {0xFFFFF, 5},    {0x100000, 6},   {0xFFFFFF, 6},
        {0x1000000, 7}, {0xFFFFFFF, 7}, {0x10000000, 8}, {0xFFFFFFFF, 8}, {UINT64_MAX, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQNHexCoder::LengthWidth(c.length), c.width) << std::hex << c.length;
}

TEST_F(QNHexCoderListKeyTest, CodedLengthFollowsTheFrameWidthAndUsesOnlyAtoP)
{
    struct Case {
        size_t textLength;
        size_t frameOverhead;  // width digit + count + length digits
    };
    const Case cases[] = {
        {1, 5}, {2, 5}, {255, 5}, {256, 6}, {4095, 6}, {4096, 7},
    };
    for (const Case& c : cases) {
        const std::string coded = coder.CodeValue(std::string(c.textLength, 'x'));
        EXPECT_EQ(coded.size(), 2 * (c.frameOverhead + c.textLength)) << c.textLength;
        EXPECT_EQ(coded.find_first_not_of("ABCDEFGHIJKLMNOP"), std::string::npos) << c.textLength;
    }
}

TEST_F(QNHexCoderListKeyTest, EveryByteValueIncludingZeroComesBack)
{
    std::string text;
    for (int value = 255; value >= 0; --value)
        text += static_cast<char>(value);
    text += std::string("\0\0a\0", 4);
    EXPECT_EQ(coder.DecodeValue(coder.CodeValue(text)), text);
}

TEST_F(QNHexCoderListKeyTest, OddLengthCodedTextIgnoresItsLastCharacter)
{
    const std::string coded = coder.CodeValue("abc");
    EXPECT_EQ(coder.DecodeValue(coded + "K"), "abc");
    // Dropping the last letter leaves 7 frame bytes: the field is cut short.
    EXPECT_EQ(coder.DecodeValue(coded.substr(0, coded.size() - 1)), "ab");
}

TEST_F(QNHexCoderListKeyTest, LettersOutsideAtoPReadAsDigitZero)
{
    // Output positions 10 and 11 hold the two nibbles of 'a'; replacing both
    // turns that byte into 0 whatever the key.
    const std::string coded = coder.CodeValue("abc");
    for (char outside : {'@', 'Q', 'a', 'z', '0', '\0', '\x80', '\xC1', '\xFF'}) {
        std::string damaged = coded;
        damaged[10] = outside;
        damaged[11] = outside;
        EXPECT_EQ(coder.DecodeValue(damaged), std::string("\0bc", 3))
            << "character " << static_cast<int>(static_cast<unsigned char>(outside));
    }
}

TEST_F(QNHexCoderListKeyTest, HandBuiltFramesDecodeToTheirFirstFieldOrToEmpty)
{
    struct Case {
        const char* name;
        std::string frame;
        std::string decoded;
    };
    const Case cases[] = {
        {"plain frame", "20103abc", "abc"},
        {"shortest valid frame, empty field", "20100", ""},
        {"shorter than 5 bytes", "2010", ""},
        {"count 0", "20003abc", ""},
        // Enough empty fields follow that the walk alone would accept them.
        {"count 4", "20403abc000000", ""},
        {"count \"10\" is 16", "21003abc" + std::string(30, '0'), ""},
        {"count 2, first field returned", "20203abc02xy", "abc"},
        {"count 3, first field returned", "20303abc02xy00", "abc"},
        {"width digit not a digit", "X0103abc", ""},
        {"width digit a hex letter", "A0103abc", ""},
        {"first count digit not a digit", "2X103abc", ""},
        {"second count digit not a digit", "20X03abc", ""},
        {"width 0 means 2", "00103abc", "abc"},
        {"width 3", "301003abc", "abc"},
        {"width 9, largest length, cut at the frame end", "901FFFFFFFFFabc", "abc"},
        {"width 9, huge lengths walked over every field", "903FFFFFFFFFabc", ""},
        {"width 9, three small fields", "903000000003abc000000000000000000", "abc"},
        {"length digits run past the end", "30103", ""},
        {"width 9 length digits run past the end", "90100000", ""},
        {"non-hex length digit", "201G3abc", ""},
        {"content cut short at the frame end", "20105abc", "abc"},
        {"second field length digits missing", "20203abc0", ""},
        {"second field length digits not hex", "20203abcZZ", ""},
        {"second field content past the end is not checked", "20203abc05xy", "abc"},
        {"third field starts past the end", "20303abc05xy00", ""},
        {"upper-case hex length", "2010Aabcdefghijklmn", "abcdefghij"},
        // 'a' is a hex digit but not in the alphabet, so it is worth 0: the
        // length is 0x10, not 0x1A.
        {"lower-case hex length digit worth 0", "2011aabcdefghijklmnopqrstuvwxyz",
         "abcdefghijklmnop"},
        {"high byte as width digit",
         "\xB2"
         "0103abc",
         ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeFrame(c.frame), c.decoded) << c.name;
}

TEST_F(QNHexCoderListKeyTest, RoundTripPropertyOverRandomTexts)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byteValue(0, 255);
    std::uniform_int_distribution<size_t> shortLength(1, 300);

    std::vector<size_t> lengths = {1, 2, 254, 255, 256, 257, 4094, 4095, 4096, 4097};
    for (int i = 0; i < 200; ++i)
        lengths.push_back(shortLength(random));

    for (size_t length : lengths) {
        std::string text(length, '\0');
        for (char& c : text)
            c = static_cast<char>(byteValue(random));
        const std::string coded = coder.CodeValue(text);
        ASSERT_EQ(coder.DecodeValue(coded), text) << "length " << length;
    }
}

// Decoding arbitrary text must always return, and can never produce more
// bytes than the frame it unscrambles to holds.
TEST(QNHexCoderRobustnessTest, DecodesRandomAndDamagedTextsWithAnyKey)
{
    std::mt19937 random(77);
    auto below = [&](size_t bound) {
        return std::uniform_int_distribution<size_t>(0, bound - 1)(random);
    };
    auto randomLetters = [&](size_t length) {
        std::string text(length, 'A');
        for (char& c : text)
            c = static_cast<char>('A' + below(16));
        return text;
    };
    auto randomBytes = [&](size_t length) {
        std::string text(length, '\0');
        for (char& c : text)
            c = static_cast<char>(below(256));
        return text;
    };

    const std::string keys[] = {kListCoderKey, "7B3A0C58E26", "F", "0", "zz", "1234567"};
    CQNHexCoder encoder;
    encoder.SetKey(kListCoderKey);
    for (int i = 0; i < 4000; ++i) {
        std::string coded;
        switch (i % 4) {
        case 0:
            coded = randomLetters(below(80));
            break;
        case 1:
            coded = randomBytes(below(80));
            break;
        case 2: {  // a real coded text, truncated anywhere
            coded = encoder.CodeValue(randomBytes(1 + below(300)));
            coded.resize(below(coded.size() + 1));
            break;
        }
        default: {  // a real coded text with a few letters changed
            coded = encoder.CodeValue(randomBytes(1 + below(40)));
            for (size_t n = 1 + below(3); n > 0; --n)
                coded[below(coded.size())] = static_cast<char>(below(256));
            break;
        }
        }
        CQNHexCoder decoder;
        decoder.SetKey(keys[below(std::size(keys))]);
        const std::string decoded = decoder.DecodeValue(coded);
        ASSERT_LE(decoded.size(), coded.size() / 2) << "case " << i;
    }
}

}  // namespace
}  // namespace flipset
