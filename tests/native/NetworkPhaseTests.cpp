#include "engine/NetworkPhase.h"

#include "network/CardInventory.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeRunHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

using Lines = std::vector<std::string>;

// Spelled out here rather than taken from the code: these are stored data.
const std::string kConfigurations = "Software\\Quillon\\Flipset\\Configurations";
const std::string kInterfaces =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";
// Configurations live per user in these tests, apart from the machine's keys.
constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;

class NetworkPhaseTest : public ::testing::Test, protected FakeNetworkMachine {
protected:
    NetworkPhaseTest()
    {
        host.settingsRootChoice = 1;
        host.selectedText = "Office";
        AddConfiguration("1", "Office");
        devices.journal = &host.journal;
    }
    void TearDown() override { EXPECT_EQ(devices.openLists, 0); }

    void AddConfiguration(const std::string& number, const std::string& name) const
    {
        registry.WriteString(kConfigurations + "\\" + number, "Name", name, kRoot);
    }
    // A card settings key as the card setup dialog writes it; a negative
    // "disabled" leaves the value out.
    void AddCardSettings(const std::string& configuration, const std::string& card, int disabled,
                         uint32_t ip = 0) const
    {
        const std::string key = kConfigurations + "\\" + configuration + "\\" + card;
        registry.WriteString(key, "NIC", "true", kRoot);
        if (disabled >= 0)
            registry.WriteDword(key, "Disabled", static_cast<uint32_t>(disabled), kRoot);
        if (ip != 0) {
            registry.WriteDword(key, "DHCP", 0, kRoot);
            registry.WriteDword(key, "IP", ip, kRoot);
        }
    }
    std::string InterfaceValue(const std::string& serviceName, const char* name) const
    {
        return registry.ReadString(kInterfaces + "\\" + serviceName, name, "(none)",
                                   RegistryRoot::LocalMachine);
    }
    uint32_t InterfaceDword(const std::string& serviceName, const char* name) const
    {
        return registry.ReadDword(kInterfaces + "\\" + serviceName, name, 0xDEAD,
                                  RegistryRoot::LocalMachine);
    }
    void Run()
    {
        RunContext ctx(registry, host);
        RunNetworkPhase(ctx, devices);
    }

    FakeRunHost host;
};

TEST_F(NetworkPhaseTest, EachCardIsTakenDownSetAndBroughtUpOnlyWhenNotDisabled)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001");
    AddCardSettings("1", "1", /*disabled=*/0, 0xC0A80001);
    AddCardSettings("1", "2", /*disabled=*/1);

    Run();

    EXPECT_EQ(host.journal,
              (Lines{"device: 0 disable", "caption: Setting NIC A", "device: 0 enable",
                     "wait: 3000", "device: 1 disable", "caption: Setting NIC B"}));
    EXPECT_EQ(InterfaceDword("{A}", "EnableDHCP"), 0u);
    EXPECT_EQ(InterfaceDword("{B}", "EnableDHCP"), 1u);
    EXPECT_TRUE(IsCardNumberEnabled(registry, "1"));
    EXPECT_FALSE(IsCardNumberEnabled(registry, "2"));
}

TEST_F(NetworkPhaseTest, ACardAlreadyDownIsNotDisabledAgain)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000", /*enabled=*/false);
    AddCardSettings("1", "1", /*disabled=*/0);

    Run();

    EXPECT_EQ(host.journal, (Lines{"caption: Setting NIC A", "device: 0 enable", "wait: 3000"}));
}

TEST_F(NetworkPhaseTest, ACardWithoutDisabledStaysDownAndIsNotWaitedFor)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddCardSettings("1", "1", /*disabled=*/-1);

    Run();

    EXPECT_EQ(host.journal, (Lines{"device: 0 disable", "caption: Setting NIC A"}));
    EXPECT_FALSE(IsCardNumberEnabled(registry, "1"));
    EXPECT_EQ(InterfaceDword("{A}", "EnableDHCP"), 1u);  // its settings are still written
}

// A card without a service name or a Plug and Play instance is reported and
// left as the first step left it: down, with its interface untouched.
TEST(NetworkPhase, AnInvalidCardIsReportedAndTheNextCardIsStillSet)
{
    struct Case {
        const char* what;
        void (*setUp)(FakeNetworkMachine&);
        Lines expected;
    };
    const Case cases[] = {
        {"no service name",
         [](FakeNetworkMachine& m) {
             m.AddCardEntry("1", "NIC A", "");
             m.devices.Add("NIC A", "ROOT\\NET\\0000");
         },
         {"device: 0 disable", "caption: Setting NIC A", "error: Invalid interface NIC A found"}},
        {"no connection for the service",
         [](FakeNetworkMachine& m) {
             m.AddCardEntry("1", "NIC A", "{A}");
             m.devices.Add("NIC A", "ROOT\\NET\\0000");
         },
         {"device: 0 disable", "caption: Setting NIC A",
          "error: Invalid interface NIC A found with key {A}"}},
        {"an empty Plug and Play instance",
         [](FakeNetworkMachine& m) { m.AddCard("1", "NIC A", "{A}", ""); },
         {"device: 0 disable", "caption: Setting NIC A",
          "error: Invalid interface NIC A found with key {A}"}},
        {"a card the machine does not know",
         [](FakeNetworkMachine&) {},
         {"caption: Setting ", "error: Invalid interface  found"}},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        FakeRunHost host;
        host.selectedText = "Office";
        machine.devices.journal = &host.journal;
        machine.registry.WriteString(kConfigurations + "\\1", "Name", "Office",
                                     RegistryRoot::LocalMachine);
        for (const char* card : {"1", "2"})
            machine.registry.WriteDword(kConfigurations + "\\1\\" + card, "Disabled", 0,
                                        RegistryRoot::LocalMachine);
        c.setUp(machine);
        const size_t next = machine.AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001");
        const std::string n = std::to_string(next);

        RunContext ctx(machine.registry, host);
        RunNetworkPhase(ctx, machine.devices);

        Lines expected = c.expected;
        expected.insert(expected.end(), {"device: " + n + " disable", "caption: Setting NIC B",
                                         "device: " + n + " enable", "wait: 3000"});
        EXPECT_EQ(host.journal, expected) << c.what;
        const StringList interfaces =
            machine.registry.EnumSubKeys(kInterfaces, RegistryRoot::LocalMachine);
        EXPECT_EQ(interfaces, StringList{"{B}"}) << c.what;
    }
}

TEST_F(NetworkPhaseTest, AConfigurationWithoutCardsDoesNothing)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");

    Run();

    EXPECT_TRUE(host.journal.empty());
    EXPECT_EQ(devices.ListRequests(), 0);
}

// The cards are listed once, from the configuration selected when the phase
// begins; each card's settings come from the configuration selected when
// that card is set.
TEST_F(NetworkPhaseTest, ASelectionChangedDuringAWaitAppliesToTheCardsAfterIt)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001");
    AddCard("3", "NIC C", "{C}", "ROOT\\NET\\0002");
    AddCardSettings("1", "1", 0, 0x0A000001);
    AddCardSettings("1", "2", 0, 0x0A000002);
    AddConfiguration("2", "Home");
    AddCardSettings("2", "2", 0, 0xC0A80002);
    AddCardSettings("2", "3", 0, 0xC0A80003);  // not listed by the phase
    host.onWait = [this](uint32_t) { host.selectedText = "Home"; };

    Run();

    auto address = [this](const char* service) {
        ByteArray bytes;
        registry.ReadBinary(kInterfaces + "\\" + service, "IPAddress", bytes,
                            RegistryRoot::LocalMachine);
        return std::string(reinterpret_cast<const char*>(bytes.data()));
    };
    EXPECT_EQ(address("{A}"), "10.0.0.1");
    EXPECT_EQ(address("{B}"), "192.168.0.2");
    EXPECT_EQ(InterfaceValue("{C}", "Domain"), "(none)");
    EXPECT_EQ(host.Lines("caption: "), (Lines{"Setting NIC A", "Setting NIC B"}));
}

TEST_F(NetworkPhaseTest, WithoutADeviceListTheSystemsTextIsShownAndTheCardStillSet)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddCardSettings("1", "1", 0);
    devices.listError = 5;
    devices.systemTexts[5] = "Access is denied.\r\n";

    Run();

    EXPECT_EQ(host.journal, (Lines{"message: Access is denied.\r\n", "caption: Setting NIC A",
                                   "message: Access is denied.\r\n", "wait: 3000"}));
    EXPECT_EQ(InterfaceDword("{A}", "EnableDHCP"), 1u);
}

}  // namespace
}  // namespace flipset
