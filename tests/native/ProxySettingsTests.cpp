// The Proxy phase against an in-memory registry: what a configuration's
// proxy writes, in which order, what it keeps of the connection record
// that is there, and that a configuration without a proxy touches nothing.

#include "engine/ConnectionSettings.h"
#include "engine/ProxySettings.h"

#include "support/FakePlatform.h"
#include "support/FakeRunHost.h"
#include "support/RecordingRegistryBackend.h"
#include "support/RefusingRegistryBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: this is stored data.
const std::string kConfigurationKey = "Software\\Quillon\\Flipset\\Configurations\\3";
const std::string kSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::string kConnections = kSettingsKey + "\\Connections";
const std::string kUserSettings = "HKCU\\" + kSettingsKey;
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;  // "UserSettings" 0
constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

class ProxyPhaseTest : public ::testing::Test {
protected:
    ProxyPhaseTest()
    {
        registry.WriteString(kConfigurationKey, "Name", "Office", kRoot);
        host.selectedText = "Office";
        host.onMessageBox = [this](const std::string& text) { journal.push_back("box: " + text); };
    }

    void SetProxy(uint32_t enable, const std::string& server, const std::string& bypass,
                  const std::string& script)
    {
        registry.WriteDword(kConfigurationKey, "ProxyEnable", enable, kRoot);
        registry.WriteString(kConfigurationKey, "ProxyServer", server, kRoot);
        registry.WriteString(kConfigurationKey, "ProxyOverride", bypass, kRoot);
        registry.WriteString(kConfigurationKey, "AutoConfigURL", script, kRoot);
    }
    void Apply()
    {
        journal.clear();
        ApplyProxySettings(ctx, notifier);
    }
    // The record as stored now, decoded; fails the test when it does not read.
    ConnectionSettings Record()
    {
        ByteArray bytes;
        EXPECT_TRUE(registry.ReadBinary(kConnections, "DefaultConnectionSettings", bytes, kUser));
        ConnectionSettings settings;
        EXPECT_TRUE(DecodeConnectionSettings(bytes, settings));
        return settings;
    }
    std::string Setting(const char* name)
    {
        return registry.ReadString(kSettingsKey, name, "<none>", kUser);
    }

    std::vector<std::string> journal;
    RecordingRegistryBackend recording{journal};
    RefusingRegistryBackend backend{recording};
    CRegistry registry{backend};
    FakeRunHost host;
    RunContext ctx{registry, host};
    FakeInternetSettings notifier{journal};
};

TEST_F(ProxyPhaseTest, AConfigurationWithoutProxyEnableLeavesTheProxyAlone)
{
    // Server and bypass without "ProxyEnable": as a configuration that an
    // older program or a hand edit left.
    registry.WriteString(kConfigurationKey, "ProxyServer", "new.example:80", kRoot);
    registry.WriteDword(kSettingsKey, "ProxyEnable", 1, kUser);
    registry.WriteString(kSettingsKey, "ProxyServer", "old.example:8080", kUser);

    Apply();

    EXPECT_EQ(journal, std::vector<std::string>{});
    EXPECT_EQ(host.journal, std::vector<std::string>{});
    EXPECT_EQ(Setting("ProxyServer"), "old.example:8080");
}

TEST_F(ProxyPhaseTest, AProxyIsWrittenThenTheProgramsAreToldWithANewRecordWhereThereWasNone)
{
    SetProxy(1, "proxy.office.example:8080", "<local>;*.office.example", "");
    registry.WriteString(kSettingsKey, "AutoConfigURL", "http://old/proxy.pac", kUser);

    Apply();

    const std::vector<std::string> expected = {
        "set " + kUserSettings + "\\ProxyEnable = 1",
        "set " + kUserSettings + "\\ProxyServer = proxy.office.example:8080",
        "set " + kUserSettings + "\\ProxyOverride = <local>;*.office.example",
        "delete " + kUserSettings + "\\AutoConfigURL",
        "set " + kUserSettings + "\\Connections\\DefaultConnectionSettings = <73 bytes>",
        "internet settings changed",
    };
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(host.Lines("caption: "), std::vector<std::string>{"Proxy settings"});
    EXPECT_EQ(Setting("AutoConfigURL"), "<none>");
    ConnectionSettings written;
    written.version = 0x46;
    written.counter = 1;
    written.flags = ConnectionFlag::kDirect | ConnectionFlag::kProxy;
    written.proxyServer = "proxy.office.example:8080";
    written.proxyBypass = "<local>;*.office.example";
    EXPECT_EQ(Record(), written);
}

TEST_F(ProxyPhaseTest, TheRecordOfAnotherProgramKeepsWhatThePhaseDoesNotSet)
{
    ConnectionSettings foreign;
    foreign.version = 0x3c;
    foreign.counter = 41;
    foreign.flags =
        ConnectionFlag::kDirect | ConnectionFlag::kProxy | ConnectionFlag::kAutoDetect | 0x100;
    foreign.proxyServer = "old.example:3128";
    foreign.proxyBypass = "<local>";
    foreign.rest = {1, 0, 0, 0, 0xc0, 0xa8, 1, 5, 0, 0, 0, 0};
    registry.WriteBinary(kConnections, "DefaultConnectionSettings",
                         EncodeConnectionSettings(foreign), kUser);

    const struct {
        uint32_t enable;
        const char* script;
        uint32_t flags;
    } cases[] = {
        {0, "", ConnectionFlag::kDirect | ConnectionFlag::kAutoDetect | 0x100},
        {1, "http://wpad.office.example/proxy.pac",
         ConnectionFlag::kDirect | ConnectionFlag::kProxy | ConnectionFlag::kAutoConfigUrl |
             ConnectionFlag::kAutoDetect | 0x100},
        {0, "http://wpad.office.example/proxy.pac",
         ConnectionFlag::kDirect | ConnectionFlag::kAutoConfigUrl | ConnectionFlag::kAutoDetect |
             0x100},
    };
    uint32_t counter = foreign.counter;
    for (const auto& c : cases) {
        SetProxy(c.enable, "proxy.office.example:8080", "", c.script);
        Apply();
        const ConnectionSettings record = Record();
        EXPECT_EQ(record.version, 0x3cu) << c.script;
        EXPECT_EQ(record.counter, ++counter) << c.script;
        EXPECT_EQ(record.flags, c.flags) << c.enable << c.script;
        EXPECT_EQ(record.proxyServer, "proxy.office.example:8080");
        EXPECT_EQ(record.proxyBypass, "");
        EXPECT_EQ(record.autoConfigUrl, c.script);
        EXPECT_EQ(record.rest, foreign.rest);
        EXPECT_EQ(registry.ReadDword(kSettingsKey, "ProxyEnable", 99, kUser), c.enable);
        EXPECT_EQ(Setting("AutoConfigURL"), *c.script ? c.script : "<none>");
    }
}

TEST_F(ProxyPhaseTest, ARecordThatCannotBeReadIsReplacedByANewOne)
{
    SetProxy(1, "p.example:80", "", "");
    const std::vector<RegistryValue> unreadable = {
        {3, {0x46, 0, 0, 0, 9, 0, 0, 0, 3, 0, 0, 0, 0xff, 0xff, 0, 0}},  // a length past its end
        {1, {'t', 'e', 'x', 't', 0}},                                    // not binary
    };
    for (const RegistryValue& value : unreadable) {
        registry.WriteValue(kConnections, "DefaultConnectionSettings", value, kUser);
        Apply();
        const ConnectionSettings record = Record();
        EXPECT_EQ(record.version, 0x46u);
        EXPECT_EQ(record.counter, 1u);
        EXPECT_EQ(record.flags, ConnectionFlag::kDirect | ConnectionFlag::kProxy);
        EXPECT_EQ(record.proxyServer, "p.example:80");
        EXPECT_TRUE(record.rest.empty());
    }
}

TEST_F(ProxyPhaseTest, AValueThatCannotBeWrittenIsReportedAfterTheOthersAndTheWord)
{
    SetProxy(1, "p.example:80", "<local>", "");
    backend.RefuseValue("DefaultConnectionSettings");

    Apply();

    EXPECT_EQ(Setting("ProxyServer"), "p.example:80");
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ(journal[journal.size() - 2], "internet settings changed");
    EXPECT_EQ(journal.back(), "box: Error writing the proxy settings");
    EXPECT_EQ(host.Lines("error: "), std::vector<std::string>{"Error writing the proxy settings"});
}

}  // namespace
}  // namespace flipset
