// The Location dialog's rules: what "Use the current network" fills in, and
// what OK refuses.

#include "editor/LocationRules.h"

#include "support/FakeNetworkObserver.h"

#include <gtest/gtest.h>

#include <string>

namespace flipset {
namespace {

const char* const kWired = "{11111111-2222-3333-4444-555555555555}";
const char* const kVpn = "{66666666-7777-8888-9999-AAAAAAAAAAAA}";
const HardwareAddress kGatewayMac = {0x02, 0xf1, 0x1b, 0x5e, 0xcb, 0x01};

// Loopback first (as Wine lists it), a card not connected, then the two
// connected cards: a VPN and the wired card that leads to the gateway.
NetworkObservation Machine()
{
    NetworkObservation machine;
    machine.adapters = {
        ObservedAdapter("{L}", true, {{0x7F000001, 0xFF000000}}, "office.example"),
        ObservedAdapter("{D}", false, {{0x0A010205, 0xFFFFFF00}}, "lab.example"),
        ObservedAdapter(kVpn, true, {{0x0A080002, 0xFFFFFF00}}, "vpn.example"),
        ObservedAdapter(kWired, true, {{0xAC100105, 0xFFFFF000}}, "office.example"),
    };
    machine.gateway = 0xAC100001;  // 172.16.0.1
    machine.gatewayHardwareAddress = kGatewayMac;
    machine.wifi = "Office Net";
    return machine;
}

TEST(LocationRules, TheCurrentNetworkIsTheAdapterThatLeadsToTheGateway)
{
    struct Case {
        const char* what;
        void (*change)(NetworkObservation&);
        LocationTexts expected;
    };
    const Case cases[] = {
        {"the gateway's adapter",
         [](NetworkObservation&) {},
         {"02-f1-1b-5e-cb-01", "172.16.0.0/20", "office.example", kWired, "Office Net"}},
        {"the gateway unresolved, no Wi-Fi",
         [](NetworkObservation& o) {
             o.gatewayHardwareAddress.reset();
             o.wifi.clear();
         },
         {"", "172.16.0.0/20", "office.example", kWired, ""}},
        {"no gateway: the first connected adapter beyond loopback",
         [](NetworkObservation& o) {
             o.gateway = 0;
             o.gatewayHardwareAddress.reset();
         },
         {"", "10.8.0.0/24", "vpn.example", kVpn, "Office Net"}},
        {"a mask that is no prefix gives no subnet",
         [](NetworkObservation& o) { o.adapters[3].addresses[0].mask = 0xFFFF00F0; },
         {"02-f1-1b-5e-cb-01", "", "office.example", kWired, "Office Net"}},
        {"nothing connected", [](NetworkObservation& o) { o = NetworkObservation{}; }, {}},
    };
    for (const Case& c : cases) {
        NetworkObservation observation = Machine();
        c.change(observation);
        const LocationTexts texts = CurrentNetworkTexts(observation);
        EXPECT_EQ(texts.gateway, c.expected.gateway) << c.what;
        EXPECT_EQ(texts.subnet, c.expected.subnet) << c.what;
        EXPECT_EQ(texts.dnsSuffix, c.expected.dnsSuffix) << c.what;
        EXPECT_EQ(texts.adapter, c.expected.adapter) << c.what;
        EXPECT_EQ(texts.wifi, c.expected.wifi) << c.what;
        // What it fills in is always acceptable.
        EXPECT_EQ(CheckLocationTexts(texts, LocationMode::Off).kind,
                  LocationInputProblem::Kind::None)
            << c.what;
    }
}

TEST(LocationRules, OkRefusesTheFirstBadTextAndALocationWithoutConditions)
{
    using Kind = LocationInputProblem::Kind;
    struct Case {
        LocationTexts texts;
        LocationMode mode;
        Kind kind;
        const char* valueName;
    };
    const Case cases[] = {
        {{"aa-bb-cc-dd-ee-ff", "10.1.0.0/16", "corp", "", ""},
         LocationMode::Switch,
         Kind::None,
         nullptr},
        {{"aa-bb-cc-dd-ee", "10.1.0.0/16", "", "", ""},
         LocationMode::Switch,
         Kind::BadText,
         "LocationGateway"},
        {{"", "10.1.0.0/99", "", "Ethernet", ""},
         LocationMode::AskFirst,
         Kind::BadText,
         "LocationSubnet"},
        {{"", "", "", "Ethernet", ""}, LocationMode::Off, Kind::BadText, "LocationAdapter"},
        {{"", "", "", "", std::string(33, 'w')},
         LocationMode::Switch,
         Kind::BadText,
         "LocationWifi"},
        {{" ", "", "  ", "", ""}, LocationMode::Switch, Kind::NoCondition, nullptr},
        {{"", "", "", "", ""}, LocationMode::Off, Kind::None, nullptr},
        {{"", "", "", "", " "}, LocationMode::AskFirst, Kind::None, nullptr},  // a name of a space
    };
    for (const Case& c : cases) {
        const LocationInputProblem problem = CheckLocationTexts(c.texts, c.mode);
        EXPECT_EQ(problem.kind, c.kind) << c.texts.gateway << c.texts.subnet << c.texts.adapter;
        if (c.valueName) {
            ASSERT_NE(problem.valueName, nullptr);
            EXPECT_STREQ(problem.valueName, c.valueName);
            EXPECT_FALSE(problem.reason.empty());
        }
    }
}

}  // namespace
}  // namespace flipset
