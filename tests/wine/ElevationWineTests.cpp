// flipset.exe without administrator rights on Windows 10, started from this
// process. Wine elevates every process, so the program is told through its
// test variable that its token says "not elevated"; the variable is removed
// before the program starts a copy of itself, so the copy that "runas"
// starts runs with Wine's real, elevated token. The restart through "runas",
// its exit code and its output are real; only the parent's token is a fake.

#include "app/OutputSink.h"
#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "wine/FlipsetProcess.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

using ui::Ui;
using ui::UiScript;

const char* const kNotElevatedVariable = "FLIPSET_TEST_NOT_ELEVATED";

const std::string kVerbRightsNeeded =
    "error: administrator rights are needed, and nothing was changed: run the command as an "
    "administrator, or without /quiet to be asked for the rights";


// The flipset.exe that the process started, once it shows up; 0 when none
// did before the deadline.
DWORD WaitForCopyStartedBy(DWORD parent, DWORD timeout = 30000)
{
    const ULONGLONG deadline = GetTickCount64() + timeout;
    do {
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot != INVALID_HANDLE_VALUE) {
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof(entry);
            DWORD found = 0;
            for (BOOL more = Process32First(snapshot, &entry); more && found == 0;
                 more = Process32Next(snapshot, &entry)) {
                if (entry.th32ParentProcessID == parent &&
                    lstrcmpiA(entry.szExeFile, "flipset.exe") == 0)
                    found = entry.th32ProcessID;
            }
            CloseHandle(snapshot);
            if (found != 0)
                return found;
        }
        Sleep(50);
    } while (GetTickCount64() < deadline);
    return 0;
}

// Ends a process the test found, if a failed test left it running.
void EndIfRunning(DWORD processId)
{
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process == nullptr)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
        TerminateProcess(process, 99);
    CloseHandle(process);
}

class NotElevated : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData(registry);
        registry.WriteString(kAppDefaults, "Version", "win10", kUser);
        registry.WriteDword(kSettingsKey, "Version", kThisVersion, kMachine);
        registry.WriteDword(kSettingsKey, "BeforeRunTimout", 200, kMachine);
        registry.WriteDword(kSettingsKey, "AfterRunTimout", 200, kMachine);
        ConfigurationStore(registry).SetConfigurationName(1, "Home office", kMachine);
        DeleteFileA(outputPath.c_str());
        // Inherited by the programs this test starts.
        SetEnvironmentVariableA(kNotElevatedVariable, "1");
    }
    void TearDown() override
    {
        SetEnvironmentVariableA(kNotElevatedVariable, nullptr);
        ClearProgramData(registry);
        registry.DeleteKeyTree(kAppDefaults, kUser);
        DeleteFileA(outputPath.c_str());
        DeleteFileA(file.c_str());
    }
    std::vector<std::string> Names()
    {
        return ConfigurationStore(registry).ListConfigurationNames(kMachine);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    const std::string outputPath = testfiles::OwnFolder() + "\\flipset_elevation_output.txt";
    const std::string file = testfiles::OwnFolder() + "\\flipset elevation.json";
};

TEST_F(NotElevated, AFakeTokenMakesQuietWritingVerbsExitWith6AndChangeNothing)
{
    ASSERT_TRUE(testfiles::WriteWhole(
        file,
        "{\"format\": \"Flipset configurations\", \"version\": 1, \"configurations\": "
        "[{\"name\": \"Office\"}]}"));
    struct Case {
        std::string arguments;
        DWORD exitCode;
    };
    const Case cases[] = {
        {" /apply \"Home office\" /quiet", 6},
        {" /undo /quiet", 6},
        {" /import \"" + file + "\" /quiet", 6},
        {" /capture Now /quiet", 6},
        // The verbs that only read need no rights.
        {" /list", 0},
        {" /preview \"Home office\" /only files", 0},
        {" /export \"" + outputPath + ".json\"", 0},
    };
    for (const Case& c : cases) {
        const FlipsetRun run = RunFlipsetToEnd(c.arguments, outputPath);
        ASSERT_TRUE(run.ended) << c.arguments;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
        if (c.exitCode == 6) {
            EXPECT_EQ(SplitOutputLines(run.output), std::vector<std::string>{kVerbRightsNeeded})
                << c.arguments;
        }
        EXPECT_EQ(run.windowsSeen, 0) << c.arguments;
    }
    DeleteFileA((outputPath + ".json").c_str());
    EXPECT_EQ(Names(), std::vector<std::string>{"Home office"});
    EXPECT_EQ(registry.ReadDword(ConfigurationKeyPath(1), "dofiles", 99, kMachine), 99u)
        << "no run stored its options";
}

// The verb starts itself again through "runas": the copy's progress window
// and message box are its own (this process shows none), and its exit code
// and output lines come back through the one that started it.
TEST_F(NotElevated, AFakeTokenRestartsAVerbThroughRealRunasAndPassesOnItsExitCodeAndOutput)
{
    FlipsetProcess program(" /apply \"Home office\" /only desktop", outputPath);
    ASSERT_TRUE(program.Started());
    const DWORD copy = WaitForCopyStartedBy(program.Id());
    ASSERT_NE(copy, 0u) << "no copy started";
    bool parentShowsNone = false;
    ui::MessageBoxInfo mixer;
    UiScript script(30000);
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        parentShowsNone = Ui(program.Id()).Windows().empty();
        mixer = ui.AnswerMessageBox(IDOK);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(script.Drive(copy));
    ASSERT_TRUE(program.WaitForExit(30000)) << "it ends once the copy has";
    EndIfRunning(copy);

    EXPECT_TRUE(parentShowsNone);
    EXPECT_EQ(mixer.text, "mixerOpen() failed");
    EXPECT_EQ(program.ExitCode(), 2u) << "the copy's";
    EXPECT_EQ(SplitOutputLines(testfiles::ReadWhole(outputPath)),
              std::vector<std::string>{"error: mixerOpen() failed"});
    EXPECT_EQ(registry.ReadDword(ConfigurationKeyPath(1), "dodesktop", 99, kMachine), 1u)
        << "the copy ran it";

    // A verb without windows: the copy's line and its code 0, and what it
    // stored.
    const FlipsetRun capture = RunFlipsetToEnd(" /capture Now", outputPath);
    ASSERT_TRUE(capture.ended);
    EXPECT_EQ(capture.exitCode, 0u) << capture.output;
    EXPECT_EQ(SplitOutputLines(capture.output).size(), 1u) << capture.output;
    EXPECT_EQ(Names(), (std::vector<std::string>{"Home office", "Now"}));
}

// The main window offers once to start again with administrator rights;
// Yes starts the copy through "runas" and ends this one.
TEST_F(NotElevated, AFakeTokenMakesTheMainWindowOfferARestartThatRealRunasCarriesOut)
{
    FlipsetProcess program("");
    ASSERT_TRUE(program.Started());
    ui::MessageBoxInfo offer;
    UiScript answer(30000);
    answer.Then([&](Ui& ui) { offer = ui.AnswerMessageBox(IDYES); });
    EXPECT_TRUE(answer.Drive(program.Id()));
    const DWORD copy = WaitForCopyStartedBy(program.Id());
    EXPECT_TRUE(program.WaitForExit(30000)) << "Yes ends this one";
    ASSERT_NE(copy, 0u) << "no copy started";

    bool offeredAgain = true;
    std::vector<std::string> listed;
    UiScript copyWindow(30000);  // the splash, and Wine starting up on a busy machine
    copyWindow.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        offeredAgain = ui.IsMessageBox(window);
        listed = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        ui.Click(window, IDC_MAIN_CLOSE);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(copyWindow.Drive(copy));
    EndIfRunning(copy);

    EXPECT_EQ(offer.text,
              "Quillon Flipset runs without administrator rights. Running a configuration, "
              "undoing a run, switching the network cards and changing the configurations "
              "shared by all users need them.\n\nStart Quillon Flipset again with "
              "administrator rights?");
    EXPECT_FALSE(offeredAgain) << "the copy runs elevated";
    EXPECT_EQ(listed, std::vector<std::string>{"Home office"});
}

// No keeps the window, which says what needs the rights it lacks: the
// start-up network action first, then Delete.
TEST_F(NotElevated, AFakeTokenAndNoKeepTheMainWindowWhichRefusesToDelete)
{
    registry.WriteDword(kSettingsKey, "startupoption", 2, kMachine);
    FlipsetProcess program("");
    ASSERT_TRUE(program.Started());
    ui::MessageBoxInfo startupAction, refusal;
    UiScript script(30000);
    script.Then([&](Ui& ui) {
        ui.AnswerMessageBox(IDNO);
        startupAction = ui.AnswerMessageBox(IDOK);
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "Home office");
        ui.Click(window, IDC_MAIN_DELETE);
        refusal = ui.AnswerMessageBox(IDOK);
        ui.Click(window, IDC_MAIN_CLOSE);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(script.Drive(program.Id()));
    EXPECT_TRUE(program.WaitForExit(30000));
    EXPECT_EQ(WaitForCopyStartedBy(program.Id(), 0), 0u) << "no copy started";

    EXPECT_EQ(startupAction.text,
              "The network cards were not switched at start: administrator rights are needed "
              "for that.");
    EXPECT_EQ(refusal.text.rfind("Administrator rights are needed for this.", 0), 0u)
        << refusal.text;
    EXPECT_EQ(Names(), std::vector<std::string>{"Home office"});
}

}  // namespace
}  // namespace flipset
