// flipset.exe as a user meets it: started in the prefix with a configuration
// seeded in the registry, driven from this separate process through its real
// windows (first-run question, splash, main window, Run), and the machine
// checked afterwards.

#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/ConfigurationSeed.h"
#include "wine/FlipsetProcess.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace flipset {
namespace {

using ui::Ui;
using ui::UiScript;

const std::string kStartPageKey = "Software\\Microsoft\\Internet Explorer\\Main";

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData(registry);
        // The program sees Windows XP, so its network features are on.
        registry.WriteString(kAppDefaults, "Version", "winxp", kUser);
    }
    void TearDown() override
    {
        ClearProgramData(registry);
        registry.DeleteKeyTree(kAppDefaults, kUser);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(EndToEnd, AUserRunsASeededConfigurationAndTheProgramApplyItAndEnds)
{
    testfiles::SavedFile hosts(testfiles::SystemFilesFolder() + "hosts");
    testfiles::SavedFile lmhosts(testfiles::SystemFilesFolder() + "lmhosts");
    const std::string recorder = testfiles::OwnFolder() + "\\flipset_record_args.exe";
    const std::string record = testfiles::OwnFolder() + "\\flipset_record_args.txt";
    DeleteFileA(record.c_str());
    const std::string hostsPath = testfiles::SystemFilesFolder() + "hosts";
    std::string hostsBefore;
    const bool hostsExisted = testfiles::ReadWhole(hostsPath, hostsBefore);
    const std::string startPageBefore =
        registry.ReadString(kStartPageKey, "Start Page", "(none)", kUser);

    // The configuration, as the editor stores it; short waits for the test.
    ConfigurationStore(registry).SetConfigurationName(1, "Office", kMachine);
    const std::string key = ConfigurationKeyPath(1);
    StorePackedList(registry, key, "Hostfile", {"127.0.0.1 localhost\r\n10.1.2.3 fileserver"},
                    kMachine);
    registry.WriteString(key, "IEHOME", "http://intranet.example/", kMachine);
    StoreCodedList(registry, key, "Run", {recorder + " [/quiet /office]"}, kMachine);
    registry.WriteDword(kSettingsKey, "BeforeRunTimout", 300, kMachine);
    registry.WriteDword(kSettingsKey, "AfterRunTimout", 300, kMachine);

    FlipsetProcess program("");
    ASSERT_TRUE(program.Started());
    ui::MessageBoxInfo mixer;
    std::vector<std::string> listed;
    UiScript script(30000);  // the splash, and Wine starting up on a busy machine
    script.Then([&](Ui& ui) {
        // The seeded configuration is under the machine-wide root: the first
        // start keeps it shared without the first-run question.
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        EXPECT_FALSE(ui.IsMessageBox(window)) << "no first-run question";
        listed = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "Office");
        ui.Click(window, IDC_MAIN_RUN);
        mixer = ui.AnswerMessageBox(IDOK);  // no sound server for these tests
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(script.Drive(program.Id()));
    EXPECT_TRUE(program.WaitForExit(30000)) << "the run ends the program";

    EXPECT_EQ(listed, std::vector<std::string>{"Office"});
    EXPECT_EQ(mixer.text, "mixerOpen() failed");
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "Version", 0, kMachine), FLIPSET_VERSION_NUMBER);
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "UserSettings", 99, kMachine), 0u);
    for (const char* option : {"dofiles", "donetwork", "dodesktop", "dorun", "doservices"})
        EXPECT_EQ(registry.ReadDword(key, option, 99, kMachine), 1u) << option;
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"),
              "127.0.0.1 localhost\r\n10.1.2.3 fileserver\n");
    EXPECT_EQ(registry.ReadString(kStartPageKey, "Start Page", "", kUser),
              "http://intranet.example/");
    EXPECT_EQ(registry.ReadString("Control Panel\\Desktop", "TileWallpaper", "", kUser), "1");
    const std::string arguments = testfiles::AwaitRecordFile(record);
    EXPECT_NE(arguments.find("/quiet /office"), std::string::npos) << arguments;

    // The window's run stored the state before it: an undo puts it back.
    FlipsetProcess undo(" /undo /quiet");
    ASSERT_TRUE(undo.Started());
    ASSERT_TRUE(undo.WaitForExit(30000));
    EXPECT_EQ(undo.ExitCode(), 0u);
    EXPECT_EQ(testfiles::Exists(hostsPath), hostsExisted);
    if (hostsExisted) {
        EXPECT_EQ(testfiles::ReadWhole(hostsPath), hostsBefore);
    }
    EXPECT_EQ(registry.ReadString(kStartPageKey, "Start Page", "(none)", kUser), startPageBefore);
}

// An administrator imports and captures configurations before anyone has
// started the program: the first start must keep them in every user's view.
TEST_F(EndToEnd, ConfigurationsWrittenByVerbsBeforeTheFirstStartStayInTheList)
{
    const std::string file = testfiles::OwnFolder() + "\\flipset first start.json";
    ASSERT_TRUE(testfiles::WriteWhole(
        file,
        "{\"format\": \"Flipset configurations\", \"version\": 1, \"configurations\": "
        "[{\"name\": \"Office\"}]}"));
    for (const std::string& arguments :
         {" /import \"" + file + "\"", std::string(" /capture Home")}) {
        FlipsetProcess verb(arguments);
        ASSERT_TRUE(verb.Started()) << arguments;
        ASSERT_TRUE(verb.WaitForExit(30000)) << arguments;
        EXPECT_EQ(verb.ExitCode(), 0u) << arguments;
    }
    DeleteFileA(file.c_str());
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "UserSettings", 99, kMachine), 0u)
        << "the verb stored the shared choice it used";

    FlipsetProcess program("");
    ASSERT_TRUE(program.Started());
    std::vector<std::string> listed;
    bool questionShown = true;
    UiScript script(30000);  // the splash, and Wine starting up on a busy machine
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        questionShown = ui.IsMessageBox(window);
        listed = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        ui.Click(window, IDC_MAIN_CLOSE);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(script.Drive(program.Id()));
    EXPECT_TRUE(program.WaitForExit(30000));

    EXPECT_FALSE(questionShown) << "no first-run question";
    EXPECT_EQ(listed, (std::vector<std::string>{"Home", "Office"}));
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "UserSettings", 99, kMachine), 0u);
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "Version", 0, kMachine), FLIPSET_VERSION_NUMBER);
}

// The manifest declares Windows 10: there the program sees 10.0 and its
// network features are on, where Windows 7 (6.1) leaves them off.
TEST_F(EndToEnd, OnWindows10TheNetworkBoxAndTheAllNowButtonsAreOnAsOnXpButNotOn7)
{
    struct Case {
        const char* wineVersion;
        bool networkFeatures;
    };
    const Case cases[] = {{"win10", true}, {"win7", false}, {"winxp", true}};
    for (const Case& c : cases) {
        registry.WriteDword(kSettingsKey, "Version", kThisVersion, kMachine);
        registry.WriteString(kAppDefaults, "Version", c.wineVersion, kUser);
        FlipsetProcess program("");
        ASSERT_TRUE(program.Started()) << c.wineVersion;
        std::map<int, bool> enabled;
        UiScript script(30000);  // the splash, and Wine starting up on a busy machine
        script.Then([&](Ui& ui) {
            HWND window = ui.WaitForWindow(kTitle, "#32770");
            for (int id : {IDC_MAIN_NETWORK, IDC_MAIN_ENABLE_ALL_NOW, IDC_MAIN_DISABLE_ALL_NOW,
                           IDC_MAIN_STARTUP_ENABLE})
                enabled[id] = ui.IsEnabled(window, id);
            ui.Click(window, IDC_MAIN_CLOSE);
            ui.WaitUntilGone(window);
        });
        EXPECT_TRUE(script.Drive(program.Id())) << c.wineVersion;
        EXPECT_TRUE(program.WaitForExit(30000)) << c.wineVersion;
        for (const auto& [id, isEnabled] : enabled)
            EXPECT_EQ(isEnabled, c.networkFeatures) << c.wineVersion << ": control " << id;
    }
}

TEST_F(EndToEnd, RegServerAndUnregServerWriteAndRemoveTheRegistrationWithoutAWindow)
{
    const std::string appIdKey = "AppID\\Flipset.EXE";
    {
        FlipsetProcess program(" /RegServer");
        ASSERT_TRUE(program.Started());
        EXPECT_TRUE(program.WaitForExit(30000));
    }
    const std::string appId = registry.ReadString(appIdKey, "AppID", "", RegistryRoot::ClassesRoot);
    EXPECT_EQ(appId.size(), 38u) << appId;
    EXPECT_EQ(registry.ReadString("AppID\\" + appId, "", "", RegistryRoot::ClassesRoot), "Flipset");
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "Version", 0, kMachine), 0u)
        << "the main window never opened";
    {
        FlipsetProcess program(" -unregserver");
        ASSERT_TRUE(program.Started());
        EXPECT_TRUE(program.WaitForExit(30000));
    }
    EXPECT_EQ(registry.ReadString(appIdKey, "AppID", "gone", RegistryRoot::ClassesRoot), "gone");
    StringList ids = registry.EnumSubKeys("AppID", RegistryRoot::ClassesRoot);
    EXPECT_FALSE(ids.empty()) << "AppID itself stays";
}

}  // namespace
}  // namespace flipset
