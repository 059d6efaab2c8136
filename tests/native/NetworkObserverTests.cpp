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

}  // namespace
}  // namespace flipset
