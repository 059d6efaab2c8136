#include "store/Registry.h"

#include <gtest/gtest.h>

namespace flipset {
namespace {

TEST(PackedStringList, PacksEachStringWithItsZeroAndTwoMoreAtTheEnd)
{
    struct Case {
        StringList strings;
        ByteArray bytes;
    };
    const Case cases[] = {
        {{}, {0, 0}},
        {{"a", "b"}, {'a', 0, 'b', 0, 0, 0}},
        {{"host text"}, {'h', 'o', 's', 't', ' ', 't', 'e', 'x', 't', 0, 0, 0}},
        {{""}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        ByteArray bytes = {7, 7};
        CRegistry::PackStringList(c.strings, bytes);
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST(PackedStringList, UnpackTrimsDropsBlanksAndIgnoresAnUnterminatedTail)
{
    struct Case {
        const char* what;
        ByteArray bytes;
        StringList strings;
    };
    const Case cases[] = {
        {"trimmed entry, unterminated tail", {' ', 'a', ' ', 0, 0, 'b'}, {"a"}},
        {"two entries", {'a', 0, 'b', 0, 0}, {"a", "b"}},
        {"blank entries dropped", {' ', '\t', 0, '\r', '\n', 0, 0}, {}},
        {"no zero at all", {'a', 'b'}, {}},
        {"nothing", {}, {}},
        {"inner line breaks kept", {'x', '\r', '\n', 'y', '\r', '\n', 0}, {"x\r\ny"}},
        {"bytes above 127 kept", {0xE9, 0xFF, 0}, {"\xE9\xFF"}},
    };
    for (const Case& c : cases) {
        StringList strings = {"stale"};
        CRegistry::UnpackStringList(c.bytes, strings);
        EXPECT_EQ(strings, c.strings) << c.what;
    }
}

TEST(RegistryValue, ADwordIsFourBytesLowestFirstAndNothingElseReadsAsOne)
{
    EXPECT_EQ(RegistryValue::Dword(0x0A010203u).data, (ByteArray{0x03, 0x02, 0x01, 0x0A}));
    struct Case {
        const char* what;
        RegistryValue value;
        bool isDword;
        uint32_t number;
    };
    const uint32_t dword = static_cast<uint32_t>(RegistryValueType::Dword);
    const uint32_t binary = static_cast<uint32_t>(RegistryValueType::Binary);
    const Case cases[] = {
        {"four bytes", {dword, {0xFF, 0xFF, 0xFF, 0xFF}}, true, 0xFFFFFFFFu},
        {"three bytes", {dword, {1, 0, 0}}, false, 0},
        {"five bytes", {dword, {1, 0, 0, 0, 0}}, false, 0},
        {"binary of four bytes", {binary, {1, 0, 0, 0}}, false, 0},
    };
    for (const Case& c : cases) {
        uint32_t number = 0;
        EXPECT_EQ(c.value.AsDword(number), c.isDword) << c.what;
        EXPECT_EQ(number, c.number) << c.what;
    }
}

TEST(CodedList, EntriesComeBackInOrderAndAnEntryThatIsNotCodedReadsAsEmpty)
{
    const StringList entries = {"C:\\Tools\\sync.exe [/quiet]", "Spooler"};
    EXPECT_EQ(CRegistry::UnpackCodedList(CRegistry::PackCodedList(entries)), entries);
    ByteArray notCoded;
    CRegistry::PackStringList({"NOT CODED"}, notCoded);
    EXPECT_EQ(CRegistry::UnpackCodedList(notCoded), StringList{""});
}

}  // namespace
}  // namespace flipset
