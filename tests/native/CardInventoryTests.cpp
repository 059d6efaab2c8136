#include "network/CardInventory.h"

#include "support/FakeDeviceInstaller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

class CardInventoryTest : public ::testing::Test, protected FakeNetworkMachine {};

TEST_F(CardInventoryTest, ListsEveryCardInEnumerationOrderWithItsDescription)
{
    EXPECT_TRUE(ListNetworkCards(registry).empty());

    AddCardEntry("2", "Intel PRO/1000", "{B}");
    AddCardEntry("10", "", "{C}");  // no "Description"
    AddCardEntry("1", "Loopback", "");

    const std::vector<NetworkCard> cards = ListNetworkCards(registry);
    ASSERT_EQ(cards.size(), 3u);
    // The registry enumerates names as text: 1, 10, 2.
    EXPECT_EQ(cards[0].number, "1");
    EXPECT_EQ(cards[0].description, "Loopback");
    EXPECT_EQ(cards[1].number, "10");
    EXPECT_EQ(cards[1].description, "");
    EXPECT_EQ(cards[2].number, "2");
    EXPECT_EQ(cards[2].description, "Intel PRO/1000");
}

TEST_F(CardInventoryTest, ServiceNameAndDescriptionAreEmptyWhenMissing)
{
    AddCardEntry("7", "NIC", "{7}");
    AddCardEntry("8", "", "");
    EXPECT_EQ(GetCardServiceName(registry, "7"), "{7}");
    EXPECT_EQ(GetCardDescription(registry, "7"), "NIC");
    EXPECT_EQ(GetCardServiceName(registry, "8"), "");
    EXPECT_EQ(GetCardServiceName(registry, "9"), "");  // no such card
    EXPECT_EQ(GetCardDescription(registry, "9"), "");
}

// The connection is looked up below each network class in enumeration
// order; the first non-empty "PnpInstanceID" wins.
TEST(CardInventory, PnpInstanceIdComesFromTheFirstClassWithANonEmptyConnection)
{
    struct Connection {
        const char* networkClass;
        const char* serviceName;
        const char* pnpInstanceId;
    };
    struct Case {
        const char* what;
        std::vector<Connection> connections;  // created in this order
        const char* expected;
    };
    const Case cases[] = {
        {"no connection anywhere", {}, ""},
        {"only another service's connection", {{"{A}", "{OTHER}", "PCI\\X\\1"}}, ""},
        {"one class", {{"{A}", "{SVC}", "PCI\\VEN_8086\\3&1"}}, "PCI\\VEN_8086\\3&1"},
        {"first in enumeration order, not in creation order",
         {{"{B}", "{SVC}", "ROOT\\B\\0000"}, {"{A}", "{SVC}", "ROOT\\A\\0000"}},
         "ROOT\\A\\0000"},
        {"an empty value is passed over",
         {{"{A}", "{SVC}", ""}, {"{B}", "{SVC}", "ROOT\\B\\0000"}},
         "ROOT\\B\\0000"},
        {"every value empty", {{"{A}", "{SVC}", ""}, {"{B}", "{SVC}", ""}}, ""},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        machine.AddCardEntry("3", "NIC", "{SVC}");
        for (const Connection& connection : c.connections)
            machine.AddConnection(connection.networkClass, connection.serviceName,
                                  connection.pnpInstanceId);
        EXPECT_EQ(GetCardPnpInstanceId(machine.registry, "3"), c.expected) << c.what;
    }
}

TEST_F(CardInventoryTest, ACardWithoutServiceNameHasNoPnpInstance)
{
    AddCardEntry("4", "NIC", "");
    AddConnection(MachineKey::kAdapterClass, "{SVC}", "ROOT\\A\\0000");
    EXPECT_EQ(GetCardPnpInstanceId(registry, "4"), "");
}

TEST(CardInventory, DisableCountOfOneOrMoreMeansDisabled)
{
    struct Case {
        const char* what;
        bool stored;
        uint32_t disableCount;
        bool enabled;
    };
    const Case cases[] = {
        {"missing", false, 0, true},
        {"0", true, 0, true},
        {"1", true, 1, false},
        {"2", true, 2, false},
        {"largest positive", true, 0x7FFFFFFF, false},
        {"-1 read as signed", true, 0xFFFFFFFF, true},
        {"most negative", true, 0x80000000, true},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        if (c.stored)
            machine.SetDisableCount("PCI\\VEN_8086&DEV_100E\\3&61AAA01&0&18", c.disableCount);
        EXPECT_EQ(IsCardEnabled(machine.registry, "PCI\\VEN_8086&DEV_100E\\3&61AAA01&0&18"),
                  c.enabled)
            << c.what;
    }
}

TEST_F(CardInventoryTest, ACardNumberIsJudgedByItsOwnDeviceState)
{
    AddCard("1", "NIC A", "{A}", "ROOT\\NET\\0000", /*enabled=*/true);
    AddCard("2", "NIC B", "{B}", "ROOT\\NET\\0001", /*enabled=*/false);
    AddCardEntry("3", "NIC C", "{C}");  // no connection: counts as enabled

    EXPECT_TRUE(IsCardNumberEnabled(registry, "1"));
    EXPECT_FALSE(IsCardNumberEnabled(registry, "2"));
    EXPECT_TRUE(IsCardNumberEnabled(registry, "3"));
    EXPECT_TRUE(IsCardNumberEnabled(registry, "99"));  // no such card
}

}  // namespace
}  // namespace flipset
