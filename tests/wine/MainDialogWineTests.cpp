// The main window and the splash, driven through their real controls under
// Wine, with the program's data in the prefix's real registry and the run's
// platform services replaced by recording stand-ins.

#include "app/MainDialog.h"
#include "app/SplashDialog.h"
#include "resource.h"
#include "store/Win32RegistryBackend.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeElevation.h"
#include "support/FakePlatform.h"
#include "support/FakeServiceManager.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::Ui;
using ui::UiScript;

const int kOptionBoxes[] = {IDC_MAIN_FILES,    IDC_MAIN_NETWORK,  IDC_MAIN_DESKTOP,
                            IDC_MAIN_PROGRAMS, IDC_MAIN_SERVICES, IDC_MAIN_PROXY};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData();
        registry.WriteDword(kSettingsKey, "Version", kThisVersion, kMachine);
    }
    void TearDown() override { ClearProgramData(); }

    void ClearProgramData()
    {
        registry.DeleteKeyTree(kProgramKey, kMachine);
        registry.DeleteKeyTree(kProgramKey, kUser);
    }
    void AddConfiguration(int number, const std::string& name, RegistryRoot root = kMachine)
    {
        ConfigurationStore(registry).SetConfigurationName(number, name, root);
    }
    uint32_t Setting(const char* name, RegistryRoot root = kMachine)
    {
        return registry.ReadDword(kSettingsKey, name, 99, root);
    }

    // Runs the main window while the script's steps drive it; its result.
    INT_PTR RunMainWindow(UiScript& script)
    {
        INT_PTR result = -2;
        EXPECT_TRUE(script.RunWith([&] {
            MainDialog dialog(registry, platform.run, elevation);
            result = dialog.RunModal(nullptr);
        }));
        return result;
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    std::vector<std::string> journal;
    FakeDeviceInstaller devices{registry};
    FakeRunPlatform platform{journal, devices};
    FakeElevation elevation;
};

TEST_F(MainWindow, ListsTheNamesSortedAndSelectsTheFirst)
{
    AddConfiguration(1, "beta");
    AddConfiguration(2, "Alpha");
    AddConfiguration(3, "gamma");
    AddConfiguration(4, "   ");
    std::vector<std::string> items;
    int selection = -2;
    bool deleteEnabled = false, editEnabled = false, runEnabled = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        items = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        selection = ui.ListSelection(window, IDC_MAIN_CONFIGURATIONS);
        deleteEnabled = ui.IsEnabled(window, IDC_MAIN_DELETE);
        editEnabled = ui.IsEnabled(window, IDC_MAIN_EDIT);
        runEnabled = ui.IsEnabled(window, IDC_MAIN_RUN);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    EXPECT_EQ(RunMainWindow(script), IDCANCEL);
    EXPECT_EQ(items, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(selection, 0);
    EXPECT_TRUE(deleteEnabled && editEnabled && runEnabled);
}

TEST_F(MainWindow, AnEmptyStoreLeavesDeleteEditAndRunDisabled)
{
    bool anyEnabled = true;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        anyEnabled = ui.IsEnabled(window, IDC_MAIN_DELETE) || ui.IsEnabled(window, IDC_MAIN_EDIT) ||
                     ui.IsEnabled(window, IDC_MAIN_RUN);
        ui.PressKey(window, VK_ESCAPE);
    });
    EXPECT_EQ(RunMainWindow(script), IDCANCEL);
    EXPECT_FALSE(anyEnabled);
}

TEST_F(MainWindow, DeleteAsksAndThenSelectsTheEntryThatTookItsPlace)
{
    for (int n = 1; n <= 4; ++n)
        AddConfiguration(n, std::string(1, static_cast<char>('a' + n - 1)));
    ui::MessageBoxInfo question;
    std::vector<std::string> afterNo, afterFirst, afterLast;
    int selectionAfterFirst = -2, selectionAfterLast = -2;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        auto waitForCount = [&](int count) {
            ui.WaitUntil("the list refilled",
                         [&] { return ui.ListCount(window, IDC_MAIN_CONFIGURATIONS) == count; });
        };
        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "a");
        ui.Click(window, IDC_MAIN_DELETE);
        ui.AnswerMessageBox(IDNO);
        waitForCount(4);
        afterNo = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);

        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "c");  // index 2
        ui.Click(window, IDC_MAIN_DELETE);
        question = ui.AnswerMessageBox(IDYES);
        waitForCount(3);
        afterFirst = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        selectionAfterFirst = ui.ListSelection(window, IDC_MAIN_CONFIGURATIONS);

        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "d");
        ui.Click(window, IDC_MAIN_DELETE);
        ui.AnswerMessageBox(IDYES);
        waitForCount(2);
        afterLast = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        selectionAfterLast = ui.ListSelection(window, IDC_MAIN_CONFIGURATIONS);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);
    EXPECT_EQ(question.text, "Delete the selected configuration?");
    EXPECT_EQ(question.icon, MessageBoxIcon::Stop);
    EXPECT_EQ(afterNo, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(afterFirst, (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(selectionAfterFirst, 2) << "the entry that moved up";
    EXPECT_EQ(afterLast, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(selectionAfterLast, 0) << "after the last entry, the first";
    StringList keys = registry.EnumSubKeys(kAllConfigurationsKey, kMachine);
    EXPECT_EQ(keys, (StringList{"1", "2"}));
}

TEST_F(MainWindow, TheOptionBoxesEnableRunAndAreRemembered)
{
    AddConfiguration(1, "Home");
    bool runAfterUnchecking = true, runAfterChecking = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        for (int id : kOptionBoxes)
            ui.SetChecked(window, id, false);
        runAfterUnchecking = ui.IsEnabled(window, IDC_MAIN_RUN);
        ui.SetChecked(window, IDC_MAIN_SERVICES, true);
        runAfterChecking = ui.IsEnabled(window, IDC_MAIN_RUN);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);
    EXPECT_FALSE(runAfterUnchecking);
    EXPECT_TRUE(runAfterChecking);
    EXPECT_EQ(Setting("dofiles"), 0u);
    EXPECT_EQ(Setting("donetwork"), 0u);
    EXPECT_EQ(Setting("dodesktop"), 0u);
    EXPECT_EQ(Setting("dorun"), 0u);
    EXPECT_EQ(Setting("doservices"), 1u);
    EXPECT_EQ(Setting("doproxy"), 0u);

    // With no configuration to show, the next opening shows them as left.
    ConfigurationStore(registry).DeleteConfiguration(1, kMachine);
    std::vector<bool> states;
    UiScript again;
    again.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        for (int id : kOptionBoxes)
            states.push_back(ui.IsChecked(window, id));
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(again);
    EXPECT_EQ(states, (std::vector<bool>{false, false, false, false, true, false}));
}

TEST_F(MainWindow, EachConfigurationShowsTheOptionsItLastRanWith)
{
    AddConfiguration(1, "Alpha");
    const std::string alpha = ConfigurationKeyPath(1);
    for (const char* value :
         {"dofiles", "donetwork", "dodesktop", "dorun", "doservices", "doproxy"})
        registry.WriteDword(alpha, value, 0, kMachine);
    registry.WriteDword(alpha, "dofiles", 1, kMachine);
    AddConfiguration(2, "Beta");
    std::vector<bool> beta, alphaStates;
    bool runEnabled = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "Beta");
        for (int id : kOptionBoxes)
            beta.push_back(ui.IsChecked(window, id));
        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "Alpha");
        for (int id : kOptionBoxes)
            alphaStates.push_back(ui.IsChecked(window, id));
        runEnabled = ui.IsEnabled(window, IDC_MAIN_RUN);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);
    EXPECT_EQ(beta, (std::vector<bool>{true, true, true, true, true, true})) << "never ran";
    EXPECT_EQ(alphaStates, (std::vector<bool>{true, false, false, false, false, false}));
    EXPECT_TRUE(runEnabled);
}

TEST_F(MainWindow, TheStartupRadioButtonsShowAndStoreTheOption)
{
    registry.WriteDword(kSettingsKey, "startupoption", 2, kMachine);
    bool disableChecked = false;
    uint32_t storedAfterClick = 99;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        disableChecked = ui.IsChecked(window, IDC_MAIN_STARTUP_DISABLE);
        ui.SetChecked(window, IDC_MAIN_STARTUP_NOTHING, true);
        storedAfterClick = Setting("startupoption");
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);
    EXPECT_TRUE(disableChecked);
    EXPECT_EQ(storedAfterClick, 0u);
}

TEST_F(MainWindow, OnMajorVersionSixEveryNetworkFeatureIsOff)
{
    platform.system.majorVersion = 6;
    registry.WriteDword(kSettingsKey, "startupoption", 2, kMachine);
    AddConfiguration(1, "Lab");
    registry.WriteDword(ConfigurationKeyPath(1), "donetwork", 1, kMachine);
    std::map<int, bool> enabled;
    bool networkChecked = true, nothingChecked = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        for (int id : {IDC_MAIN_NETWORK, IDC_MAIN_STARTUP_NOTHING, IDC_MAIN_STARTUP_ENABLE,
                       IDC_MAIN_STARTUP_DISABLE, IDC_MAIN_STARTUP_GROUP, IDC_MAIN_ENABLE_ALL_NOW,
                       IDC_MAIN_DISABLE_ALL_NOW, IDC_MAIN_FILES})
            enabled[id] = ui.IsEnabled(window, id);
        networkChecked = ui.IsChecked(window, IDC_MAIN_NETWORK);
        nothingChecked = ui.IsChecked(window, IDC_MAIN_STARTUP_NOTHING);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);
    for (const auto& [id, isEnabled] : enabled)
        EXPECT_EQ(isEnabled, id == IDC_MAIN_FILES) << "control " << id;
    EXPECT_FALSE(networkChecked);
    EXPECT_TRUE(nothingChecked) << "shown as 0";
    EXPECT_EQ(Setting("startupoption"), 2u) << "but not stored";
}

// What the window says of an action that needs administrator rights it
// lacks.
const std::string kRightsNeeded =
    "Administrator rights are needed for this. Quillon Flipset runs without them: it can show, "
    "preview and export configurations, but not change this computer or the configurations "
    "shared by all users.\n\nClose it and start it again, then answer Yes when it offers to "
    "start with administrator rights.";

// Wine elevates every process, so the token here is a fake that says "not
// elevated", on a platform that reports 10.
TEST_F(MainWindow, WithAFakeNotElevatedTokenEachActionThatWritesSaysRightsAreNeeded)
{
    struct Case {
        const char* what;
        int command;
        bool perUser;  // the configurations under the user's own root
    };
    const Case cases[] = {
        {"Run", IDC_MAIN_RUN, false},
        {"Run of a user's own configuration", IDC_MAIN_RUN, true},
        {"Add", IDC_MAIN_ADD, false},
        {"Delete", IDC_MAIN_DELETE, false},
        {"Enable all now", IDC_MAIN_ENABLE_ALL_NOW, true},
        {"Disable all now", IDC_MAIN_DISABLE_ALL_NOW, false},
        {"Import", IDM_LIST_IMPORT, false},
        {"Duplicate", IDM_LIST_DUPLICATE, false},
        {"New from the current state", IDM_LIST_NEW_FROM_STATE, false},
        {"Undo", IDM_LIST_UNDO, true},
        {"the start-up network action", IDC_MAIN_STARTUP_DISABLE, false},
    };
    platform.system.majorVersion = 10;
    elevation.elevated = false;
    for (const Case& c : cases) {
        ClearProgramData();
        registry.WriteDword(kSettingsKey, "Version", kThisVersion, kMachine);
        const RegistryRoot root = c.perUser ? kUser : kMachine;
        if (c.perUser)
            registry.WriteDword(kSettingsKey, "UserSettings", 1, kMachine);
        AddConfiguration(1, "Home", root);
        ui::MessageBoxInfo said;
        bool nothingChecked = false;
        std::vector<std::string> listed;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND window = ui.WaitForWindow(kTitle);
            if (c.command >= IDM_LIST_EXPORT)
                ui.SendCommand(window, c.command);
            else
                ui.Click(window, c.command);
            said = ui.AnswerMessageBox(IDOK);
            ui.WaitUntil("the window usable again",
                         [&] { return ui.IsEnabled(window, IDC_MAIN_CLOSE); });
            nothingChecked = ui.IsChecked(window, IDC_MAIN_STARTUP_NOTHING);
            listed = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
            ui.Click(window, IDC_MAIN_CLOSE);
        });
        EXPECT_EQ(RunMainWindow(script), IDCANCEL) << c.what << ": the window stays open";
        EXPECT_EQ(said.text, kRightsNeeded) << c.what;
        EXPECT_EQ(said.icon, MessageBoxIcon::Stop) << c.what;
        EXPECT_EQ(journal, std::vector<std::string>{}) << c.what;
        EXPECT_EQ(listed, std::vector<std::string>{"Home"}) << c.what;
        EXPECT_EQ(ConfigurationStore(registry).ListConfigurationNames(root),
                  std::vector<std::string>{"Home"})
            << c.what;
        EXPECT_TRUE(nothingChecked) << c.what << ": the stored start-up option shown again";
        EXPECT_EQ(Setting("startupoption"), 99u) << c.what;
    }
}

// Without administrator rights the window still reads: Edit opens an
// existing configuration, Preview shows a run, and a user's own
// configurations, under the user's root, take changes.
TEST_F(MainWindow, WithAFakeNotElevatedTokenReadingAndAUsersOwnConfigurationsStillWork)
{
    platform.system.majorVersion = 10;
    elevation.elevated = false;
    registry.WriteDword(kSettingsKey, "UserSettings", 1, kMachine);
    AddConfiguration(1, "Home", kUser);
    std::string editorName, previewCaption;
    ui::MessageBoxInfo duplicated;
    std::vector<std::string> afterDuplicate;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        ui.Click(window, IDC_MAIN_EDIT);
        HWND editor = ui.WaitForWindow("Configuration");
        editorName = ui.Text(editor, IDC_CONFIG_NAME);
        ui.SendCommand(editor, IDCANCEL);
        ui.WaitUntilGone(editor);

        ui.SendCommand(window, IDM_LIST_PREVIEW);
        HWND preview = ui.WaitForWindow("Preview of a run of Home");
        previewCaption = ui.Caption(preview);
        ui.SendCommand(preview, IDCANCEL);
        ui.WaitUntilGone(preview);

        ui.SendCommand(window, IDM_LIST_DUPLICATE);
        duplicated = ui.AnswerMessageBox(IDOK);
        ui.WaitUntil("the copy listed",
                     [&] { return ui.ListCount(window, IDC_MAIN_CONFIGURATIONS) == 2; });
        afterDuplicate = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    EXPECT_EQ(RunMainWindow(script), IDCANCEL);
    EXPECT_EQ(editorName, "Home");
    EXPECT_EQ(previewCaption, "Preview of a run of Home");
    EXPECT_NE(duplicated.text, kRightsNeeded);
    EXPECT_EQ(afterDuplicate, (std::vector<std::string>{"Home", "Home - copy"}));
}

// Seen by a message hook on the window's thread: the marker posted to the
// window has been taken from the queue.
std::atomic<HWND> markedWindow{nullptr};
std::atomic<bool> markerTaken{false};

LRESULT CALLBACK NoticeMarker(int code, WPARAM removed, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_NULL &&
        message->hwnd == markedWindow.load())
        markerTaken = true;
    return CallNextHookEx(nullptr, code, removed, lParam);
}

// Waits until the window's thread has handled every message posted to the
// window so far. Posted messages are taken in order, one after the other's
// handling, and the messages sent meanwhile are handled before any posted
// one is taken; so once a harmless WM_NULL posted now has been taken, all
// of them have been handled.
void WaitUntilPostedMessagesHandled(Ui& ui, HWND window)
{
    markedWindow = window;
    markerTaken = false;
    const std::unique_ptr<std::remove_pointer_t<HHOOK>, decltype(&UnhookWindowsHookEx)> hook(
        SetWindowsHookExA(WH_GETMESSAGE, NoticeMarker, nullptr,
                          GetWindowThreadProcessId(window, nullptr)),
        &UnhookWindowsHookEx);
    if (!hook)
        ui.Fail("no message hook on the window's thread: error " + std::to_string(GetLastError()));
    if (!PostMessageA(window, WM_NULL, 0, 0))
        ui.Fail("the marker could not be posted: error " + std::to_string(GetLastError()));
    ui.WaitUntil("the messages posted so far handled", [] { return markerTaken.load(); });
}

TEST_F(MainWindow, DuringARunCloseEscapeAndASecondRunAreIgnored)
{
    AddConfiguration(1, "Home");
    registry.WriteDword(kSettingsKey, "BeforeRunTimout", 1500, kMachine);
    std::string captionDuringWait;
    bool stillOpenAfterClose = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        ui.Click(window, IDC_MAIN_RUN);
        ui.WaitUntil("the before-run wait",
                     [&] { return ui.Caption(window) == "Waiting BeforeRunTimeout"; });
        captionDuringWait = ui.Caption(window);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ui.PressKey(window, VK_ESCAPE);
        ui.DoubleClickListItem(window, IDC_MAIN_CONFIGURATIONS, "Home");
        WaitUntilPostedMessagesHandled(ui, window);
        stillOpenAfterClose = IsWindowVisible(window) != FALSE;
        ui.WaitUntilGone(window);
    });
    EXPECT_EQ(RunMainWindow(script), 1) << "the run closes the window";
    EXPECT_EQ(captionDuringWait, "Waiting BeforeRunTimeout");
    EXPECT_TRUE(stillOpenAfterClose);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "refresh"), 1) << "one run only";
    for (const char* value : {"dofiles", "donetwork", "dodesktop", "dorun", "doservices"})
        EXPECT_EQ(registry.ReadDword(ConfigurationKeyPath(1), value, 99, kMachine), 1u) << value;
}

TEST_F(MainWindow, ARunThatFindsNoConfigurationRestoresTheButtons)
{
    AddConfiguration(1, "Home");
    ui::MessageBoxInfo error;
    std::map<int, bool> enabled;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        // Another copy of the program deleted it behind this window's back.
        registry.DeleteKeyTree(ConfigurationKeyPath(1), kMachine);
        ui.Click(window, IDC_MAIN_RUN);
        error = ui.AnswerMessageBox(IDOK);
        // The run restores the buttons once the box is gone, Run last.
        ui.WaitUntil("Run enabled again", [&] { return ui.IsEnabled(window, IDC_MAIN_RUN); });
        for (int id : {IDC_MAIN_ADD, IDC_MAIN_CLOSE, IDC_MAIN_ENABLE_ALL_NOW,
                       IDC_MAIN_DISABLE_ALL_NOW, IDC_MAIN_RUN, IDC_MAIN_EDIT, IDC_MAIN_DELETE})
            enabled[id] = ui.IsEnabled(window, id);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    EXPECT_EQ(RunMainWindow(script), IDCANCEL);
    EXPECT_EQ(error.text, "Error. Unable to find the selected configuration.");
    EXPECT_EQ(error.icon, MessageBoxIcon::Stop);
    for (const auto& [id, isEnabled] : enabled)
        EXPECT_TRUE(isEnabled) << "control " << id;
}

// A desktop whose wallpaper call fails by throwing, as an allocation might.
class ThrowingDesktop : public FakeDesktop {
public:
    using FakeDesktop::FakeDesktop;
    void SetWallpaper(const std::string&) override
    {
        thrown = true;
        throw std::runtime_error("wallpaper");
    }
    std::atomic<bool> thrown{false};
};

TEST_F(MainWindow, ARunWhosePhaseThrowsLeavesTheWindowUsableAndClosable)
{
    AddConfiguration(1, "Home");
    registry.WriteString(ConfigurationKeyPath(1), "Wallpaper", "C:\\home.bmp", kMachine);
    ThrowingDesktop throwing{journal};
    const RunPlatform failing = platform.WithDesktop(throwing);
    std::map<int, bool> enabled;
    std::string caption;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        ui.Click(window, IDC_MAIN_RUN);
        ui.WaitUntil("the failed run over",
                     [&] { return throwing.thrown && ui.IsEnabled(window, IDC_MAIN_RUN); });
        for (int id : {IDC_MAIN_ADD, IDC_MAIN_CLOSE, IDC_MAIN_ENABLE_ALL_NOW,
                       IDC_MAIN_DISABLE_ALL_NOW, IDC_MAIN_RUN, IDC_MAIN_EDIT, IDC_MAIN_DELETE})
            enabled[id] = ui.IsEnabled(window, id);
        caption = ui.Caption(window);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ui.WaitUntilGone(window);
    });
    INT_PTR result = -2;
    EXPECT_TRUE(script.RunWith([&] {
        MainDialog dialog(registry, failing, elevation);
        result = dialog.RunModal(nullptr);
    }));
    EXPECT_EQ(result, IDCANCEL) << "closed by the user, not ended by the run";
    EXPECT_EQ(caption, kTitle);
    for (const auto& [id, isEnabled] : enabled)
        EXPECT_TRUE(isEnabled) << "control " << id;
}

// The first start asks where configurations live; later starts only keep
// "Version" up to date.
TEST_F(MainWindow, TheFirstRunQuestionChoosesWhereConfigurationsLive)
{
    struct Case {
        const char* what;
        int storedVersion;  // -1: none
        bool shared;        // a configuration under the machine-wide root before the start
        int answer;         // IDYES, IDNO, or 0: no question expected
        uint32_t version;   // "Version" afterwards
        uint32_t userSettings;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {"first start, shared", -1, false, IDYES, kThisVersion, 0, {}},
        {"first start, per user", -1, false, IDNO, kThisVersion, 1, {"Mine"}},
        {"below 2000", 1999, false, IDNO, kThisVersion, 1, {"Mine"}},
        // Configurations written before the first start stay in every
        // user's view: no question.
        {"first start, shared configurations there", -1, true, 0, kThisVersion, 0, {"Shared"}},
        {"older version", 2000, true, 0, kThisVersion, 99, {"Shared"}},
        {"this version", static_cast<int>(kThisVersion), true, 0, kThisVersion, 99, {"Shared"}},
        {"newer version", 30000, true, 0, 30000, 99, {"Shared"}},
    };
    for (const Case& c : cases) {
        ClearProgramData();
        if (c.storedVersion >= 0)
            registry.WriteDword(kSettingsKey, "Version", static_cast<uint32_t>(c.storedVersion),
                                kMachine);
        if (c.shared)
            AddConfiguration(1, "Shared", kMachine);
        AddConfiguration(1, "Mine", kUser);
        ui::MessageBoxInfo question;
        std::vector<std::string> listed;
        UiScript script;
        script.Then([&](Ui& ui) {
            if (c.answer != 0)
                question = ui.AnswerMessageBox(c.answer);
            HWND window = ui.WaitForWindow(kTitle);
            listed = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
            ui.Click(window, IDC_MAIN_CLOSE);
        });
        RunMainWindow(script);
        if (c.answer != 0) {
            EXPECT_EQ(question.text,
                      "You are using Quillon Flipset for the first time.\n"
                      "Do you want to share configurations by all users?")
                << c.what;
            EXPECT_EQ(question.icon, MessageBoxIcon::Question) << c.what;
        }
        EXPECT_EQ(Setting("Version"), c.version) << c.what;
        EXPECT_EQ(Setting("UserSettings"), c.userSettings) << c.what;
        EXPECT_EQ(listed, c.listed) << c.what;
    }
}

// A help balloon of the main window's buttons that is showing; null when none.
HWND VisibleBalloon(HWND mainWindow)
{
    struct Search {
        HWND found = nullptr;
    } search;
    EnumThreadWindows(
        GetWindowThreadProcessId(mainWindow, nullptr),
        [](HWND window, LPARAM data) -> BOOL {
            char className[64] = "";
            GetClassNameA(window, className, sizeof className);
            if (std::string(className) == "FlipsetBalloonTip" && IsWindowVisible(window)) {
                reinterpret_cast<Search*>(data)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The mouse rests on Edit until its balloon shows (above the window, yet not
// above other programs' windows), then the user presses
// Edit: with the mouse, or with Enter while Edit has the focus (the dialog
// turns that into the command without the button seeing the key). The
// Configuration dialog must not open under the balloon.
TEST_F(MainWindow, PressingEditHidesItsBalloonBeforeTheConfigurationDialogOpens)
{
    AddConfiguration(1, "Office");
    for (const bool withEnter : {false, true}) {
        bool balloonShown = false, balloonTopmost = true, balloonOverDialog = true;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND window = ui.WaitForWindow(kTitle);
            HWND edit = ui.Control(window, IDC_MAIN_EDIT);
            // Away from the middle of the screen, where other test programs'
            // windows appear: one over the button would end the hover.
            SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            RECT rect;
            GetWindowRect(edit, &rect);
            // On the button, away from the balloon's anchor (its corner), so
            // that the balloon stays and no leave notice comes. Should one
            // come all the same, the mouse rests on the button again.
            ui.WaitUntil("the balloon of Edit", [&] {
                if (VisibleBalloon(window) != nullptr)
                    return true;
                SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
                SendNotifyMessageA(edit, WM_MOUSEHOVER, 0, MAKELPARAM(10, 5));
                Sleep(100);
                return false;
            });
            balloonShown = true;
            // Shown at the top of the normal z-order, not floating over
            // other programs' windows.
            balloonTopmost =
                (GetWindowLongA(VisibleBalloon(window), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            if (withEnter) {
                SendNotifyMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
                ui.WaitUntil("Edit focused", [&] {
                    GUITHREADINFO info{};
                    info.cbSize = sizeof info;
                    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
                           info.hwndFocus == edit;
                });
                ui.PressKey(window, VK_RETURN);
            } else {
                ui.Click(window, IDC_MAIN_EDIT);
            }
            HWND dialog = ui.WaitForWindow("Configuration");
            balloonOverDialog = VisibleBalloon(window) != nullptr;
            ui.Click(dialog, IDCANCEL);
            ui.WaitUntilGone(dialog);
            ui.Click(window, IDC_MAIN_CLOSE);
        });
        EXPECT_EQ(RunMainWindow(script), IDCANCEL);
        EXPECT_TRUE(balloonShown) << (withEnter ? "Enter" : "mouse");
        EXPECT_FALSE(balloonTopmost) << (withEnter ? "Enter" : "mouse");
        EXPECT_FALSE(balloonOverDialog) << (withEnter ? "Enter" : "mouse");
    }
}

TEST(Splash, ShowsItsPictureForThreeSecondsAndCannotBeClosedEarlier)
{
    int width = 0, height = 0;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND splash = nullptr;
        ui.WaitUntil("the splash", [&] {
            for (HWND window : ui.Windows()) {
                if (GetDlgItem(window, IDC_SPLASH_PICTURE))
                    splash = window;
            }
            return splash != nullptr;
        });
        auto bitmap = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(splash, IDC_SPLASH_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP info{};
        if (bitmap && GetObjectA(bitmap, sizeof(info), &info)) {
            width = info.bmWidth;
            height = info.bmHeight;
        }
        ui.PressKey(splash, VK_ESCAPE);
        ui.PressKey(splash, VK_RETURN);
        PostMessageA(splash, WM_CLOSE, 0, 0);
        ui.WaitUntilGone(splash);
    });
    const DWORD start = GetTickCount();
    INT_PTR result = 0;
    EXPECT_TRUE(script.RunWith([&] { result = SplashDialog().RunModal(nullptr); }));
    const DWORD shown = GetTickCount() - start;
    EXPECT_EQ(result, 1);
    EXPECT_GE(shown, 2900u);
    EXPECT_LT(shown, 8000u);
    EXPECT_EQ(width, 416);
    EXPECT_EQ(height, 206);
}

}  // namespace
}  // namespace flipset
