#include "app/FirstRun.h"

#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: these are stored data.
constexpr const char* kStoredSettingsKey = "Software\\Quillon\\Flipset";
constexpr uint32_t kMissing = 0xDEADBEEF;
constexpr uint32_t kCurrent = 31027;

TEST(ProductVersionNumber, RunsTheDigitsTogether)
{
    struct Case {
        const char* text;
        uint32_t expected;
    };
    const Case cases[] = {
        {"3, 1, 0, 27", 31027},
        {"3.1.0.27", 31027},
        {" 3,1 , 0 ,27", 31027},
        {"3, 1, 0, 27 beta 2", 31027},
        {"3, 1, 0, 27a", 31027},
        {"0020", 20},
        {"Unknown", 0},
        {"", 0},
        {"v2.2", 0},
        {"-1", 0},
        {"4294967295", 4294967295u},
        {"4, 294, 967, 295", 4294967295u},
        // Too long for 32 bits: no version at all rather than a wrapped one.
        {"4294967296", 0},
        {"99999999999999999999999", 0},
        {"000000000000000000000001", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProductVersionNumber(c.text), c.expected) << c.text;
}

std::string OwnVersionText()
{
    return "3, 1, 0, 27";
}

std::string ReadingFails()
{
    throw std::bad_alloc();
}

TEST(CurrentVersionNumber, IsTwoThousandWhenReadingFails)
{
    EXPECT_EQ(CurrentVersionNumber(&OwnVersionText), 31027u);
    EXPECT_EQ(CurrentVersionNumber(&ReadingFails), 2000u);
}

// Answers the question and records what was stored when it was asked.
class ScriptedQuestion : public FirstRunQuestion {
public:
    ScriptedQuestion(const CRegistry& registry, bool answerYes)
        : registry_(registry), answerYes_(answerYes)
    {
    }
    bool AskShareConfigurations() override
    {
        ++timesAsked;
        versionWhenAsked = registry_.ReadDword(kStoredSettingsKey, "Version", kMissing,
                                               RegistryRoot::LocalMachine);
        return answerYes_;
    }

    int timesAsked = 0;
    uint32_t versionWhenAsked = kMissing;

private:
    const CRegistry& registry_;
    bool answerYes_;
};

struct Machine {
    MemoryRegistryBackend backend;
    CRegistry registry{backend};

    uint32_t Stored(const char* name, RegistryRoot root = RegistryRoot::LocalMachine) const
    {
        return registry.ReadDword(kStoredSettingsKey, name, kMissing, root);
    }
    void Store(const char* name, uint32_t value,
               RegistryRoot root = RegistryRoot::LocalMachine) const
    {
        registry.WriteDword(kStoredSettingsKey, name, value, root);
    }
};

TEST(CheckVersionAndFirstRun, StoredVersionDecidesWhetherToAskAndWhatToWrite)
{
    struct Case {
        const char* what;
        uint32_t storedVersion;  // kMissing: no value
        bool asked;
        uint32_t versionAfter;
    };
    const Case cases[] = {
        {"missing", kMissing, true, kCurrent},
        {"0", 0, true, kCurrent},
        {"1999", 1999, true, kCurrent},
        {"2000", 2000, false, kCurrent},
        {"one below the current", 31026, false, kCurrent},
        {"the current", 31027, false, 31027},
        {"above the current", 40000, false, 40000},
    };
    for (const Case& c : cases) {
        for (const bool answerYes : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (answerYes ? ", Yes" : ", No"));
            Machine m;
            if (c.storedVersion != kMissing)
                m.Store("Version", c.storedVersion);
            ScriptedQuestion question(m.registry, answerYes);

            CheckVersionAndFirstRun(m.registry, kCurrent, question);

            EXPECT_EQ(m.Stored("Version"), c.versionAfter);
            if (c.asked) {
                EXPECT_EQ(question.timesAsked, 1);
                EXPECT_EQ(question.versionWhenAsked, kCurrent) << "written before asking";
                EXPECT_EQ(m.Stored("UserSettings"), answerYes ? 0u : 1u);
            } else {
                EXPECT_EQ(question.timesAsked, 0);
                EXPECT_EQ(m.Stored("UserSettings"), kMissing);
            }
            // Neither value ever goes to the per-user root.
            EXPECT_EQ(m.Stored("Version", RegistryRoot::CurrentUser), kMissing);
            EXPECT_EQ(m.Stored("UserSettings", RegistryRoot::CurrentUser), kMissing);
        }
    }
}

TEST(CheckVersionAndFirstRun, ANewVersionKeepsTheEarlierAnswer)
{
    Machine m;
    m.Store("Version", 21000);
    m.Store("UserSettings", 1);
    ScriptedQuestion question(m.registry, true);

    CheckVersionAndFirstRun(m.registry, kCurrent, question);

    EXPECT_EQ(question.timesAsked, 0);
    EXPECT_EQ(m.Stored("Version"), kCurrent);
    EXPECT_EQ(m.Stored("UserSettings"), 1u);
}

// Configurations written before the first start, by a verb or by the
// installer's import, are under the machine-wide root: the first start keeps
// them in view instead of asking, unless "per user" was chosen already.
TEST(CheckVersionAndFirstRun, ConfigurationsWrittenBeforeTheFirstStartStayShared)
{
    struct Case {
        const char* what;
        uint32_t userSettings;  // kMissing: no value
        bool configurationUnderMachine;
        bool asked;
    };
    const Case cases[] = {
        {"nothing yet", kMissing, false, true},
        {"a configuration, no choice", kMissing, true, false},
        {"a configuration, a verb stored shared", 0, true, false},
        {"a verb stored shared, its configuration deleted", 0, false, true},
        {"a configuration, per user chosen", 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        if (c.userSettings != kMissing)
            m.Store("UserSettings", c.userSettings);
        if (c.configurationUnderMachine)
            m.registry.WriteString(std::string(kStoredSettingsKey) + "\\Configurations\\1", "Name",
                                   "Office", RegistryRoot::LocalMachine);
        // A configuration of the user's own root does not count.
        m.registry.WriteString(std::string(kStoredSettingsKey) + "\\Configurations\\1", "Name",
                               "Mine", RegistryRoot::CurrentUser);
        ScriptedQuestion question(m.registry, false);

        CheckVersionAndFirstRun(m.registry, kCurrent, question);

        EXPECT_EQ(question.timesAsked, c.asked ? 1 : 0);
        EXPECT_EQ(m.Stored("UserSettings"), c.asked ? 1u : 0u);
        EXPECT_EQ(m.Stored("Version"), kCurrent);
    }
}

TEST(StoreSharedChoiceWhenMissing, StoresSharedOnlyWhereNoChoiceIsStored)
{
    for (const uint32_t before : {kMissing, 0u, 1u, 7u}) {
        Machine m;
        if (before != kMissing)
            m.Store("UserSettings", before);
        StoreSharedChoiceWhenMissing(m.registry);
        EXPECT_EQ(m.Stored("UserSettings"), before == kMissing ? 0u : before) << before;
        EXPECT_EQ(m.Stored("UserSettings", RegistryRoot::CurrentUser), kMissing);
    }
}

// Without a readable version resource the number is 0, which stays below
// 2000: the question comes back at every start and the last answer counts.
TEST(CheckVersionAndFirstRun, AnUnknownVersionAsksAtEveryStart)
{
    Machine m;
    const uint32_t unknown = ProductVersionNumber("Unknown");
    for (const bool answerYes : {false, true, false}) {
        ScriptedQuestion question(m.registry, answerYes);
        CheckVersionAndFirstRun(m.registry, unknown, question);
        EXPECT_EQ(question.timesAsked, 1);
        EXPECT_EQ(m.Stored("Version"), 0u);
        EXPECT_EQ(m.Stored("UserSettings"), answerYes ? 0u : 1u);
    }
}

// A failed reading gives 2000: asked once where nothing is stored, then the
// real number of a later start only updates "Version".
TEST(CheckVersionAndFirstRun, AFailedReadingAsksOnceThenTheRealVersionUpdates)
{
    Machine m;
    ScriptedQuestion first(m.registry, false);
    CheckVersionAndFirstRun(m.registry, kVersionNumberOnError, first);
    EXPECT_EQ(first.timesAsked, 1);
    EXPECT_EQ(m.Stored("Version"), 2000u);

    ScriptedQuestion second(m.registry, true);
    CheckVersionAndFirstRun(m.registry, kCurrent, second);
    EXPECT_EQ(second.timesAsked, 0);
    EXPECT_EQ(m.Stored("Version"), kCurrent);
    EXPECT_EQ(m.Stored("UserSettings"), 1u);
}

}  // namespace
}  // namespace flipset
