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

}  // namespace
}  // namespace flipset
