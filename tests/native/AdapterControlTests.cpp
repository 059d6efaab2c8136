#include "network/AdapterControl.h"

#include "network/CardInventory.h"
#include "support/FakeDeviceInstaller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

// The message boxes shown, as "error: ..." or "message: ...".
class MessageRecorder : public MessageSink {
public:
    void ShowError(const std::string& text) override { shown.push_back("error: " + text); }
    void ShowMessage(const std::string& text) override { shown.push_back("message: " + text); }
    std::vector<std::string> shown;
};

using Lines = std::vector<std::string>;

class AdapterControlTest : public ::testing::Test, protected FakeNetworkMachine {
protected:
    void TearDown() override
    {
        EXPECT_EQ(devices.openLists, 0) << "a device list was not released";
    }

    MessageRecorder messages;
};

TEST(AdapterControl, ErrorTextIsTheSystemsTextOrTheCodeInUpperCaseHex)
{
    MemoryRegistryBackend backend;
    FakeDeviceInstaller devices{CRegistry(backend)};
    devices.systemTexts[5] = "Access is denied.\r\n";
    struct Case {
        uint32_t code;
        const char* expected;
    };
    const Case cases[] = {
        {5, "Access is denied.\r\n"},
        {0, "Error with the code 00000000"},
        {0x1F, "Error with the code 0000001F"},
        {0xE000020B, "Error with the code E000020B"},
        {0xFFFFFFFF, "Error with the code FFFFFFFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorText(devices, c.code), c.expected) << c.code;
}

// Every present device whose description equals the card's, ignoring case,
// gets the request; the others are left alone.
TEST(AdapterControl, SetCardStateChangesEveryDeviceWithTheDescription)
{
    struct Case {
        const char* what;
        std::vector<std::string> deviceDescriptions;
        std::string cardDescription;
        bool enable;
        Lines expected;
    };
    const Case cases[] = {
        {"one device, disabled", {"Intel PRO/1000"}, "Intel PRO/1000", false, {"0 disable"}},
        {"one device, enabled", {"Intel PRO/1000"}, "Intel PRO/1000", true, {"0 enable"}},
        {"case ignored", {"INTEL PRO/1000 MT"}, "intel pro/1000 mt", true, {"0 enable"}},
        {"all devices with the description",
         {"Realtek 8139", "Intel PRO/1000", "realtek 8139"},
         "Realtek 8139",
         false,
         {"0 disable", "2 disable"}},
        {"no device matches", {"Intel PRO/1000"}, "Realtek 8139", false, {}},
        {"a prefix is no match", {"Intel PRO/1000"}, "Intel", false, {}},
        {"a longer text is no match", {"Intel"}, "Intel PRO/1000", false, {}},
        {"a device without description never matches", {""}, "", false, {}},
        {"no devices", {}, "Intel PRO/1000", false, {}},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        for (const std::string& description : c.deviceDescriptions)
            machine.devices.Add(description, "");
        MessageRecorder messages;
        EXPECT_TRUE(SetCardState(machine.devices, messages, c.cardDescription, c.enable)) << c.what;
        EXPECT_EQ(machine.devices.installed, c.expected) << c.what;
        EXPECT_TRUE(messages.shown.empty()) << c.what;
        EXPECT_EQ(machine.devices.ListRequests(), 1) << c.what;
        EXPECT_EQ(machine.devices.openLists, 0) << c.what;
    }
}

TEST_F(AdapterControlTest, ARefusedRequestSkipsTheDeviceSilently)
{
    devices.Add("NIC", "");
    devices.Add("NIC", "");
    devices.devices[0].refusals = 1;

    EXPECT_TRUE(SetCardState(devices, messages, "NIC", false));
    EXPECT_EQ(devices.installed, Lines{"1 disable"});
    EXPECT_EQ(devices.installsWithoutRequest, 0) << "the installer ran without an accepted request";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AdapterControlTest, ADeviceWhoseDescriptionCannotBeReadIsSkipped)
{
    devices.Add("NIC", "");
    devices.Add("NIC", "");
    devices.devices[0].descriptionError = 13;  // ERROR_INVALID_DATA

    EXPECT_TRUE(SetCardState(devices, messages, "NIC", true));
    EXPECT_EQ(devices.installed, Lines{"1 enable"});
    EXPECT_TRUE(messages.shown.empty());
}

// The description is read into 255 bytes first and again into as many as
// the system asks for when that is too small.
TEST(AdapterControl, DescriptionsOfAnyLengthAreReadWhole)
{
    for (size_t length : {1u, 254u, 255u, 256u, 300u, 5000u}) {
        FakeNetworkMachine machine;
        const std::string description(length - 1, 'n');
        machine.devices.Add(description + "x", "");
        machine.devices.Add(description + "y", "");  // differs only in its last byte
        MessageRecorder messages;

        EXPECT_TRUE(SetCardState(machine.devices, messages, description + "X", false));
        EXPECT_EQ(machine.devices.installed, Lines{"0 disable"}) << length;

        Lines reads;
        for (const std::string& call : machine.devices.calls) {
            if (call.compare(0, 7, "desc 0 ") == 0)
                reads.push_back(call.substr(7));
        }
        const Lines expected =
            length < 255 ? Lines{"255"} : Lines{"255", std::to_string(length + 1)};
        EXPECT_EQ(reads, expected) << length;
    }
}

TEST(AdapterControl, WithoutADeviceListTheSystemsTextIsShownOnceAndTheResultIsFalse)
{
    struct Case {
        uint32_t lastError;
        const char* shown;
    };
    const Case cases[] = {
        {5, "message: Access is denied.\r\n"},
        {0xE0000219, "message: Error with the code E0000219"},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        machine.devices.Add("NIC", "");
        machine.devices.listError = c.lastError;
        machine.devices.systemTexts[5] = "Access is denied.\r\n";
        MessageRecorder messages;

        EXPECT_FALSE(SetCardState(machine.devices, messages, "NIC", false));
        EXPECT_EQ(messages.shown, Lines{c.shown});
        EXPECT_TRUE(machine.devices.installed.empty());
    }
}

TEST_F(AdapterControlTest, DisableAllTakesDownOnlyTheCardsThatAreUp)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000", /*enabled=*/true);
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001", /*enabled=*/false);
    AddCard("3", "NIC C", "{C}", "ROOT\\NET\\0002", /*enabled=*/true);

    EXPECT_TRUE(SetAllCardsState(registry, devices, messages, false));
    EXPECT_EQ(devices.installed, (Lines{"0 disable", "2 disable"}));
    EXPECT_EQ(devices.ListRequests(), 2);
    for (const char* card : {"1", "2", "3"})
        EXPECT_FALSE(IsCardNumberEnabled(registry, card)) << card;
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AdapterControlTest, EnableAllBringsUpTheCardsThatAreDown)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000", /*enabled=*/false);
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001", /*enabled=*/true);

    EXPECT_TRUE(SetAllCardsState(registry, devices, messages, true));
    EXPECT_EQ(devices.installed, Lines{"0 enable"});
    EXPECT_TRUE(IsCardNumberEnabled(registry, "1"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AdapterControlTest, EnableAllWhenEveryCardIsUpAsksNothingOfTheDevices)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000");
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001");
    AddCardEntry("3", "NIC C", "{C}");  // no Plug and Play instance: counts as up

    EXPECT_TRUE(SetAllCardsState(registry, devices, messages, true));
    EXPECT_EQ(devices.ListRequests(), 0);
    EXPECT_TRUE(devices.installed.empty());
}

TEST_F(AdapterControlTest, DevicesSharingACardsDescriptionChangeTogether)
{
    AddCard("1", "Intel PRO/1000", "{A}", "ROOT\\NET\\0000");
    devices.Add("INTEL PRO/1000", "ROOT\\NET\\0001");  // a second adapter of the same model

    EXPECT_TRUE(SetAllCardsState(registry, devices, messages, false));
    EXPECT_EQ(devices.installed, (Lines{"0 disable", "1 disable"}));
    EXPECT_EQ(devices.ListRequests(), 1);
}

// A card whose state never shows the change is asked a bounded number of
// times, silently, and the next card is still handled.
TEST(AdapterControl, ACardThatNeverChangesIsGivenUpAndTheNextCardIsHandled)
{
    struct Case {
        const char* what;
        bool enable;
        void (*setUp)(FakeNetworkMachine&);
    };
    const Case cases[] = {
        {"no present device has the description", true,
         [](FakeNetworkMachine& m) {
             m.AddCardEntry("1", "Gone NIC", "{G}");
             m.AddConnection(MachineKey::kAdapterClass, "{G}", "ROOT\\NET\\0009");
             m.SetDisableCount("ROOT\\NET\\0009", 1);
         }},
        {"no Plug and Play instance, to be disabled", false,
         [](FakeNetworkMachine& m) { m.AddCard("1", "Odd NIC", "{O}", ""); }},
        {"the device takes the request but never changes", false,
         [](FakeNetworkMachine& m) {
             m.AddCard("1", "Stuck NIC", "{S}", "ROOT\\NET\\0007");
             m.devices.devices.back().changesState = false;
         }},
        {"the device refuses every request", true,
         [](FakeNetworkMachine& m) {
             m.AddCard("1", "Deaf NIC", "{D}", "ROOT\\NET\\0007", /*enabled=*/false);
             m.devices.devices.back().refusals = 1000;
         }},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        c.setUp(machine);
        const size_t next = machine.AddCard("2", "Good NIC", "{N}", "ROOT\\NET\\0001", !c.enable);
        MessageRecorder messages;

        EXPECT_TRUE(SetAllCardsState(machine.registry, machine.devices, messages, c.enable))
            << c.what;
        EXPECT_EQ(machine.devices.ListRequests(), kCardStateAttempts + 1) << c.what;
        EXPECT_EQ(machine.devices.devices[next].enabled, c.enable) << c.what;
        EXPECT_TRUE(messages.shown.empty()) << c.what;
    }
}

TEST_F(AdapterControlTest, ADeviceBusyForAMomentIsChangedByALaterAttempt)
{
    AddCard("1", "NIC", "{A}", "ROOT\\NET\\0000");
    devices.devices[0].refusals = kCardStateAttempts - 1;

    EXPECT_TRUE(SetAllCardsState(registry, devices, messages, false));
    EXPECT_FALSE(IsCardNumberEnabled(registry, "1"));
    EXPECT_EQ(devices.ListRequests(), kCardStateAttempts);
}

TEST_F(AdapterControlTest, WithoutADeviceListAllStopsAtTheFirstCardToChange)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000", /*enabled=*/false);  // already down
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001");
    AddCard("3", "NIC C", "{C}", "ROOT\\NET\\0002");
    devices.listError = 0xE000020B;

    EXPECT_FALSE(SetAllCardsState(registry, devices, messages, false));
    EXPECT_EQ(messages.shown, Lines{"message: Error with the code E000020B"});
    EXPECT_EQ(devices.ListRequests(), 1);
    EXPECT_TRUE(IsCardNumberEnabled(registry, "3"));
}

}  // namespace
}  // namespace flipset
