// The Run phase against the real shell: a small program of ours that records
// the command line it was started with, copied into a folder whose path has
// spaces, as programs under "Program Files" have.

#include "engine/ProgramLauncher.h"
#include "engine/Win32Shell.h"

#include "support/ConfigurationSeed.h"
#include "support/FakeRunHost.h"
#include "support/MemoryRegistryBackend.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace flipset {
namespace {

using namespace testfiles;

const std::string kConfigurationKey = kAllConfigurationsKey + "\\3";
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;
constexpr DWORD kLaunchDeadline = 60000;  // ms: generous for a loaded machine

// What follows the program's name on a command line.
std::string ArgumentsOf(const std::string& commandLine)
{
    size_t position = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t closing = commandLine.find('"', 1);
        position = closing == std::string::npos ? commandLine.size() : closing + 1;
    } else {
        position = commandLine.find(' ');
        if (position == std::string::npos)
            position = commandLine.size();
    }
    while (position < commandLine.size() && commandLine[position] == ' ')
        ++position;
    return commandLine.substr(position);
}

class LauncherWine : public ::testing::Test {
protected:
    LauncherWine()
    {
        registry.WriteString(kConfigurationKey, "Name", "Office", kRoot);
        host.selectedText = "Office";
    }

    void SetUp() override
    {
        ASSERT_TRUE(
            CopyFileA((OwnFolder() + "\\flipset_record_args.exe").c_str(), program.c_str(), FALSE));
    }

    void TearDown() override
    {
        // The program may still be ending; its file can go once it has.
        const DWORD start = GetTickCount();
        while (!DeleteFileA(program.c_str()) && GetTickCount() - start < kLaunchDeadline)
            Sleep(50);
    }

    void StoreRunList(const StringList& entries)
    {
        StoreCodedList(registry, kConfigurationKey, "Run", entries, kRoot);
    }

    // The command line the program recorded; empty when it did not record
    // one before the deadline.
    std::string AwaitRecord() { return AwaitRecordFile(record, kLaunchDeadline); }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeRunHost host;
    RunContext ctx{registry, host};
    Win32Shell shell;
    ScratchFolder folder{"flipset launcher test"};
    const std::string program = folder / "record args.exe";
    const std::string record = folder / "flipset_record_args.txt";
};

TEST_F(LauncherWine, ShortPathOfAnExistingProgramHasNoSpacesAndNamesTheSameFile)
{
    const std::string shortPath = ShortPathOf(shell, program);
    ASSERT_FALSE(shortPath.empty());
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    char longPath[MAX_PATH] = {};
    ASSERT_NE(GetLongPathNameA(shortPath.c_str(), longPath, MAX_PATH), 0u);
    EXPECT_TRUE(EqualsNoCase(longPath, program)) << longPath;

    EXPECT_EQ(ShortPathOf(shell, folder / "missing.exe"), "");
}

TEST_F(LauncherWine, TheProgramReceivesTheParametersBetweenTheBrackets)
{
    StoreRunList({program + " [/s /q \"two words\"]"});

    RunProgramsPhase(ctx, shell, "Title");

    EXPECT_EQ(ArgumentsOf(AwaitRecord()), "/s /q \"two words\"");
    EXPECT_EQ(host.Lines("caption: "),
              (std::vector<std::string>{"Running " + program + " [/s /q \"two words\"]",
                                        "Waiting InRunTimeout", "Waiting InRunTimeout Completed",
                                        "Title - Ready"}));
}

TEST_F(LauncherWine, AProgramWithoutBracketsReceivesNoParameters)
{
    StoreRunList({program});

    RunProgramsPhase(ctx, shell, "Title");

    const std::string commandLine = AwaitRecord();
    ASSERT_FALSE(commandLine.empty()) << "the program did not start";
    EXPECT_EQ(ArgumentsOf(commandLine), "") << commandLine;
}

TEST_F(LauncherWine, AProgramThatDoesNotExistLaunchesNothingAndTheNextEntryFollows)
{
    StoreRunList({folder / "missing.exe [/x]", program + " [/y", program + " [second]"});

    RunProgramsPhase(ctx, shell, "Title");

    // Only the last entry names an existing program.
    EXPECT_EQ(ArgumentsOf(AwaitRecord()), "second");
    EXPECT_EQ(host.waits, (std::vector<uint32_t>{1000, 1000, 1000}));
    EXPECT_EQ(host.Lines("caption: ").back(), "Title - Ready");
}

// The windows of this process that are visible now.
int VisibleWindowsOfThisProcess()
{
    int count = 0;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window))
                ++*reinterpret_cast<int*>(found);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// A run nobody watches (/apply /quiet): the shell shows no window of its own,
// and a start that fails becomes the run's error, the program and the reason
// named, while the next entry still starts.
TEST_F(LauncherWine, WithoutAnInterfaceAFailedStartIsAnErrorAndNoWindowOpens)
{
    Win32Shell quietShell(Win32Shell::Interface::None);
    const std::string document = folder / "notes.flipset-unassociated";
    ASSERT_TRUE(WriteWhole(document, "no program opens this"));
    StoreRunList({document, program + " [after]"});

    RunProgramsPhase(ctx, quietShell, "Title");

    EXPECT_EQ(ArgumentsOf(AwaitRecord()), "after");
    const std::vector<std::string> errors = host.Lines("error: ");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Unable to start " + ShortPathOf(shell, document) + ": ", 0), 0u)
        << errors[0];
    EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);
}

}  // namespace
}  // namespace flipset
