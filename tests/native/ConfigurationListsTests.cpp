#include "editor/ConfigurationLists.h"

#include "coder/QNHexCoder.h"
#include "store/ConfigurationStore.h"
#include "support/MemoryRegistryBackend.h"
#include "support/RefusingRegistryBackend.h"

#include <gtest/gtest.h>

namespace flipset {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;

class ConfigurationListsTest : public ::testing::Test {
protected:
    ByteArray Stored(const char* value)
    {
        ByteArray bytes;
        registry.ReadBinary(ConfigurationKeyPath(2), value, bytes, kRoot);
        return bytes;
    }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(ConfigurationListsTest, CodedListsAreStoredCodedAndReadBackInOrder)
{
    const StringList services = {"Spooler", "W32Time", "Fax"};
    ASSERT_EQ(WriteCodedList(registry, 2, kRoot, "ServicesStop", services), ValueWrite::Stored);
    StringList stored;
    CRegistry::UnpackStringList(Stored("ServicesStop"), stored);
    ASSERT_EQ(stored.size(), 3u);
    CQNHexCoder coder;
    coder.SetKey(kListCoderKey);
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(stored[i].find_first_not_of("ABCDEFGHIJKLMNOP"), std::string::npos);
        EXPECT_EQ(coder.DecodeValue(stored[i]), services[i]);
    }
    EXPECT_EQ(ReadCodedList(registry, 2, kRoot, "ServicesStop"), services);
}

TEST_F(ConfigurationListsTest, AnEmptyListIsStoredAsTheEmptyPackedList)
{
    ASSERT_EQ(WriteCodedList(registry, 2, kRoot, "Run", {}), ValueWrite::Stored);
    EXPECT_EQ(Stored("Run"), (ByteArray{0, 0}));
    EXPECT_TRUE(ReadCodedList(registry, 2, kRoot, "Run").empty());
    EXPECT_TRUE(ReadCodedList(registry, 2, kRoot, "Missing").empty());
}

TEST_F(ConfigurationListsTest, AnEntryThatDoesNotDecodeReadsAsEmpty)
{
    ByteArray bytes;
    CRegistry::PackStringList({"NOTCODED"}, bytes);
    registry.WriteBinary(ConfigurationKeyPath(2), "Run", bytes, kRoot);
    EXPECT_EQ(ReadCodedList(registry, 2, kRoot, "Run"), StringList{""});
}

TEST_F(ConfigurationListsTest, SystemFileTextsAreOneEntryAndJoinedWithLineFeeds)
{
    ASSERT_EQ(WriteSystemFileText(registry, 2, kRoot, "Hostfile", "first\r\nsecond"),
              ValueWrite::Stored);
    ByteArray expected = {'f', 'i', 'r', 's', 't', '\r', '\n', 's',
                          'e', 'c', 'o', 'n', 'd', 0,    0,    0};
    EXPECT_EQ(Stored("Hostfile"), expected);
    EXPECT_EQ(ReadSystemFileText(registry, 2, kRoot, "Hostfile"), "first\r\nsecond");

    ASSERT_EQ(WriteSystemFileText(registry, 2, kRoot, "LMHostfile", ""), ValueWrite::Stored);
    EXPECT_EQ(Stored("LMHostfile"), (ByteArray{0, 0, 0}));

    registry.WriteBinary(ConfigurationKeyPath(2), "Hostfile", {'a', 0, 'b', 0, 0}, kRoot);
    EXPECT_EQ(ReadSystemFileText(registry, 2, kRoot, "Hostfile"), "a\nb");
    EXPECT_EQ(ReadSystemFileText(registry, 2, kRoot, "Missing"), "");
}

// Nothing is stored that could not be read back.
TEST_F(ConfigurationListsTest, ValuesOverTheReadLimitsAreRefusedAndNothingIsWritten)
{
    const std::string fits(kLargestBinaryValue - 3, 'h');
    ASSERT_EQ(WriteSystemFileText(registry, 2, kRoot, "Hostfile", fits), ValueWrite::Stored);
    EXPECT_EQ(ReadSystemFileText(registry, 2, kRoot, "Hostfile"), fits);
    EXPECT_EQ(WriteSystemFileText(registry, 2, kRoot, "Hostfile", fits + "h"),
              ValueWrite::TooLarge);
    EXPECT_EQ(ReadSystemFileText(registry, 2, kRoot, "Hostfile"), fits) << "the old value stays";

    // Each coded byte takes two letters and a frame around it.
    StringList many(200, std::string(60, 'p'));
    EXPECT_GT(CodedListSize(many), kLargestBinaryValue);
    EXPECT_EQ(WriteCodedList(registry, 2, kRoot, "Run", many), ValueWrite::TooLarge);
    EXPECT_TRUE(Stored("Run").empty());
    many.resize(150);
    EXPECT_LE(CodedListSize(many), kLargestBinaryValue);
    EXPECT_EQ(WriteCodedList(registry, 2, kRoot, "Run", many), ValueWrite::Stored);

    EXPECT_TRUE(FitsTextValue(std::string(kLongestTextValue, 't')));
    EXPECT_FALSE(FitsTextValue(std::string(kLongestTextValue + 1, 't')));
}

// A write the registry refuses is reported as such, not as stored, and the
// value it would have replaced stays.
TEST_F(ConfigurationListsTest, WritesTheRegistryRefusesAreReportedAndChangeNothing)
{
    RefusingRegistryBackend refusing(backend);
    const CRegistry guarded(refusing);
    ASSERT_EQ(WriteCodedList(guarded, 2, kRoot, "Run", {"old"}), ValueWrite::Stored);
    ASSERT_EQ(WriteSystemFileText(guarded, 2, kRoot, "Hostfile", "old"), ValueWrite::Stored);

    refusing.RefuseEveryWrite();
    EXPECT_EQ(WriteCodedList(guarded, 2, kRoot, "Run", {"new"}), ValueWrite::Refused);
    EXPECT_EQ(WriteSystemFileText(guarded, 2, kRoot, "Hostfile", "new"), ValueWrite::Refused);
    // Too large is told first: storing would not help.
    EXPECT_EQ(
        WriteSystemFileText(guarded, 2, kRoot, "Hostfile", std::string(kLargestBinaryValue, 'h')),
        ValueWrite::TooLarge);
    EXPECT_EQ(ReadCodedList(registry, 2, kRoot, "Run"), StringList{"old"});
    EXPECT_EQ(ReadSystemFileText(registry, 2, kRoot, "Hostfile"), "old");
}

}  // namespace
}  // namespace flipset
