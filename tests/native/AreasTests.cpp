// The table of areas: every consumer that lists the areas (the "/only"
// words, the stored options, the usage, the availability on a platform)
// takes them from it.
#include "app/CommandVerbs.h"
#include "engine/SystemInfo.h"
#include "store/Areas.h"
#include "store/ProgramSettings.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace flipset {
namespace {

TEST(Areas, EveryAreaHasItsOwnWordOptionValueAndPreviewName)
{
    std::set<std::string> words, values, names;
    for (const AreaDescriptor& area : kAreas) {
        const std::string word = area.word;
        EXPECT_FALSE(word.empty());
        EXPECT_TRUE(words.insert(word).second) << word;
        EXPECT_TRUE(values.insert(area.optionValue).second) << area.optionValue;
        EXPECT_TRUE(names.insert(area.previewName).second) << area.previewName;
        EXPECT_EQ(&Describe(area.area), &area);

        // The same word and value wherever the area is named.
        const VerbCommand only = ParseVerbCommand("flipset.exe /apply X /only " + word);
        EXPECT_EQ(only.usageError, "") << word;
        EXPECT_EQ(only.areas, std::vector<Area>{area.area}) << word;
        EXPECT_NE(UsageText().find(word), std::string::npos) << word;
        EXPECT_STREQ(ProgramSettings::AreaOptionSetting(area.area).name, area.optionValue);
        EXPECT_EQ(ProgramSettings::AreaOptionSetting(area.area).defaultValue, 1u);
    }
}

// The major version decides whether the network features are on, which
// areas a run may apply, and how a card's TCP/IP values are set.
TEST(Areas, OnlyTheNetworkNeedsTheNetworkFeaturesWhichTheVersionDecides)
{
    struct Case {
        uint32_t majorVersion;
        bool networkFeatures;
        TcpipBackend backend;
    };
    // 0: the platform reported no version. Windows 11 reports 10; a later
    // major version keeps the backend of 10.
    const Case cases[] = {{0, true, TcpipBackend::InterfaceKey},
                          {5, true, TcpipBackend::InterfaceKey},
                          {6, false, TcpipBackend::InterfaceKey},
                          {10, true, TcpipBackend::Netsh},
                          {11, true, TcpipBackend::Netsh}};
    for (const Case& c : cases) {
        FakeSystem system;
        system.majorVersion = c.majorVersion;
        EXPECT_EQ(NetworkFeaturesAvailable(system), c.networkFeatures) << c.majorVersion;
        EXPECT_EQ(TcpipBackendFor(system), c.backend) << c.majorVersion;
        for (const AreaDescriptor& area : kAreas) {
            const bool expected = area.area == Area::Network ? c.networkFeatures : true;
            EXPECT_EQ(IsAreaAvailable(area.area, system), expected)
                << area.word << " on " << c.majorVersion;
        }
    }
}

}  // namespace
}  // namespace flipset
