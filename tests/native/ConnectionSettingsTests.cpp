// The connection record: what a record written by another program reads
// as, that encoding gives the same bytes back, and that a damaged record is
// refused without reading past its end.

#include "engine/ConnectionSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

ByteArray Number(uint32_t number)
{
    return {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
}

ByteArray Concat(std::initializer_list<ByteArray> parts)
{
    ByteArray bytes;
    for (const ByteArray& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

ByteArray Text(const std::string& text)
{
    return Concat(
        {Number(static_cast<uint32_t>(text.size())), ByteArray(text.begin(), text.end())});
}

// As the system's settings page leaves it with auto-detection on and a
// proxy typed in but not used: version 0x3c, then the detection results
// that other programs keep after the script's address.
const ByteArray kForeignTail = {0x01, 0x00, 0x00, 0x00, 0xc0, 0xa8, 0x01, 0x05,
                                0x00, 0x00, 0x00, 0x00, 0x7a, 0x9b, 0x00, 0x00};
const ByteArray kForeignRecord =
    Concat({Number(0x3c), Number(17), Number(ConnectionFlag::kDirect | ConnectionFlag::kAutoDetect),
            Text("old.example:3128"), Text("*.lan;<local>"), Text(""), kForeignTail});

TEST(ConnectionSettings, ARecordOfAnotherProgramReadsWithEverythingAfterTheTextsKept)
{
    ConnectionSettings settings;
    ASSERT_TRUE(DecodeConnectionSettings(kForeignRecord, settings));
    EXPECT_EQ(settings.version, 0x3cu);
    EXPECT_EQ(settings.counter, 17u);
    EXPECT_EQ(settings.flags, ConnectionFlag::kDirect | ConnectionFlag::kAutoDetect);
    EXPECT_EQ(settings.proxyServer, "old.example:3128");
    EXPECT_EQ(settings.proxyBypass, "*.lan;<local>");
    EXPECT_EQ(settings.autoConfigUrl, "");
    EXPECT_EQ(settings.rest, kForeignTail);
    EXPECT_EQ(EncodeConnectionSettings(settings), kForeignRecord);
}

TEST(ConnectionSettings, EncodingAndDecodingGiveTheSameRecord)
{
    ConnectionSettings full;
    full.counter = 0xffffffffu;
    full.flags = 0x0f;
    full.proxyServer = "http=a.example:80;https=b.example:443";
    full.proxyBypass = "<local>";
    full.autoConfigUrl = "http://wpad.example/proxy.pac";
    full.rest = {0, 1, 2, 0xff};
    for (const ConnectionSettings& settings : {ConnectionSettings(), full}) {
        const ByteArray bytes = EncodeConnectionSettings(settings);
        ConnectionSettings read;
        ASSERT_TRUE(DecodeConnectionSettings(bytes, read));
        EXPECT_EQ(read, settings);
    }
    EXPECT_EQ(EncodeConnectionSettings(ConnectionSettings()),
              Concat({Number(0x46), Number(0), Number(1), Number(0), Number(0), Number(0)}));
}

TEST(ConnectionSettings, ADamagedRecordIsRefusedAndReadsAsANewOne)
{
    const ByteArray header = Concat({Number(0x46), Number(3), Number(3)});
    const struct {
        const char* what;
        ByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"cut inside the header", ByteArray(header.begin(), header.begin() + 11)},
        {"the header alone", header},
        {"a length cut short", Concat({header, {5, 0}})},
        {"a server longer than the record", Concat({header, Number(40), {'a', 'b'}})},
        {"a length near 4 GB", Concat({header, Number(0xffffffffu), Text(""), Text("")})},
        {"no script address", Concat({header, Text("p:80"), Text("")})},
        {"a script address past the end", Concat({header, Text(""), Text(""), Number(1)})},
    };
    for (const auto& c : cases) {
        ConnectionSettings settings;
        settings.proxyServer = "left over";
        EXPECT_FALSE(DecodeConnectionSettings(c.bytes, settings)) << c.what;
        EXPECT_EQ(settings, ConnectionSettings()) << c.what;
    }
}

}  // namespace
}  // namespace flipset
