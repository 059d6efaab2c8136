#include "engine/ProgramLauncher.h"

#include "support/ConfigurationSeed.h"
#include "support/FakeRunHost.h"
#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: this is stored data.
const std::string kConfigurationKey = "Software\\Quillon\\Flipset\\Configurations\\3";
const std::string kProgramSettingsKey = "Software\\Quillon\\Flipset";
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;  // "UserSettings" 0
const std::string kTitle = "Quillon Configuration Flipset";

// A shell that knows a few existing programs by their short names and writes
// every launch into the host's journal, between the captions and waits.
class FakeShell : public Shell {
public:
    explicit FakeShell(std::vector<std::string>& journal) : journal_(journal) {}

    std::map<std::string, std::string> shortNames = {
        {"C:\\Program Files\\Tool\\tool.exe", "C:\\PROGRA~1\\Tool\\tool.exe"},
        {"C:\\setup.exe", "C:\\setup.exe"},
    };
    std::string throwOnOpen;  // a file whose launch throws
    std::map<std::string, std::string> failures;  // what Open reports for a file
    int shortPathRequests = 0;

    std::string ShortPathName(const std::string& path) override
    {
        ++shortPathRequests;
        auto it = shortNames.find(path);
        return it == shortNames.end() ? std::string() : it->second;
    }
    std::string Open(const std::string& file, const std::string& parameters) override
    {
        if (file == throwOnOpen)
            throw std::runtime_error("launch failed");
        journal_.push_back("open: " + file + (parameters.empty() ? "" : " | " + parameters));
        const auto failure = failures.find(file);
        return failure == failures.end() ? std::string() : failure->second;
    }

private:
    std::vector<std::string>& journal_;
};

class ProgramLauncherTest : public ::testing::Test {
protected:
    ProgramLauncherTest()
    {
        registry.WriteString(kConfigurationKey, "Name", "Office", kRoot);
        host.selectedText = "Office";
    }

    void StoreRunList(const StringList& entries)
    {
        StoreCodedList(registry, kConfigurationKey, "Run", entries, kRoot);
    }

    // The journal lines of one entry whose launch is the given line (none
    // when empty), waiting the given time.
    static std::vector<std::string> EntryLines(const std::string& entry, const std::string& launch,
                                               uint32_t wait = 1000)
    {
        std::vector<std::string> lines = {"caption: Running " + entry};
        if (!launch.empty())
            lines.push_back(launch);
        lines.push_back("caption: Waiting InRunTimeout");
        lines.push_back("wait: " + std::to_string(wait));
        lines.push_back("caption: Waiting InRunTimeout Completed");
        return lines;
    }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeRunHost host;
    RunContext ctx{registry, host};
    FakeShell shell{host.journal};
};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SplitRunEntry, ParametersLieBetweenTheFirstOpeningAndTheLastClosingBracket)
{
    struct Case {
        const char* entry;
        const char* program;
        const char* parameters;
    };
    const Case cases[] = {
        {"C:\\tool.exe", "C:\\tool.exe", ""},
        {"C:\\tool.exe [/s /q]", "C:\\tool.exe", "/s /q"},
        {"  C:\\My Tools\\tool.exe   [  /s  ]  ", "C:\\My Tools\\tool.exe", "/s"},
        {"C:\\tool.exe []", "C:\\tool.exe", ""},
        {"C:\\tool.exe [a [b] c]", "C:\\tool.exe", "a [b] c"},
        {"C:\\tool.exe [a] [b]", "C:\\tool.exe", "a] [b"},
        {"C:\\tool.exe [/s] trailing text", "C:\\tool.exe", "/s"},
        {"C:\\tool.exe [/s", "C:\\tool.exe [/s", ""},    // "[" without "]"
        {"C:\\tool.exe ]/s[", "C:\\tool.exe ]/s[", ""},  // "]" before "["
        {"C:\\tool.exe /s]", "C:\\tool.exe /s]", ""},    // "]" without "["
        {"[/s]", "", "/s"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const RunEntryParts parts = SplitRunEntry(c.entry);
        EXPECT_EQ(parts.program, c.program) << c.entry;
        EXPECT_EQ(parts.parameters, c.parameters) << c.entry;
    }
}

TEST(ShortPathOf, GivesThePlatformsShortFormOrEmpty)
{
    std::vector<std::string> journal;
    FakeShell shell(journal);
    EXPECT_EQ(ShortPathOf(shell, "C:\\Program Files\\Tool\\tool.exe"),
              "C:\\PROGRA~1\\Tool\\tool.exe");
    EXPECT_EQ(ShortPathOf(shell, "C:\\missing.exe"), "");
    EXPECT_EQ(shell.shortPathRequests, 2);

    // An empty path is not handed to the platform at all.
    EXPECT_EQ(ShortPathOf(shell, ""), "");
    EXPECT_EQ(shell.shortPathRequests, 2);
}

TEST_F(ProgramLauncherTest, EachEntryIsLaunchedByItsShortPathThenWaitedForAndTheTitleEndsIt)
{
    StoreRunList({"C:\\Program Files\\Tool\\tool.exe [/s /q]", "C:\\setup.exe"});

    RunProgramsPhase(ctx, shell, kTitle);

    EXPECT_EQ(host.journal, EntryLines("C:\\Program Files\\Tool\\tool.exe [/s /q]",
                                       "open: C:\\PROGRA~1\\Tool\\tool.exe | /s /q") +
                                EntryLines("C:\\setup.exe", "open: C:\\setup.exe") +
                                std::vector<std::string>{"caption: " + kTitle + " - Ready"});
}

// A program that can't be shortened (it does not exist) starts nothing, not
// even an empty file name, while the captions and the wait go on.
TEST_F(ProgramLauncherTest, AnEntryWhoseProgramCantBeShortenedLaunchesNothing)
{
    StoreRunList({"C:\\missing.exe [/x]", "C:\\setup.exe [/s", "[/s]", "C:\\setup.exe"});

    RunProgramsPhase(ctx, shell, kTitle);

    EXPECT_EQ(host.journal, EntryLines("C:\\missing.exe [/x]", "") +
                                EntryLines("C:\\setup.exe [/s", "") + EntryLines("[/s]", "") +
                                EntryLines("C:\\setup.exe", "open: C:\\setup.exe") +
                                std::vector<std::string>{"caption: " + kTitle + " - Ready"});
}

TEST_F(ProgramLauncherTest, TheWaitAfterEachLaunchIsTheBeforeRunSetting)
{
    StoreRunList({"C:\\setup.exe", "C:\\setup.exe [/s]"});
    registry.WriteDword(kProgramSettingsKey, "BeforeRunTimout", 3000, RegistryRoot::LocalMachine);

    RunProgramsPhase(ctx, shell, kTitle);

    EXPECT_EQ(host.waits, (std::vector<uint32_t>{3000, 3000}));
}

TEST_F(ProgramLauncherTest, NothingToLaunchGivesOnlyTheReadyCaption)
{
    struct Case {
        const char* what;
        std::function<void()> store;
    };
    const Case cases[] = {
        {"no value", [] {}},
        {"empty list", [this] { StoreRunList({}); }},
        {"only blank entries",
         [this] {
             ByteArray bytes;
             CRegistry::PackStringList({" ", "\t"}, bytes);
             registry.WriteBinary(kConfigurationKey, "Run", bytes, kRoot);
         }},
    };
    for (const Case& c : cases) {
        registry.DeleteValue(kConfigurationKey, "Run", kRoot);
        c.store();
        host.journal.clear();

        RunProgramsPhase(ctx, shell, "My title");

        EXPECT_EQ(host.journal, std::vector<std::string>{"caption: My title - Ready"}) << c.what;
    }
}

TEST_F(ProgramLauncherTest, AFailingLaunchStillWaitsAndTheNextEntryFollows)
{
    StoreRunList({"C:\\Program Files\\Tool\\tool.exe", "C:\\setup.exe"});
    shell.throwOnOpen = "C:\\PROGRA~1\\Tool\\tool.exe";

    RunProgramsPhase(ctx, shell, kTitle);

    EXPECT_EQ(host.journal, EntryLines("C:\\Program Files\\Tool\\tool.exe", "") +
                                EntryLines("C:\\setup.exe", "open: C:\\setup.exe") +
                                std::vector<std::string>{"caption: " + kTitle + " - Ready"});
}

// A shell that shows nothing of its own (a run nobody watches) reports a
// failed start: it becomes the run's error, and the next entry follows.
TEST_F(ProgramLauncherTest, AFailureTheShellShowedNobodyIsAnErrorOfTheRun)
{
    StoreRunList({"C:\\setup.exe [/s]", "C:\\Program Files\\Tool\\tool.exe"});
    shell.failures["C:\\setup.exe"] = "No application is associated with the specified file";

    RunProgramsPhase(ctx, shell, kTitle);

    const std::vector<std::string> failedEntry = {
        "caption: Running C:\\setup.exe [/s]", "open: C:\\setup.exe | /s",
        "error: Unable to start C:\\setup.exe: No application is associated with the specified "
        "file",
        "caption: Waiting InRunTimeout", "wait: 1000", "caption: Waiting InRunTimeout Completed"};
    EXPECT_EQ(host.journal, failedEntry +
                                EntryLines("C:\\Program Files\\Tool\\tool.exe",
                                           "open: C:\\PROGRA~1\\Tool\\tool.exe") +
                                std::vector<std::string>{"caption: " + kTitle + " - Ready"});
}

// An entry that does not decode is an empty program: nothing to launch.
TEST_F(ProgramLauncherTest, AnEntryThatDoesNotDecodeLaunchesNothing)
{
    ByteArray bytes;
    CRegistry::PackStringList({"NOT CODED"}, bytes);
    registry.WriteBinary(kConfigurationKey, "Run", bytes, kRoot);

    RunProgramsPhase(ctx, shell, kTitle);

    EXPECT_EQ(host.journal,
              EntryLines("", "") + std::vector<std::string>{"caption: " + kTitle + " - Ready"});
    EXPECT_EQ(shell.shortPathRequests, 0);
}

}  // namespace
}  // namespace flipset
