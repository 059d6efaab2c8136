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

TEST(Areas, OnlyTheNetworkNeedsTheNetworkFeatures)
{
    struct Case {
        uint32_t majorVersion;
        bool networkFeatures;
    };
    // 0: the platform reported no version.
    const Case cases[] = {{0, true}, {5, true}, {6, false}, {10, true}};
    for (const Case& c : cases) {
        FakeSystem system;
        system.majorVersion = c.majorVersion;
        EXPECT_EQ(NetworkFeaturesAvailable(system), c.networkFeatures) << c.majorVersion;
        for (const AreaDescriptor& area : kAreas) {
            const bool expected = area.area == Area::Network ? c.networkFeatures : true;
            EXPECT_EQ(IsAreaAvailable(area.area, system), expected)
                << area.word << " on " << c.majorVersion;
        }
    }
}

}  // namespace
}  // namespace flipset
