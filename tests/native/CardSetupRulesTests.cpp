#include "editor/CardSetupRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

// In card list order, as the registry enumerates them.
const std::vector<NetworkCard> kCards = {
    {"1", "Loopback"}, {"10", "Intel PRO/1000"},
    {"11", "Realtek"}, {"2", "intel pro/1000"},  // the same description in other letters
    {"a7", ""},
};

TEST(CardSetupRules, EnablingFollowsTheTwoCheckStates)
{
    struct Case {
        bool disable, automatic;
        bool automaticEnabled, domainEnabled, addressesEnabled;
    };
    const Case cases[] = {
        {false, false, true, true, true},
        {false, true, true, true, false},
        {true, false, false, false, false},
        {true, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "disable " << c.disable << ", automatic " << c.automatic);
        const CardSetupEnabling enabling = CardSetupEnablingRule(c.disable, c.automatic);
        EXPECT_EQ(enabling.automatic, c.automaticEnabled);
        EXPECT_EQ(enabling.domain, c.domainEnabled);
        EXPECT_EQ(enabling.addresses, c.addressesEnabled);
    }
}

TEST(CardSetupRules, AnEntryStandsForTheLastCardWithItsDescription)
{
    struct Case {
        const char* entry;
        const char* initial;
        const char* number;
        const char* description;
    };
    const Case cases[] = {
        {"Loopback", "", "1", "Loopback"},
        {"LOOPBACK", "", "1", "LOOPBACK"},              // case ignored, the entry's text kept
        {"Intel PRO/1000", "", "2", "Intel PRO/1000"},  // the last of two in list order
        {"Realtek", "10", "11", "Realtek"},
        {"", "", "a7", ""},            // a card without a description
        {"Broadcom", "11", "11", ""},  // no match: the initial number stays
        {"Realtek 2", "", "", ""},     // a longer text is no match
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("entry \"") + c.entry + "\"");
        const CardChoice choice = ChooseCardByDescription(kCards, c.entry, c.initial);
        EXPECT_EQ(choice.number, c.number);
        EXPECT_EQ(choice.description, c.description);
    }
}

TEST(CardSetupRules, AnEmptyCardListHandsBackTheInitialNumber)
{
    const CardChoice choice = ChooseCardByDescription({}, "", "");
    EXPECT_EQ(choice.number, "");
    EXPECT_EQ(choice.description, "");
}

TEST(CardSetupRules, TheListOpensOnTheFirstCardWithTheInitialNumber)
{
    const std::vector<NetworkCard> twice = {{"A7", "First"}, {"a7", "Second"}};
    EXPECT_EQ(InitialCardDescription(twice, "a7"), std::optional<std::string>("First"));
    EXPECT_EQ(InitialCardDescription(kCards, "10"), std::optional<std::string>("Intel PRO/1000"));
    EXPECT_EQ(InitialCardDescription(kCards, "a7"), std::optional<std::string>(""));
    EXPECT_EQ(InitialCardDescription(kCards, ""), std::nullopt);
    EXPECT_EQ(InitialCardDescription(kCards, "3"), std::nullopt);
}

TEST(CardSetupRules, CardSettingsLiveBelowTheConfigurationKey)
{
    EXPECT_EQ(CardSettingsKeyPath(3, "12"), "Software\\Quillon\\Flipset\\Configurations\\3\\12");
}

TEST(CardSetupRules, TheNameServersFollowTheirOwnBoxUnlessTheCardIsDisabled)
{
    struct Case {
        bool disable, automatic, dnsFromDhcp;
        bool boxEnabled, serversEnabled, addressesEnabled;
    };
    const Case cases[] = {
        {false, false, false, true, true, true},   {false, false, true, true, false, true},
        {false, true, false, true, true, false},   {false, true, true, true, false, false},
        {true, false, false, false, false, false}, {true, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "disable " << c.disable << ", automatic "
                                        << c.automatic << ", DNS from DHCP " << c.dnsFromDhcp);
        const CardSetupEnabling enabling =
            CardSetupEnablingRule(c.disable, c.automatic, c.dnsFromDhcp);
        EXPECT_EQ(enabling.dnsFromDhcp, c.boxEnabled);
        EXPECT_EQ(enabling.servers, c.serversEnabled);
        EXPECT_EQ(enabling.addresses, c.addressesEnabled);
    }
}

TEST(CardSetupRules, TheListsShowTheFirstAddressAndIpv4ServerInTheirControlsAndTheRestAsLines)
{
    struct Case {
        const char* what;
        std::vector<Ipv4WithMask> addresses;
        std::vector<std::string> servers;
        uint32_t firstServer;
        const char* moreAddresses;
        const char* moreServers;
    };
    const Case cases[] = {
        {"nothing", {}, {}, 0, "", ""},
        {"one of each", {{0x0A000001, 0xFF000000}}, {"10.0.0.53"}, 0x0A000035, "", ""},
        {"several",
         {{0x0A000001, 0xFF000000}, {0x0A010001, 0xFFFF0000}, {0x0A020001, 0xFFFFFF00}},
         {"10.0.0.53", "fd00::53", "10.0.0.54"},
         0x0A000035,
         "10.1.0.1/255.255.0.0\r\n10.2.0.1/255.255.255.0",
         "fd00::53\r\n10.0.0.54"},
        {"an IPv6 server first: the control stays blank", {}, {"fd00::53", "10.0.0.54"}, 0, "",
         "fd00::53\r\n10.0.0.54"},
    };
    for (const Case& c : cases) {
        CardTcpip tcpip;
        tcpip.addresses = c.addresses;
        tcpip.dnsServers = c.servers;
        const CardSetupLists lists = ListsForCardSetup(tcpip);
        EXPECT_EQ(lists.firstServer, c.firstServer) << c.what;
        EXPECT_EQ(lists.moreAddresses, c.moreAddresses) << c.what;
        EXPECT_EQ(lists.moreServers, c.moreServers) << c.what;

        // What the dialog shows comes back as it was.
        CardTcpip back;
        const Ipv4WithMask first = c.addresses.empty() ? Ipv4WithMask() : c.addresses[0];
        const CardSetupProblem problem = TakeCardSetupLists(
            first, lists.firstServer, lists.moreAddresses, lists.moreServers, back);
        EXPECT_EQ(problem.kind, CardSetupProblem::Kind::None) << c.what << ": " << problem.reason;
        EXPECT_EQ(back.addresses, c.addresses) << c.what;
        EXPECT_EQ(back.dnsServers, c.servers) << c.what;
    }
}

TEST(CardSetupRules, TypedLinesAreCheckedAndABadOneIsNamedByItsNumber)
{
    using Kind = CardSetupProblem::Kind;
    struct Case {
        const char* what;
        Ipv4WithMask first;
        uint32_t firstServer;
        const char* moreAddresses;
        const char* moreServers;
        Kind kind;
        size_t line;
        const char* reason;
    };
    const Case cases[] = {
        {"blank lines and spaces around a line pass",
         {0x0A000001, 0xFF000000}, 0x0A000035, "\r\n 10.1.0.1/255.255.0.0 \r\n\r\n",
         "\r\n  FD00::53\r\n", Kind::None, 0, ""},
        {"no mask", {}, 0, "10.1.0.1/255.255.0.0\r\n10.2.0.1", "", Kind::AddressLine, 2,
         "\"10.2.0.1\" is no address with its mask"},
        {"a blank line counts", {}, 0, "\r\n\r\n10.2.0.1/16", "", Kind::AddressLine, 3,
         "\"10.2.0.1/16\" is no address with its mask"},
        {"a mask with a gap", {}, 0, "10.2.0.1/255.0.255.0", "", Kind::AddressLine, 1,
         "255.0.255.0 is no subnet mask"},
        {"no address", {}, 0, "0.0.0.0/255.0.0.0", "", Kind::AddressLine, 1,
         "0.0.0.0 is no address"},
        {"a server that is no address", {}, 0, "", "10.0.0.53\r\nns1.example", Kind::ServerLine,
         2, "\"ns1.example\" is no IPv4 or IPv6 address"},
        {"the unspecified server", {}, 0, "", "::", Kind::ServerLine, 1, ":: is no name server"},
        {"eight with the control's", {}, 0x0A000035, "",
         "10.0.0.2\n10.0.0.3\n10.0.0.4\n10.0.0.5\n10.0.0.6\n10.0.0.7\n10.0.0.8", Kind::None,
         0, ""},
        {"nine with the control's", {}, 0x0A000035, "",
         "10.0.0.2\n10.0.0.3\n10.0.0.4\n10.0.0.5\n10.0.0.6\n10.0.0.7\n10.0.0.8\nfd00::9",
         Kind::TooManyServers, 0, "9"},
    };
    for (const Case& c : cases) {
        CardTcpip tcpip;
        tcpip.addresses = {{0x0B000001, 0xFF000000}};
        tcpip.dnsServers = {"11.0.0.53"};
        const CardSetupProblem problem =
            TakeCardSetupLists(c.first, c.firstServer, c.moreAddresses, c.moreServers, tcpip);
        EXPECT_EQ(problem.kind, c.kind) << c.what;
        EXPECT_EQ(problem.line, c.line) << c.what;
        EXPECT_EQ(problem.reason, c.reason) << c.what;
        if (c.kind != Kind::None) {
            EXPECT_EQ(tcpip.addresses, (std::vector<Ipv4WithMask>{{0x0B000001, 0xFF000000}}))
                << c.what << ": kept";
            EXPECT_EQ(tcpip.dnsServers, (std::vector<std::string>{"11.0.0.53"})) << c.what;
        }
    }
}

}  // namespace
}  // namespace flipset
