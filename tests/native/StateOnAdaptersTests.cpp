// Capture, snapshot, preview and undo of the cards where the system sets
// their TCP/IP values on the live adapters (Windows 10 and later): on a
// workstation whose stand-in system carries out netsh's requests on the
// adapters it lists, as Windows would.
#include "state/CurrentConfiguration.h"
#include "state/MachineState.h"
#include "state/StatePreview.h"
#include "state/StateRestore.h"
#include "state/StateSnapshot.h"

#include "base/NameFilter.h"
#include "engine/RunContext.h"
#include "engine/RunSequence.h"
#include "network/CardInventory.h"
#include "network/CardTcpip.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeInterfaceConfigurator.h"
#include "support/FakePlatform.h"
#include "support/FakeRunHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace flipset {
namespace {

using Lines = std::vector<std::string>;

constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;  // settings-root choice 0
const std::string kConfigKey = "Software\\Quillon\\Flipset\\Configurations\\1";
const std::string kCardKey = kConfigKey + "\\0007";
constexpr const char* kLeaseAddress = "192.168.1.50";
constexpr const char* kLeaseGateway = "192.168.1.1";

uint32_t Ip(const std::string& text)
{
    return ParseIpv4Number(text).value();
}

IpAddress Server(const std::string& text)
{
    return ParseIpAddress(text).value();
}

AdapterSnapshot Adapter(const std::string& guid, uint32_t index)
{
    AdapterSnapshot adapter;
    adapter.guid = guid;
    adapter.interfaceIndex = index;
    adapter.ipv6InterfaceIndex = index + 10;
    adapter.connected = true;
    return adapter;
}

// The adapter on the lease the DHCP server gives, with its name server.
AdapterSnapshot OnLease(AdapterSnapshot adapter)
{
    adapter.dhcp = true;
    adapter.addresses = {{Ip(kLeaseAddress), Ip("255.255.255.0")}};
    adapter.gateways = {Ip(kLeaseGateway)};
    adapter.dnsServers = {Server(kLeaseGateway)};
    return adapter;
}

CardTcpip Fixed(std::vector<Ipv4WithMask> addresses, uint32_t gateway, Lines servers,
                const std::string& suffix, const std::string& guid)
{
    CardTcpip card;
    card.dhcp = false;
    card.addresses = std::move(addresses);
    card.gateway = gateway;
    card.dnsFromDhcp = false;
    card.dnsServers = std::move(servers);
    card.suffix = suffix;
    card.adapterGuid = guid;
    return card;
}

// A card disabled before the test's run.
void Disable(FakeNetworkMachine& machine, size_t device, const std::string& pnpInstanceId)
{
    machine.devices.devices[device].enabled = false;
    machine.SetDisableCount(pnpInstanceId, 1);
}

// The cards' side of Windows 10: it lists the adapters of the enabled cards
// only, and carries out each netsh request on the adapter whose interface
// index it names, keeping the IPv4 servers of the adapter's own in its
// interface key's "Nameserver" as Windows does.
class AdapterSystem : public FakeInterfaceConfigurator {
public:
    AdapterSystem(CRegistry registry) : registry_(registry) {}

    bool carriesOut = true;

    std::vector<AdapterSnapshot> ListAdapters() override
    {
        std::vector<AdapterSnapshot> listed;
        for (const AdapterSnapshot& adapter : FakeInterfaceConfigurator::ListAdapters()) {
            for (const NetworkCard& card : ListNetworkCards(registry_)) {
                if (EqualsNoCase(GetCardServiceName(registry_, card.number), adapter.guid) &&
                    IsCardNumberEnabled(registry_, card.number))
                    listed.push_back(adapter);
            }
        }
        return listed;
    }

    NetshRun RunNetsh(const std::string& arguments) override
    {
        const NetshRun run = FakeInterfaceConfigurator::RunNetsh(arguments);
        if (carriesOut)
            CarryOut(arguments);
        return run;
    }

private:
    void CarryOut(const std::string& arguments)
    {
        std::istringstream words(arguments);
        std::string interfaceWord, family, verb, what, word;
        words >> interfaceWord >> family >> verb >> what;
        std::map<std::string, std::string> v;
        while (words >> word)
            v[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
        const bool ipv6 = family == "ipv6";
        for (AdapterSnapshot& adapter : adapters) {
            if ((ipv6 ? adapter.ipv6InterfaceIndex : adapter.interfaceIndex) ==
                std::stoul(v["name"]))
                CarryOut(adapter, ipv6, verb, what, v);
        }
    }

    void CarryOut(AdapterSnapshot& adapter, bool ipv6, const std::string& verb,
                  const std::string& what, std::map<std::string, std::string>& v)
    {
        if (what == "address") {
            if (verb == "set" && v["source"] == "dhcp") {
                adapter = OnLease(adapter);
                return;
            }
            if (verb == "set") {
                adapter.dhcp = false;
                adapter.addresses.clear();
                adapter.gateways.clear();
                if (v["gateway"] != "none")
                    adapter.gateways = {Ip(v["gateway"])};
            }
            adapter.addresses.push_back({Ip(v["address"]), Ip(v["mask"])});
            return;
        }
        auto& servers = adapter.dnsServers;
        if (verb == "set") {
            servers.erase(std::remove_if(servers.begin(), servers.end(),
                                         [&](const IpAddress& s) { return s.v6 == ipv6; }),
                          servers.end());
            if (v["source"] == "dhcp" && !ipv6 && adapter.dhcp)
                servers.push_back(Server(kLeaseGateway));
        }
        if (v.count("address") && v["address"] != "none")
            servers.push_back(Server(v["address"]));
        if (!ipv6) {
            std::string own;
            for (const IpAddress& server : servers) {
                if (!server.v6 && v["source"] != "dhcp")
                    own += (own.empty() ? "" : ",") + FormatIpAddress(server);
            }
            registry_.WriteString(TcpipInterfaceKey(adapter.guid), TcpipValue::kNameserver, own,
                                  RegistryRoot::LocalMachine);
        }
    }

    CRegistry registry_;
};

// A Windows 10 workstation: Card Seven on a DHCP lease, Card Eight with
// fixed values, and the configuration "Office" that sets Card Seven to two
// fixed addresses with an IPv4 and an IPv6 name server.
class CardsOnAdapters : public ::testing::Test {
protected:
    CardsOnAdapters()
    {
        CRegistry reg = machine.registry;
        platform.system.majorVersion = 10;
        machine.AddCard("0007", "Card Seven", "{CARD-7}", "PCI\\VEN_7");
        machine.AddCard("0008", "Card Eight", "{CARD-8}", "PCI\\VEN_8");
        AdapterSnapshot eight = Adapter("{CARD-8}", 8);
        eight.addresses = {{Ip("172.16.0.8"), Ip("255.255.0.0")}};
        eight.gateways = {Ip("172.16.0.1")};
        eight.dnsServers = {Server("172.16.0.53")};
        system.adapters = {OnLease(Adapter("{CARD-7}", 7)), eight};
        system.journal = &host.journal;
        machine.devices.journal = &host.journal;
        reg.WriteString(TcpipInterfaceKey("{CARD-8}"), TcpipValue::kDomain, "eight.example",
                        RegistryRoot::LocalMachine);

        reg.WriteString(kConfigKey, "Name", "Office", kRoot);
        reg.WriteString(kCardKey, "NIC", "true", kRoot);
        reg.WriteDword(kCardKey, "Disabled", 0, kRoot);
        reg.WriteDword(kCardKey, "DHCP", 0, kRoot);
        reg.WriteDword(kCardKey, "IP", Ip("10.0.0.5"), kRoot);
        reg.WriteDword(kCardKey, "Netmask", Ip("255.255.255.0"), kRoot);
        reg.WriteMultiString(kCardKey, "MoreAddresses", {"10.1.0.5/255.255.0.0"}, kRoot);
        reg.WriteDword(kCardKey, "Gateway", Ip("10.0.0.1"), kRoot);
        reg.WriteDword(kCardKey, "DNS1", Ip("10.0.0.2"), kRoot);
        reg.WriteMultiString(kCardKey, "DNSServers", {"10.0.0.2", "fd00::53"}, kRoot);
        reg.WriteString(kCardKey, "DOMAIN", "office.example", kRoot);
        host.selectedText = "Office";
        host.options = {{Area::Network, true}};
    }

    MachineState CaptureFor(const CaptureScope& scope)
    {
        MachineState state;
        std::string error;
        EXPECT_TRUE(CaptureMachineState(statePlatform, scope, state, error)) << error;
        return state;
    }

    CaptureScope ScopeOfRun()
    {
        RunContext ctx(machine.registry, host);
        return RunScope(ctx, platform.system);
    }

    // A run as the main window starts it, with the snapshot taken before it.
    void Run(const std::string& now = "2026-01-02 03:04:05")
    {
        RunSequence sequence(machine.registry, host, run);
        sequence.SetBeforeChanges([&](RunContext& ctx) {
            std::string problem;
            EXPECT_TRUE(TakeRunSnapshot(ctx, statePlatform, platform.system, now, problem))
                << problem;
        });
        sequence.RunConfiguration();
    }

    UndoOutcome Undo()
    {
        return UndoLastRun(statePlatform, machine.devices, host, kRoot, ServiceWaits{},
                           "2026-01-02 04:00:00");
    }

    static const CardState& Card(const MachineState& state, const std::string& number)
    {
        for (const CardState& card : state.cards) {
            if (card.cardNumber == number)
                return card;
        }
        ADD_FAILURE() << "no card " << number;
        return state.cards.front();
    }

    FakeNetworkMachine machine;
    Lines journal;
    FakeRunPlatform platform{journal, machine.devices};
    FakeRunHost host;
    AdapterSystem system{machine.registry};
    RunPlatform run = platform.WithInterfaces(system);
    StatePlatform statePlatform{machine.registry,  platform.files,    platform.desktop,
                                platform.services, platform.internet, &system};
};

TEST_F(CardsOnAdapters, CaptureRecordsWhatTheAdapterShowsAndAnAdapterNotListedAsMissing)
{
    CardTcpip lease;
    lease.adapterGuid = "{CARD-7}";
    CardTcpip leaseWithServer = lease;
    leaseWithServer.dnsFromDhcp = false;
    leaseWithServer.dnsServers = {kLeaseGateway};
    struct Case {
        const char* what;
        std::function<void(AdapterSnapshot&, CRegistry)> change;
        bool listed;
        CardTcpip expected;
    };
    const Case cases[] = {
        {"on DHCP with DHCP's name server: DNS from DHCP, no address",
         [](AdapterSnapshot&, CRegistry) {}, true, lease},
        {"on DHCP with a name server of its own in the interface key",
         [](AdapterSnapshot&, CRegistry r) {
             r.WriteString(TcpipInterfaceKey("{CARD-7}"), "NameServer", kLeaseGateway,
                           RegistryRoot::LocalMachine);
         },
         true, leaseWithServer},
        {"fixed: every address, the first gateway, IPv4 servers first without Windows' own IPv6 "
         "ones, the interface key's suffix",
         [](AdapterSnapshot& a, CRegistry r) {
             a.dhcp = false;
             a.addresses = {{Ip("10.0.0.5"), Ip("255.255.255.0")},
                            {Ip("10.1.0.5"), Ip("255.255.0.0")}};
             a.gateways = {Ip("10.0.0.1"), Ip("10.0.0.254")};
             a.dnsServers = {Server("fd00::53"), Server("10.0.0.2"), Server("fec0:0:0:ffff::1"),
                             Server("10.0.0.3")};
             a.dnsSuffix = "dhcp.example";
             r.WriteString(TcpipInterfaceKey("{CARD-7}"), "Domain", "office.example",
                           RegistryRoot::LocalMachine);
         },
         true,
         Fixed({{Ip("10.0.0.5"), Ip("255.255.255.0")}, {Ip("10.1.0.5"), Ip("255.255.0.0")}},
               Ip("10.0.0.1"), {"10.0.0.2", "10.0.0.3", "fd00::53"}, "office.example", "{CARD-7}")},
        {"not listed (a disabled card's)", [](AdapterSnapshot& a, CRegistry) { a.guid = "{GONE}"; },
         false, CardTcpip{true, {}, 0, true, {}, "", "{CARD-7}"}},
    };
    for (const Case& c : cases) {
        system.adapters[0] = OnLease(Adapter("{CARD-7}", 7));
        machine.registry.DeleteKeyTree(TcpipInterfaceKey("{CARD-7}"), RegistryRoot::LocalMachine);
        c.change(system.adapters[0], machine.registry);

        const MachineState state = CaptureFor(CurrentStateScope(machine.registry));
        ASSERT_EQ(state.cards.size(), 2u) << c.what;
        const CardState& card = Card(state, "0007");
        EXPECT_EQ(card.description, "Card Seven") << c.what;
        EXPECT_TRUE(card.enabled) << c.what;
        EXPECT_TRUE(card.interfaceValues.empty()) << c.what << ": no interface key is read";
        ASSERT_TRUE(card.adapter.has_value()) << c.what;
        EXPECT_EQ(card.adapter->listed, c.listed) << c.what;
        EXPECT_EQ(card.adapter->tcpip, c.expected) << c.what;
    }
}

// The configuration's key "0007" stores the GUID of the adapter that is card
// 0008 now: the capture takes that card, as the card loop does, and an undo's
// own capture of the snapshot's scope takes it again.
TEST_F(CardsOnAdapters, CaptureTakesTheCardTheStoredGuidNamesAsTheCardLoopDoes)
{
    machine.registry.WriteString(kCardKey, "AdapterGUID", "{card-8}", kRoot);
    const MachineState state = CaptureFor(ScopeOfRun());
    ASSERT_EQ(state.cards.size(), 1u);
    EXPECT_EQ(state.cards[0].cardNumber, "0008");
    EXPECT_EQ(state.cards[0].description, "Card Eight");
    ASSERT_TRUE(state.cards[0].adapter.has_value());
    EXPECT_EQ(state.cards[0].adapter->tcpip,
              Fixed({{Ip("172.16.0.8"), Ip("255.255.0.0")}}, Ip("172.16.0.1"), {"172.16.0.53"},
                    "eight.example", "{card-8}"));

    const MachineState again = CaptureFor(ScopeOf(state));
    ASSERT_EQ(again.cards.size(), 1u);
    EXPECT_EQ(again.cards[0].cardNumber, "0008");
    EXPECT_EQ(DescribeChanges(state, again), Lines());
}

TEST(RunSnapshotFormat, CardsOnTheirAdaptersRoundTripBesideCardsOfInterfaceKeys)
{
    RunSnapshot snapshot;
    snapshot.configurationName = "Office";
    MachineState& s = snapshot.state;
    s.hasCards = true;
    CardState fixed{"0007", "Card Seven", "{CARD-7}", true, {}};
    fixed.adapter = AdapterState{
        true, Fixed({{Ip("10.0.0.5"), Ip("255.255.255.0")}, {Ip("10.1.0.5"), Ip("255.255.0.0")}},
                    Ip("10.0.0.1"), {"10.0.0.2", "fd00::53"}, "office.example", "{CARD-7}")};
    CardState missing{"0008", "Card Eight", "{CARD-8}", false, {}};
    missing.adapter = AdapterState{false, CardTcpip{true, {}, 0, true, {}, "", "{CARD-8}"}};
    const CardState ofKey{
        "0009", "Card Nine", "{CARD-9}", true, {{"EnableDHCP", true, RegistryValue::Dword(1)}}};
    s.cards = {fixed, missing, ofKey};

    const ByteArray bytes = EncodeSnapshot(snapshot);
    EXPECT_EQ(bytes[4], kSnapshotFormatVersion);
    RunSnapshot back;
    std::string error;
    ASSERT_TRUE(DecodeSnapshot(bytes, back, error)) << error;
    ASSERT_EQ(back.state.cards.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.state.cards[i].adapter.has_value(), s.cards[i].adapter.has_value()) << i;
        if (s.cards[i].adapter) {
            EXPECT_EQ(back.state.cards[i].adapter->listed, s.cards[i].adapter->listed) << i;
            EXPECT_EQ(back.state.cards[i].adapter->tcpip, s.cards[i].adapter->tcpip) << i;
        }
        EXPECT_EQ(back.state.cards[i].interfaceValues, s.cards[i].interfaceValues) << i;
    }
    EXPECT_EQ(DescribeChanges(s, back.state), Lines());

    // Every cut inside the cards' adapters is refused whole.
    for (size_t size = bytes.size() - 60; size < bytes.size(); ++size)
        EXPECT_FALSE(DecodeSnapshot(ByteArray(bytes.begin(), bytes.begin() + size), back, error));
}

// A snapshot the previous version stored: it reads, its card as one of an
// interface key, with the proxy it holds.
TEST(RunSnapshotFormat, ASnapshotOfTheSecondFormatReadsWithoutAdapters)
{
    // "Office" at 2026-01-02 03:04:05: card 0007 "Card Seven" {CARD-7},
    // enabled, "EnableDHCP" 1; a proxy scope with no settings.
    const std::string hex =
        "464c535302000000ba00000083bd1755060000004f666669636513000000323032362d30312d3032203033"
        "3a30343a30350000000000000000000006000000446576696365000000000000000a000000537461727420"
        "5061676500010100000004000000303030370a0000004361726420536576656e080000007b434152442d37"
        "7d01010000000a000000456e61626c65444843500104000000040000000100000000000000000000000000"
        "1900000044656661756c74436f6e6e656374696f6e53657474696e677300";
    ByteArray bytes;
    for (size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));

    RunSnapshot read;
    std::string error;
    ASSERT_TRUE(DecodeSnapshot(bytes, read, error)) << error;
    EXPECT_EQ(read.configurationName, "Office");
    ASSERT_EQ(read.state.cards.size(), 1u);
    const CardState& card = read.state.cards[0];
    EXPECT_EQ(card.serviceName, "{CARD-7}");
    EXPECT_FALSE(card.adapter.has_value());
    EXPECT_EQ(card.interfaceValues,
              (std::vector<ValueState>{{"EnableDHCP", true, RegistryValue::Dword(1)}}));
    EXPECT_EQ(read.state.proxy.record.name, "DefaultConnectionSettings");
    EXPECT_EQ(ScopeOf(read.state).cardList.at(0).storedGuid, "");
}

// The preview's lines for Card Seven, and that they are the differences a
// real run makes.
struct AdapterPreviewCase {
    const char* what;
    std::function<void(CRegistry, FakeNetworkMachine&)> change;
    Lines lines;
};

class AdapterPreview : public CardsOnAdapters,
                       public ::testing::WithParamInterface<AdapterPreviewCase> {};

TEST_P(AdapterPreview, LinesNameEachValueAndEqualTheDifferencesOfTheRealRun)
{
    GetParam().change(machine.registry, machine);
    const CaptureScope scope = ScopeOfRun();
    const MachineState before = CaptureFor(scope);
    const RunContext ctx(machine.registry, host);
    const Lines predicted = DescribeChanges(before, PredictRun(ctx, before));
    EXPECT_EQ(predicted, GetParam().lines);
    if (GetParam().lines.empty()) {
        EXPECT_EQ(PreviewRun(ctx, before),
                  (Lines{"No change: start page", "No change: network cards"}));
    }

    Run();
    EXPECT_EQ(DescribeChanges(before, CaptureFor(scope)), predicted);
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, AdapterPreview,
    ::testing::Values(
        AdapterPreviewCase{
            "two fixed addresses and two servers",
            [](CRegistry, FakeNetworkMachine&) {},
            {"Card Seven addresses: DHCP -> 10.0.0.5/255.255.255.0, 10.1.0.5/255.255.0.0",
             "Card Seven gateway: DHCP -> 10.0.0.1",
             "Card Seven DNS servers: DHCP -> 10.0.0.2, fd00::53",
             "Card Seven DNS suffix: \"\" -> \"office.example\""}},
        AdapterPreviewCase{"DHCP with DNS from DHCP: only the suffix",
                           [](CRegistry r, FakeNetworkMachine&) {
                               r.WriteDword(kCardKey, "DHCP", 1, kRoot);
                               r.DeleteValue(kCardKey, "DNSServers", kRoot);
                               r.WriteDword(kCardKey, "DNS1", 0, kRoot);
                           },
                           {"Card Seven DNS suffix: \"\" -> \"office.example\""}},
        AdapterPreviewCase{"DHCP with servers of its own",
                           [](CRegistry r, FakeNetworkMachine&) {
                               r.WriteDword(kCardKey, "DHCP", 1, kRoot);
                               r.WriteDword(kCardKey, "DNSFromDHCP", 0, kRoot);
                           },
                           {"Card Seven DNS servers: DHCP -> 10.0.0.2, fd00::53",
                            "Card Seven DNS suffix: \"\" -> \"office.example\""}},
        AdapterPreviewCase{
            "kept disabled: disabled, and nothing set",
            [](CRegistry r, FakeNetworkMachine&) { r.WriteDword(kCardKey, "Disabled", 1, kRoot); },
            {"Card Seven: enabled -> disabled", "Card Seven addresses: DHCP -> (not listed)",
             "Card Seven gateway: DHCP -> (not listed)",
             "Card Seven DNS servers: DHCP -> (not listed)",
             "Card Seven DNS suffix: \"\" -> (not listed)"}},
        AdapterPreviewCase{"a disabled card enabled first, then set",
                           [](CRegistry, FakeNetworkMachine& m) { Disable(m, 0, "PCI\\VEN_7"); },
                           {"Card Seven: disabled -> enabled",
                            "Card Seven addresses: (not listed) -> 10.0.0.5/255.255.255.0, "
                            "10.1.0.5/255.255.0.0",
                            "Card Seven gateway: (not listed) -> 10.0.0.1",
                            "Card Seven DNS servers: (not listed) -> 10.0.0.2, fd00::53",
                            "Card Seven DNS suffix: (not listed) -> \"office.example\""}},
        AdapterPreviewCase{"fixed addresses without an address: not set",
                           [](CRegistry r, FakeNetworkMachine&) {
                               r.WriteDword(kCardKey, "IP", 0, kRoot);
                               r.DeleteValue(kCardKey, "MoreAddresses", kRoot);
                           },
                           {}}),
    [](const ::testing::TestParamInfo<AdapterPreviewCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST_F(CardsOnAdapters, UndoSetsTheAdaptersBackAndASecondUndoAsTheRunLeftThem)
{
    // Card Eight, disabled before, is enabled and set by the run.
    CRegistry reg = machine.registry;
    Disable(machine, 1, "PCI\\VEN_8");
    const std::string eightKey = kConfigKey + "\\0008";
    reg.WriteString(eightKey, "NIC", "true", kRoot);
    reg.WriteDword(eightKey, "Disabled", 0, kRoot);
    reg.WriteDword(eightKey, "DHCP", 1, kRoot);
    const CaptureScope scope = ScopeOfRun();
    const MachineState before = CaptureFor(scope);
    Run();
    const MachineState afterRun = CaptureFor(scope);
    ASSERT_EQ(DescribeChanges(before, afterRun).size(), 9u)
        << ::testing::PrintToString(DescribeChanges(before, afterRun));

    host.journal.clear();
    const UndoOutcome first = Undo();
    ASSERT_EQ(first.status, UndoStatus::Restored) << first.reason;
    EXPECT_EQ(DescribeChanges(before, CaptureFor(scope)), Lines());
    EXPECT_TRUE(host.Lines("error: ").empty()) << ::testing::PrintToString(host.journal);
    EXPECT_EQ(host.Lines("netsh: "), (Lines{"interface ipv4 set address name=7 source=dhcp",
                                            "interface ipv4 set dnsservers name=7 source=dhcp",
                                            "interface ipv6 set dnsservers name=17 source=dhcp"}));
    EXPECT_NE(std::find(host.journal.begin(), host.journal.end(), "device: 1 disable"),
              host.journal.end());
    RegistryValue written;
    EXPECT_FALSE(reg.ReadValue(TcpipInterfaceKey("{CARD-7}"), TcpipValue::kIpAddress, written,
                               RegistryRoot::LocalMachine))
        << "no interface key values on 10";

    ASSERT_EQ(Undo().status, UndoStatus::Restored);
    EXPECT_EQ(DescribeChanges(afterRun, CaptureFor(scope)), Lines());
    EXPECT_TRUE(host.Lines("error: ").empty());
}

TEST_F(CardsOnAdapters, AValueTheUndoCouldNotPutBackIsReportedAsTheRunReportsIt)
{
    Run();
    system.carriesOut = false;
    system.netshOutput["interface ipv4 set address name=7 source=dhcp"] = "Access is denied.\r\n";
    host.journal.clear();
    host.waits.clear();
    ASSERT_EQ(Undo().status, UndoStatus::Restored);
    // DNS from DHCP is not compared: DHCP's servers are none that was set.
    EXPECT_EQ(host.Lines("error: "),
              (Lines{"Card Seven: DHCP did not take: on -> off\n"
                     "netsh interface ipv4 set address name=7 source=dhcp: Access is denied."}));
    EXPECT_EQ(host.waits, std::vector<uint32_t>(20, 500)) << "the read-back's ten seconds";
}

// "New from current state" on 10: each card holds what its adapter shows
// and its GUID, and running the new configuration changes nothing.
TEST_F(CardsOnAdapters, TheCurrentStateAsAConfigurationHoldsWhatTheAdaptersShow)
{
    CRegistry reg = machine.registry;
    machine.AddCard("0009", "Card Nine", "{CARD-9}", "PCI\\VEN_9", /*enabled=*/false);
    system.adapters.push_back(Adapter("{CARD-9}", 9));
    const CaptureScope scope = CurrentStateScope(reg);
    const MachineState now = CaptureFor(scope);
    const NewConfigurationResult stored =
        StoreStateAsConfiguration(reg, kRoot, kNameCharacters, "Now", now);
    ASSERT_EQ(stored.status, NewConfigurationStatus::Done) << stored.message;
    const std::string key = ConfigurationKeyPath(stored.number);

    CardTcpip lease;
    lease.adapterGuid = "{CARD-7}";
    EXPECT_EQ(ReadCardTcpip(reg.OpenForReading(key + "\\0007", kRoot)), lease);
    EXPECT_EQ(ReadCardTcpip(reg.OpenForReading(key + "\\0008", kRoot)),
              Fixed({{Ip("172.16.0.8"), Ip("255.255.0.0")}}, Ip("172.16.0.1"), {"172.16.0.53"},
                    "eight.example", "{CARD-8}"));
    const COpenKey nine = reg.OpenForReading(key + "\\0009", kRoot);
    EXPECT_EQ(nine.ValueNames(), (Lines{"AdapterGUID", "Disabled", "NIC"}))
        << "of an adapter not listed only its GUID";
    EXPECT_EQ(nine.ReadDword("Disabled", 0), 1u);

    host.selectedText = "Now";
    RunSequence(reg, host, run).RunConfiguration();
    EXPECT_EQ(DescribeChanges(now, CaptureFor(scope)), Lines());
    EXPECT_TRUE(host.Lines("error: ").empty()) << ::testing::PrintToString(host.journal);
}

}  // namespace
}  // namespace flipset
