#include "transfer/ConfigurationFile.h"
#include "transfer/ConfigurationTransfer.h"
#include "transfer/FileEncoding.h"

#include "base/NameFilter.h"
#include "coder/QNHexCoder.h"
#include "support/ConfigurationSeed.h"
#include "support/CountingRegistryBackend.h"
#include "support/RefusingRegistryBackend.h"
#include "support/Latin1CodePage.h"
#include "support/MemoryFiles.h"
#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: this is stored data.
const std::string kConfigurations = "Software\\Quillon\\Flipset\\Configurations";
const std::string kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
constexpr uint32_t kString = 1;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;

std::string Header()
{
    return R"({"format": "Flipset configurations", "version": 1, "configurations": )";
}

// A document of one configuration with the given fields after its name.
std::string OneConfiguration(const std::string& fields)
{
    return Header() + R"([{"name": "Office")" + (fields.empty() ? "" : ", " + fields) + "}]}";
}

// The literal's bytes, 0 bytes included.
template <size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

// The UTF-8 text as UTF-16 with a byte order mark, as Windows PowerShell's
// Out-File writes it; characters beyond U+FFFF as pairs.
std::string Utf16WithMark(const std::string& utf8, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&bytes, bigEndian](uint32_t u) {
        const char high = static_cast<char>(u >> 8);
        const char low = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
            codePoint = codePoint << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (codePoint >= 0x10000) {
            unit(0xD800 + ((codePoint - 0x10000) >> 10));
            unit(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            unit(codePoint);
        }
    }
    return bytes;
}

RegistryValue Value(uint32_t type, const std::string& bytes)
{
    return {type, ByteArray(bytes.begin(), bytes.end())};
}

class Machine {
public:
    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    Latin1CodePage codePage;
    MemoryFiles files;
    ConfigurationTransfer transfer{registry, kRoot, codePage, files};
    // The same registry, with what is asked of it counted, refusing what a
    // test tells it to.
    RefusingRegistryBackend refusing{backend};
    CountingRegistryBackend counting{refusing};
    CRegistry countedRegistry{counting};
    ConfigurationTransfer countedTransfer{countedRegistry, kRoot, codePage, files};

    void AddLocalCard(const std::string& number, const std::string& description)
    {
        registry.WriteString(kCards + "\\" + number, "Description", description,
                             RegistryRoot::LocalMachine);
    }

    void Set(const std::string& key, const std::string& name, const RegistryValue& value)
    {
        registry.WriteValue(kConfigurations + "\\" + key, name, value, kRoot);
    }

    // Every value below the configurations key: "key\name" -> value.
    std::map<std::string, RegistryValue> Dump() const
    {
        std::map<std::string, RegistryValue> values;
        DumpKey(kConfigurations, values);
        return values;
    }

    // A configuration that holds every kind of value: each known value as
    // the editors store it, texts with bytes 0x80-0xFF, an unknown value, a
    // known value stored in a form of its own, and a card with both.
    void SeedFullConfiguration(const std::string& key, const std::string& name)
    {
        const std::string path = kConfigurations + "\\" + key;
        registry.WriteString(path, "Name", name, kRoot);
        for (const char* option :
             {"dofiles", "donetwork", "dodesktop", "dorun", "doservices", "doproxy"})
            registry.WriteDword(path, option, option[2] == 'n' ? 0 : 1, kRoot);
        Set(key, "Hostfile", Value(kBinary, Bytes("127.0.0.1 localhost\r\n# caf\xE9\r\n\0\0\0")));
        Set(key, "LMHostfile", Value(kBinary, Bytes("\0\0\0")));
        registry.WriteString(path, "Wallpaper",
                             "C:\\Bilder\\M\xFC"
                             "hle.bmp",
                             kRoot);
        registry.WriteDword(path, "WallpaperPosition", 2, kRoot);
        registry.WriteDword(path, "Volume", 40000, kRoot);
        registry.WriteString(path, "DefPrinter", "Laser,winspool,LPT1:", kRoot);
        registry.WriteDword(path, "ProxyEnable", 1, kRoot);
        registry.WriteString(path, "ProxyServer", "http=proxy.example:80;https=proxy.example:443",
                             kRoot);
        registry.WriteString(path, "ProxyOverride", "<local>; *.b\xFCro.example", kRoot);
        registry.WriteString(path, "AutoConfigURL", "", kRoot);
        registry.WriteString(path, "IEHOME", "http://intranet/\xA7", kRoot);
        StoreCodedList(registry, path, "Run",
                       {"C:\\tools\\sync.exe [/s [all] /q]", "notepad.exe", "C:\\a b\\x.exe []"},
                       kRoot);
        StoreCodedList(registry, path, "ServicesStop", {"Spooler", "Dienst \xC4"}, kRoot);
        StoreCodedList(registry, path, "ServicesStart", {}, kRoot);
        registry.WriteDword(path, "LocationMode", 1, kRoot);
        registry.WriteString(path, "LocationGateway", "AA:BB:CC:DD:EE:01", kRoot);
        registry.WriteString(path, "LocationSubnet", "10.1.0.0/16", kRoot);
        registry.WriteString(path, "LocationDnsSuffix", "b\xFCro.example", kRoot);
        registry.WriteString(path, "LocationAdapter", "{5C3A4B2E-0000-4711-0000-000000000007}",
                             kRoot);
        registry.WriteString(path, "LocationWifi", "", kRoot);
        Set(key, "Extra", Value(kBinary, Bytes("\x80\xFF\0\x01")));
        Set(key, "Volume2", Value(11, Bytes("\1\2\3\4\5\6\7\x88")));
        // Known names in other forms: a volume as text, and a run list that
        // does not decode.
        Set(key, "IEHOME ", Value(kString, "not the start page"));
        const std::string cardPath = path + "\\7";
        registry.WriteString(cardPath, "NIC", "true", kRoot);
        registry.WriteDword(cardPath, "Disabled", 0, kRoot);
        registry.WriteDword(cardPath, "DHCP", 0, kRoot);
        registry.WriteDword(cardPath, "IP", 0xC0A80114, kRoot);
        registry.WriteDword(cardPath, "Netmask", 0xFFFFFF00, kRoot);
        registry.WriteDword(cardPath, "Gateway", 0xC0A80101, kRoot);
        registry.WriteDword(cardPath, "DNS1", 0x0A000002, kRoot);
        registry.WriteString(cardPath, "DOMAIN", "b\xFCro.example", kRoot);
        registry.WriteValue(cardPath, "Metric", Value(kDword, Bytes("\x0A\0\0")), kRoot);
    }

private:
    void DumpKey(const std::string& path, std::map<std::string, RegistryValue>& values) const
    {
        StringList names;
        names = registry.EnumValueNames(path, kRoot);
        for (const std::string& name : names)
            registry.ReadValue(path, name, values[path + "\\" + name], kRoot);
        StringList subkeys;
        subkeys = registry.EnumSubKeys(path, kRoot);
        for (const std::string& subkey : subkeys) {
            values[path + "\\" + subkey + "\\"] = {};  // the key itself
            DumpKey(path + "\\" + subkey, values);
        }
    }
};

class ConfigurationTransferTest : public ::testing::Test, protected Machine {};

TEST_F(ConfigurationTransferTest, ExportDeleteImportGivesBackEveryValueByteForByte)
{
    AddLocalCard("7", "Intel PRO/1000");
    SeedFullConfiguration("3", "Office");
    // A name that the store holds, written by another tool: the dialog would
    // not let a person type it, yet it must come back.
    registry.WriteString(kConfigurations + "\\5", "Name", "B\xFCro \xA4 [1]", kRoot);
    const auto before = Dump();

    TransferResult exported = transfer.Export("all.json", {});
    ASSERT_EQ(exported.status, TransferStatus::Done) << exported.lines[0];
    EXPECT_EQ(exported.lines, StringList{"exported 2 configurations to all.json"});
    registry.DeleteKeyTree(kConfigurations + "\\3", kRoot);
    registry.DeleteKeyTree(kConfigurations + "\\5", kRoot);
    // Numbers are taken anew: keep 1 to 5 busy but 3 and 5, so they come back.
    for (const char* busy : {"1", "2", "4"})
        Set(busy, "x", Value(kDword, std::string(4, '\0')));
    const TransferResult imported = transfer.Import("all.json", false);
    ASSERT_EQ(imported.status, TransferStatus::Done) << imported.lines[0];
    for (const char* busy : {"1", "2", "4"})
        registry.DeleteKeyTree(kConfigurations + "\\" + busy, kRoot);

    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(imported.name, "B\xFCro \xA4 [1]");
    EXPECT_EQ(imported.number, 5);
}

TEST_F(ConfigurationTransferTest, AFileSavedAsUtf16WithAMarkImportsAsTheUtf8File)
{
    AddLocalCard("7", "Intel PRO/1000");
    SeedFullConfiguration("1", "Office");
    const auto before = Dump();
    ASSERT_EQ(transfer.Export("all.json", {}).status, TransferStatus::Done);
    for (bool bigEndian : {false, true}) {
        registry.DeleteKeyTree(kConfigurations + "\\1", kRoot);
        files.files["utf16.json"] = Utf16WithMark(files.files["all.json"], bigEndian);
        const TransferResult imported = transfer.Import("utf16.json", false);
        ASSERT_EQ(imported.status, TransferStatus::Done) << imported.lines[0];
        EXPECT_EQ(Dump(), before) << (bigEndian ? "big endian" : "little endian");
    }
}

TEST(FileEncoding, ReadsUtf8AndUtf16WithAMarkAsUtf8)
{
    const struct {
        const char* what;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"empty", "", ""},
        {"UTF-8", "{\"a\": \"M\xC3\xBChle \xE2\x82\xAC\"}",
         "{\"a\": \"M\xC3\xBChle \xE2\x82\xAC\"}"},
        {"UTF-8 with a mark", "\xEF\xBB\xBF{}", "{}"},
        {"UTF-16 LE", Bytes("\xFF\xFE{\0\xFC\0\xAC\x20\n\0}\0"), "{\xC3\xBC\xE2\x82\xAC\n}"},
        {"UTF-16 BE", Bytes("\xFE\xFF\0{\0\xFC\x20\xAC\0\n\0}"), "{\xC3\xBC\xE2\x82\xAC\n}"},
        {"UTF-16 pair", Bytes("\xFF\xFE\x3D\xD8\x00\xDE"), "\xF0\x9F\x98\x80"},
        {"UTF-16 mark alone", "\xFF\xFE", ""},
    };
    for (const auto& c : cases) {
        std::string converted;
        std::string_view text;
        std::string fault;
        EXPECT_TRUE(DecodeFileText(c.bytes, converted, text, fault)) << c.what << ": " << fault;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

TEST(FileEncoding, RefusesOtherEncodingsNamingTheProblem)
{
    const struct {
        const char* what;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"UTF-16 LE without a mark", Bytes("{\0\"\0"),
         "the file is UTF-16 without a byte order mark"},
        {"UTF-16 BE without a mark", Bytes("\0{\0\""),
         "the file is UTF-16 without a byte order mark"},
        {"UTF-32 LE", Bytes("\xFF\xFE\0\0{\0\0\0"), "the file is UTF-32"},
        {"UTF-32 BE", Bytes("\0\0\xFE\xFF\0\0\0{"), "the file is UTF-32"},
        {"Windows-1252", "{\"a\": \"b\xFCro\"}",
         "line 1, column 9: the file is not UTF-8: the byte \\xFC is no UTF-8 character here; "
         "save it as UTF-8, or as UTF-16 with a byte order mark"},
        {"on line 2", "{\r\n\"\xE9t\xE9\"}",
         "line 2, column 2: the file is not UTF-8: the byte \\xE9"},
        {"a cut sequence at the end", "{\xE2\x82", "line 1, column 2"},
        {"an overlong form", "{\xC0\xAF}", "the byte \\xC0"},
        {"a surrogate in UTF-8", "{\xED\xA0\x80}", "the byte \\xED"},
        {"above U+10FFFF", "{\xF4\x90\x80\x80}", "the byte \\xF4"},
        {"UTF-16 of odd length", Bytes("\xFF\xFE{\0}"), "ends in the middle of a character"},
        {"UTF-16 lone high half", Bytes("\xFF\xFE\n\0\x3D\xD8}\0"),
         "line 2: the UTF-16 text holds half of a character pair, the bytes =\\xD8"},
        {"UTF-16 lone low half", Bytes("\xFE\xFF\xDE\x00"),
         "half of a character pair, the bytes \\xDE\\x00"},
    };
    for (const auto& c : cases) {
        std::string converted;
        std::string_view text;
        std::string fault;
        EXPECT_FALSE(DecodeFileText(c.bytes, converted, text, fault)) << c.what;
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
    }
}

TEST(FileEncoding, MessageLinesQuoteBytesThatMayNotDecode)
{
    const Latin1CodePage codePage;
    EXPECT_EQ(QuoteBytes("a\xFF\n\\b"), "a\\xFF\\x0A\\b");
    EXPECT_EQ(QuoteControlCharacters("B\xFCro\x1B[2J\x7F"), "B\xFCro\\x1B[2J\\x7F");
    // In the code page when it holds the text, else the UTF-8 bytes quoted.
    EXPECT_EQ(DocumentTextForMessage("B\xC3\xBCro\t", codePage), "B\xFCro\\x09");
    EXPECT_EQ(DocumentTextForMessage("\xE2\x82\xAC", codePage), "\\xE2\\x82\\xAC");
}

TEST_F(ConfigurationTransferTest, KnownValuesAreReadableAndOthersCarriedAsTypeAndBytes)
{
    AddLocalCard("7", "Intel PRO/1000");
    SeedFullConfiguration("3", "Office");
    ASSERT_EQ(transfer.Export("office.json", {"office"}).status, TransferStatus::Done);
    const nlohmann::json document = nlohmann::json::parse(files.files["office.json"]);
    const nlohmann::json& office = document["configurations"][0];

    EXPECT_EQ(office["name"], "Office");
    EXPECT_EQ(office["options"]["network"], false);
    EXPECT_EQ(office["options"]["programs"], true);
    EXPECT_EQ(office["hosts"], "127.0.0.1 localhost\r\n# caf\u00e9\r\n");
    EXPECT_EQ(office["lmhosts"], "");
    EXPECT_EQ(office["wallpaper"], "C:\\Bilder\\M\u00fchle.bmp");
    EXPECT_EQ(office["wallpaperPosition"], "center");
    EXPECT_EQ(office["volume"], 40000);
    EXPECT_EQ(office["startPage"], "http://intranet/\u00a7");
    EXPECT_EQ(office["options"]["proxy"], true);
    EXPECT_EQ(office["proxyEnable"], true);
    EXPECT_EQ(office["proxyServer"], "http=proxy.example:80;https=proxy.example:443");
    EXPECT_EQ(office["proxyBypass"], "<local>; *.b\u00fcro.example");
    EXPECT_EQ(office["proxyScript"], "");
    EXPECT_EQ(office["programs"], nlohmann::json::parse(R"([
        {"program": "C:\\tools\\sync.exe", "parameters": "/s [all] /q"},
        {"program": "notepad.exe"},
        {"program": "C:\\a b\\x.exe", "parameters": ""}])"));
    EXPECT_EQ(office["servicesStop"], nlohmann::json::parse(R"(["Spooler", "Dienst \u00c4"])"));
    EXPECT_EQ(office["servicesStart"], nlohmann::json::array());
    EXPECT_EQ(office["location"], nlohmann::json::parse(R"({
        "mode": "askFirst", "gateway": "AA:BB:CC:DD:EE:01", "subnet": "10.1.0.0/16",
        "dnsSuffix": "b\u00fcro.example", "adapter": "{5C3A4B2E-0000-4711-0000-000000000007}",
        "wifi": ""})"));
    const nlohmann::json& card = office["cards"][0];
    EXPECT_EQ(card["description"], "Intel PRO/1000");
    EXPECT_EQ(card["cardNumber"], "7");
    EXPECT_EQ(card["marked"], true);
    EXPECT_EQ(card["address"], "192.168.1.20");
    EXPECT_EQ(card["netmask"], "255.255.255.0");
    EXPECT_EQ(card["dns"], "10.0.0.2");
    EXPECT_EQ(card["domain"], "b\u00fcro.example");
    EXPECT_EQ(card["otherValues"],
              nlohmann::json::parse(R"([{"name": "Metric", "type": 4, "data": "0a0000"}])"));
    EXPECT_EQ(office["otherValues"], nlohmann::json::parse(R"([
        {"name": "Extra", "type": 3, "data": "80ff0001"},
        {"name": "IEHOME ", "type": 1, "data": "6e6f74207468652073746172742070616765"},
        {"name": "Volume2", "type": 11, "data": "0102030405060788"}])"));
}

TEST_F(ConfigurationTransferTest, AKnownValueInAnotherFormIsCarriedAndComesBack)
{
    const struct {
        const char* name;
        RegistryValue value;
    } cases[] = {
        {"Volume", Value(kString, Bytes("40000\0"))},
        {"Volume", Value(kDword, Bytes("\1\2"))},
        {"WallpaperPosition", Value(kDword, Bytes("\5\0\0\0"))},
        {"Hostfile", Value(kBinary, Bytes("a\0b\0\0"))},
        {"Hostfile", Value(kBinary, Bytes("\0\0"))},
        {"IEHOME", Value(kString, std::string("no zero byte"))},
        {"ProxyEnable", Value(kDword, Bytes("\2\0\0\0"))},
        {"ProxyServer", Value(kString, Bytes("proxy.example :80\0"))},
        {"AutoConfigURL", Value(kString, Bytes("http://wpad/\tproxy.pac\0"))},
        {"IEHOME", Value(kString, std::string(2000, 'x') + '\0')},
        {"Run", Value(kBinary, Bytes("NOTCODED\0\0\0"))},
        {"dofiles", Value(kDword, Bytes("\2\0\0\0"))},
        {"name", Value(kString, Bytes("Office\0"))},  // spelled otherwise
        // Locations that never hold: carried, so that they come back as they were.
        {"LocationMode", Value(kDword, Bytes("\3\0\0\0"))},
        {"LocationMode", Value(kString, Bytes("2\0"))},
        {"LocationGateway", Value(kString, Bytes("00-00-00-00-00-00\0"))},
        {"LocationSubnet", Value(kString, Bytes("10.1.0.0/0\0"))},
        {"LocationAdapter", Value(kString, Bytes("Ethernet\0"))},
        {"LocationWifi", Value(kString, std::string(33, 'w') + '\0')},
    };
    for (const auto& c : cases) {
        MemoryRegistryBackend backend;
        CRegistry registry(backend);
        MemoryFiles files;
        ConfigurationTransfer transfer(registry, kRoot, codePage, files);
        const std::string path = kConfigurations + "\\1";
        registry.WriteValue(path, c.name, c.value, kRoot);
        if (std::string(c.name) != "name")
            registry.WriteString(path, "Name", "Office", kRoot);
        ASSERT_EQ(transfer.Export("f.json", {}).status, TransferStatus::Done) << c.name;
        registry.DeleteKeyTree(path, kRoot);
        const TransferResult imported = transfer.Import("f.json", false);
        ASSERT_EQ(imported.status, TransferStatus::Done) << c.name << ": " << imported.lines[0];
        RegistryValue back;
        EXPECT_TRUE(registry.ReadValue(path, c.name, back, kRoot)) << c.name;
        EXPECT_EQ(back, c.value) << c.name;
        StringList names;
        names = registry.EnumValueNames(path, kRoot);
        std::sort(names.begin(), names.end());
        StringList expected{c.name};
        if (std::string(c.name) != "name")
            expected.push_back("Name");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected) << c.name;
    }
}

TEST(ConfigurationFile, ReadsWellFormedDocuments)
{
    const Latin1CodePage codePage;
    const struct {
        const char* what;
        std::string document;
        size_t configurations;
    } cases[] = {
        {"no configurations", Header() + "[]}", 0},
        {"a name only", OneConfiguration(""), 1},
        {"a byte order mark", "\xEF\xBB\xBF" + OneConfiguration(""), 1},
        {"UTF-16 LE with a mark", Utf16WithMark(OneConfiguration(R"("wallpaper": "Mühle")"), false),
         1},
        {"UTF-16 BE with a mark", Utf16WithMark(OneConfiguration(R"("wallpaper": "\u00e9")"), true),
         1},
        {"the longest texts",
         OneConfiguration(R"("printer": ")" + std::string(1023, 'p') + R"(", "hosts": ")" +
                          std::string(24573, 'h') + "\""),
         1},
        {"a name the dialog would not let a person type",
         Header() + R"([{"name": "B\u00fcro \u00a4 \\ [1] \"x\""}])" + "}", 1},
        {"names that differ", Header() + R"([{"name": "A"}, {"name": "B"}])" + "}", 2},
        {"an empty card", OneConfiguration(R"("cards": [{"description": "x"}])"), 1},
        {"a carried value without bytes",
         OneConfiguration(R"("otherValues": [{"name": "", "type": 0, "data": ""}])"), 1},
        {"a card with several addresses and servers",
         OneConfiguration(R"("cards": [{"description": "x", "moreAddresses":
                              ["10.1.0.1/255.255.0.0", "10.2.0.1/255.255.255.255"],
                              "dnsServers": ["10.0.0.53", "2001:DB8::53", "::ffff:10.0.0.1",
                              "1.1.1.1", "1.0.0.1", "8.8.8.8", "8.8.4.4", "9.9.9.9"],
                              "dnsFromDhcp": false, "adapterGuid": "{5C3A4B2E-1111}"}])"),
         1},
        {"every address form",
         OneConfiguration(R"("cards": [{"description": "x", "address": "0.0.0.0",
                              "netmask": "255.255.255.255", "gateway": "010.1.1.1"}])"),
         1},
    };
    for (const auto& c : cases) {
        std::vector<ConfigurationSnapshot> configurations;
        std::string fault;
        EXPECT_TRUE(ReadConfigurationFile(c.document, codePage, configurations, fault))
            << c.what << ": " << fault;
        EXPECT_EQ(configurations.size(), c.configurations) << c.what;
    }
}

TEST(ConfigurationFile, RefusesMalformedDocumentsNamingThePlaceAndTheReason)
{
    const Latin1CodePage codePage;
    const std::string longHosts = std::string(24574, 'h');
    // 2,000 service names of 5 letters code to more than 24576 bytes.
    std::string manyServices = "[";
    for (int i = 0; i < 2000; ++i)
        manyServices += std::string(i ? "," : "") + "\"abcde\"";
    manyServices += "]";
    const struct {
        const char* what;
        std::string document;
        const char* fault;
    } cases[] = {
        {"empty", "", "line 1, column 1: the text is not valid JSON"},
        {"UTF-16 without a mark", Utf16WithMark(OneConfiguration(""), false).substr(2),
         "the file is UTF-16 without a byte order mark"},
        {"Windows-1252", OneConfiguration("\"wallpaper\": \"M\xFChle\""),
         "line 1, column 105: the file is not UTF-8: the byte \\xFC"},
        {"UTF-16 with a syntax fault on line 2", Utf16WithMark("{\n x}", false),
         "line 2, column 2: the text is not valid JSON"},
        {"a cut character in a literal", "{\"format\": tr\xC3\xA9}",
         "invalid literal; last read: '\"format\": tr\\xC3'"},
        {"unknown field not in the code page", OneConfiguration("\"b\xE2\x82\xACro\": 1"),
         "has an unknown field \"b\\xE2\\x82\\xACro\""},
        {"unknown field with a control character", OneConfiguration(R"("a\u001bb": 1)"),
         "has an unknown field \"a\\x1Bb\""},
        {"truncated", OneConfiguration("").substr(0, 70), "line 1, column 71"},
        {"syntax on line 3", "{\n \"format\": 1,\n  x}", "line 3, column 3"},
        {"number too large", "{\n \"version\": 1e999}",
         "line 2, column 13: the text is not valid JSON: number overflow"},
        {"not an object", "[]", "the document: must be an object"},
        {"another format", R"({"format": "other", "version": 1, "configurations": []})",
         "is not a file of the format"},
        {"version 2", R"({"format": "Flipset configurations", "version": 2, "configurations": []})",
         "has a version that this program does not read"},
        {"version as text",
         R"({"format": "Flipset configurations", "version": "1", "configurations": []})",
         "has a version"},
        {"no list", R"({"format": "Flipset configurations", "version": 1})",
         "must have a list \"configurations\""},
        {"unknown top field", Header() + R"([], "comment": "x"})", "unknown field \"comment\""},
        {"unknown field", OneConfiguration(R"("hostfile": "x")"),
         "configuration \"Office\": has an unknown field \"hostfile\""},
        {"unknown option", OneConfiguration(R"("options": {"run": true})"),
         "configuration \"Office\", options: has an unknown field \"run\""},
        {"no name", Header() + R"([{"hosts": ""}])" + "}",
         "configuration 1, field \"name\": the configuration has no name"},
        {"blank name", Header() + R"([{"name": "   "}])" + "}", "has no name"},
        {"name with a control character", Header() + R"([{"name": "a\u0001b"}])" + "}",
         "field \"name\": the name holds a control character"},
        {"name with a delete character", Header() + R"([{"name": "a\u007f"}])" + "}",
         "field \"name\": the name holds a control character"},
        {"name twice", Header() + R"([{"name": "Office"}, {"name": " office "}])" + "}",
         "configuration \" office \": the name is used twice in the file"},
        {"name as number", Header() + R"([{"name": 5}])" + "}",
         "configuration 1, field \"name\": must be a text"},
        {"option as number", OneConfiguration(R"("options": {"files": 1})"),
         "field \"files\": must be true or false"},
        {"volume too high", OneConfiguration(R"("volume": 65536)"), "field \"volume\": must be"},
        {"volume negative", OneConfiguration(R"("volume": -1)"), "field \"volume\""},
        {"volume fraction", OneConfiguration(R"("volume": 1.5)"), "field \"volume\""},
        {"position", OneConfiguration(R"("wallpaperPosition": "stretch")"),
         "\"tile\", \"grow\" or \"center\""},
        {"text over 1023", OneConfiguration(R"("printer": ")" + std::string(1024, 'p') + "\""),
         "field \"printer\": is 1024 bytes long; at most 1023 fit"},
        {"hosts over 24573", OneConfiguration(R"("hosts": ")" + longHosts + "\""),
         "field \"hosts\": is 24574 bytes long; at most 24573 fit"},
        {"coded list over 24576", OneConfiguration(R"("servicesStop": )" + manyServices),
         "field \"servicesStop\": takes"},
        {"0 character", OneConfiguration(R"("startPage": "a\u0000b")"), "0 character"},
        {"proxy switch as number", OneConfiguration(R"("proxyEnable": 1)"),
         "field \"proxyEnable\": must be true or false"},
        {"proxy server with a space", OneConfiguration(R"("proxyServer": "proxy.example :80")"),
         "field \"proxyServer\": holds a space"},
        {"proxy bypass with a line end", OneConfiguration(R"("proxyBypass": "<local>\n*.lan")"),
         "field \"proxyBypass\": holds a control character"},
        {"proxy script with a delete character",
         OneConfiguration(R"("proxyScript": "http://wpad/\u007f")"),
         "field \"proxyScript\": holds a control character"},
        {"proxy server over 1023",
         OneConfiguration(R"("proxyServer": ")" + std::string(1024, 'p') + "\""),
         "field \"proxyServer\": is 1024 bytes long; at most 1023 fit"},
        {"not in the code page", OneConfiguration(R"("wallpaper": "\u20ac.bmp")"),
         "field \"wallpaper\": holds a character that this machine's code page cannot"},
        {"service list as text", OneConfiguration(R"("servicesStart": "Spooler")"),
         "must be a list of texts"},
        {"empty service", OneConfiguration(R"("servicesStart": ["a", ""])"),
         "field \"servicesStart\": entry 2: is empty"},
        {"program without program", OneConfiguration(R"("programs": [{"parameters": "x"}])"),
         "entry 1: program is missing or empty"},
        {"program field unknown", OneConfiguration(R"("programs": [{"program": "a", "args": ""}])"),
         "unknown field \"args\""},
        {"program with a bracket",
         OneConfiguration(R"("programs": [{"program": "a [b]", "parameters": "c"}])"),
         "cannot be told apart"},
        {"location as a text", OneConfiguration(R"("location": "office")"),
         "configuration \"Office\", field \"location\": must be an object"},
        {"unknown location field", OneConfiguration(R"("location": {"ssid": "x"})"),
         "configuration \"Office\", location: has an unknown field \"ssid\""},
        {"location mode as a number", OneConfiguration(R"("location": {"mode": 2})"),
         "location, field \"mode\": must be \"off\", \"askFirst\" or \"switch\""},
        {"location mode unknown", OneConfiguration(R"("location": {"mode": "auto"})"),
         "location, field \"mode\": must be"},
        {"location gateway of five bytes",
         OneConfiguration(R"("location": {"gateway": "aa-bb-cc-dd-ee"})"),
         "location, field \"gateway\": must be a hardware address such as "
         "\"aa-bb-cc-dd-ee-ff\""},
        {"location gateway of zeros",
         OneConfiguration(R"("location": {"gateway": "00:00:00:00:00:00"})"),
         "location, field \"gateway\": must be a hardware address"},
        {"location subnet without a length",
         OneConfiguration(R"("location": {"subnet": "10.1.0.0"})"),
         "location, field \"subnet\": must be a subnet such as \"10.1.0.0/16\""},
        {"location subnet /0", OneConfiguration(R"("location": {"subnet": "0.0.0.0/0"})"),
         "location, field \"subnet\": must be a subnet"},
        {"location adapter without braces",
         OneConfiguration(R"("location": {"adapter": "5C3A4B2E-0000-4711-0000-000000000007"})"),
         "location, field \"adapter\": must be an adapter GUID"},
        {"location Wi-Fi name of 33 bytes",
         OneConfiguration(R"("location": {"wifi": ")" + std::string(33, 'w') + "\"}"),
         "location, field \"wifi\": is 33 bytes long; a Wi-Fi network's name has at most 32"},
        {"card without description", OneConfiguration(R"("cards": [{"dhcp": true}])"),
         "card 1, field \"description\": is missing"},
        {"marked false", OneConfiguration(R"("cards": [{"description": "x", "marked": false}])"),
         "field \"marked\": must be true"},
        {"address with 256",
         OneConfiguration(R"("cards": [{"description": "x", "address": "1.2.3.256"}])"),
         "card 1, field \"address\": must be an address"},
        {"address with 3 parts",
         OneConfiguration(R"("cards": [{"description": "x", "dns": "1.2.3"}])"), "field \"dns\""},
        {"address with spaces",
         OneConfiguration(R"("cards": [{"description": "x", "gateway": " 1.2.3.4"}])"),
         "field \"gateway\""},
        {"address as number",
         OneConfiguration(R"("cards": [{"description": "x", "netmask": 4294967295}])"),
         "field \"netmask\""},
        {"further addresses as a text",
         OneConfiguration(R"("cards": [{"description": "x", "moreAddresses": "10.1.0.1"}])"),
         "field \"moreAddresses\": must be a list"},
        {"further addresses empty",
         OneConfiguration(R"("cards": [{"description": "x", "moreAddresses": []}])"),
         "field \"moreAddresses\": must be a list of at least one address"},
        {"a further address without its mask",
         OneConfiguration(R"("cards": [{"description": "x", "moreAddresses": ["10.1.0.1"]}])"),
         "field \"moreAddresses\": entry 1: must be an address with its mask"},
        {"a further address with a prefix length",
         OneConfiguration(R"("cards": [{"description": "x", "moreAddresses": ["10.1.0.1/16"]}])"),
         "field \"moreAddresses\": entry 1: must be an address with its mask"},
        {"a mask with a gap",
         OneConfiguration(R"("cards": [{"description": "x", "moreAddresses":
                              ["10.1.0.1/255.255.0.0", "10.2.0.1/255.0.255.0"]}])"),
         "field \"moreAddresses\": entry 2: 255.0.255.0 is no subnet mask"},
        {"a further address 0.0.0.0",
         OneConfiguration(R"("cards": [{"description": "x", "moreAddresses": ["0.0.0.0/255.0.0.0"]}])"),
         "entry 1: 0.0.0.0 is no address"},
        {"nine servers",
         OneConfiguration(R"("cards": [{"description": "x", "dnsServers": ["10.0.0.1", "10.0.0.2",
                              "10.0.0.3", "10.0.0.4", "10.0.0.5", "10.0.0.6", "10.0.0.7",
                              "10.0.0.8", "10.0.0.9"]}])"),
         "field \"dnsServers\": holds 9 servers; at most 8 fit"},
        {"a server with a zone",
         OneConfiguration(R"("cards": [{"description": "x", "dnsServers": ["10.0.0.1", "fe80::1%3"]}])"),
         "field \"dnsServers\": entry 2: \"fe80::1%3\" is no IPv4 or IPv6 address"},
        {"a server with a leading zero",
         OneConfiguration(R"("cards": [{"description": "x", "dnsServers": ["010.0.0.1"]}])"),
         "entry 1: \"010.0.0.1\" is no IPv4 or IPv6 address"},
        {"the unspecified address as a server",
         OneConfiguration(R"("cards": [{"description": "x", "dnsServers": ["::"]}])"),
         "entry 1: :: is no name server"},
        {"a server as a number",
         OneConfiguration(R"("cards": [{"description": "x", "dnsServers": [167772161]}])"),
         "entry 1: must be a text"},
        {"DNS from DHCP as a number",
         OneConfiguration(R"("cards": [{"description": "x", "dnsFromDhcp": 1}])"),
         "field \"dnsFromDhcp\": must be true or false"},
        {"carried odd hex",
         OneConfiguration(R"("otherValues": [{"name": "a", "type": 3, "data": "abc"}])"),
         "entry 1, field \"data\""},
        {"carried bad hex",
         OneConfiguration(R"("otherValues": [{"name": "a", "type": 3, "data": "zz"}])"),
         "field \"data\""},
        {"carried type too big",
         OneConfiguration(R"("otherValues": [{"name": "a", "type": 4294967296, "data": ""}])"),
         "field \"type\""},
        {"carried without name", OneConfiguration(R"("otherValues": [{"type": 1, "data": ""}])"),
         "field \"name\": is missing"},
        {"carried repeats a field",
         OneConfiguration(
             R"("volume": 1, "otherValues": [{"name": "VOLUME", "type": 1, "data": ""}])"),
         "the value \"VOLUME\" is given twice"},
    };
    for (const auto& c : cases) {
        std::vector<ConfigurationSnapshot> configurations;
        std::string fault;
        EXPECT_FALSE(ReadConfigurationFile(c.document, codePage, configurations, fault)) << c.what;
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
        EXPECT_TRUE(configurations.empty()) << c.what;
        EXPECT_TRUE(
            std::none_of(fault.begin(), fault.end(), [](char b) { return b >= 0 && b < 0x20; }))
            << c.what << ": a control character in " << fault;
    }
}

// The configurations are read while the parser runs; a fault that stands
// after them still wins as it would over the whole document, and nothing
// is read.
TEST(ConfigurationFile, AFaultAfterGoodConfigurationsReadsNoneAndComesInItsOrder)
{
    const Latin1CodePage codePage;
    const std::string good = R"({"name": "A"}, {"name": "B"})";
    const struct {
        const char* what;
        std::string document;
        std::string fault;
    } cases[] = {
        {"the syntax after them", Header() + "[" + good + ", x]}",
         "line 1, column 101: the text is not valid JSON"},
        {"a number too large after them", Header() + "[" + good + R"(, {"volume": 1e999}]})",
         "line 1, column 112: the text is not valid JSON"},
        {"the syntax after a bad one",
         Header() + R"([{"name": "A", "volume": -1}, {"name": "B"} x]})", "not valid JSON"},
        {"the format after them",
         R"({"configurations": [)" + good + R"(], "version": 1, "format": "other"})",
         "the document: is not a file of the format"},
        {"an unknown field after a bad one",
         Header() + R"([{"name": "A", "volume": -1}], "comment": "x"})",
         "the document: has an unknown field \"comment\""},
        {"the last of two lists counts",
         Header() + "[" + good + R"(], "configurations": [{"name": "C", "volume": -1}]})",
         "configuration \"C\", field \"volume\""},
    };
    for (const auto& c : cases) {
        std::vector<ConfigurationSnapshot> configurations;
        std::string fault;
        EXPECT_FALSE(ReadConfigurationFile(c.document, codePage, configurations, fault)) << c.what;
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.what << ": " << fault;
        EXPECT_TRUE(configurations.empty()) << c.what;
    }
}

TEST_F(ConfigurationTransferTest, AFaultInTheFileChangesNothing)
{
    SeedFullConfiguration("1", "Office");
    const auto before = Dump();
    files.files["bad.json"] =
        Header() + R"([{"name": "New"}, {"name": "Other", "volume": 70000}])" + "}";
    const TransferResult result = transfer.Import("bad.json", true);
    EXPECT_EQ(result.status, TransferStatus::FileFault);
    EXPECT_EQ(result.lines, StringList{"error: bad.json: configuration \"Other\", field "
                                       "\"volume\": must be a whole number from 0 to 65535"});
    EXPECT_EQ(Dump(), before);

    const TransferResult missing = transfer.Import("none.json", false);
    EXPECT_EQ(missing.status, TransferStatus::FileFault);
    EXPECT_EQ(missing.lines[0].rfind("error: none.json: cannot be read: ", 0), 0u);
    EXPECT_EQ(Dump(), before);
}

TEST_F(ConfigurationTransferTest, AWriteThatFailsHalfwayChangesNothing)
{
    AddLocalCard("7", "Intel PRO/1000");
    SeedFullConfiguration("1", "Office");
    SeedFullConfiguration("2", "Home");
    const auto before = Dump();
    const std::string card = R"("cards": [{"description": "Intel PRO/1000", "dhcp": true}])";
    const std::string refused =
        R"("otherValues": [{"name": "Refused", "type": 4, "data": "01000000"}])";
    struct Case {
        const char* what;
        bool replace;
        std::string configurations;
        const char* failing;
    };
    const Case cases[] = {
        {"three new, the third refused", false,
         R"([{"name": "New 1", "volume": 1}, {"name": "New 2", )" + card +
             R"(}, {"name": "New 3", "volume": 3, )" + refused + "}]",
         "New 3"},
        {"two replaced and one new, the last refused halfway through its key", true,
         R"([{"name": "Office", "volume": 1, )" + card +
             R"(}, {"name": "New", "volume": 2}, {"name": "Home", "volume": 3, )" + card + ", " +
             refused + "}]",
         "Home"},
    };
    refusing.RefuseValue("Refused");
    for (const Case& c : cases) {
        files.files["in.json"] = Header() + c.configurations + "}";
        const TransferResult result = countedTransfer.Import("in.json", c.replace);
        EXPECT_EQ(result.status, TransferStatus::FileFault) << c.what;
        EXPECT_EQ(result.lines, StringList{"error: in.json: configuration \"" +
                                           std::string(c.failing) +
                                           "\" could not be written to the registry; nothing "
                                           "was imported"})
            << c.what;
        EXPECT_EQ(Dump(), before) << c.what;
    }
}

enum class Work { Export, Import, Replace };

// What reaches the registry while the work runs over configurations that
// each hold a full configuration's values and a number of values more.
struct RegistryWork {
    std::map<std::string, int> opens;
    size_t calls = 0;
};

RegistryWork RegistryWorkOf(Work work, int configurations, int extraValues)
{
    Machine machine;
    machine.AddLocalCard("7", "Intel PRO/1000");
    for (int n = 1; n <= configurations; ++n) {
        machine.SeedFullConfiguration(std::to_string(n), "Site " + std::to_string(n));
        for (int i = 0; i < extraValues; ++i)
            machine.Set(std::to_string(n), "Extra " + std::to_string(i),
                        Value(kDword, std::string(4, static_cast<char>(i))));
    }
    if (work != Work::Export) {
        EXPECT_EQ(machine.transfer.Export("all.json", {}).status, TransferStatus::Done);
        if (work == Work::Import)
            machine.registry.DeleteKeyTree(kConfigurations, kRoot);
    }
    machine.counting.Reset();
    const TransferResult result = work == Work::Export
                                      ? machine.countedTransfer.Export("all.json", {})
                                      : machine.countedTransfer.Import("all.json",
                                                                       work == Work::Replace);
    EXPECT_EQ(result.status, TransferStatus::Done);
    return {machine.counting.opens, machine.counting.calls};
}

TEST(ConfigurationTransferRegistryWork, EachKeyIsOpenedABoundedNumberOfTimesWhateverItHolds)
{
    struct Case {
        const char* what;
        Work work;
        int configurations;
        int configurationKeyOpens;  // at most, for each configuration key
    };
    const Case cases[] = {
        {"export of one", Work::Export, 1, 1},
        {"export of twelve", Work::Export, 12, 1},
        {"import of twelve into an empty store", Work::Import, 12, 1},
        // Once to read its name, once to rewrite it.
        {"import with replace of twelve", Work::Replace, 12, 2},
    };
    constexpr int kExtraValues = 40;
    for (const Case& c : cases) {
        const RegistryWork plain = RegistryWorkOf(c.work, c.configurations, 0);
        const RegistryWork fuller = RegistryWorkOf(c.work, c.configurations, kExtraValues);
        EXPECT_EQ(fuller.opens, plain.opens) << c.what;
        // Each value more costs one call: written, or enumerated with its bytes.
        EXPECT_EQ(fuller.calls - plain.calls,
                  static_cast<size_t>(kExtraValues * c.configurations))
            << c.what;
        for (int n = 1; n <= c.configurations; ++n) {
            const std::string key = kConfigurations + "\\" + std::to_string(n);
            EXPECT_EQ(fuller.opens.count(key), 1u) << c.what << ": " << key;
            EXPECT_LE(fuller.opens.at(key), c.configurationKeyOpens) << c.what << ": " << key;
            EXPECT_EQ(fuller.opens.count(key + "\\7"), 1u) << c.what << ": " << key;
            EXPECT_LE(fuller.opens.at(key + "\\7"), 1) << c.what << ": the card key of " << key;
        }
        // No key is looked at again for each configuration: the list of
        // configurations and the machine's card list are read once or twice.
        for (const auto& [key, opens] : fuller.opens)
            EXPECT_LE(opens, 2) << c.what << ": " << key;
    }
}

TEST_F(ConfigurationTransferTest, ATakenNameStopsTheImportUnlessReplaceIsAsked)
{
    registry.WriteString(kConfigurations + "\\1", "Name", "Home", kRoot);
    SeedFullConfiguration("2", "Office");
    const auto before = Dump();
    files.files["in.json"] = Header() + R"([{"name": "New", "volume": 5},
        {"name": "OFFICE", "volume": 7, "cards": [{"description": "Intel PRO/1000", "dhcp": true}]}])" +
                             "}";
    AddLocalCard("9", "Intel PRO/1000");

    const TransferResult taken = transfer.Import("in.json", false);
    EXPECT_EQ(taken.status, TransferStatus::NameTaken);
    EXPECT_EQ(taken.lines,
              StringList{"error: in.json: configuration \"OFFICE\": the name is already taken"});
    EXPECT_EQ(Dump(), before);

    const TransferResult replaced = transfer.Import("in.json", true);
    ASSERT_EQ(replaced.status, TransferStatus::Done);
    EXPECT_EQ(replaced.lines, (StringList{"imported configuration \"New\" as number 3",
                                          "replaced configuration \"OFFICE\" as number 2"}));
    // Configuration 2 holds exactly the file's values now, card included.
    StringList names;
    names = registry.EnumValueNames(kConfigurations + "\\2", kRoot);
    EXPECT_EQ(names, (StringList{"Name", "Volume"}));
    EXPECT_EQ(registry.ReadString(kConfigurations + "\\2", "Name", "", kRoot), "OFFICE");
    EXPECT_EQ(registry.ReadDword(kConfigurations + "\\2", "Volume", 0, kRoot), 7u);
    StringList cards;
    cards = registry.EnumSubKeys(kConfigurations + "\\2", kRoot);
    EXPECT_EQ(cards, StringList{"9"});
    EXPECT_EQ(registry.ReadDword(kConfigurations + "\\3", "Volume", 0, kRoot), 5u);
    EXPECT_EQ(registry.ReadString(kConfigurations + "\\1", "Name", "", kRoot), "Home");
}

TEST_F(ConfigurationTransferTest, CardsAreMatchedByDescriptionExactlyThenIgnoringCase)
{
    AddLocalCard("2", "eth0");
    AddLocalCard("4", "INTEL PRO/1000");
    AddLocalCard("5", "Intel PRO/1000");
    AddLocalCard("6", "Realtek");
    AddLocalCard("8", "Realtek");
    files.files["cards.json"] = OneConfiguration(R"("cards": [
        {"description": "Intel PRO/1000", "cardNumber": "4", "dhcp": true},
        {"description": "ETH0", "cardNumber": "1", "dhcp": false},
        {"description": "Realtek", "cardNumber": "8", "disabled": true},
        {"description": "Broadcom", "cardNumber": "3", "dhcp": true},
        {"description": "", "cardNumber": "6", "dhcp": true},
        {"description": "eth0", "cardNumber": "2", "dhcp": true}])");

    const TransferResult result = transfer.Import("cards.json", false);
    ASSERT_EQ(result.status, TransferStatus::Done);
    EXPECT_EQ(
        result.lines,
        (StringList{
            "configuration \"Office\": card \"Broadcom\" has no match on this machine; it is not "
            "imported",
            "configuration \"Office\": card \"\" has no match on this machine; it is not imported",
            "configuration \"Office\": card \"eth0\" matches the same card as another; it is not "
            "imported",
            "imported configuration \"Office\" as number 1"}));
    const std::string path = kConfigurations + "\\1";
    StringList cards;
    cards = registry.EnumSubKeys(path, kRoot);
    // The exact description wins over the old number; among equals the old
    // number decides.
    EXPECT_EQ(cards, (StringList{"2", "5", "8"}));
    EXPECT_EQ(registry.ReadDword(path + "\\5", "DHCP", 9, kRoot), 1u);
    EXPECT_EQ(registry.ReadDword(path + "\\2", "DHCP", 9, kRoot), 0u);
    EXPECT_EQ(registry.ReadDword(path + "\\8", "Disabled", 9, kRoot), 1u);
}

TEST_F(ConfigurationTransferTest, ExportOfAnUnknownNameWritesNothing)
{
    registry.WriteString(kConfigurations + "\\1", "Name", "Office", kRoot);
    const TransferResult result = transfer.Export("out.json", {"office", "Home", " Lab "});
    EXPECT_EQ(result.status, TransferStatus::NoSuchConfiguration);
    EXPECT_EQ(result.lines, (StringList{"error: no configuration has the name \"Home\"",
                                        "error: no configuration has the name \"Lab\""}));
    EXPECT_TRUE(files.files.empty());

    files.failWrites = true;
    const TransferResult denied = transfer.Export("out.json", {"Office"});
    EXPECT_EQ(denied.status, TransferStatus::FileFault);
    EXPECT_EQ(denied.lines, StringList{"error: out.json: cannot be written: Access is denied"});
}

TEST_F(ConfigurationTransferTest, ExportLeavesOutKeysWithoutAName)
{
    registry.WriteString(kConfigurations + "\\2", "Name", "Office", kRoot);
    registry.WriteDword(kConfigurations + "\\1", "Volume", 3, kRoot);
    registry.WriteString(kConfigurations + "\\3", "Name", "  ", kRoot);
    ASSERT_EQ(transfer.Export("out.json", {}).status, TransferStatus::Done);
    const auto document = nlohmann::json::parse(files.files["out.json"]);
    ASSERT_EQ(document["configurations"].size(), 1u);
    EXPECT_EQ(document["configurations"][0]["name"], "Office");
}

TEST_F(ConfigurationTransferTest, DuplicateCopiesEveryValueUnderAUniqueName)
{
    AddLocalCard("7", "Intel PRO/1000");
    SeedFullConfiguration("1", "Office");
    registry.WriteString(kConfigurations + "\\2", "Name", "Office - copy", kRoot);

    const TransferResult result = transfer.Duplicate(" office ");
    ASSERT_EQ(result.status, TransferStatus::Done);
    EXPECT_EQ(result.name, "Office - copy 2");
    EXPECT_EQ(result.number, 3);
    EXPECT_EQ(result.lines, StringList{"copied configuration \"Office\" to \"Office - copy 2\" as "
                                       "number 3"});
    const NameCheck check = CheckName(result.name, kNameCharacters);
    EXPECT_TRUE(check.acceptable && !check.replace);

    // Every value and card of the copy equals the original's, but the name.
    auto values = Dump();
    for (const auto& [path, value] : values) {
        const std::string original = kConfigurations + "\\1\\";
        if (path.rfind(original, 0) != 0 || path == original + "Name")
            continue;
        const auto copy = values.find(kConfigurations + "\\3\\" + path.substr(original.size()));
        ASSERT_NE(copy, values.end()) << path;
        EXPECT_EQ(copy->second, value) << path;
    }
    EXPECT_EQ(transfer.Duplicate("Lab").status, TransferStatus::NoSuchConfiguration);
    // Any name the store holds is copied, whether or not a person could type it.
    registry.WriteString(kConfigurations + "\\9", "Name", "B\xFCro \xA4", kRoot);
    EXPECT_EQ(transfer.Duplicate("B\xFCro \xA4").name, "B\xFCro \xA4 - copy");
}

TEST(ConfigurationTransfer, ACopyOfALongNameStaysReadable)
{
    MemoryRegistryBackend backend;
    CRegistry registry(backend);
    registry.WriteString(kConfigurations + "\\1", "Name", std::string(1023, 'a'), kRoot);
    const std::string name = UniqueCopyName(registry, kRoot, std::string(1023, 'a'));
    EXPECT_EQ(name.size(), 1023u);
    EXPECT_EQ(name.substr(1016), " - copy");
}

TEST_F(ConfigurationTransferTest, ACardsListsAreReadableAndImportBindsItToTheMatchedAdapter)
{
    AddLocalCard("7", "Intel PRO/1000");
    registry.WriteString(kCards + "\\7", "ServiceName", "{LOCAL-7}", RegistryRoot::LocalMachine);
    AddLocalCard("8", "Realtek");  // no service name
    const std::string card7 = kConfigurations + "\\1\\7";
    const std::string card8 = kConfigurations + "\\1\\8";
    registry.WriteString(kConfigurations + "\\1", "Name", "Office", kRoot);
    registry.WriteDword(card7, "DHCP", 1, kRoot);
    registry.WriteMultiString(card7, "MoreAddresses", {"10.1.0.1/255.255.0.0"}, kRoot);
    registry.WriteMultiString(card7, "DNSServers", {"2001:db8::53", "10.0.0.53"}, kRoot);
    registry.WriteDword(card7, "DNSFromDHCP", 0, kRoot);
    registry.WriteString(card7, "AdapterGUID", "{LOCAL-7}", kRoot);
    // Lists in forms an import would not store: carried as they are.
    registry.WriteMultiString(card8, "DNSServers", {"2001:DB8::53"}, kRoot);
    Set("1\\8", "MoreAddresses", Value(7, Bytes("10.1.0.1/255.255.0.0\0\0\0")));
    registry.WriteString(card8, "AdapterGUID", "{FROM-ELSEWHERE}", kRoot);
    const auto before = Dump();

    ASSERT_EQ(transfer.Export("f.json", {}).status, TransferStatus::Done);
    const nlohmann::json document = nlohmann::json::parse(files.files["f.json"]);
    const nlohmann::json& cards = document["configurations"][0]["cards"];
    EXPECT_EQ(cards[0]["moreAddresses"], nlohmann::json::parse(R"(["10.1.0.1/255.255.0.0"])"));
    EXPECT_EQ(cards[0]["dnsServers"], nlohmann::json::parse(R"(["2001:db8::53", "10.0.0.53"])"));
    EXPECT_EQ(cards[0]["dnsFromDhcp"], false);
    EXPECT_EQ(cards[0]["adapterGuid"], "{LOCAL-7}");
    EXPECT_EQ(cards[1].count("dnsServers"), 0u);
    EXPECT_EQ(cards[1].count("moreAddresses"), 0u);
    EXPECT_EQ(cards[1]["otherValues"].size(), 2u);

    registry.DeleteKeyTree(kConfigurations + "\\1", kRoot);
    ASSERT_EQ(transfer.Import("f.json", false).status, TransferStatus::Done);
    auto expected = before;
    // The card that matched a card without a service name has no adapter.
    expected.erase(card8 + "\\AdapterGUID");
    EXPECT_EQ(Dump(), expected);

    // A file from another machine: the matched card's own adapter wins.
    registry.DeleteKeyTree(kConfigurations + "\\1", kRoot);
    files.files["other.json"] = OneConfiguration(
        R"("cards": [{"description": "intel pro/1000", "adapterGuid": "{OTHER}"},
                     {"description": "Realtek"}])");
    ASSERT_EQ(transfer.Import("other.json", false).status, TransferStatus::Done);
    EXPECT_EQ(registry.ReadString(card7, "AdapterGUID", "", kRoot), "{LOCAL-7}");
    EXPECT_EQ(registry.ReadString(card8, "AdapterGUID", "missing", kRoot), "missing");
}

}  // namespace
}  // namespace flipset
