// The card loop on Windows 10 against a real network: run only inside the
// test network that tests/wine/network/test-network.sh makes (a veth
// interface "flipset0" in a network namespace of its own, its gateway in a
// second one, a resolv.conf of its own), in a prefix of its own where
// netsh.exe can be the stand-in that applies each request with `ip`.
// Wine reads the adapters from the Linux interfaces for real, so what these
// tests see is what the interface holds, never what a fake says.
//
// Two things Wine does differently from Windows, which the tests allow for:
// - the DNS servers of every adapter are those of resolv.conf, read once
//   per process: flipset.exe cannot see a change of them made while it
//   runs. The tests write the servers a run will ask for into resolv.conf
//   before it starts, and check what netsh was asked for, and what the
//   helper made of the file, after it;
// - the interface has no IPv6 interface index (0), so no IPv6 command goes
//   to netsh; the IPv6 command lines are covered by the native tests.

#include "app/OutputSink.h"
#include "base/Text.h"
#include "network/CardTcpip.h"
#include "network/TcpipSettings.h"
#include "network/Win32InterfaceConfigurator.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "wine/FlipsetProcess.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: these are stored data
// and the system's keys.
const std::string kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
// The card seeded where Wine's own card list has no entry for the interface.
const std::string kSeededCardNumber = "77";
const std::string kOverrides = "Software\\Wine\\DllOverrides";

std::string Environment(const char* name)
{
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

uint32_t Ip(const char* text)
{
    return ParseIpv4Number(text).value();
}

// The GUID Wine gives the Linux interface of that name; empty when none.
std::string AdapterGuidOf(const std::wstring& friendlyName)
{
    ULONG size = 64 * 1024;
    std::vector<unsigned char> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    if (GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_SKIP_DNS_SERVER, nullptr, first, &size) != 0)
        return {};
    for (auto* entry = first; entry; entry = entry->Next) {
        if (entry->FriendlyName && friendlyName == entry->FriendlyName)
            return entry->AdapterName;
    }
    return {};
}


std::string AddressesOf(const AdapterSnapshot& adapter)
{
    std::string text;
    for (const Ipv4WithMask& address : adapter.addresses) {
        text += (text.empty() ? "" : " ") + DottedAddress(address.address) + "/" +
                DottedAddress(address.mask);
    }
    return text;
}

class TestNetwork : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (requests_.empty())
            GTEST_SKIP() << "not inside the test network (tests/wine/network/test-network.sh)";
        guid_ = AdapterGuidOf(L"flipset0");
        ASSERT_FALSE(guid_.empty()) << "Wine lists no adapter for the interface flipset0";

        // The card as Windows lists it, with its adapter's GUID as its
        // service name: Wine's own entry for the interface, or one seeded.
        for (const std::string& number : registry_.EnumSubKeys(kCards, kMachine)) {
            if (EqualsNoCase(
                    registry_.ReadString(kCards + "\\" + number, "ServiceName", "", kMachine),
                    guid_)) {
                cardNumber_ = number;
                description_ =
                    registry_.ReadString(kCards + "\\" + number, "Description", "", kMachine);
                break;
            }
        }
        if (cardNumber_.empty()) {
            cardNumber_ = seeded_ = kSeededCardNumber;
            description_ = "Flipset test veth";
            registry_.WriteString(kCards + "\\" + seeded_, "Description", description_, kMachine);
            registry_.WriteString(kCards + "\\" + seeded_, "ServiceName", guid_, kMachine);
        }

        ClearProgramData(registry_);
        // flipset.exe alone sees Windows 10.
        registry_.WriteString(kAppDefaults, "Version", "win10", kUser);
        registry_.WriteDword(kSettingsKey, "BeforeRunTimout", 0, kMachine);
        registry_.WriteDword(kSettingsKey, "AfterRunTimout", 0, kMachine);
        UseStandIn(true);
        SetEnvironmentVariableA("FLIPSET_NETSH_IGNORE", nullptr);
        DeleteFileA(outputPath_.c_str());
    }
    void TearDown() override
    {
        // The card as Windows lists it, with its adapter's GUID as its
        // service name: Wine's own entry for the interface, or one seeded.
        for (const std::string& number : registry_.EnumSubKeys(kCards, kMachine)) {
            if (EqualsNoCase(
                    registry_.ReadString(kCards + "\\" + number, "ServiceName", "", kMachine),
                    guid_)) {
                cardNumber_ = number;
                description_ =
                    registry_.ReadString(kCards + "\\" + number, "Description", "", kMachine);
                break;
            }
        }
        if (cardNumber_.empty()) {
            cardNumber_ = seeded_ = kSeededCardNumber;
            description_ = "Flipset test veth";
            registry_.WriteString(kCards + "\\" + seeded_, "Description", description_, kMachine);
            registry_.WriteString(kCards + "\\" + seeded_, "ServiceName", guid_, kMachine);
        }

        ClearProgramData(registry_);
        registry_.DeleteKeyTree(kAppDefaults, kUser);
        registry_.DeleteValue(TcpipInterfaceKey(guid_), "Domain", kMachine);
        if (!seeded_.empty())
            registry_.DeleteKeyTree(kCards + "\\" + seeded_, kMachine);
        UseStandIn(false);
        SetEnvironmentVariableA("FLIPSET_NETSH_IGNORE", nullptr);
    }

    // netsh.exe in the system folder is the stand-in; it runs instead of
    // Wine's own only while the override says so.
    void UseStandIn(bool use) const
    {
        if (use)
            registry_.WriteString(kOverrides, "netsh.exe", "native", kUser);
        else
            registry_.DeleteValue(kOverrides, "netsh.exe", kUser);
    }

    // Configuration 1, "Net10", setting the card with fixed addresses.
    void StoreCard(const std::vector<std::string>& addresses, const char* gateway,
                   const std::vector<std::string>& dnsServers) const
    {
        registry_.WriteString(kAllConfigurationsKey + "\\1", "Name", "Net10", kMachine);
        const std::string card = kAllConfigurationsKey + "\\1\\" + cardNumber_;
        registry_.WriteString(card, "NIC", "true", kMachine);
        registry_.WriteDword(card, "Disabled", 0, kMachine);
        registry_.WriteDword(card, "DHCP", 0, kMachine);
        const size_t slash = addresses[0].find('/');
        registry_.WriteDword(card, "IP", Ip(addresses[0].substr(0, slash).c_str()), kMachine);
        registry_.WriteDword(card, "Netmask", Ip(addresses[0].substr(slash + 1).c_str()), kMachine);
        registry_.WriteMultiString(card, "MoreAddresses",
                                   StringList(addresses.begin() + 1, addresses.end()), kMachine);
        registry_.WriteDword(card, "Gateway", Ip(gateway), kMachine);
        registry_.WriteMultiString(card, "DNSServers", dnsServers, kMachine);
        registry_.WriteDword(card, "DNSFromDHCP", 0, kMachine);
        registry_.WriteString(card, "AdapterGUID", guid_, kMachine);
        registry_.WriteString(card, "DOMAIN", "corp.flipset.invalid", kMachine);
    }

    FlipsetRun ApplyNetwork()
    {
        const FlipsetRun run = RunFlipsetToEnd(" /apply Net10 /only network /quiet", outputPath_);
        EXPECT_TRUE(run.started);
        EXPECT_TRUE(run.ended);
        return run;
    }

    AdapterSnapshot Adapter()
    {
        const std::vector<AdapterSnapshot> adapters = Win32InterfaceConfigurator().ListAdapters();
        const AdapterSnapshot* adapter = FindAdapterByGuid(adapters, guid_);
        return adapter ? *adapter : AdapterSnapshot{};
    }

    // The name servers flipset.exe will read when it starts.
    void ServeDns(const std::string& servers) const
    {
        ASSERT_TRUE(testfiles::WriteWhole(resolvConf_, servers + "search test.flipset.invalid\n"));
    }

    std::string RequestLog() const { return testfiles::ReadWhole(requests_ + "\\requests.log"); }

    Win32RegistryBackend backend_;
    CRegistry registry_{backend_};
    const std::string requests_ = Environment("FLIPSET_NETSH_REQUESTS");
    const std::string resolvConf_ = Environment("FLIPSET_TEST_RESOLV_CONF");
    const std::string outputPath_ = testfiles::OwnFolder() + "\\flipset_netsh_output.txt";
    std::string guid_;
    std::string cardNumber_;
    std::string description_;
    std::string seeded_;
};

// The network as the script made it, before any test changed it: this test
// runs first (GoogleTest keeps the order of the file).
TEST_F(TestNetwork, TheAdapterIsReadFromTheLinuxInterfaceWithItsGatewayAndDnsServers)
{
    const std::vector<AdapterSnapshot> adapters = Win32InterfaceConfigurator().ListAdapters();
    const AdapterSnapshot* adapter = FindAdapterByGuid(adapters, guid_);
    ASSERT_NE(adapter, nullptr);
    EXPECT_NE(adapter->interfaceIndex, 0u);
    EXPECT_TRUE(adapter->connected);
    EXPECT_FALSE(adapter->dhcp) << "Wine never shows a DHCP flag";
    ASSERT_EQ(adapter->addresses.size(), 1u);
    EXPECT_EQ(DottedAddress(adapter->addresses[0].address), "10.203.0.50");
    EXPECT_EQ(DottedAddress(adapter->addresses[0].mask), "255.255.255.0");
    EXPECT_EQ(adapter->gateways, std::vector<uint32_t>{Ip("10.203.0.1")});
    std::vector<std::string> servers;
    for (const IpAddress& server : adapter->dnsServers)
        servers.push_back(FormatIpAddress(server));
    EXPECT_EQ(servers, (std::vector<std::string>{"10.203.0.53", "fd00:203::53"}));
    EXPECT_EQ(adapter->ipv6InterfaceIndex, 0u) << "Wine gives none; then no IPv6 command is sent";
}

TEST_F(TestNetwork, ARunSetsTheCardThroughNetshAndSeesItOnTheInterface)
{
    StoreCard({"10.203.0.60/255.255.255.0", "10.203.9.60/255.255.255.128"}, "10.203.0.1",
              {"10.203.0.54", "10.203.0.53"});
    ServeDns("nameserver 10.203.0.54\nnameserver 10.203.0.53\n");
    // The helper writes the file again with its search line first: that
    // order shows that the DNS requests reached it.
    const std::string logBefore = RequestLog();

    const FlipsetRun run = ApplyNetwork();

    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "");
    const AdapterSnapshot adapter = Adapter();
    EXPECT_EQ(AddressesOf(adapter), "10.203.0.60/255.255.255.0 10.203.9.60/255.255.255.128");
    EXPECT_EQ(adapter.gateways, std::vector<uint32_t>{Ip("10.203.0.1")});
    const std::string index = std::to_string(adapter.interfaceIndex);
    EXPECT_EQ(SplitOutputLines(RequestLog().substr(logBefore.size())),
              (std::vector<std::string>{
                  "interface ipv4 set address name=" + index +
                      " source=static address=10.203.0.60 mask=255.255.255.0 "
                      "gateway=10.203.0.1 gwmetric=0",
                  "interface ipv4 add address name=" + index +
                      " address=10.203.9.60 mask=255.255.255.128",
                  "interface ipv4 set dnsservers name=" + index +
                      " source=static address=10.203.0.54 register=primary validate=no",
                  "interface ipv4 add dnsservers name=" + index +
                      " address=10.203.0.53 index=2 validate=no"}));
    EXPECT_EQ(testfiles::ReadWhole(resolvConf_),
              "search test.flipset.invalid\nnameserver 10.203.0.54\nnameserver 10.203.0.53\n");
    // Without the DNS call the suffix goes into the interface's own value.
    EXPECT_EQ(registry_.ReadString(TcpipInterfaceKey(guid_), "Domain", "(none)", kMachine),
              "corp.flipset.invalid");
}

TEST_F(TestNetwork, ARequestTheSystemIgnoredIsReportedAsWantedAndFoundWithExitCode2)
{
    StoreCard({"10.203.0.61/255.255.255.0", "10.203.9.61/255.255.255.0"}, "10.203.0.1",
              {"10.203.0.53"});
    ServeDns("nameserver 10.203.0.53\n");
    SetEnvironmentVariableA("FLIPSET_NETSH_IGNORE", "add address");

    const FlipsetRun run = ApplyNetwork();

    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(
        run.output.find(description_ + ": addresses did not take: 10.203.0.61/255.255.255.0, "
                                       "10.203.9.61/255.255.255.0 -> 10.203.0.61/255.255.255.0"),
        std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("gateway did not take"), std::string::npos) << run.output;
}

TEST_F(TestNetwork, WinesOwnNetshChangesNothingAndTheRunSaysTheValuesDidNotTake)
{
    UseStandIn(false);
    const AdapterSnapshot before = Adapter();
    ASSERT_FALSE(before.addresses.empty());
    StoreCard({"10.203.0.77/255.255.255.0"}, "10.203.0.1", {"10.203.0.53"});
    ServeDns("nameserver 10.203.0.53\n");
    const std::string logBefore = RequestLog();

    const FlipsetRun run = ApplyNetwork();

    EXPECT_EQ(run.exitCode, 2u) << run.output;
    const std::string found =
        DottedAddress(before.addresses[0].address) + "/" + DottedAddress(before.addresses[0].mask);
    EXPECT_NE(run.output.find(description_ + ": addresses did not take: " +
                              "10.203.0.77/255.255.255.0 -> " + found),
              std::string::npos)
        << run.output;
    EXPECT_EQ(RequestLog(), logBefore) << "the stand-in was not asked";
    EXPECT_EQ(Adapter().addresses.size(), before.addresses.size());
}

// On 10 the preview and a capture take the card from the interface itself:
// its address with its mask, its gateway, and resolv.conf's servers as
// servers of its own (Wine never shows DHCP); the preview asks netsh for
// nothing.
TEST_F(TestNetwork, ThePreviewAndACaptureReadTheCardFromTheInterface)
{
    const AdapterSnapshot now = Adapter();
    ASSERT_EQ(now.addresses.size(), 1u) << AddressesOf(now);
    StoreCard({"10.203.0.62/255.255.255.0"}, "10.203.0.1", {"10.203.0.53"});
    ServeDns("nameserver 10.203.0.53\n");
    const std::string logBefore = RequestLog();

    const FlipsetRun preview = RunFlipsetToEnd(" /preview Net10 /only network", outputPath_);

    EXPECT_EQ(preview.exitCode, 0u) << preview.output;
    EXPECT_NE(preview.output.find(description_ + " addresses: " + AddressesOf(now) +
                                  " -> 10.203.0.62/255.255.255.0"),
              std::string::npos)
        << preview.output;
    EXPECT_EQ(preview.output.find(description_ + " DNS servers"), std::string::npos)
        << preview.output;
    EXPECT_EQ(RequestLog(), logBefore);

    const FlipsetRun capture = RunFlipsetToEnd(" /capture Now10", outputPath_);

    EXPECT_EQ(capture.exitCode, 0u) << capture.output;
    const int number = ConfigurationStore(registry_).FindConfigurationNumber("Now10", kMachine);
    ASSERT_NE(number, 0);
    const CardTcpip card = ReadCardTcpip(registry_.OpenForReading(
        kAllConfigurationsKey + "\\" + std::to_string(number) + "\\" + cardNumber_, kMachine));
    EXPECT_FALSE(card.dhcp);
    ASSERT_EQ(card.addresses.size(), 1u);
    EXPECT_EQ(card.addresses[0].address, now.addresses[0].address);
    EXPECT_EQ(card.addresses[0].mask, now.addresses[0].mask);
    EXPECT_EQ(card.gateway, Ip("10.203.0.1"));
    EXPECT_FALSE(card.dnsFromDhcp);
    EXPECT_EQ(card.dnsServers, std::vector<std::string>{"10.203.0.53"});
    EXPECT_TRUE(EqualsNoCase(card.adapterGuid, guid_)) << card.adapterGuid;
}

// The undo of a run on 10 sets the interface back through netsh (here the
// stand-in, which applies it with `ip`) and reads it back for real.
TEST_F(TestNetwork, AnUndoSetsTheInterfaceBackThroughNetshAsItWasBeforeTheRun)
{
    const AdapterSnapshot before = Adapter();
    ASSERT_EQ(before.addresses.size(), 1u) << AddressesOf(before);
    StoreCard({"10.203.0.63/255.255.255.0", "10.203.9.63/255.255.255.0"}, "10.203.0.1",
              {"10.203.0.53"});
    ServeDns("nameserver 10.203.0.53\n");
    ASSERT_EQ(ApplyNetwork().exitCode, 0u);
    ASSERT_EQ(AddressesOf(Adapter()), "10.203.0.63/255.255.255.0 10.203.9.63/255.255.255.0");
    const std::string logBefore = RequestLog();

    const FlipsetRun undo = RunFlipsetToEnd(" /undo /quiet", outputPath_);

    EXPECT_TRUE(undo.ended);
    EXPECT_EQ(undo.exitCode, 0u) << undo.output;
    const AdapterSnapshot after = Adapter();
    EXPECT_EQ(AddressesOf(after), AddressesOf(before));
    EXPECT_EQ(after.gateways, before.gateways);
    const std::string index = std::to_string(before.interfaceIndex);
    const std::vector<std::string> requests = SplitOutputLines(RequestLog().substr(logBefore.size()));
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(),
              "interface ipv4 set address name=" + index +
                  " source=static address=" + DottedAddress(before.addresses[0].address) +
                  " mask=" + DottedAddress(before.addresses[0].mask) +
                  " gateway=10.203.0.1 gwmetric=0");
}

}  // namespace
}  // namespace flipset
