// Configuration files against the real platform: the code page conversion,
// the file functions, and an export, delete and import of configurations in
// the prefix's registry that must give back every value byte for byte.
#include "network/CardInventory.h"
#include "store/Win32RegistryBackend.h"
#include "transfer/ConfigurationTransfer.h"
#include "transfer/Win32CodePage.h"
#include "transfer/Win32FileAccess.h"
#include "wine/TestConstants.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

namespace flipset {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;

std::string TemporaryPath(const char* name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

TEST(Win32CodePage, ConvertsTheWestEuropeanCodePageBothWays)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the prefix's code page is " << GetACP();
    const Win32CodePage codePage;
    std::string utf8;
    ASSERT_TRUE(codePage.ToUtf8("caf\xE9 \x80 \x9F", utf8));
    EXPECT_EQ(utf8, "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8");
    std::string ansi;
    ASSERT_TRUE(codePage.FromUtf8(utf8, ansi));
    EXPECT_EQ(ansi, "caf\xE9 \x80 \x9F");
    EXPECT_TRUE(codePage.ToUtf8("", utf8) && utf8.empty());
}

TEST(Win32CodePage, RefusesWhatTheCodePageCannotHoldAndBrokenUtf8)
{
    const Win32CodePage codePage;
    std::string ansi;
    // U+4E2D has no form in a single-byte code page; U+0100 only a best fit.
    if (GetACP() == 1252) {
        EXPECT_FALSE(codePage.FromUtf8("\xE4\xB8\xAD", ansi));
        EXPECT_FALSE(codePage.FromUtf8("\xC4\x80", ansi));
    }
    EXPECT_FALSE(codePage.FromUtf8("\xC3", ansi));      // cut short
    EXPECT_FALSE(codePage.FromUtf8("\xC0\xAF", ansi));  // overlong
    EXPECT_FALSE(
        codePage.FromUtf8("a\xFF"
                          "b",
                          ansi));
}

TEST(Win32FileAccess, WritesWholeFilesAndReportsWhatFails)
{
    Win32FileAccess files;
    const std::string path = TemporaryPath("flipset-transfer-test.json");
    std::string reason;
    const std::string bytes("one\0two\r\n\xFF", 10);
    ASSERT_TRUE(files.WriteWholeFile(path, bytes, reason)) << reason;
    ASSERT_TRUE(files.WriteWholeFile(path, bytes + bytes, reason)) << reason;
    std::string back;
    ASSERT_TRUE(files.ReadWholeFile(path, back, reason)) << reason;
    EXPECT_EQ(back, bytes + bytes);
    DeleteFileA(path.c_str());
    EXPECT_FALSE(files.ReadWholeFile(path, back, reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(files.WriteWholeFile("C:\\no such folder\\x.json", bytes, reason));
    EXPECT_FALSE(reason.empty());
}

class TransferWine : public ::testing::Test {
protected:
    void SetUp() override { registry.DeleteKeyTree(kAllConfigurationsKey, kRoot); }
    void TearDown() override
    {
        registry.DeleteKeyTree(kAllConfigurationsKey, kRoot);
        DeleteFileA(path.c_str());
    }

    std::map<std::string, RegistryValue> Dump(const std::string& key) const
    {
        std::map<std::string, RegistryValue> values;
        StringList names;
        names = registry.EnumValueNames(key, kRoot);
        for (const std::string& name : names)
            registry.ReadValue(key, name, values[key + "\\" + name], kRoot);
        StringList subkeys;
        subkeys = registry.EnumSubKeys(key, kRoot);
        for (const std::string& subkey : subkeys) {
            values[key + "\\" + subkey + "\\"] = {};
            for (auto& entry : Dump(key + "\\" + subkey))
                values.insert(entry);
        }
        return values;
    }

    void Set(const std::string& key, const std::string& name, uint32_t type,
             const std::string& bytes) const
    {
        registry.WriteValue(key, name, {type, ByteArray(bytes.begin(), bytes.end())}, kRoot);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    Win32CodePage codePage;
    Win32FileAccess files;
    ConfigurationTransfer transfer{registry, kRoot, codePage, files};
    std::string path = TemporaryPath("flipset-transfer-round-trip.json");
};

TEST_F(TransferWine, ExportDeleteImportGivesBackEveryValueByteForByte)
{
    const std::vector<NetworkCard> cards = ListNetworkCards(registry);
    const std::string office = kAllConfigurationsKey + "\\1";
    registry.WriteString(office, "Name", "Office", kRoot);
    registry.WriteDword(office, "dofiles", 1, kRoot);
    Set(office, "Hostfile", 3, std::string("127.0.0.1 localhost\r\n# caf\xE9\r\n\0\0\0", 32));
    registry.WriteString(office, "Wallpaper",
                         "C:\\M\xFC"
                         "hle.bmp",
                         kRoot);
    registry.WriteDword(office, "Volume", 65535, kRoot);
    Set(office, "Run", 3, std::string("\0\0", 2));
    Set(office, "Unknown", 11, std::string("\x80\x81\xFE\xFF\0\1\2\3", 8));
    Set(office, "Expand", 2, std::string("%TEMP%\\x\0", 9));
    if (!cards.empty() && !cards[0].description.empty()) {
        const std::string card = office + "\\" + cards[0].number;
        registry.WriteString(card, "NIC", "true", kRoot);
        registry.WriteDword(card, "DHCP", 0, kRoot);
        registry.WriteDword(card, "IP", 0x0A000001, kRoot);
        Set(card, "Extra", 7, std::string("a\0b\0\0", 5));
        // An import binds a card to the adapter of the card it matched, as
        // the card setup does.
        const std::string adapter = GetCardServiceName(registry, cards[0].number);
        if (!adapter.empty())
            registry.WriteString(card, "AdapterGUID", adapter, kRoot);
    }
    // "B\xFCro \x80" is "B\u00fcro \u20ac" in code page 1252: a name the
    // store holds that the dialog would not let a person type.
    registry.WriteString(kAllConfigurationsKey + "\\2", "Name", "B\xFCro \x80", kRoot);
    const auto before = Dump(kAllConfigurationsKey);

    const TransferResult exported = transfer.Export(path, {});
    ASSERT_EQ(exported.status, TransferStatus::Done) << exported.lines[0];
    registry.DeleteKeyTree(kAllConfigurationsKey, kRoot);
    const TransferResult imported = transfer.Import(path, false);
    ASSERT_EQ(imported.status, TransferStatus::Done) << imported.lines[0];
    EXPECT_EQ(Dump(kAllConfigurationsKey), before);

    // A second import finds both names taken and changes nothing.
    const TransferResult again = transfer.Import(path, false);
    EXPECT_EQ(again.status, TransferStatus::NameTaken);
    EXPECT_EQ(Dump(kAllConfigurationsKey), before);
}

// What Windows PowerShell 5.1's Out-File and ">" write: UTF-16 LE with a
// byte order mark, here made by the platform's own conversion.
TEST_F(TransferWine, AnExportSavedAsUtf16WithAMarkImportsTheSame)
{
    const std::string office = kAllConfigurationsKey + "\\1";
    registry.WriteString(office, "Name", "Office", kRoot);
    registry.WriteString(office, "Wallpaper",
                         "C:\\M\xFC"
                         "hle.bmp",
                         kRoot);
    const auto before = Dump(kAllConfigurationsKey);
    ASSERT_EQ(transfer.Export(path, {}).status, TransferStatus::Done);
    std::string utf8;
    std::string reason;
    ASSERT_TRUE(files.ReadWholeFile(path, utf8, reason)) << reason;
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    const std::string utf16 = "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()),
                                                       wide.size() * sizeof(wchar_t));
    ASSERT_TRUE(files.WriteWholeFile(path, utf16, reason)) << reason;
    registry.DeleteKeyTree(kAllConfigurationsKey, kRoot);

    const TransferResult imported = transfer.Import(path, false);
    ASSERT_EQ(imported.status, TransferStatus::Done) << imported.lines[0];
    EXPECT_EQ(Dump(kAllConfigurationsKey), before);

    // Without its mark the same file is refused, and says why.
    ASSERT_TRUE(files.WriteWholeFile(path, utf16.substr(2), reason)) << reason;
    const TransferResult refused = transfer.Import(path, true);
    EXPECT_EQ(refused.status, TransferStatus::FileFault);
    EXPECT_NE(refused.lines[0].find("the file is UTF-16 without a byte order mark"),
              std::string::npos)
        << refused.lines[0];
}

}  // namespace
}  // namespace flipset
