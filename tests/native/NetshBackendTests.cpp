// Setting a card on its live adapter: the netsh command lines and DNS calls
// a card becomes, the comparison that decides what did not take, the
// read-back, and the card loop over the adapters.
#include "engine/NetworkPhase.h"
#include "engine/RunSequence.h"
#include "network/CardReadBack.h"
#include "network/NetshBackend.h"
#include "network/NetshCommands.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeInterfaceConfigurator.h"
#include "support/FakePlatform.h"
#include "support/FakeRunHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

using Lines = std::vector<std::string>;

uint32_t Ip(const char* text)
{
    return ParseIpv4Number(text).value();
}

IpAddress Server(const char* text)
{
    return ParseIpAddress(text).value();
}

CardTcpip Static(std::vector<Ipv4WithMask> addresses, uint32_t gateway,
                 std::vector<std::string> dns = {})
{
    CardTcpip card;
    card.dhcp = false;
    card.addresses = std::move(addresses);
    card.gateway = gateway;
    card.dnsFromDhcp = false;
    card.dnsServers = std::move(dns);
    return card;
}

AdapterSnapshot Adapter(const std::string& guid, uint32_t index, uint32_t ipv6Index)
{
    AdapterSnapshot adapter;
    adapter.guid = guid;
    adapter.interfaceIndex = index;
    adapter.ipv6InterfaceIndex = ipv6Index;
    adapter.connected = true;
    return adapter;
}

// What the adapter shows once the card's values have all taken.
AdapterSnapshot Showing(AdapterSnapshot adapter, const CardTcpip& card)
{
    adapter.dhcp = card.dhcp;
    if (!card.dhcp) {
        adapter.addresses = card.addresses;
        adapter.gateways =
            card.gateway ? std::vector<uint32_t>{card.gateway} : std::vector<uint32_t>{};
    }
    adapter.dnsServers.clear();
    for (const std::string& text : card.dnsServers)
        adapter.dnsServers.push_back(Server(text.c_str()));
    return adapter;
}

TEST(NetshCommands, ACardBecomesAddressAndDnsCommandsNamingTheInterfaceByIndex)
{
    struct Case {
        const char* what;
        CardTcpip card;
        Lines address;
        Lines dns;
    };
    CardTcpip dhcp;
    CardTcpip dhcpWithServers = dhcp;
    dhcpWithServers.dnsFromDhcp = false;
    dhcpWithServers.dnsServers = {"10.0.0.53"};
    const Case cases[] = {
        {"one address with a gateway and two IPv4 servers",
         Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, Ip("10.1.2.1"),
                {"10.0.0.53", "10.0.0.54"}),
         {"interface ipv4 set address name=7 source=static address=10.1.2.3 mask=255.255.255.0 "
          "gateway=10.1.2.1 gwmetric=0"},
         {"interface ipv4 set dnsservers name=7 source=static address=10.0.0.53 register=primary "
          "validate=no",
          "interface ipv4 add dnsservers name=7 address=10.0.0.54 index=2 validate=no",
          "interface ipv6 set dnsservers name=9 source=static address=none register=primary "
          "validate=no"}},
        {"several addresses, no gateway, IPv4 and IPv6 servers mixed",
         Static({{Ip("10.1.2.3"), Ip("255.255.255.0")},
                 {Ip("172.16.0.9"), Ip("255.255.0.0")},
                 {Ip("192.168.7.7"), Ip("255.255.255.252")}},
                0, {"2001:DB8::53", "10.0.0.53", "fd00::1:53", "10.0.0.54"}),
         {"interface ipv4 set address name=7 source=static address=10.1.2.3 mask=255.255.255.0 "
          "gateway=none",
          "interface ipv4 add address name=7 address=172.16.0.9 mask=255.255.0.0",
          "interface ipv4 add address name=7 address=192.168.7.7 mask=255.255.255.252"},
         {"interface ipv4 set dnsservers name=7 source=static address=10.0.0.53 register=primary "
          "validate=no",
          "interface ipv4 add dnsservers name=7 address=10.0.0.54 index=2 validate=no",
          "interface ipv6 set dnsservers name=9 source=static address=2001:db8::53 "
          "register=primary validate=no",
          "interface ipv6 add dnsservers name=9 address=fd00::1:53 index=2 validate=no"}},
        {"fixed addresses and no server at all",
         Static({{Ip("10.1.2.3"), Ip("255.0.0.0")}}, 0),
         {"interface ipv4 set address name=7 source=static address=10.1.2.3 mask=255.0.0.0 "
          "gateway=none"},
         {"interface ipv4 set dnsservers name=7 source=static address=none register=primary "
          "validate=no",
          "interface ipv6 set dnsservers name=9 source=static address=none register=primary "
          "validate=no"}},
        {"DHCP with DNS from DHCP",
         dhcp,
         {"interface ipv4 set address name=7 source=dhcp"},
         {"interface ipv4 set dnsservers name=7 source=dhcp",
          "interface ipv6 set dnsservers name=9 source=dhcp"}},
        {"DHCP addresses with a server of its own",
         dhcpWithServers,
         {"interface ipv4 set address name=7 source=dhcp"},
         {"interface ipv4 set dnsservers name=7 source=static address=10.0.0.53 register=primary "
          "validate=no",
          "interface ipv6 set dnsservers name=9 source=static address=none register=primary "
          "validate=no"}},
        {"fixed addresses without an address: nothing to set",
         Static({{0, Ip("255.255.255.0")}}, 0),
         {},
         {"interface ipv4 set dnsservers name=7 source=static address=none register=primary "
          "validate=no",
          "interface ipv6 set dnsservers name=9 source=static address=none register=primary "
          "validate=no"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NetshAddressCommands(c.card, 7), c.address) << c.what;
        EXPECT_EQ(NetshDnsCommands(c.card, Adapter("{A}", 7, 9)), c.dns) << c.what;
    }
}

TEST(NetshCommands, AnAdapterWithoutIpv6GetsNoIpv6Commands)
{
    const CardTcpip card = Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, 0, {"fd00::53"});
    EXPECT_EQ(NetshDnsCommands(card, Adapter("{A}", 7, 0)),
              (Lines{"interface ipv4 set dnsservers name=7 source=static address=none "
                     "register=primary validate=no"}));
}

TEST(NetshCommands, TheDnsCallsCarryEachFamilysServersAndTheSuffixWithIpv4)
{
    CardTcpip card = Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, 0,
                            {"10.0.0.53", "FD00::53", "10.0.0.54", "not an address"});
    card.suffix = "corp.example";
    EXPECT_EQ(InterfaceDnsRequests(card), (std::vector<InterfaceDnsRequest>{
                                              {false, "10.0.0.53,10.0.0.54", true, "corp.example"},
                                              {true, "fd00::53", false, ""}}));

    CardTcpip dhcp;
    dhcp.dnsServers = {"10.0.0.53"};  // kept in the key, not used while DNS comes from DHCP
    EXPECT_EQ(InterfaceDnsRequests(dhcp),
              (std::vector<InterfaceDnsRequest>{{false, "", true, ""}, {true, "", false, ""}}));
}

TEST(CardReadBack, EachValueThatDiffersIsNamedAsWantedAndFound)
{
    const CardTcpip card =
        Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}, {Ip("10.9.9.9"), Ip("255.255.0.0")}},
               Ip("10.1.2.1"), {"10.0.0.53", "fd00::53"});
    const AdapterSnapshot taken = Showing(Adapter("{A}", 7, 7), card);
    struct Case {
        const char* what;
        void (*change)(AdapterSnapshot&);
        std::vector<ValueNotTaken> expected;
    };
    const Case cases[] = {
        {"everything taken", [](AdapterSnapshot&) {}, {}},
        {"the addresses in another order and Windows' own IPv6 servers still count as taken",
         [](AdapterSnapshot& a) {
             std::swap(a.addresses[0], a.addresses[1]);
             a.dnsServers.push_back(Server("fec0:0:0:ffff::1"));
         },
         {}},
        {"a mask that did not take",
         [](AdapterSnapshot& a) { a.addresses[1].mask = Ip("255.255.255.0"); },
         {{"addresses", "10.1.2.3/255.255.255.0, 10.9.9.9/255.255.0.0",
           "10.1.2.3/255.255.255.0, 10.9.9.9/255.255.255.0"}}},
        {"no gateway, and the adapter still on DHCP",
         [](AdapterSnapshot& a) {
             a.dhcp = true;
             a.gateways.clear();
         },
         {{"DHCP", "off", "on"}, {"gateway", "10.1.2.1", "none"}}},
        {"an old gateway left beside the new one",
         [](AdapterSnapshot& a) { a.gateways.push_back(Ip("10.1.2.254")); },
         {{"gateway", "10.1.2.1", "10.1.2.1, 10.1.2.254"}}},
        {"the DNS servers in another order",
         [](AdapterSnapshot& a) {
             a.dnsServers = {Server("fd00::53"), Server("10.0.0.53"), Server("10.0.0.99")};
         },
         {{"DNS servers", "10.0.0.53, fd00::53", "10.0.0.53, 10.0.0.99, fd00::53"}}},
        {"no address at all",
         [](AdapterSnapshot& a) { a.addresses.clear(); },
         {{"addresses", "10.1.2.3/255.255.255.0, 10.9.9.9/255.255.0.0", "none"}}},
    };
    for (const Case& c : cases) {
        AdapterSnapshot found = taken;
        c.change(found);
        EXPECT_EQ(CompareCardWithAdapter(card, found), c.expected) << c.what;
    }
}

TEST(CardReadBack, ADhcpCardIsJudgedByTheDhcpFlagAndItsOwnServersOnly)
{
    AdapterSnapshot found = Adapter("{A}", 7, 7);
    found.dhcp = true;
    found.addresses = {{Ip("192.168.1.50"), Ip("255.255.255.0")}};
    found.gateways = {Ip("192.168.1.1")};
    found.dnsServers = {Server("192.168.1.1")};
    const CardTcpip dhcp;
    EXPECT_TRUE(CompareCardWithAdapter(dhcp, found).empty());

    CardTcpip ownServer;
    ownServer.dnsFromDhcp = false;
    ownServer.dnsServers = {"10.0.0.53"};
    EXPECT_EQ(CompareCardWithAdapter(ownServer, found),
              (std::vector<ValueNotTaken>{{"DNS servers", "10.0.0.53", "192.168.1.1"}}));

    found.dhcp = false;
    EXPECT_EQ(CompareCardWithAdapter(dhcp, found),
              (std::vector<ValueNotTaken>{{"DHCP", "on", "off"}}));
}

TEST(CardReadBack, AnEntryThatIsNoAddressNeverCountsAsTaken)
{
    const CardTcpip card =
        Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, 0, {"10.0.0.53", "10.0.0.x"});
    AdapterSnapshot found = Showing(Adapter("{A}", 7, 7), Static(card.addresses, 0, {"10.0.0.53"}));
    EXPECT_EQ(CompareCardWithAdapter(card, found),
              (std::vector<ValueNotTaken>{{"DNS servers", "10.0.0.53, 10.0.0.x", "10.0.0.53"}}));
}

class ReadBackLoop : public ::testing::Test {
protected:
    const CardTcpip card = Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, Ip("10.1.2.1"));
    FakeInterfaceConfigurator system;
    std::vector<uint32_t> waits;
    std::vector<ValueNotTaken> ReadBack()
    {
        return ReadBackCard(system, "{a}", card, [this](uint32_t ms) {
            waits.push_back(ms);
            if (onWait)
                onWait();
        });
    }
    std::function<void()> onWait;
};

TEST_F(ReadBackLoop, ValuesThatShowAfterAWhileHaveTaken)
{
    system.adapters = {Adapter("{A}", 7, 7)};
    onWait = [this] {
        if (waits.size() == 3)
            system.adapters = {Showing(Adapter("{A}", 7, 7), card)};
    };
    EXPECT_TRUE(ReadBack().empty());
    EXPECT_EQ(waits, (std::vector<uint32_t>{500, 500, 500}));
    EXPECT_EQ(system.listCalls, 4);
}

TEST_F(ReadBackLoop, ValuesThatNeverShowAreReportedAfterTheDeadline)
{
    system.adapters = {Adapter("{A}", 7, 7)};
    const std::vector<ValueNotTaken> notTaken = ReadBack();
    EXPECT_EQ(notTaken, (std::vector<ValueNotTaken>{{"addresses", "10.1.2.3/255.255.255.0", "none"},
                                                    {"gateway", "10.1.2.1", "none"}}));
    EXPECT_EQ(waits, std::vector<uint32_t>(20, 500));
    EXPECT_EQ(NotTakenMessage("Ethernet", notTaken[1]),
              "Ethernet: gateway did not take: 10.1.2.1 -> none");
}

TEST_F(ReadBackLoop, AnAdapterThatIsGoneIsReported)
{
    EXPECT_EQ(ReadBack(), (std::vector<ValueNotTaken>{{"adapter", "{a}", "not listed"}}));
}

// The card's values on the adapter, through a fake system and registry.
class SetCardOnAdapterTest : public ::testing::Test, protected FakeNetworkMachine {
protected:
    SetCardOnAdapterTest() { system.journal = &journal; }
    std::string Domain() const
    {
        return registry.ReadString(
            "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{A}", "Domain",
            "(none)", RegistryRoot::LocalMachine);
    }
    CardTcpip Card() const
    {
        CardTcpip card = Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, 0, {"10.0.0.53"});
        card.suffix = "corp.example";
        return card;
    }
    Lines journal;
    FakeInterfaceConfigurator system;
    const AdapterSnapshot adapter = Adapter("{A}", 7, 0);
};

TEST_F(SetCardOnAdapterTest, WithTheDnsCallTheServersAndSuffixGoThroughIt)
{
    system.dnsCallAvailable = true;
    EXPECT_EQ(SetCardOnAdapter(registry, system, adapter, Card()), "");
    EXPECT_EQ(journal, (Lines{"netsh: interface ipv4 set address name=7 source=static "
                              "address=10.1.2.3 mask=255.255.255.0 gateway=none",
                              "dns: {A} ipv4 10.0.0.53 domain=corp.example", "dns: {A} ipv6 "}));
    EXPECT_EQ(Domain(), "(none)");
}

TEST_F(SetCardOnAdapterTest, WithoutTheDnsCallNetshSetsTheServersAndTheSuffixIsTheDomainValue)
{
    system.netshOutput["interface ipv4 add address name=7 address=10.9.9.9 mask=255.0.0.0"] =
        "The object already exists.\r\n\r\n";
    CardTcpip card = Card();
    card.addresses.push_back({Ip("10.9.9.9"), Ip("255.0.0.0")});
    EXPECT_EQ(SetCardOnAdapter(registry, system, adapter, card),
              "netsh interface ipv4 add address name=7 address=10.9.9.9 mask=255.0.0.0: The "
              "object already exists.");
    EXPECT_EQ(journal, (Lines{"netsh: interface ipv4 set address name=7 source=static "
                              "address=10.1.2.3 mask=255.255.255.0 gateway=none",
                              "netsh: interface ipv4 add address name=7 address=10.9.9.9 "
                              "mask=255.0.0.0",
                              "netsh: interface ipv4 set dnsservers name=7 source=static "
                              "address=10.0.0.53 register=primary validate=no"}));
    EXPECT_EQ(Domain(), "corp.example");
}

TEST_F(SetCardOnAdapterTest, AFailedDnsCallIsSaidAndNetshTakesOver)
{
    system.dnsCallAvailable = true;
    system.dnsCallResult = DnsCallResult::Failed;
    EXPECT_EQ(SetCardOnAdapter(registry, system, adapter, Card()),
              "SetInterfaceDnsSettings failed with 87");
    EXPECT_EQ(journal.back(),
              "netsh: interface ipv4 set dnsservers name=7 source=static "
              "address=10.0.0.53 register=primary validate=no");
    EXPECT_EQ(Domain(), "corp.example");
}

// The card loop on the live adapters.
const std::string kConfigurations = "Software\\Quillon\\Flipset\\Configurations";

class NetworkPhaseOnAdaptersTest : public ::testing::Test, protected FakeNetworkMachine {
protected:
    NetworkPhaseOnAdaptersTest()
    {
        host.selectedText = "Office";
        registry.WriteString(kConfigurations + "\\1", "Name", "Office", RegistryRoot::LocalMachine);
        devices.journal = &host.journal;
        system.journal = &host.journal;
        // The system takes every request: the adapter shows the card's values.
        system.onRequest = [this](FakeInterfaceConfigurator& s) {
            for (AdapterSnapshot& adapter : s.adapters) {
                const auto wanted = takes.find(adapter.guid);
                if (wanted != takes.end())
                    adapter = Showing(adapter, wanted->second);
            }
        };
    }
    void TearDown() override { EXPECT_EQ(devices.openLists, 0); }

    std::string CardKey(const std::string& card) const { return kConfigurations + "\\1\\" + card; }
    void AddStaticCard(const std::string& card, int disabled, const char* address) const
    {
        const std::string key = CardKey(card);
        registry.WriteString(key, "NIC", "true", RegistryRoot::LocalMachine);
        if (disabled >= 0)
            registry.WriteDword(key, "Disabled", static_cast<uint32_t>(disabled),
                                RegistryRoot::LocalMachine);
        registry.WriteDword(key, "DHCP", 0, RegistryRoot::LocalMachine);
        registry.WriteDword(key, "IP", Ip(address), RegistryRoot::LocalMachine);
        registry.WriteDword(key, "Netmask", Ip("255.255.255.0"), RegistryRoot::LocalMachine);
    }
    void Run()
    {
        RunContext ctx(registry, host);
        RunNetworkPhaseOnAdapters(ctx, devices, system);
    }
    static Lines WithoutWaits(const Lines& journal)
    {
        Lines kept;
        for (const std::string& line : journal) {
            if (line != "wait: 500")
                kept.push_back(line);
        }
        return kept;
    }

    FakeRunHost host;
    FakeInterfaceConfigurator system;
    std::map<std::string, CardTcpip> takes;
};

TEST_F(NetworkPhaseOnAdaptersTest, ACardIsEnabledFirstThenSetAndACardThatStaysDisabledIsNotSet)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000", /*enabled=*/false);
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001");
    AddStaticCard("1", 0, "10.1.2.3");
    AddStaticCard("2", 1, "10.7.7.7");
    system.adapters = {Adapter("{A}", 7, 0), Adapter("{B}", 8, 0)};
    takes["{A}"] = Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, 0);

    Run();

    EXPECT_EQ(host.journal,
              (Lines{"caption: Setting NIC A", "device: 0 enable", "wait: 3000",
                     "netsh: interface ipv4 set address name=7 source=static address=10.1.2.3 "
                     "mask=255.255.255.0 gateway=none",
                     "netsh: interface ipv4 set dnsservers name=7 source=static address=none "
                     "register=primary validate=no",
                     "caption: Setting NIC B", "device: 1 disable"}));
}

TEST_F(NetworkPhaseOnAdaptersTest, ValuesThatDidNotTakeAreOneErrorNamingTheCardWithWhatNetshSaid)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddStaticCard("1", 0, "10.1.2.3");
    system.adapters = {Adapter("{A}", 7, 0)};
    system.onRequest = nullptr;  // the system changes nothing
    system.netshOutput
        ["interface ipv4 set address name=7 source=static address=10.1.2.3 "
         "mask=255.255.255.0 gateway=none"] = "Access is denied.\r\n";

    Run();

    EXPECT_EQ(WithoutWaits(host.journal).back(),
              "error: NIC A: addresses did not take: 10.1.2.3/255.255.255.0 -> none\n"
              "netsh interface ipv4 set address name=7 source=static address=10.1.2.3 "
              "mask=255.255.255.0 gateway=none: Access is denied.");
    EXPECT_EQ(host.waits, std::vector<uint32_t>(20, 500)) << "ten seconds of read-back, no more";
}

TEST_F(NetworkPhaseOnAdaptersTest, ACardWithoutItsAdapterOrAnAddressIsNamedAndSkipped)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001");
    AddCard("3", "NIC C", "{C}", "ROOT\\NET\\0002");
    AddStaticCard("1", 0, "10.1.2.3");
    AddStaticCard("2", 0, "0.0.0.0");
    AddStaticCard("3", 0, "10.3.3.3");
    system.adapters = {Adapter("{B}", 8, 0), Adapter("{C}", 9, 0)};
    takes["{C}"] = Static({{Ip("10.3.3.3"), Ip("255.255.255.0")}}, 0);

    Run();

    const Lines journal = host.journal;
    EXPECT_EQ(Lines(journal.begin(), journal.begin() + 5),
              (Lines{"caption: Setting NIC A",
                     "error: NIC A: its adapter {A} is not present; the card was not set",
                     "caption: Setting NIC B",
                     "error: NIC B: fixed addresses without an address; the card was not set",
                     "caption: Setting NIC C"}));
    EXPECT_EQ(journal.back(),
              "netsh: interface ipv4 set dnsservers name=9 source=static "
              "address=none register=primary validate=no");
}

// The card numbers changed since the configuration was made: its key "1"
// stores the GUID of the adapter that is card 2 now.
TEST_F(NetworkPhaseOnAdaptersTest, TheStoredGuidFindsItsAdapterWhereverItsCardIsNow)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001", /*enabled=*/false);
    AddStaticCard("1", 0, "10.1.2.3");
    registry.WriteString(CardKey("1"), "AdapterGUID", "{b}", RegistryRoot::LocalMachine);
    system.adapters = {Adapter("{A}", 7, 0), Adapter("{B}", 8, 0)};
    takes["{B}"] = Static({{Ip("10.1.2.3"), Ip("255.255.255.0")}}, 0);

    Run();

    EXPECT_EQ(Lines(host.journal.begin(), host.journal.begin() + 4),
              (Lines{"caption: Setting NIC B", "device: 1 enable", "wait: 3000",
                     "netsh: interface ipv4 set address name=8 source=static address=10.1.2.3 "
                     "mask=255.255.255.0 gateway=none"}));
}

// Which card loop a run takes goes by the major version: the interface key
// below 10 (6 has none at all), the live adapters from 10 on.
TEST(NetworkPhaseByVersion, TenSetsTheAdaptersAndFiveStillWritesTheInterfaceKey)
{
    for (uint32_t major : {5u, 10u}) {
        FakeNetworkMachine machine;
        FakeRunHost host;
        FakeRunPlatform platform{host.journal, machine.devices};
        platform.system.majorVersion = major;
        FakeInterfaceConfigurator interfaces;
        interfaces.journal = &host.journal;
        interfaces.adapters = {Adapter("{A}", 7, 0)};
        host.selectedText = "Office";
        host.options = {{Area::Network, true}};
        machine.registry.WriteString(kConfigurations + "\\1", "Name", "Office",
                                     RegistryRoot::LocalMachine);
        machine.AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
        machine.registry.WriteDword(kConfigurations + "\\1\\1", "Disabled", 0,
                                    RegistryRoot::LocalMachine);

        const RunPlatform run = platform.WithInterfaces(interfaces);
        RunSequence(machine.registry, host, run).RunConfiguration();

        // The live path writes only the suffix there ("Domain"), never the
        // addresses.
        const uint32_t enableDhcp = machine.registry.ReadDword(
            "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{A}", "EnableDHCP",
            0xDEAD, RegistryRoot::LocalMachine);
        EXPECT_EQ(enableDhcp != 0xDEAD, major == 5) << major;
        EXPECT_EQ(interfaces.listCalls > 0, major == 10) << major;
        EXPECT_EQ(host.Lines("netsh: ").empty(), major == 5) << major;
    }
}

}  // namespace
}  // namespace flipset
