// A configuration's location: the texts of its conditions, what is read
// from a configuration key, and which locations hold for what the machine
// shows.

#include "network/Location.h"

#include "support/FakeNetworkObserver.h"
#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace flipset {
namespace {

TEST(Location, HardwareAddressTexts)
{
    const HardwareAddress kAddress = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xef};
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"00-1a-2b-3c-4d-ef", true},  {"00-1A-2B-3C-4D-EF", true},
        {"00:1a:2b:3C:4d:Ef", true},  {"  00-1a-2b-3c-4d-ef\t", true},
        {"00-1a:2b-3c-4d-ef", false},  // one separator throughout
        {"00.1a.2b.3c.4d.ef", false}, {"001a2b3c4def", false},
        {"00-1a-2b-3c-4d", false},    {"00-1a-2b-3c-4d-ef-01", false},
        {"0-1a-2b-3c-4d-eff", false}, {"00-1a-2b-3c-4d-eg", false},
        {"00-1a-2b-3c-4d-e", false},  {"", false},
    };
    for (const Case& c : cases) {
        const std::optional<HardwareAddress> parsed = ParseHardwareAddress(c.text);
        EXPECT_EQ(parsed.has_value(), c.valid) << c.text;
        if (c.valid && parsed) {
            EXPECT_EQ(*parsed, kAddress) << c.text;
        }
    }
    // Zeros are what an unresolved neighbour shows: no location may name them.
    EXPECT_FALSE(ParseHardwareAddress("00-00-00-00-00-00"));
    EXPECT_EQ(FormatHardwareAddress(kAddress), "00-1a-2b-3c-4d-ef");
}

TEST(Location, SubnetTexts)
{
    struct Case {
        const char* text;
        std::optional<Ipv4Subnet> expected;
    };
    const Case cases[] = {
        {"10.1.0.0/16", Ipv4Subnet{0x0A010000, 16}},
        {" 192.168.1.0/24 ", Ipv4Subnet{0xC0A80100, 24}},
        {"10.1.2.3/16", Ipv4Subnet{0x0A010000, 16}},  // bits past the prefix dropped
        {"10.1.2.3/32", Ipv4Subnet{0x0A010203, 32}},
        {"128.0.0.0/1", Ipv4Subnet{0x80000000, 1}},
        {"0.0.0.0/0", std::nullopt},  // would hold on every network
        {"10.1.0.0/33", std::nullopt},
        {"10.1.0.0/016", std::nullopt},
        {"10.1.0.0/", std::nullopt},
        {"10.1.0.0", std::nullopt},
        {"10.1.0/16", std::nullopt},
        {"010.1.0.0/16", std::nullopt},
        {"256.1.0.0/16", std::nullopt},
        {"10.1.0.0/16x", std::nullopt},
        {"10.1.0.0/-1", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSubnet(c.text), c.expected) << c.text;
    EXPECT_EQ(FormatSubnet({0x0A010000, 16}), "10.1.0.0/16");

    const Ipv4Subnet subnet{0x0A010000, 16};
    EXPECT_TRUE(SubnetContains(subnet, 0x0A01FFFE));
    EXPECT_FALSE(SubnetContains(subnet, 0x0A020001));
    EXPECT_TRUE(SubnetContains({0x0A010203, 32}, 0x0A010203));
    EXPECT_FALSE(SubnetContains({0x0A010203, 32}, 0x0A010204));
}

// The machine: one connected card in 10.1.0.0/16 with the suffix
// "corp.example", one card not connected in 172.16.0.0/12 with the suffix
// "lab.example", a resolved gateway and a Wi-Fi network.
const HardwareAddress kGateway = {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
const char* const kConnectedGuid = "{11111111-2222-3333-4444-555555555555}";
const char* const kDisconnectedGuid = "{66666666-7777-8888-9999-AAAAAAAAAAAA}";

NetworkObservation Machine()
{
    NetworkObservation machine;
    machine.adapters.push_back(
        ObservedAdapter(kConnectedGuid, true, {{0x0A010203, 0xFFFF0000}}, "corp.example"));
    machine.adapters.push_back(
        ObservedAdapter(kDisconnectedGuid, false, {{0xAC100001, 0xFFF00000}}, "lab.example"));
    machine.gateway = 0x0A010001;
    machine.gatewayHardwareAddress = kGateway;
    machine.wifi = "Office Net";
    return machine;
}

Location Switching()
{
    Location location;
    location.mode = LocationMode::Switch;
    return location;
}

TEST(Location, EachConditionHoldsOnlyForWhatIsConnected)
{
    struct Case {
        const char* what;
        Location location;
        bool holds;
    };
    const auto with = [](auto set) {
        Location location = Switching();
        set(location);
        return location;
    };
    const Case cases[] = {
        {"gateway", with([](Location& l) { l.gateway = kGateway; }), true},
        {"other gateway",
         with([](Location& l) { l.gateway = HardwareAddress{0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0x00}; }),
         false},
        {"subnet", with([](Location& l) {
             l.subnet = Ipv4Subnet{0x0A010000, 16};
         }),
         true},
        {"narrower subnet", with([](Location& l) {
             l.subnet = Ipv4Subnet{0x0A010300, 24};
         }),
         false},
        {"subnet of a card not connected", with([](Location& l) {
             l.subnet = Ipv4Subnet{0xAC100000, 12};
         }),
         false},
        {"suffix in another case", with([](Location& l) { l.dnsSuffix = "CORP.Example"; }), true},
        {"suffix of a card not connected", with([](Location& l) { l.dnsSuffix = "lab.example"; }),
         false},
        {"adapter in another case",
         with([](Location& l) { l.adapterGuid = "{11111111-2222-3333-4444-555555555555}"; }), true},
        {"adapter not connected", with([](Location& l) { l.adapterGuid = kDisconnectedGuid; }),
         false},
        {"Wi-Fi", with([](Location& l) { l.wifi = "Office Net"; }), true},
        {"Wi-Fi names keep their case", with([](Location& l) { l.wifi = "office net"; }), false},
        {"all five", with([](Location& l) {
             l.gateway = kGateway;
             l.subnet = Ipv4Subnet{0x0A010000, 16};
             l.dnsSuffix = "corp.example";
             l.adapterGuid = kConnectedGuid;
             l.wifi = "Office Net";
         }),
         true},
        {"one of several fails", with([](Location& l) {
             l.gateway = kGateway;
             l.subnet = Ipv4Subnet{0x0A010000, 16};
             l.wifi = "Home";
         }),
         false},
        {"no condition", Switching(), false},
        {"mode off", with([](Location& l) {
             l.mode = LocationMode::Off;
             l.wifi = "Office Net";
         }),
         false},
        {"a fault beside a condition that holds", with([](Location& l) {
             l.wifi = "Office Net";
             l.faults.push_back({"LocationSubnet", "10.1.0.0"});
         }),
         false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocationHolds(c.location, Machine()), c.holds) << c.what;

    NetworkObservation unresolved = Machine();
    unresolved.gatewayHardwareAddress.reset();
    Location gateway = Switching();
    gateway.gateway = kGateway;
    EXPECT_FALSE(LocationHolds(gateway, unresolved));
    NetworkObservation noWifi = Machine();
    noWifi.wifi.clear();
    Location wifi = Switching();
    wifi.wifi = "Office Net";
    EXPECT_FALSE(LocationHolds(wifi, noWifi));
}

TEST(Location, TheMostConditionsWinAndATieNamesEveryOneTied)
{
    Location wifi = Switching();
    wifi.wifi = "Office Net";
    Location gateway = Switching();
    gateway.gateway = kGateway;
    Location both = wifi;
    both.gateway = kGateway;
    Location elsewhere = Switching();
    elsewhere.wifi = "Home";
    elsewhere.dnsSuffix = "corp.example";
    elsewhere.gateway = kGateway;

    struct Case {
        std::vector<NamedLocation> locations;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {{}, {}},
        {{{"Home", elsewhere}}, {}},
        {{{"Office", wifi}}, {"Office"}},
        {{{"Office", wifi}, {"Desk", both}, {"Home", elsewhere}}, {"Desk"}},
        {{{"Desk", both}, {"Office", wifi}}, {"Desk"}},
        {{{"Office", wifi}, {"Home", elsewhere}, {"Lab", gateway}}, {"Office", "Lab"}},
    };
    for (const Case& c : cases) {
        std::string names;
        for (const NamedLocation& named : c.locations)
            names += named.configuration + " ";
        EXPECT_EQ(MatchLocations(c.locations, Machine()), c.expected) << names;
    }
}

// The stored values, read from a configuration key.
class StoredLocationTest : public ::testing::Test {
protected:
    // Spelled out here rather than taken from the code: this is stored data.
    const std::string kKey = "Software\\Quillon\\Flipset\\Configurations\\4";
    static constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;

    StoredLocationTest() { registry.WriteString(kKey, "Name", "Office", kRoot); }

    Location Read() const { return ReadLocation(registry.OpenForReading(kKey, kRoot)); }
    void Store(const char* name, const std::string& text) const
    {
        registry.WriteString(kKey, name, text, kRoot);
    }
    void StoreMode(uint32_t mode) const { registry.WriteDword(kKey, "LocationMode", mode, kRoot); }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(StoredLocationTest, EveryConditionIsReadWithItsMode)
{
    Store("LocationGateway", "AA:BB:CC:DD:EE:FF");
    Store("LocationSubnet", "10.1.0.0/16");
    Store("LocationDnsSuffix", " corp.example ");
    Store("LocationAdapter", kConnectedGuid);
    Store("LocationWifi", " Office Net");
    for (const auto& [stored, mode] :
         {std::pair{1u, LocationMode::AskFirst}, std::pair{2u, LocationMode::Switch}}) {
        StoreMode(stored);
        const Location location = Read();
        EXPECT_EQ(location.mode, mode);
        EXPECT_EQ(location.gateway, kGateway);
        EXPECT_EQ(location.subnet, (Ipv4Subnet{0x0A010000, 16}));
        EXPECT_EQ(location.dnsSuffix, "corp.example");
        EXPECT_EQ(location.adapterGuid, kConnectedGuid);
        EXPECT_EQ(location.wifi, " Office Net");  // spaces may belong to a network's name
        EXPECT_TRUE(location.faults.empty());
        EXPECT_EQ(location.ConditionCount(), 5u);
    }
}

TEST_F(StoredLocationTest, NoModeOrModeOffIsNoLocation)
{
    Store("LocationWifi", "Office Net");
    EXPECT_EQ(Read().mode, LocationMode::Off);
    EXPECT_FALSE(Read().CanHold());
    StoreMode(0);
    EXPECT_EQ(Read().mode, LocationMode::Off);
    EXPECT_TRUE(Read().faults.empty());
    StoreMode(2);
    EXPECT_TRUE(Read().CanHold());
}

TEST_F(StoredLocationTest, AMalformedValueIsNamedAndTheLocationNeverHolds)
{
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"LocationGateway", "aa-bb-cc-dd-ee"},
        {"LocationGateway", "00-00-00-00-00-00"},
        {"LocationSubnet", "10.1.0.0"},
        {"LocationSubnet", "10.1.0.0/0"},
        {"LocationAdapter", "11111111-2222-3333-4444-555555555555"},
        {"LocationAdapter", "{Local Area Connection}"},
        {"LocationWifi", std::string(33, 'w')},
    };
    for (const Case& c : cases) {
        MemoryRegistryBackend freshBackend;
        CRegistry fresh(freshBackend);
        fresh.WriteDword(kKey, "LocationMode", 2, kRoot);
        // A condition that holds beside the fault: the fault still wins.
        fresh.WriteString(kKey, "LocationDnsSuffix", "corp.example", kRoot);
        fresh.WriteString(kKey, c.name, c.text, kRoot);
        const Location location = ReadLocation(fresh.OpenForReading(kKey, kRoot));
        ASSERT_EQ(location.faults.size(), 1u) << c.name << " " << c.text;
        EXPECT_STREQ(location.faults[0].valueName, c.name);
        EXPECT_EQ(location.faults[0].storedText, c.text);
        EXPECT_FALSE(LocationHolds(location, Machine())) << c.name << " " << c.text;
    }
}

TEST_F(StoredLocationTest, AModeThatIsNoModeIsAFault)
{
    Store("LocationWifi", "Office Net");
    StoreMode(3);
    Location location = Read();
    ASSERT_EQ(location.faults.size(), 1u);
    EXPECT_STREQ(location.faults[0].valueName, "LocationMode");
    EXPECT_EQ(location.faults[0].storedText, "3");
    EXPECT_FALSE(LocationHolds(location, Machine()));

    registry.OpenForWriting(kKey, kRoot).WriteValue("LocationMode", RegistryValue::String("2"));
    location = Read();
    ASSERT_EQ(location.faults.size(), 1u);
    EXPECT_STREQ(location.faults[0].valueName, "LocationMode");
    EXPECT_FALSE(LocationHolds(location, Machine()));
}

TEST_F(StoredLocationTest, EmptyTextsAreNoConditions)
{
    StoreMode(2);
    for (const char* name : {"LocationGateway", "LocationSubnet", "LocationDnsSuffix",
                             "LocationAdapter", "LocationWifi"})
        Store(name, "");
    Store("LocationGateway", "  ");
    const Location location = Read();
    EXPECT_TRUE(location.faults.empty());
    EXPECT_EQ(location.ConditionCount(), 0u);
    EXPECT_FALSE(LocationHolds(location, Machine()));  // no condition holds nowhere
}

TEST(Location, TheTextRulesAreThoseTheStoredValuesAreReadWith)
{
    struct Case {
        const char* name;
        std::string text;
        bool acceptable;
    };
    const Case cases[] = {
        {"LocationGateway", "", true},
        {"LocationGateway", "  ", true},
        {"LocationGateway", "AA:bb:cc:dd:ee:ff", true},
        {"LocationGateway", "00-00-00-00-00-00", false},
        {"LocationGateway", "gateway", false},
        {"LocationSubnet", " 10.1.0.0/16", true},
        {"LocationSubnet", "10.1.0.0", false},
        {"LocationAdapter", kConnectedGuid, true},
        {"LocationAdapter", "Ethernet", false},
        {"LocationDnsSuffix", "any text at all", true},
        {"LocationWifi", std::string(32, 'w'), true},
        {"LocationWifi", std::string(33, 'w'), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocationTextProblem(c.name, c.text).empty(), c.acceptable)
            << c.name << " " << c.text;
        // The reading of a stored value agrees.
        MemoryRegistryBackend backend;
        CRegistry registry(backend);
        const std::string key = "Software\\Quillon\\Flipset\\Configurations\\1";
        registry.WriteDword(key, "LocationMode", 2, RegistryRoot::LocalMachine);
        registry.WriteString(key, c.name, c.text, RegistryRoot::LocalMachine);
        EXPECT_EQ(
            ReadLocation(registry.OpenForReading(key, RegistryRoot::LocalMachine)).faults.empty(),
            c.acceptable)
            << c.name << " " << c.text;
    }
}

TEST(Location, ALocationIsDescribedWithItsModeConditionsAndFaults)
{
    Location location = Switching();
    EXPECT_EQ(DescribeLocation(Location{}), "none");
    EXPECT_EQ(DescribeLocation(location), "switch automatically, without a condition: never");
    location.gateway = kGateway;
    location.subnet = Ipv4Subnet{0x0A010000, 16};
    location.dnsSuffix = "corp.example";
    location.adapterGuid = kConnectedGuid;
    location.wifi = "Office Net";
    EXPECT_EQ(DescribeLocation(location),
              "switch automatically when gateway aa-bb-cc-dd-ee-ff, subnet 10.1.0.0/16, DNS "
              "suffix corp.example, adapter {11111111-2222-3333-4444-555555555555}, Wi-Fi "
              "\"Office Net\"");
    Location asking;
    asking.mode = LocationMode::AskFirst;
    asking.wifi = "Home";
    asking.faults = {{"LocationSubnet", "10.1"}, {"LocationGateway", "x"}};
    EXPECT_EQ(DescribeLocation(asking),
              "ask first when Wi-Fi \"Home\"; never holds: \"LocationSubnet\" is \"10.1\", "
              "\"LocationGateway\" is \"x\"");
    Location badMode;
    badMode.faults = {{"LocationMode", "7"}};
    EXPECT_EQ(DescribeLocation(badMode), "never holds: \"LocationMode\" is 7, not 0, 1 or 2");
}

}  // namespace
}  // namespace flipset
