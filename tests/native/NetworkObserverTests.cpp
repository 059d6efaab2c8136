// What an observer makes of the system's tables: which default gateway
// counts, and whose hardware address is the gateway's.

#include "network/NetworkObserver.h"

#include "support/FakeNetworkObserver.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace flipset {
namespace {

// Two adapters: "wired" (luid 1, interface metric 25) and "wireless"
// (luid 2, interface metric 50), each with its gateway.
constexpr uint32_t kWiredGateway = 0x0A010001;     // 10.1.0.1
constexpr uint32_t kWirelessGateway = 0xC0A80101;  // 192.168.1.1
constexpr uint32_t kTunnelGateway = 0x0A080001;    // 10.8.0.1
const HardwareAddress kWiredMac = {0x02, 0, 0, 0, 0, 0x01};
const HardwareAddress kWirelessMac = {0x02, 0, 0, 0, 0, 0x02};

NetworkTables Tables()
{
    NetworkTables tables;
    AdapterSnapshot wired = ObservedAdapter("{W}", true, {{0x0A010203, 0xFFFF0000}}, "corp");
    wired.luid = 1;
    wired.ipv4Metric = 25;
    wired.gateways = {kWiredGateway};
    AdapterSnapshot wireless = ObservedAdapter("{L}", true, {{0xC0A80105, 0xFFFFFF00}}, "home");
    wireless.luid = 2;
    wireless.ipv4Metric = 50;
    wireless.gateways = {kWirelessGateway};
    tables.adapters = {wired, wireless};
    tables.neighbours = {{1, kWiredGateway, kWiredMac}, {2, kWirelessGateway, kWirelessMac}};
    tables.wifi = "Home Net";
    return tables;
}

TEST(NetworkObserver, TheDefaultGatewayIsTheLowestMetricRouteOnAConnectedAdapter)
{
    struct Case {
        const char* what;
        std::vector<DefaultRoute> routes;
        void (*change)(NetworkTables&);
        uint32_t gateway;
        std::optional<HardwareAddress> hardware;
    };
    const auto none = [](NetworkTables&) {};
    const Case cases[] = {
        {"lower route metric",
         {{1, kWiredGateway, 40}, {2, kWirelessGateway, 0}},
         none,
         kWirelessGateway,
         kWirelessMac},
        {"the interface metric counts",
         {{1, kWiredGateway, 0}, {2, kWirelessGateway, 0}},
         none,
         kWiredGateway,
         kWiredMac},
        {"equal metrics: the first listed",
         {{2, kWirelessGateway, 0}, {1, kWiredGateway, 25}},
         none,
         kWirelessGateway,
         kWirelessMac},
        {"a tunnel without a next hop is no gateway",
         {{1, kWiredGateway, 10}, {3, 0, 0}},
         [](NetworkTables& t) {
             AdapterSnapshot tunnel = ObservedAdapter("{T}", true, {}, "");
             tunnel.luid = 3;
             t.adapters.push_back(tunnel);
         },
         kWiredGateway,
         kWiredMac},
        {"a tunnel with one is",
         {{1, kWiredGateway, 10}, {3, kTunnelGateway, 0}},
         [](NetworkTables& t) {
             AdapterSnapshot tunnel = ObservedAdapter("{T}", true, {}, "");
             tunnel.luid = 3;
             t.adapters.push_back(tunnel);
         },
         kTunnelGateway,
         std::nullopt},
        {"a route of an adapter not connected",
         {{1, kWiredGateway, 10}, {2, kWirelessGateway, 0}},
         [](NetworkTables& t) { t.adapters[1].connected = false; },
         kWiredGateway,
         kWiredMac},
        {"a route of an adapter not listed",
         {{9, kWirelessGateway, 0}, {1, kWiredGateway, 5}},
         none,
         kWiredGateway,
         kWiredMac},
        {"no route table: the first connected adapter's gateway",
         {},
         [](NetworkTables& t) { t.adapters[0].connected = false; },
         kWirelessGateway,
         kWirelessMac},
        {"no route and no gateway",
         {},
         [](NetworkTables& t) {
             t.adapters[0].gateways.clear();
             t.adapters[1].gateways.clear();
         },
         0,
         std::nullopt},
        {"unresolved",
         {{1, kWiredGateway, 0}},
         [](NetworkTables& t) { t.neighbours.clear(); },
         kWiredGateway,
         std::nullopt},
        {"resolved on another adapter only",
         {{1, kWiredGateway, 0}},
         [](NetworkTables& t) {
             t.neighbours = {{2, kWiredGateway, kWirelessMac}};
         },
         kWiredGateway,
         std::nullopt},
        {"an entry of zeros",
         {{1, kWiredGateway, 0}},
         [](NetworkTables& t) {
             t.neighbours = {{1, kWiredGateway, HardwareAddress{}}};
         },
         kWiredGateway,
         std::nullopt},
    };
    for (const Case& c : cases) {
        NetworkTables tables = Tables();
        tables.defaultRoutes = c.routes;
        c.change(tables);
        const NetworkObservation observation = ObservationOf(tables);
        EXPECT_EQ(observation.gateway, c.gateway) << c.what;
        EXPECT_EQ(observation.gatewayHardwareAddress, c.hardware) << c.what;
        EXPECT_EQ(observation.adapters.size(), tables.adapters.size()) << c.what;
        EXPECT_EQ(observation.wifi, "Home Net") << c.what;
    }
}

TEST(NetworkObserver, TheObservationIsWhatTheLocationsAreMatchedAgainst)
{
    NetworkTables tables = Tables();
    tables.defaultRoutes = {{1, kWiredGateway, 0}};
    Location office;
    office.mode = LocationMode::Switch;
    office.gateway = kWiredMac;
    office.dnsSuffix = "corp";
    Location home = office;
    home.gateway = kWirelessMac;
    EXPECT_EQ(MatchLocations({{"Office", office}, {"Home", home}}, ObservationOf(tables)),
              std::vector<std::string>{"Office"});
}

TEST(NetworkObserver, OnlyWhatTheLocationsLookAtIsRead)
{
    struct Case {
        const char* what;
        void (*set)(Location&);
        ObservationNeeds needs;
    };
    const Case cases[] = {
        {"a gateway", [](Location& l) { l.gateway = kWiredMac; }, {false, true, false}},
        {"a subnet",
         [](Location& l) {
             l.subnet = Ipv4Subnet{0x0A010000, 16};
         },
         {true, false, false}},
        {"a suffix", [](Location& l) { l.dnsSuffix = "corp"; }, {true, false, false}},
        {"an adapter", [](Location& l) { l.adapterGuid = "{W}"; }, {true, false, false}},
        {"a Wi-Fi network", [](Location& l) { l.wifi = "Home Net"; }, {false, false, true}},
        {"off",
         [](Location& l) {
             l.mode = LocationMode::Off;
             l.wifi = "Home Net";
         },
         {false, false, false}},
        {"a fault",
         [](Location& l) {
             l.wifi = "Home Net";
             l.faults.push_back({"LocationSubnet", "10.1"});
         },
         {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NamedLocation named{"A", {}};
        named.location.mode = LocationMode::Switch;
        c.set(named.location);
        EXPECT_EQ(NeedsOf({named}), c.needs);

        // What is not needed is absent, as an observer that did not read it
        // leaves it.
        NetworkObservation all = ObservationOf(Tables());
        all.gatewayHardwareAddress = kWiredMac;
        const NetworkObservation only = OnlyWhatIsNeeded(all, c.needs);
        EXPECT_EQ(only.adapters.empty(), !c.needs.adapters);
        EXPECT_EQ(only.gatewayHardwareAddress.has_value(), c.needs.gateway);
        EXPECT_EQ(only.wifi.empty(), !c.needs.wifi);
        // The location holds on what was read as on everything.
        EXPECT_EQ(LocationHolds(named.location, only), LocationHolds(named.location, all));
    }
    NamedLocation wifi{"W", {}};
    wifi.location.mode = LocationMode::AskFirst;
    wifi.location.wifi = "Home Net";
    NamedLocation subnet{"S", {}};
    subnet.location.mode = LocationMode::Switch;
    subnet.location.subnet = Ipv4Subnet{0x0A010000, 16};
    EXPECT_EQ(NeedsOf({wifi, subnet}), (ObservationNeeds{true, false, true})) << "together";
}

// Tables that count their reads.
class CountingTables : public NetworkTableReader {
public:
    NetworkTables tables = Tables();
    int adapterReads = 0;
    int routeReads = 0;
    int neighbourReads = 0;
    int wifiReads = 0;

    std::vector<AdapterSnapshot> ReadAdapters() override
    {
        ++adapterReads;
        return tables.adapters;
    }
    std::vector<DefaultRoute> ReadDefaultRoutes() override
    {
        ++routeReads;
        return tables.defaultRoutes;
    }
    std::vector<Neighbour> ReadNeighbours() override
    {
        ++neighbourReads;
        return tables.neighbours;
    }
    std::string ReadWifi() override
    {
        ++wifiReads;
        return tables.wifi;
    }
};

TEST(TableNetworkObserver, ReadsOnlyWhatIsNeededAndTheAdaptersOnlyWhenTheRoutesMoved)
{
    const ObservationNeeds gatewayOnly{false, true, false};
    struct Case {
        const char* what;
        ObservationNeeds needs;
        // Between the first observation and the second: the change.
        void (*change)(NetworkTables&);
        int adapterReads;  // over both
    };
    const auto none = [](NetworkTables&) {};
    const Case cases[] = {
        {"the same routes", gatewayOnly, none, 1},
        {"a route's metric changed", gatewayOnly,
         [](NetworkTables& t) { t.defaultRoutes[1].metric = 5; }, 2},
        {"a route gone", gatewayOnly, [](NetworkTables& t) { t.defaultRoutes.pop_back(); }, 2},
        {"no route: the adapters' own gateways", gatewayOnly,
         [](NetworkTables& t) { t.defaultRoutes.clear(); }, 2},
        {"the adapters are needed too", {true, true, false}, none, 2},
        {"the adapters alone", {true, false, false}, none, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountingTables counting;
        counting.tables.defaultRoutes = {{1, kWiredGateway, 10}, {2, kWirelessGateway, 10}};
        TableNetworkObserver observer(counting);
        observer.Observe(c.needs);
        c.change(counting.tables);
        const NetworkObservation second = observer.Observe(c.needs);
        EXPECT_EQ(counting.adapterReads, c.adapterReads);
        EXPECT_EQ(counting.routeReads, c.needs.gateway ? 2 : 0);
        EXPECT_EQ(counting.neighbourReads, c.needs.gateway ? 2 : 0);
        EXPECT_EQ(counting.wifiReads, 0);
        // Reused or read again, the gateway is the one a fresh reading gives.
        const NetworkObservation fresh = OnlyWhatIsNeeded(ObservationOf(counting.tables), c.needs);
        EXPECT_EQ(second.gateway, fresh.gateway);
        EXPECT_EQ(second.gatewayHardwareAddress, fresh.gatewayHardwareAddress);
        EXPECT_EQ(second.adapters.size(), fresh.adapters.size());
    }

    CountingTables counting;
    counting.tables.defaultRoutes = {{1, kWiredGateway, 10}};
    TableNetworkObserver observer(counting);
    for (int i = 0; i <= kAdapterReuses; ++i)
        observer.Observe(gatewayOnly);
    EXPECT_EQ(counting.adapterReads, 1);
    observer.Observe(gatewayOnly);
    EXPECT_EQ(counting.adapterReads, 2) << "read again after kAdapterReuses reuses";
    observer.Observe(ObservationNeeds{false, false, true});
    EXPECT_EQ(counting.wifiReads, 1);
    EXPECT_EQ(counting.routeReads, kAdapterReuses + 2) << "the Wi-Fi alone reads nothing else";
}

}  // namespace
}  // namespace flipset
