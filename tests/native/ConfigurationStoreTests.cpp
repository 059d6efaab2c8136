#include "store/ConfigurationStore.h"

#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: this is stored data.
const std::string kStoredConfigurationsKey = "Software\\Quillon\\Flipset\\Configurations";
constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
constexpr RegistryRoot kOtherRoot = RegistryRoot::LocalMachine;

struct Configurations {
    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    ConfigurationStore store{registry};

    void AddNamed(const std::string& subkey, const std::string& name) const
    {
        registry.WriteString(kStoredConfigurationsKey + "\\" + subkey, "Name", name, kRoot);
    }
    // A key that an area editor wrote before its Configuration dialog was
    // cancelled: values, but no "Name".
    void AddUnnamed(const std::string& subkey) const
    {
        registry.WriteDword(kStoredConfigurationsKey + "\\" + subkey, "Volume", 100, kRoot);
    }
    StringList Subkeys() const { return registry.EnumSubKeys(kStoredConfigurationsKey, kRoot); }
    StringList SortedNames(RegistryRoot root = kRoot) const
    {
        StringList names = store.ListConfigurationNames(root);
        std::sort(names.begin(), names.end());
        return names;
    }
};

class ConfigurationStoreTest : public ::testing::Test, protected Configurations {};

TEST(ConfigurationStore, RootFollowsTheSettingsRootChoice)
{
    EXPECT_EQ(ConfigurationRoot(0), RegistryRoot::LocalMachine);
    for (uint32_t choice : {1u, 2u, 0xFFFFFFFFu})
        EXPECT_EQ(ConfigurationRoot(choice), RegistryRoot::CurrentUser) << choice;
}

TEST(ConfigurationStore, KeyPathIsTheNumberInDecimalBelowTheConfigurationsKey)
{
    EXPECT_EQ(ConfigurationKeyPath(3), kStoredConfigurationsKey + "\\3");
    EXPECT_EQ(ConfigurationKeyPath(17), kStoredConfigurationsKey + "\\17");
}

// Every key counts, named or not; the smallest free number wins.
TEST(ConfigurationStore, AllocateGivesTheSmallestNumberNoSubkeyUses)
{
    struct Case {
        const char* what;
        StringList subkeys;
        int expected;
    };
    const Case cases[] = {
        {"none", {}, 1},
        {"gap reused", {"1", "3", "4"}, 2},
        {"no gap", {"1", "2"}, 3},
        {"gap at the start", {"2", "3"}, 1},
        {"gap after a run", {"1", "2", "3", "7"}, 4},
        {"every number up to the count used", {"1", "2", "3", "4", "5"}, 6},
        {"enumerated as text", {"10", "2", "1"}, 3},
        {"non-numeric and zero take no number", {"1", "abc", "0", "2"}, 3},
        {"largest number used", {"1", "2147483647"}, 2},
        {"only the largest number", {"2147483647"}, 1},
        {"beyond the range reads as no number", {"1", "2", "2147483648"}, 3},
    };
    for (const Case& c : cases) {
        Configurations configurations;
        for (const std::string& subkey : c.subkeys)
            configurations.AddUnnamed(subkey);
        EXPECT_EQ(configurations.store.AllocateConfigurationNumber(kRoot), c.expected) << c.what;
        EXPECT_EQ(configurations.store.AllocateConfigurationNumber(kOtherRoot), 1) << c.what;

        // Several at once: what creating them one after the other gives.
        const std::vector<int> batch = configurations.store.AllocateConfigurationNumbers(3, kRoot);
        std::vector<int> oneByOne;
        for (int i = 0; i < 3; ++i) {
            oneByOne.push_back(configurations.store.AllocateConfigurationNumber(kRoot));
            configurations.AddUnnamed(std::to_string(oneByOne.back()));
        }
        EXPECT_EQ(batch, oneByOne) << c.what;
    }
}

TEST_F(ConfigurationStoreTest, FindComparesTrimmedStoredNamesIgnoringCase)
{
    AddNamed("1", "Office");
    AddNamed("2", "  Home\t");
    AddUnnamed("3");
    AddNamed("4", "   ");
    // The key "10" enumerates before "5": the first one wins.
    AddNamed("5", "lab");
    AddNamed("10", "Lab");

    struct Case {
        const char* sought;
        int expected;
    };
    const Case cases[] = {
        {"Office", 1}, {"oFFICE", 1},  {"Home", 2}, {"lab", 10},
        {" Home", 0},  {"Nowhere", 0}, {"", 0},     {"Offic", 0},
    };
    // The index that bulk lookups use answers the same, the first of equal
    // names included.
    const ConfigurationNameIndex index(store.ListConfigurations(kRoot));
    for (const Case& c : cases) {
        EXPECT_EQ(store.FindConfigurationNumber(c.sought, kRoot), c.expected)
            << "'" << c.sought << "'";
        EXPECT_EQ(index.Find(c.sought), c.expected) << "index: '" << c.sought << "'";
        EXPECT_EQ(store.FindConfigurationNumber(c.sought, kOtherRoot), 0) << "'" << c.sought << "'";
    }
}

TEST_F(ConfigurationStoreTest, ListGivesTrimmedNamesAndSkipsBlankOrMissingNames)
{
    EXPECT_TRUE(store.ListConfigurationNames(kRoot).empty()) << "no configurations key yet";

    AddNamed("1", " Office ");
    AddUnnamed("2");
    AddNamed("3", " \t ");
    AddNamed("4", "");
    AddNamed("5", "Home");
    AddNamed("6", "home");

    EXPECT_EQ(SortedNames(), (StringList{"Home", "Office", "home"}));
    EXPECT_TRUE(store.ListConfigurationNames(kOtherRoot).empty());
}

TEST_F(ConfigurationStoreTest, AKeyWithoutNameIsNeitherListedNorFoundButKeepsItsNumber)
{
    AddNamed("1", "Office");
    AddUnnamed("2");

    EXPECT_EQ(SortedNames(), StringList{"Office"});
    EXPECT_EQ(store.FindConfigurationNumber("", kRoot), 0);
    EXPECT_EQ(store.AllocateConfigurationNumber(kRoot), 3);
}

TEST_F(ConfigurationStoreTest, SetConfigurationNameCreatesOrRenamesTheKey)
{
    AddNamed("1", "Office");
    const int number = store.AllocateConfigurationNumber(kRoot);
    ASSERT_EQ(number, 2);

    EXPECT_TRUE(store.SetConfigurationName(number, " Home ", kRoot));
    EXPECT_EQ(Subkeys(), (StringList{"1", "2"}));
    EXPECT_EQ(registry.ReadString(kStoredConfigurationsKey + "\\2", "Name", "", kRoot), " Home ")
        << "stored as given; listing and lookup trim";
    EXPECT_EQ(store.FindConfigurationNumber("home", kRoot), 2);

    EXPECT_TRUE(store.SetConfigurationName(number, "Travel", kRoot));
    EXPECT_EQ(SortedNames(), (StringList{"Office", "Travel"}));
    EXPECT_EQ(store.FindConfigurationNumber("Home", kRoot), 0);
}

TEST_F(ConfigurationStoreTest, DeleteRemovesOneKeyWithItsCardsAndFreesItsNumber)
{
    AddNamed("1", "One");
    AddNamed("2", "Two");
    AddNamed("3", "Three");
    registry.WriteDword(kStoredConfigurationsKey + "\\2\\0007", "Disabled", 1, kRoot);

    EXPECT_FALSE(store.DeleteConfiguration(2, kOtherRoot));
    EXPECT_EQ(Subkeys(), (StringList{"1", "2", "3"})) << "the other root is not touched";

    EXPECT_TRUE(store.DeleteConfiguration(2, kRoot));
    EXPECT_EQ(Subkeys(), (StringList{"1", "3"}));
    EXPECT_EQ(SortedNames(), (StringList{"One", "Three"}));
    EXPECT_EQ(store.FindConfigurationNumber("Three", kRoot), 3) << "nothing is renumbered";
    EXPECT_EQ(store.AllocateConfigurationNumber(kRoot), 2);
}

// 0 means "no configuration". Naming it would create a key "0" whose name is
// listed but resolves to no configuration; deleting it must leave every
// configuration and the configurations key in place.
TEST_F(ConfigurationStoreTest, NumbersBelowOneAreNeitherNamedNorDeleted)
{
    AddNamed("1", "One");
    AddNamed("2", "Two");

    for (int number : {0, -1})
        EXPECT_FALSE(store.SetConfigurationName(number, "Ghost", kRoot));
    EXPECT_EQ(Subkeys(), (StringList{"1", "2"}));
    EXPECT_EQ(SortedNames(), (StringList{"One", "Two"}));
    EXPECT_EQ(registry.ReadString(kStoredConfigurationsKey, "Name", "<none>", kRoot), "<none>");

    for (int number : {0, -1})
        EXPECT_FALSE(store.DeleteConfiguration(number, kRoot));
    EXPECT_EQ(Subkeys(), (StringList{"1", "2"}));
}

}  // namespace
}  // namespace flipset
