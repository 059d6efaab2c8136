// flipset.exe's command-line verbs as a script meets them: started with its
// output redirected to a file, on the real registry, hosts file and service
// control manager, checked by exit code, output and what changed. A quiet
// run must end by itself without ever showing a window.

#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/ConfigurationSeed.h"
#include "wine/ui/UiDriver.h"
#include "wine/FlipsetProcess.h"
#include "wine/OwnTestService.h"
#include "wine/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

using ui::Ui;
using ui::UiScript;

const std::string kTitle = "Quillon Configuration Flipset";
const std::string kSettingsKey = "Software\\Quillon\\Flipset";
const std::string kAppDefaults = "Software\\Wine\\AppDefaults\\flipset.exe";
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

struct VerbResult {
    bool ended = false;
    DWORD exitCode = 0;
    std::string output;
    int windowsSeen = 0;  // top-level windows of the process, at any time
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

class CommandLineVerbs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData(registry);
        // The program sees Windows XP, so its network features are on.
        registry.WriteString(kAppDefaults, "Version", "winxp", kUser);
        registry.WriteDword(kSettingsKey, "BeforeRunTimout", 200, kMachine);
        registry.WriteDword(kSettingsKey, "AfterRunTimout", 200, kMachine);
        registry.WriteDword(kSettingsKey, "ServiceStartTimout", 200, kMachine);
        DeleteFileA(outputPath.c_str());
    }
    void TearDown() override
    {
        ClearProgramData(registry);
        registry.DeleteKeyTree(kAppDefaults, kUser);
        DeleteFileA(outputPath.c_str());
    }

    // Runs flipset.exe with the arguments and its output on a file, watching
    // for windows until it ends by itself (30 s at most).
    VerbResult RunQuietly(const std::string& arguments)
    {
        VerbResult result;
        {
            FlipsetProcess program(arguments, outputPath);
            EXPECT_TRUE(program.Started()) << arguments;
            if (!program.Started())
                return result;
            Ui ui(program.Id());
            for (int i = 0; i < 1500 && !result.ended; ++i) {
                result.windowsSeen += static_cast<int>(ui.Windows().size());
                result.ended = program.WaitForExit(20);
            }
            result.exitCode = program.ExitCode();
        }
        result.output = testfiles::ReadWhole(outputPath);
        return result;
    }

    std::string AddOffice()
    {
        ConfigurationStore(registry).SetConfigurationName(1, "Home office", kMachine);
        return ConfigurationKeyPath(1);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    const std::string outputPath = testfiles::OwnFolder() + "\\flipset_verb_output.txt";
};

TEST_F(CommandLineVerbs, QuietApplyRunsTheListedAreasWithoutAnyWindowAndExitsWithZero)
{
    testfiles::SavedFile hosts(testfiles::SystemFilesFolder() + "hosts");
    testfiles::SavedFile lmhosts(testfiles::SystemFilesFolder() + "lmhosts");
    OwnTestService service("FlipsetVerb");
    const std::string recorder = testfiles::OwnFolder() + "\\flipset_record_args.exe";
    const std::string record = testfiles::OwnFolder() + "\\flipset_record_args.txt";
    DeleteFileA(record.c_str());
    const std::string key = AddOffice();
    StorePackedList(registry, key, "Hostfile", {"10.9.8.7 verbhost"}, kMachine);
    StoreCodedList(registry, key, "ServicesStart", {service.Name()}, kMachine);
    StoreCodedList(registry, key, "Run", {recorder + " [/from-verb]"}, kMachine);

    const VerbResult result =
        RunQuietly(" /apply \"home office\" -ONLY files,services,programs /quiet");

    ASSERT_TRUE(result.ended) << "a quiet run ends by itself";
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.windowsSeen, 0);
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"), "10.9.8.7 verbhost\n");
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
    std::string arguments;
    for (int i = 0; i < 100 && arguments.empty(); ++i, Sleep(100))
        arguments = testfiles::ReadWhole(record);
    EXPECT_NE(arguments.find("/from-verb"), std::string::npos) << arguments;
    DeleteFileA(record.c_str());
    const std::vector<uint32_t> expected{1, 0, 0, 1, 1};
    for (RunOption option : kRunOptions)
        EXPECT_EQ(registry.ReadDword(key, RunOptionValueName(option), 99, kMachine),
                  expected[static_cast<size_t>(option)])
            << RunOptionValueName(option);
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "Version", 0, kMachine), 0u)
        << "no first-run question";
}

TEST_F(CommandLineVerbs, QuietApplyWithFailingStepsWritesTheirMessagesAndExitsWithTwo)
{
    const std::string key = AddOffice();
    StoreCodedList(registry, key, "ServicesStart", {"FlipsetVerbNotInstalled"}, kMachine);

    // The stored options: every area, the desktop's mixer included (these
    // tests have no sound server, so it has no device).
    const VerbResult result = RunQuietly(" /apply \"Home office\" /quiet");

    ASSERT_TRUE(result.ended) << "no message box waits for a person";
    EXPECT_EQ(result.exitCode, 2u) << result.output;
    EXPECT_EQ(Lines(result.output),
              (std::vector<std::string>{"error: mixerOpen() failed",
                                        "error: Error starting the service FlipsetVerbNotInstalled"}));
    EXPECT_EQ(result.windowsSeen, 0);
}

TEST_F(CommandLineVerbs, UsageErrorsAndUnknownNamesChangeNothing)
{
    testfiles::SavedFile hosts(testfiles::SystemFilesFolder() + "hosts");
    const std::string before = testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts");
    const std::string key = AddOffice();
    StorePackedList(registry, key, "Hostfile", {"10.9.8.7 verbhost"}, kMachine);

    struct Case {
        const char* arguments;
        DWORD exitCode;
        const char* firstLine;
    };
    const Case cases[] = {
        {" /apply Nobody /quiet", 1, "error: no configuration is named \"Nobody\""},
        {" /apply", 3, "error: /apply needs the name of a configuration"},
        {" -Apply \"Home office\" /only files,sound /quiet", 3, "error: unknown area \"sound\""},
        {" /list extra", 3, "error: unexpected argument \"extra\""},
        {" /?", 0, "Usage:"},
    };
    for (const Case& c : cases) {
        const VerbResult result = RunQuietly(c.arguments);
        ASSERT_TRUE(result.ended) << c.arguments;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments;
        const std::vector<std::string> lines = Lines(result.output);
        ASSERT_FALSE(lines.empty()) << c.arguments;
        EXPECT_EQ(lines[0], c.firstLine) << c.arguments;
        if (c.exitCode == 3) {
            EXPECT_NE(result.output.find("Exit codes:"), std::string::npos) << "the usage follows";
        }
        EXPECT_EQ(result.windowsSeen, 0) << c.arguments;
    }
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"), before);
    EXPECT_EQ(registry.ReadDword(key, "dofiles", 99, kMachine), 99u) << "no options stored";
}

TEST_F(CommandLineVerbs, ApplyWithoutQuietShowsItsProgressAndItsMessagesInWindows)
{
    AddOffice();

    FlipsetProcess program(" /apply \"Home office\" /only desktop", outputPath);
    ASSERT_TRUE(program.Started());
    std::string progressClass;
    bool hasProgressText = false;
    ui::MessageBoxInfo mixer;
    UiScript script(30000);
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        hasProgressText = ui.Control(window, IDC_RUN_PROGRESS_TEXT) != nullptr;
        mixer = ui.AnswerMessageBox(IDOK);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(script.Drive(program.Id()));
    ASSERT_TRUE(program.WaitForExit(30000)) << "the run ends the program";

    EXPECT_TRUE(hasProgressText);
    EXPECT_EQ(mixer.text, "mixerOpen() failed");
    EXPECT_EQ(mixer.caption, kTitle);
    EXPECT_EQ(program.ExitCode(), 2u);
    EXPECT_EQ(Lines(testfiles::ReadWhole(outputPath)),
              std::vector<std::string>{"error: mixerOpen() failed"});
}

// The order of the main window's sorted list box, as this platform sorts.
std::vector<std::string> ListBoxOrder(const std::vector<std::string>& names)
{
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100,
                                100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (const std::string& name : names)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    std::vector<std::string> sorted;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        sorted.push_back(text);
    }
    DestroyWindow(list);
    return sorted;
}

TEST_F(CommandLineVerbs, ListWritesTheNamesOfTheSelectedRootInTheMainWindowsOrder)
{
    const std::vector<std::string> names{"beta",      "Alpha", "_under", "10 Downing", "2nd floor",
                                         "a-b",       "ab",    "Zeta",   "home office", "a.c",
                                         "Home-Lab", "#1",    "x?y"};
    ConfigurationStore store(registry);
    for (size_t i = 0; i < names.size(); ++i)
        store.SetConfigurationName(static_cast<int>(i) + 1, names[i], kUser);
    store.SetConfigurationName(1, "Shared only", kMachine);
    registry.WriteDword(kSettingsKey, "UserSettings", 1, kMachine);

    const VerbResult result = RunQuietly(" /LIST");

    ASSERT_TRUE(result.ended);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(Lines(result.output), ListBoxOrder(names));
    EXPECT_EQ(result.windowsSeen, 0);
}

}  // namespace
}  // namespace flipset
