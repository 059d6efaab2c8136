#include "store/ProgramSettings.h"

#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: these are stored data.
constexpr const char* kStoredSettingsKey = "Software\\Quillon\\Flipset";
constexpr uint32_t kMissing = 0xDEADBEEF;

// The waits are read-only: there must be no Write that accepts one.
template <typename Setting, typename = void>
struct IsWritable : std::false_type {
};
template <typename Setting>
struct IsWritable<Setting, std::void_t<decltype(std::declval<const ProgramSettings&>().Write(
                               std::declval<const Setting&>(), 0u))>> : std::true_type {
};
static_assert(IsWritable<ProgramSetting>::value);
static_assert(!IsWritable<WaitSetting>::value);

// A fresh registry per case.
struct Registry {
    MemoryRegistryBackend backend;
    CRegistry registry{backend};

    uint32_t Stored(RegistryRoot root, const char* name) const
    {
        return registry.ReadDword(kStoredSettingsKey, name, kMissing, root);
    }
    void Store(RegistryRoot root, const char* name, uint32_t value) const
    {
        registry.WriteDword(kStoredSettingsKey, name, value, root);
    }
};

TEST(ProgramSettings, UserSettingsUnderLocalMachineChoosesTheConfigurationRoot)
{
    struct Case {
        const char* what;
        bool stored;
        uint32_t userSettings;
        RegistryRoot expectedRoot;
    };
    const Case cases[] = {
        {"missing", false, 0, RegistryRoot::LocalMachine},
        {"shared by all users", true, 0, RegistryRoot::LocalMachine},
        {"per user", true, 1, RegistryRoot::CurrentUser},
        {"any other number", true, 2, RegistryRoot::CurrentUser},
    };
    for (const Case& c : cases) {
        Registry r;
        if (c.stored)
            r.Store(RegistryRoot::LocalMachine, "UserSettings", c.userSettings);
        // A per-user "UserSettings" means nothing.
        r.Store(RegistryRoot::CurrentUser, "UserSettings", 7);

        const uint32_t choice = ProgramSettings::ReadSettingsRootChoice(r.registry);
        EXPECT_EQ(choice, c.userSettings) << c.what;

        EXPECT_TRUE(ProgramSettings(r.registry, choice).Write(ProgramSettings::kStartupOption, 2));
        const RegistryRoot other = c.expectedRoot == RegistryRoot::LocalMachine
                                       ? RegistryRoot::CurrentUser
                                       : RegistryRoot::LocalMachine;
        EXPECT_EQ(r.Stored(c.expectedRoot, "startupoption"), 2u) << c.what;
        EXPECT_EQ(r.Stored(other, "startupoption"), kMissing) << c.what;
    }
}

// With the per-user choice, so that the two roots can be told apart: each
// setting reads its default when missing, reads and writes only its own root
// and leaves the same name under the other root alone.
TEST(ProgramSettings, EachSettingHasItsNameDefaultAndRoot)
{
    constexpr RegistryRoot kLocalMachine = RegistryRoot::LocalMachine;
    constexpr RegistryRoot kConfigurationRoot = RegistryRoot::CurrentUser;
    struct Case {
        ProgramSetting setting;
        const char* storedName;
        RegistryRoot root;
        uint32_t defaultValue;
    };
    const Case cases[] = {
        {ProgramSettings::kVersion, "Version", kLocalMachine, 0},
        {ProgramSettings::kUserSettings, "UserSettings", kLocalMachine, 0},
        {ProgramSettings::kStartupOption, "startupoption", kConfigurationRoot, 0},
        {ProgramSettings::AreaOptionSetting(Area::Files), "dofiles", kConfigurationRoot, 1},
        {ProgramSettings::AreaOptionSetting(Area::Network), "donetwork", kConfigurationRoot, 1},
        {ProgramSettings::AreaOptionSetting(Area::Desktop), "dodesktop", kConfigurationRoot, 1},
        {ProgramSettings::AreaOptionSetting(Area::Programs), "dorun", kConfigurationRoot,
         1},
        {ProgramSettings::AreaOptionSetting(Area::Services), "doservices", kConfigurationRoot,
         1},
    };
    for (const Case& c : cases) {
        Registry r;
        const ProgramSettings settings(r.registry, kSettingsPerUser);
        EXPECT_EQ(settings.Read(c.setting), c.defaultValue) << c.storedName;

        const RegistryRoot other = c.root == kLocalMachine ? kConfigurationRoot : kLocalMachine;
        r.Store(c.root, c.storedName, 0);
        r.Store(other, c.storedName, 9);
        EXPECT_EQ(settings.Read(c.setting), 0u) << c.storedName << ": 0 is a value, not missing";

        settings.Write(c.setting, 5);
        EXPECT_EQ(r.Stored(c.root, c.storedName), 5u) << c.storedName;
        EXPECT_EQ(r.Stored(other, c.storedName), 9u) << c.storedName;
    }
}

TEST(ProgramSettings, WaitsComeFromLocalMachineWhateverTheChoice)
{
    struct Case {
        WaitSetting wait;
        const char* storedName;
        uint32_t defaultValue;
    };
    const Case cases[] = {
        {ProgramSettings::kServiceStopWait, "ServiceStopTimout", 1000},
        {ProgramSettings::kServiceStartWait, "ServiceStartTimout", 1000},
        {ProgramSettings::kBeforeRunWait, "BeforeRunTimout", 10000},
        {ProgramSettings::kInRunWait, "BeforeRunTimout", 1000},
        {ProgramSettings::kAfterRunWait, "AfterRunTimout", 1000},
    };
    for (const Case& c : cases) {
        Registry r;
        const ProgramSettings settings(r.registry, kSettingsPerUser);
        EXPECT_EQ(settings.Read(c.wait), c.defaultValue) << c.storedName;

        r.Store(RegistryRoot::CurrentUser, c.storedName, 9);
        EXPECT_EQ(settings.Read(c.wait), c.defaultValue) << c.storedName << ": per-user ignored";

        r.Store(RegistryRoot::LocalMachine, c.storedName, 3000);
        EXPECT_EQ(settings.Read(c.wait), 3000u) << c.storedName;
    }
}

}  // namespace
}  // namespace flipset
