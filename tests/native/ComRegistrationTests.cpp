#include "app/ComRegistration.h"

#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <string>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: the registration is
// stored data that other programs read.
constexpr const char* kAppId = "{24F24F96-8B70-4270-92F5-2D3339E77252}";
const std::string kOwnKey = std::string("AppID\\") + kAppId;
const std::string kExecutableKey = "AppID\\Flipset.EXE";
constexpr RegistryRoot kRoot = RegistryRoot::ClassesRoot;

class ComRegistration : public ::testing::Test {
protected:
    StringList SubKeys(const std::string& path) const { return registry.EnumSubKeys(path, kRoot); }
    StringList ValueNames(const std::string& path) const
    {
        return registry.EnumValueNames(path, kRoot);
    }
    std::string Text(const std::string& path, const std::string& name) const
    {
        return registry.ReadString(path, name, "<missing>", kRoot);
    }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(ComRegistration, WritesExactlyTheApplicationIdKeys)
{
    WriteComRegistration(registry);

    EXPECT_EQ(SubKeys(""), StringList({"AppID"}));
    EXPECT_EQ(SubKeys("AppID"), StringList({"Flipset.EXE", kAppId}));
    EXPECT_EQ(ValueNames("AppID"), StringList());

    EXPECT_EQ(ValueNames(kOwnKey), StringList({""}));
    EXPECT_EQ(Text(kOwnKey, ""), "Flipset");
    EXPECT_EQ(SubKeys(kOwnKey), StringList());

    EXPECT_EQ(ValueNames(kExecutableKey), StringList({"AppID"}));
    EXPECT_EQ(Text(kExecutableKey, "AppID"), kAppId);
    EXPECT_EQ(SubKeys(kExecutableKey), StringList());

    for (RegistryRoot other : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        StringList names = registry.EnumSubKeys("", other);
        EXPECT_EQ(names, StringList());
    }
}

TEST_F(ComRegistration, WritingAgainRepairsAndKeepsWhatOthersAdded)
{
    registry.WriteString(kOwnKey, "", "changed", kRoot);
    registry.WriteString(kOwnKey, "RunAs", "Interactive User", kRoot);
    registry.WriteString(kExecutableKey, "AppID", "{00000000-0000-0000-0000-000000000000}", kRoot);

    WriteComRegistration(registry);

    EXPECT_EQ(Text(kOwnKey, ""), "Flipset");
    EXPECT_EQ(Text(kOwnKey, "RunAs"), "Interactive User");
    EXPECT_EQ(Text(kExecutableKey, "AppID"), kAppId);
}

TEST_F(ComRegistration, RemovingDeletesBothKeysAndKeepsTheRest)
{
    const std::string otherKey = "AppID\\{11111111-2222-3333-4444-555555555555}";
    registry.WriteString(otherKey, "", "Other program", kRoot);
    registry.WriteString("AppID\\Other.EXE", "AppID", "{1}", kRoot);
    WriteComRegistration(registry);
    registry.WriteString(kOwnKey + "\\Below", "v", "x", kRoot);

    RemoveComRegistration(registry);

    EXPECT_EQ(SubKeys("AppID"), StringList({"Other.EXE", otherKey.substr(6)}));
    EXPECT_EQ(Text(otherKey, ""), "Other program");
    EXPECT_EQ(Text("AppID\\Other.EXE", "AppID"), "{1}");
}

TEST_F(ComRegistration, RemovingWhatIsNotThereIsHarmless)
{
    RemoveComRegistration(registry);
    EXPECT_EQ(SubKeys(""), StringList());

    // "AppID" stays even when it is left empty.
    WriteComRegistration(registry);
    RemoveComRegistration(registry);
    RemoveComRegistration(registry);
    EXPECT_EQ(SubKeys(""), StringList({"AppID"}));
    EXPECT_EQ(SubKeys("AppID"), StringList());
}

}  // namespace
}  // namespace flipset
