// "/where": what it writes of the machine, and which configuration's
// location it names, over a fake observer and the configurations as stored.

#include "app/WhereCommand.h"

#include "support/FakeNetworkObserver.h"
#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: this is stored data.
const std::string kConfigurations = "Software\\Quillon\\Flipset\\Configurations";
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;
const char* const kWiredGuid = "{11111111-2222-3333-4444-555555555555}";

class RecordingOutput : public OutputSink {
public:
    std::vector<std::string> lines;
    void WriteLine(const std::string& line) override { lines.push_back(line); }
};

class WhereCommandTest : public ::testing::Test {
protected:
    WhereCommandTest()
    {
        AdapterSnapshot wired =
            ObservedAdapter(kWiredGuid, true, {{0x0A010203, 0xFFFF0000}}, "corp.example");
        wired.name = "Ethernet";
        observer.observation.adapters = {
            wired, ObservedAdapter("{66666666-7777-8888-9999-AAAAAAAAAAAA}", false,
                                   {{0xAC100001, 0xFFF00000}}, "lab.example")};
        observer.observation.gateway = 0x0A010001;
        observer.observation.gatewayHardwareAddress =
            HardwareAddress{0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
    }

    // Configuration n named name, with a location of these values
    // (name, text) in mode 2.
    void Store(int n, const std::string& name,
               const std::vector<std::pair<const char*, std::string>>& conditions,
               uint32_t mode = 2) const
    {
        const std::string key = kConfigurations + "\\" + std::to_string(n);
        registry.WriteString(key, "Name", name, kRoot);
        registry.WriteDword(key, "LocationMode", mode, kRoot);
        for (const auto& [value, text] : conditions)
            registry.WriteString(key, value, text, kRoot);
    }

    ExitCode Where() { return RunWhereCommand(registry, observer, output); }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeNetworkObserver observer;
    RecordingOutput output;
};

TEST_F(WhereCommandTest, WritesTheConnectedAdaptersTheGatewayAndTheWifiNetwork)
{
    observer.observation.wifi = "Office Net";
    Where();
    EXPECT_EQ(observer.observeCalls, 1);
    EXPECT_EQ(output.lines, (std::vector<std::string>{
                                "adapter {11111111-2222-3333-4444-555555555555} Ethernet",
                                "  address 10.1.2.3/16, subnet 10.1.0.0/16",
                                "  DNS suffix corp.example",
                                "default gateway 10.1.0.1, hardware address aa-bb-cc-dd-ee-ff",
                                "Wi-Fi network: \"Office Net\"",
                                "location: none holds",
                            }));
}

TEST_F(WhereCommandTest, SaysWhatTheMachineDoesNotShow)
{
    struct Case {
        const char* what;
        void (*change)(NetworkObservation&);
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"nothing connected",
         [](NetworkObservation& o) {
             o.adapters.clear();
             o.gateway = 0;
             o.gatewayHardwareAddress.reset();
         },
         {"adapter: none connected", "default gateway: none", "Wi-Fi network: none"}},
        {"an unresolved gateway, no suffix, a mask that is no prefix",
         [](NetworkObservation& o) {
             o.adapters.resize(1);
             o.adapters[0].name.clear();
             o.adapters[0].dnsSuffix.clear();
             o.adapters[0].addresses = {{0x0A010203, 0xFFFF00FF}};
             o.gatewayHardwareAddress.reset();
         },
         {"adapter {11111111-2222-3333-4444-555555555555}",
          "  address 10.1.2.3/255.255.0.255, subnet 10.1.0.3/255.255.0.255", "  DNS suffix none",
          "default gateway 10.1.0.1, hardware address unknown", "Wi-Fi network: none"}},
    };
    const NetworkObservation machine = observer.observation;
    for (const Case& c : cases) {
        RecordingOutput lines;
        observer.observation = machine;
        c.change(observer.observation);
        RunWhereCommand(registry, observer, lines);
        lines.lines.pop_back();  // the match
        EXPECT_EQ(lines.lines, c.expected) << c.what;
    }
}

TEST_F(WhereCommandTest, NamesTheMatchAndExitsWithItsOutcome)
{
    struct Case {
        const char* what;
        std::vector<std::vector<std::pair<const char*, std::string>>> locations;
        ExitCode exit;
        std::string line;
    };
    const Case cases[] = {
        {"no location", {}, ExitCode::NoSuchConfiguration, "location: none holds"},
        {"one holds",
         {{{"LocationGateway", "AA-BB-CC-DD-EE-FF"}}, {{"LocationGateway", "aa-bb-cc-dd-ee-00"}}},
         ExitCode::Done,
         "location: \"C1\" holds, with 1 condition"},
        {"the most conditions win",
         {{{"LocationSubnet", "10.1.0.0/16"}},
          {{"LocationSubnet", "10.1.0.0/16"}, {"LocationDnsSuffix", "CORP.example"}}},
         ExitCode::Done,
         "location: \"C2\" holds, with 2 conditions"},
        {"only a card not connected",
         {{{"LocationDnsSuffix", "lab.example"}}},
         ExitCode::NoSuchConfiguration,
         "location: none holds"},
        {"a tie",
         {{{"LocationAdapter", kWiredGuid}},
          {{"LocationWifi", "Home"}},
          {{"LocationSubnet", "10.0.0.0/8"}},
          {{"LocationGateway", "aa:bb:cc:dd:ee:ff"}}},
         ExitCode::NoSuchConfiguration,
         "location: a tie between \"C1\", \"C3\" and \"C4\", with 1 condition each: none of "
         "them runs by itself"},
    };
    for (const Case& c : cases) {
        MemoryRegistryBackend fresh;
        registry = CRegistry(fresh);
        for (size_t i = 0; i < c.locations.size(); ++i)
            Store(static_cast<int>(i + 1), "C" + std::to_string(i + 1), c.locations[i]);
        RecordingOutput lines;
        EXPECT_EQ(RunWhereCommand(registry, observer, lines), c.exit) << c.what;
        EXPECT_EQ(lines.lines.back(), c.line) << c.what;
    }
}

TEST_F(WhereCommandTest, ALocationWithAFaultIsNamedWithItsValueAndNeverHolds)
{
    Store(1, "Lab", {{"LocationSubnet", "10.1.0.0/40"}, {"LocationDnsSuffix", "corp.example"}});
    Store(2, "Odd", {{"LocationWifi", "Office Net"}}, 7);
    Store(3, "Off", {{"LocationGateway", "not checked"}}, 0);
    EXPECT_EQ(Where(), ExitCode::NoSuchConfiguration);
    const std::vector<std::string> tail(output.lines.end() - 3, output.lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "warning: the location of \"Lab\" never holds: \"LocationSubnet\" is "
                        "\"10.1.0.0/40\"",
                        "warning: the location of \"Odd\" never holds: \"LocationMode\" is 7, "
                        "not 0, 1 or 2",
                        "location: none holds",
                    }));
}

TEST_F(WhereCommandTest, ReadsTheConfigurationsOfTheRootTheSettingsChoose)
{
    registry.WriteDword("Software\\Quillon\\Flipset", "UserSettings", 1, kRoot);
    const std::string key = kConfigurations + "\\1";
    registry.WriteString(key, "Name", "Mine", RegistryRoot::CurrentUser);
    registry.WriteDword(key, "LocationMode", 1, RegistryRoot::CurrentUser);
    registry.WriteString(key, "LocationDnsSuffix", "corp.example", RegistryRoot::CurrentUser);
    Store(1, "Shared", {{"LocationDnsSuffix", "corp.example"}});
    EXPECT_EQ(Where(), ExitCode::Done);
    EXPECT_EQ(output.lines.back(), "location: \"Mine\" holds, with 1 condition");
}

}  // namespace
}  // namespace flipset
