// Registry conformance: CRegistry over a backend behaves as the program
// relies on. Built into the native tests (in-memory backend) and the Wine
// tests (the real registry), so the stand-in provably matches the platform.
// Everything happens below a scratch key that each test removes.

#include "shared/RegistryConformance.h"
#include "store/Registry.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace flipset {
namespace {

const std::string kScratch = "Software\\Flipset Conformance";
constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;

class RegistryConformance : public ::testing::Test {
protected:
    void SetUp() override { RemoveScratch(); }
    void TearDown() override { RemoveScratch(); }

    void RemoveScratch()
    {
        registry.DeleteKeyTree(kScratch, RegistryRoot::CurrentUser);
        registry.DeleteKeyTree(kScratch, RegistryRoot::LocalMachine);
    }

    static std::string Path(const std::string& relative) { return kScratch + "\\" + relative; }

    // Stores raw bytes under any type, bypassing CRegistry's own writers.
    void StoreRaw(const std::string& path, const std::string& name, RegistryValueType type,
                  const ByteArray& bytes)
    {
        long status = 0;
        auto key = backend->CreateKey(kRoot, path, "", &status);
        ASSERT_NE(key, nullptr) << status;
        ASSERT_EQ(key->SetValue(name, type, bytes.data(), static_cast<uint32_t>(bytes.size())),
                  RegistryStatus::kSuccess);
    }

    // The class text of the subkey "name" of "parent", as enumeration reports it.
    std::string ClassOf(const std::string& parent, const std::string& name)
    {
        long status = 0;
        auto key = backend->OpenKey(kRoot, parent, &status);
        if (!key)
            return "<parent missing>";
        std::array<char, 1024> keyName{};
        std::array<char, 1024> className{};
        for (uint32_t index = 0;; ++index) {
            uint32_t nameSize = keyName.size();
            uint32_t classSize = className.size();
            if (key->EnumKey(index, keyName.data(), &nameSize, className.data(), &classSize) !=
                RegistryStatus::kSuccess)
                return "<no such subkey>";
            if (std::string(keyName.data(), nameSize) == name)
                return std::string(className.data(), classSize);
        }
    }

    bool KeyExists(const std::string& path, RegistryRoot root = kRoot)
    {
        long status = 0;
        return backend->OpenKey(root, path, &status) != nullptr;
    }

    std::unique_ptr<RegistryBackend> backend = MakeConformanceBackend();
    CRegistry registry{*backend};
};

// --- reads: limits and defaults -------------------------------------------

TEST_F(RegistryConformance, StringReadsUpToTheBufferAndFallsBackBeyondIt)
{
    struct Case {
        size_t length;  // characters, without the 0 byte
        bool readWhole;
    };
    const Case cases[] = {{0, true}, {1022, true}, {1023, true}, {1024, false}, {5000, false}};
    for (const Case& c : cases) {
        const std::string text(c.length, 'x');
        ASSERT_TRUE(registry.WriteString(kScratch, "s", text, kRoot));
        EXPECT_EQ(registry.ReadString(kScratch, "s", "default", kRoot),
                  c.readWhole ? text : "default")
            << c.length << " characters";
    }
}

TEST_F(RegistryConformance, StringReadTakesAnyTypeAndStopsAtTheDataOrItsFirstZero)
{
    struct Case {
        const char* what;
        RegistryValueType type;
        ByteArray bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"binary with an inner 0", RegistryValueType::Binary, {'a', 'b', 0, 'c'}, "ab"},
        {"binary without a 0", RegistryValueType::Binary, {'a', 'b', 'c'}, "abc"},
        {"dword", RegistryValueType::Dword, {'1', '2', 0, 0}, "12"},
        {"empty binary", RegistryValueType::Binary, {}, ""},
    };
    for (const Case& c : cases) {
        StoreRaw(kScratch, "v", c.type, c.bytes);
        EXPECT_EQ(registry.ReadString(kScratch, "v", "default", kRoot), c.expected) << c.what;
    }
}

TEST_F(RegistryConformance, StringFillingTheWholeBufferWithoutZeroIsReadExactly)
{
    const ByteArray full(CRegistry::kStringBufferSize, 'q');
    StoreRaw(kScratch, "full", RegistryValueType::Binary, full);
    EXPECT_EQ(registry.ReadString(kScratch, "full", "default", kRoot),
              std::string(CRegistry::kStringBufferSize, 'q'));
}

TEST_F(RegistryConformance, DwordReadsFourBytesAndShorterValuesWithZeroFill)
{
    struct Case {
        const char* what;
        ByteArray bytes;
        uint32_t expected;
    };
    const Case cases[] = {
        {"four bytes, little-endian", {0x78, 0x56, 0x34, 0x12}, 0x12345678u},
        {"two bytes", {0x34, 0x12}, 0x1234u},
        {"one byte", {0xFF}, 0xFFu},
        {"no bytes", {}, 0u},
        {"five bytes", {1, 2, 3, 4, 5}, 77u},  // over the buffer: the default
    };
    for (const Case& c : cases) {
        StoreRaw(kScratch, "d", RegistryValueType::Binary, c.bytes);
        EXPECT_EQ(registry.ReadDword(kScratch, "d", 77, kRoot), c.expected) << c.what;
    }
    ASSERT_TRUE(registry.WriteDword(kScratch, "d", 0xFFFFFFFFu, kRoot));
    EXPECT_EQ(registry.ReadDword(kScratch, "d", 77, kRoot), 0xFFFFFFFFu);
}

TEST_F(RegistryConformance, BinaryReadsUpToTheBufferAndFailsEmptyBeyondIt)
{
    struct Case {
        size_t length;
        bool read;
    };
    const Case cases[] = {{0, false}, {1, true}, {24575, true}, {24576, true}, {24577, false}};
    for (const Case& c : cases) {
        ByteArray stored(c.length);
        for (size_t i = 0; i < stored.size(); ++i)
            stored[i] = static_cast<unsigned char>(i * 7);
        ASSERT_TRUE(registry.WriteBinary(kScratch, "b", stored, kRoot));
        ByteArray read = {9, 9};
        EXPECT_EQ(registry.ReadBinary(kScratch, "b", read, kRoot), c.read) << c.length;
        EXPECT_EQ(read, c.read ? stored : ByteArray()) << c.length;
    }
}

TEST_F(RegistryConformance, MissingKeysAndValuesGiveTheDefaults)
{
    registry.WriteString(kScratch, "present", "x", kRoot);
    for (const std::string& path : {Path("missing"), kScratch}) {
        EXPECT_EQ(registry.ReadString(path, "absent", "dflt", kRoot), "dflt") << path;
        EXPECT_EQ(registry.ReadDword(path, "absent", 42, kRoot), 42u) << path;
        ByteArray bytes = {1};
        EXPECT_FALSE(registry.ReadBinary(path, "absent", bytes, kRoot)) << path;
        EXPECT_TRUE(bytes.empty());
    }
    EXPECT_FALSE(KeyExists(Path("missing"))) << "reads never create keys";
}

// --- writes ------------------------------------------------------------------

TEST_F(RegistryConformance, WritesCreateMissingParentsAndNameTheirClass)
{
    struct Case {
        const char* key;
        const char* expectedClass;
    };
    registry.WriteString(Path("s\\leaf"), "v", "text", kRoot);
    registry.WriteDword(Path("d\\leaf"), "v", 1, kRoot);
    registry.WriteBinary(Path("b\\leaf"), "v", {1, 2}, kRoot);
    registry.WriteMultiString(Path("m\\leaf"), "v", {"one"}, kRoot);
    registry.DeleteValue(Path("x\\leaf"), "v", kRoot);
    registry.OpenKeyForWrite(Path("o\\leaf"), kRoot);  // the key is closed at once
    const Case cases[] = {{"s", "REG_SZ"},       {"d", "REG_DWORD"}, {"b", "REG_BINARY"},
                          {"m", "REG_MULTI_SZ"}, {"x", "REG_SZ"},    {"o", "REG_SZ"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ClassOf(Path(c.key), "leaf"), c.expectedClass) << c.key;
        EXPECT_EQ(ClassOf(kScratch, c.key), c.expectedClass) << "parent created with " << c.key;
    }
}

TEST_F(RegistryConformance, WritesReportFailure)
{
    EXPECT_TRUE(registry.WriteString(kScratch, "v", "hello", kRoot));
    // A key name longer than the registry allows cannot be created.
    const std::string tooLong = Path(std::string(300, 'k'));
    EXPECT_FALSE(registry.WriteString(tooLong, "v", "hello", kRoot));
    EXPECT_FALSE(registry.WriteDword(tooLong, "v", 1, kRoot));
    EXPECT_FALSE(registry.WriteBinary(tooLong, "v", {1}, kRoot));
    EXPECT_EQ(registry.OpenKeyForWrite(tooLong, kRoot), nullptr);
}

TEST_F(RegistryConformance, WriteMultiStringLayoutAndEmptyListDeletes)
{
    ASSERT_TRUE(registry.WriteMultiString(kScratch, "m", {"12345678"}, kRoot));
    ByteArray bytes;
    ASSERT_TRUE(registry.ReadBinary(kScratch, "m", bytes, kRoot));
    EXPECT_EQ(bytes, (ByteArray{'1', '2', '3', '4', '5', '6', '7', '8', 0, 0}));

    ASSERT_TRUE(registry.WriteMultiString(kScratch, "m", {"a", "bc"}, kRoot));
    ASSERT_TRUE(registry.ReadBinary(kScratch, "m", bytes, kRoot));
    EXPECT_EQ(bytes, (ByteArray{'a', 0, 'b', 'c', 0, 0}));

    EXPECT_TRUE(registry.WriteMultiString(kScratch, "m", {}, kRoot));
    EXPECT_FALSE(registry.ReadBinary(kScratch, "m", bytes, kRoot)) << "the value is deleted";
    EXPECT_FALSE(registry.WriteMultiString(kScratch, "m", {}, kRoot)) << "nothing left to delete";
}

TEST_F(RegistryConformance, MultiStringReadsItsEntriesUpToTheFirstEmptyOne)
{
    struct Case {
        const char* what;
        RegistryValueType type;
        ByteArray bytes;
        bool read;
        StringList entries;
    };
    const Case cases[] = {
        {"two entries", RegistryValueType::MultiString, {'a', 0, 'b', 'c', 0, 0}, true, {"a", "bc"}},
        {"an empty entry ends the list", RegistryValueType::MultiString, {'a', 0, 0, 'b', 0, 0},
         true, {"a"}},
        {"closing zeros missing", RegistryValueType::MultiString, {'a', 0, 'b'}, true, {"a", "b"}},
        {"no entries", RegistryValueType::MultiString, {0}, true, {}},
        {"another type", RegistryValueType::String, {'a', 0}, false, {}},
    };
    for (const Case& c : cases) {
        StoreRaw(kScratch, "m", c.type, c.bytes);
        StringList entries = {"left over"};
        EXPECT_EQ(registry.OpenForReading(kScratch, kRoot).ReadMultiString("m", entries), c.read)
            << c.what;
        EXPECT_EQ(entries, c.entries) << c.what;
    }
    StringList entries = {"left over"};
    EXPECT_FALSE(registry.OpenForReading(kScratch, kRoot).ReadMultiString("missing", entries));
    EXPECT_TRUE(entries.empty());
}

TEST_F(RegistryConformance, DeleteValueCreatesAMissingKeyAndReportsTheDeletion)
{
    EXPECT_FALSE(registry.DeleteValue(Path("new"), "v", kRoot));
    EXPECT_TRUE(KeyExists(Path("new")));

    registry.WriteString(Path("new"), "v", "x", kRoot);
    EXPECT_TRUE(registry.DeleteValue(Path("new"), "v", kRoot));
    EXPECT_EQ(registry.ReadString(Path("new"), "v", "gone", kRoot), "gone");
    EXPECT_FALSE(registry.DeleteValue(Path("new"), "v", kRoot));
}

TEST_F(RegistryConformance, DeleteKeyTreeRemovesDescendantsFirst)
{
    registry.WriteString(Path("tree\\a\\b\\c"), "v", "x", kRoot);
    registry.WriteString(Path("tree\\a\\b2"), "v", "x", kRoot);
    registry.WriteDword(Path("tree\\a"), "v", 1, kRoot);
    registry.WriteDword(Path("tree"), "v", 1, kRoot);
    registry.WriteDword(Path("sibling"), "v", 1, kRoot);

    EXPECT_TRUE(registry.DeleteKeyTree(Path("tree"), kRoot));
    EXPECT_FALSE(KeyExists(Path("tree")));
    EXPECT_TRUE(KeyExists(Path("sibling")));
    EXPECT_FALSE(registry.DeleteKeyTree(Path("tree"), kRoot)) << "a missing key";
    EXPECT_TRUE(KeyExists(Path("sibling")));
}

TEST_F(RegistryConformance, DeleteKeyTreeNeverEmptiesARoot)
{
    registry.WriteDword(kScratch, "v", 1, kRoot);
    EXPECT_FALSE(registry.DeleteKeyTree("", kRoot));
    EXPECT_TRUE(KeyExists(kScratch));
}

TEST_F(RegistryConformance, RootsAreSeparate)
{
    registry.WriteString(kScratch, "v", "user", RegistryRoot::CurrentUser);
    registry.WriteString(kScratch, "v", "machine", RegistryRoot::LocalMachine);
    EXPECT_EQ(registry.ReadString(kScratch, "v", "", RegistryRoot::CurrentUser), "user");
    EXPECT_EQ(registry.ReadString(kScratch, "v", "", RegistryRoot::LocalMachine), "machine");
    registry.DeleteKeyTree(kScratch, RegistryRoot::LocalMachine);
    EXPECT_EQ(registry.ReadString(kScratch, "v", "", RegistryRoot::CurrentUser), "user");
}

// --- names and enumeration ---------------------------------------------------

TEST_F(RegistryConformance, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    registry.WriteString(Path("MixedCase"), "ValueName", "first", kRoot);
    registry.WriteString(Path("MIXEDCASE"), "VALUENAME", "second", kRoot);
    EXPECT_EQ(registry.ReadString(Path("mixedcase"), "valuename", "", kRoot), "second");

    StringList names = registry.EnumSubKeys(kScratch, kRoot);
    EXPECT_EQ(names, StringList{"MixedCase"});
    names = registry.EnumValueNames(Path("MixedCase"), kRoot);
    EXPECT_EQ(names, StringList{"ValueName"});
}

TEST_F(RegistryConformance, PathsPassOverDoubledAndTrailingBackslashesButNotALeadingOne)
{
    registry.WriteString(Path("a\\b"), "v", "x", kRoot);
    EXPECT_EQ(registry.ReadString(kScratch + "\\\\a\\\\b", "v", "", kRoot), "x");
    EXPECT_EQ(registry.ReadString(Path("a\\b\\"), "v", "", kRoot), "x");
    EXPECT_EQ(registry.ReadString("\\" + Path("a\\b"), "v", "default", kRoot), "default");
    EXPECT_FALSE(registry.WriteString("\\" + Path("c"), "v", "x", kRoot));
}

TEST_F(RegistryConformance, EnumerationIsSortedAsIfLowerCased)
{
    for (const char* name : {"10", "2", "1", "b", "A", "_x"}) {
        registry.WriteDword(Path("keys\\") + name, "v", 1, kRoot);
        registry.WriteDword(Path("values"), name, 1, kRoot);
    }
    const StringList expected = {"1", "10", "2", "_x", "A", "b"};
    StringList names = registry.EnumSubKeys(Path("keys"), kRoot);
    EXPECT_EQ(names, expected);
    names = registry.EnumValueNames(Path("values"), kRoot);
    EXPECT_EQ(names, expected);
}

TEST_F(RegistryConformance, EnumerationOfAMissingKeyIsEmpty)
{
    StringList names = {"stale"};
    names = registry.EnumSubKeys(Path("missing"), kRoot);
    EXPECT_TRUE(names.empty());
    names = {"stale"};
    names = registry.EnumValueNames(Path("missing"), kRoot);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryConformance, ValueNameEnumerationStopsAtANameOverTheBuffer)
{
    // Names sort by their first letter: a..., then b..., then c...
    const std::string fits = "b" + std::string(1022, 'x');     // 1023 characters
    const std::string tooLong = "b" + std::string(1023, 'y');  // 1024 characters
    registry.WriteDword(Path("fits"), "a", 1, kRoot);
    registry.WriteDword(Path("fits"), fits, 1, kRoot);
    registry.WriteDword(Path("fits"), "c", 1, kRoot);
    registry.WriteDword(Path("long"), "a", 1, kRoot);
    registry.WriteDword(Path("long"), tooLong, 1, kRoot);
    registry.WriteDword(Path("long"), "c", 1, kRoot);

    StringList names = registry.EnumValueNames(Path("fits"), kRoot);
    EXPECT_EQ(names, (StringList{"a", fits, "c"}));
    names = registry.EnumValueNames(Path("long"), kRoot);
    EXPECT_EQ(names, StringList{"a"});
    // The one-pass enumeration ends at the same place.
    for (const auto& [key, expected] : {std::pair{"fits", StringList{"a", fits, "c"}},
                                        std::pair{"long", StringList{"a"}}}) {
        StringList read;
        for (const NamedValue& named : registry.OpenForReading(Path(key), kRoot).ReadAllValues())
            read.push_back(named.name);
        EXPECT_EQ(read, expected) << key;
    }
}

TEST_F(RegistryConformance, OnePassOverAKeyGivesWhatEachReadByNameGives)
{
    ByteArray large(CRegistry::kBinaryBufferSize + 5000);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<unsigned char>(i * 13);
    StoreRaw(kScratch, "Text", RegistryValueType::String, {'a', 'b', 0});
    StoreRaw(kScratch, "empty", RegistryValueType::Binary, {});
    StoreRaw(kScratch, "number", RegistryValueType::Dword, {1, 2, 3, 4});
    StoreRaw(kScratch, "type eleven", static_cast<RegistryValueType>(11), {0, 1, 2, 3, 4, 5, 6, 7});
    StoreRaw(kScratch, "larger than the pass's buffer", RegistryValueType::Binary, large);
    StoreRaw(kScratch, "list", RegistryValueType::MultiString, {'x', 0, 'y', 0, 0});
    registry.WriteDword(Path("child"), "not a value of the key", 1, kRoot);

    const std::vector<NamedValue> all = registry.OpenForReading(kScratch, kRoot).ReadAllValues();
    const StringList names = registry.EnumValueNames(kScratch, kRoot);
    ASSERT_EQ(all.size(), names.size());
    ASSERT_EQ(all.size(), 6u);
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].name, names[i]);
        RegistryValue byName;
        ASSERT_TRUE(registry.ReadValue(kScratch, names[i], byName, kRoot)) << names[i];
        EXPECT_EQ(all[i].value, byName) << names[i];
    }
    const RegistryValue* largeRead = nullptr;
    for (const NamedValue& named : all) {
        if (named.name == "larger than the pass's buffer")
            largeRead = &named.value;
    }
    ASSERT_NE(largeRead, nullptr);
    EXPECT_EQ(largeRead->data, large);

    const COpenKey missing = registry.OpenForReading(Path("missing"), kRoot);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.ReadAllValues().empty());
    EXPECT_EQ(missing.ReadString("v", "default"), "default");
}

TEST_F(RegistryConformance, AnOpenKeyReadsAndWritesManyValuesAndReadingKeysRefuseWrites)
{
    {
        const COpenKey key = registry.OpenForWriting(Path("new"), kRoot);
        ASSERT_TRUE(key.IsOpen());
        EXPECT_TRUE(key.WriteString("s", "text"));
        EXPECT_TRUE(key.WriteDword("d", 7));
        EXPECT_TRUE(key.WriteBinary("b", CRegistry::PackCodedList({"Spooler"})));
        EXPECT_EQ(key.ReadString("s", ""), "text");
        EXPECT_EQ(key.ReadDword("d", 0), 7u);
        StringList entries;
        EXPECT_TRUE(key.ReadCodedList("b", entries));
        EXPECT_EQ(entries, StringList{"Spooler"});
        EXPECT_TRUE(key.DeleteValue("s"));
        EXPECT_FALSE(key.DeleteValue("s"));
    }
    EXPECT_EQ(ClassOf(kScratch, "new"), "REG_SZ");
    const COpenKey reading = registry.OpenForReading(Path("new"), kRoot);
    EXPECT_EQ(reading.ReadDword("d", 0), 7u);
    EXPECT_FALSE(reading.WriteDword("d", 8));
    EXPECT_FALSE(reading.DeleteValue("d"));
    EXPECT_EQ(registry.ReadDword(Path("new"), "d", 0, kRoot), 7u);
}

TEST_F(RegistryConformance, KeyNamesNeverReachTheEnumerationBuffer)
{
    // The registry refuses long key names (Windows over 255 characters, Wine
    // paths over 260), so the 1024-byte subkey name buffer never stops an
    // enumeration.
    EXPECT_FALSE(registry.WriteDword(Path(std::string(300, 'k')), "v", 1, kRoot));
    const std::string longName(200, 'k');
    EXPECT_TRUE(registry.WriteDword(Path(longName), "v", 1, kRoot));
    StringList names = registry.EnumSubKeys(kScratch, kRoot);
    EXPECT_EQ(names, StringList{longName});
}

// --- the packed string list through the registry ---------------------------

TEST_F(RegistryConformance, PackedStringListRoundTripsThroughABinaryValue)
{
    const StringList stored = {"first line\r\nsecond line", "  padded  ", "", "\xE9t\xE9"};
    ByteArray bytes;
    CRegistry::PackStringList(stored, bytes);
    ASSERT_TRUE(registry.WriteBinary(kScratch, "list", bytes, kRoot));

    ByteArray read;
    ASSERT_TRUE(registry.ReadBinary(kScratch, "list", read, kRoot));
    EXPECT_EQ(read, bytes);
    StringList unpacked;
    CRegistry::UnpackStringList(read, unpacked);
    EXPECT_EQ(unpacked, (StringList{"first line\r\nsecond line", "padded", "\xE9t\xE9"}));
}

}  // namespace
}  // namespace flipset
