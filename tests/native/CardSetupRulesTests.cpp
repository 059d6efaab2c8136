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

}  // namespace
}  // namespace flipset
