// "flipset /tray" for real, inside the test network that
// tests/wine/network/test-network.sh makes (with an X server of its own):
// the tray polls what Wine reads of the namespaces, and its runs are
// "/apply" processes that write the real hosts file and start page. The
// gateway moves between hardware addresses through move-gateway.sh on the
// Linux side. The icon's menu is opened through the icon's own window
// (Wine's "__winex11_tray_icon", a window of the tray's process), as a
// right-click on it does, and chosen from with the keyboard. Wine's
// notification area never reports a click on a balloon: the click is posted
// to the tray's window as the shell would report it.

#include "app/StartWithWindows.h"
#include "app/Win32RunTurnLock.h"
#include "app/Win32Tray.h"
#include "engine/SystemFiles.h"
#include "network/Location.h"
#include "resource.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/ConfigurationSeed.h"
#include "wine/FlipsetProcess.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "support/ProcessCount.h"
#include "support/TestNetwork.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace flipset {
namespace {

using testnetwork::ObserverForm;
using ui::Ui;
using ui::UiScript;

// The gateways of the configurations' locations: the first is the one the
// script gives the far end.
const std::string kOfficeMac = "02:f1:1b:5e:cb:01";
const std::string kHomeMac = "02:f1:1b:5e:cb:02";
const std::string kCafeMac = "02:f1:1b:5e:cb:03";

// The menu's entries from the top, in the order the tray shows them (the
// configurations sorted by name): what the keyboard passes over.
enum MenuEntry { kCafe, kHome, kOffice, kPreview, kUndo, kOpen, kPause, kStartWithWindows, kExit };

std::string Hosts()
{
    return testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts");
}

class Tray : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (testnetwork::GatewayMac().empty() || testnetwork::Environment("DISPLAY").empty())
            GTEST_SKIP() << "not inside the test network with a display "
                            "(tests/wine/network/test-network.sh)";
        ClearProgramData(registry);
        registry.WriteDword(kSettingsKey, "BeforeRunTimout", 200, kMachine);
        registry.WriteDword(kSettingsKey, "AfterRunTimout", 200, kMachine);
        registry.DeleteValue(kStartWithWindowsKey, kStartWithWindowsValue, kUser);
        Store(1, "Office", kOfficeMac, kLocationSwitch, "10.1.1.1 office");
        Store(2, "Home", kHomeMac, kLocationSwitch, "10.2.2.2 home");
        Store(3, "Cafe", kCafeMac, kLocationAskFirst, "10.3.3.3 cafe");
        hosts.emplace(testfiles::SystemFilesFolder() + "hosts");
        MoveGateway(kOfficeMac);
    }
    void TearDown() override
    {
        if (IsSkipped())
            return;
        // Ended as Exit ends it, so that its icon goes too; then its last
        // run is waited for, which would otherwise hold the next test's
        // first run back.
        if (const HWND window = TrayWindow())
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (tray) {
            EXPECT_TRUE(tray->WaitForExit(10000)) << "the tray did not end when closed";
        }
        tray.reset();
        EXPECT_GE(WaitFor(30000, [&] { return RunsEnded(); }), 0) << "a run did not end";
        MoveGateway(kOfficeMac);
        ClearProgramData(registry);
        registry.DeleteValue(kStartWithWindowsKey, kStartWithWindowsValue, kUser);
    }

    // A configuration that writes only the hosts file and the start page.
    void Store(int number, const std::string& name, const std::string& gateway, uint32_t mode,
               const std::string& hostsLine)
    {
        ConfigurationStore(registry).SetConfigurationName(number, name, kMachine);
        const std::string key = ConfigurationKeyPath(number);
        for (const AreaDescriptor& area : kAreas)
            registry.WriteDword(key, area.optionValue, area.area == Area::Files ? 1 : 0, kMachine);
        StorePackedList(registry, key, ConfigurationValue::kHostfile, {hostsLine}, kMachine);
        registry.WriteString(key, ConfigurationValue::kStartPage, "http://" + name + ".invalid/",
                             kMachine);
        registry.WriteString(key, ConfigurationValue::kLocationGateway, ObserverForm(gateway),
                             kMachine);
        registry.WriteDword(key, ConfigurationValue::kLocationMode, mode, kMachine);
    }

    // Every configuration's location off: only the menu runs anything.
    void TurnLocationsOff()
    {
        for (int number = 1; number <= 3; ++number)
            registry.WriteDword(ConfigurationKeyPath(number), ConfigurationValue::kLocationMode,
                                kLocationOff, kMachine);
    }

    std::string StartPage()
    {
        return registry.ReadString(kBrowserMainKey, kStartPageValue, "", kUser);
    }

    static void MoveGateway(const std::string& mac)
    {
        ASSERT_TRUE(testnetwork::MoveGateway(mac)) << "the gateway did not take " << mac;
    }

    void StartTray()
    {
        tray.emplace(" /tray");
        ASSERT_TRUE(tray->Started());
        ASSERT_GE(WaitFor(10000,
                          [&] {
                              DWORD owner = 0;
                              const HWND window = TrayWindow();
                              return window != nullptr &&
                                     GetWindowThreadProcessId(window, &owner) != 0 &&
                                     owner == tray->Id();
                          }),
                  0)
            << "the tray made no window of its own";
    }
    HWND TrayWindow() const { return FindWindowA(kTrayWindowClass, nullptr); }

    // True once the runs the tray started have ended: no flipset.exe but
    // the tray (if any) runs.
    bool RunsEnded() const { return FlipsetProcessesBut(tray ? tray->Id() : 0) == 0; }
    // The tray's run of the configuration has written the hosts file and
    // ended: what the machine shows from now on is a change from outside.
    void WaitForRunOf(const std::string& hostsText)
    {
        ASSERT_GE(WaitFor(15000, [&] { return Hosts() == hostsText && RunsEnded(); }), 0)
            << Hosts();
    }

    // Waits up to the milliseconds for the condition; the time it took, or
    // -1 when it never held.
    static long long WaitFor(DWORD milliseconds, const std::function<bool()>& condition)
    {
        const ULONGLONG start = GetTickCount64();
        while (GetTickCount64() - start < milliseconds) {
            if (condition())
                return static_cast<long long>(GetTickCount64() - start);
            Sleep(50);
        }
        return -1;
    }

    // The icons' windows in the notification area: Wine's windows (of its
    // explorer.exe) that stand for the icons. Only the tray's is there, or
    // icons of trays that were ended, which drop out when clicked.
    static std::vector<HWND> IconWindows()
    {
        std::vector<HWND> icons;
        for (HWND top = FindWindowExA(nullptr, nullptr, "__winex11_standalone_tray", nullptr);
             top != nullptr;
             top = FindWindowExA(nullptr, top, "__winex11_standalone_tray", nullptr)) {
            for (HWND icon = FindWindowExA(top, nullptr, "__winex11_tray_icon", nullptr);
                 icon != nullptr; icon = FindWindowExA(top, icon, "__winex11_tray_icon", nullptr))
                icons.push_back(icon);
        }
        return icons;
    }

    // A right-click on the icon, then the entry chosen with the keyboard;
    // with previewOf, the Preview submenu's entry of that configuration.
    void ChooseFromMenu(MenuEntry entry, std::optional<MenuEntry> previewOf = std::nullopt)
    {
        Ui ui(tray->Id());
        // A menu window of the tray other than the one given, once it shows.
        auto openMenu = [&](HWND other) {
            for (HWND window : ui.Windows()) {
                char name[16] = {};
                GetClassNameA(window, name, sizeof(name));
                if (std::string(name) == "#32768" && window != other)
                    return window;
            }
            return HWND{};
        };
        // Right-clicks on the icons until the menu shows: a tray that has
        // just started may not have its icon yet, and an icon left by an
        // ended tray only drops out when clicked.
        HWND menu = nullptr;
        for (int attempt = 0; attempt < 10 && menu == nullptr; ++attempt) {
            for (HWND icon : IconWindows()) {
                PostMessageA(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(4, 4));
                PostMessageA(icon, WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
            }
            WaitFor(1000, [&] { return (menu = openMenu(nullptr)) != nullptr; });
        }
        ASSERT_NE(menu, nullptr) << "the icon's menu did not open";
        // The Preview entry opens its submenu with the keyboard's Enter;
        // the entries after it are reached past it.
        for (int i = 0; i <= entry; ++i)
            ui.PressKey(menu, VK_DOWN);
        ui.PressKey(menu, VK_RETURN);
        if (previewOf) {
            // Enter opens the submenu with its first entry selected.
            HWND submenu = nullptr;
            WaitFor(5000, [&] { return (submenu = openMenu(menu)) != nullptr; });
            ASSERT_NE(submenu, nullptr) << "the Preview submenu did not open";
            for (int i = 0; i < *previewOf; ++i)
                ui.PressKey(submenu, VK_DOWN);
            ui.PressKey(submenu, VK_RETURN);
        }
        ui.WaitUntilGone(menu);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    std::optional<testfiles::SavedFile> hosts;
    std::optional<FlipsetProcess> tray;
};

TEST_F(Tray, MovingToAnotherGatewayRunsItsConfigurationWithinFiveSeconds)
{
    StartTray();
    // Where the tray starts counts as entered after two polls.
    WaitForRunOf("10.1.1.1 office\n");

    MoveGateway(kHomeMac);
    const ULONGLONG moved = GetTickCount64();
    const long long started = WaitFor(15000, [&] { return !RunsEnded(); });
    ASSERT_GE(WaitFor(15000, [] { return Hosts() == "10.2.2.2 home\n"; }), 0) << Hosts();
    const ULONGLONG written = GetTickCount64() - moved;
    EXPECT_GE(started, 0);
    EXPECT_LT(started, 5000) << "from the gateway's move to the start of the run";
    std::cout << "from the gateway's move to the start of the run: " << started
              << " ms, then to the hosts file written: " << written << " ms\n";
    // The start page is written after the hosts file, by the same run.
    WaitForRunOf("10.2.2.2 home\n");
    EXPECT_EQ(StartPage(), "http://Home.invalid/");

    // A second tray finds the first and ends at once, starting nothing.
    const FlipsetRun second = RunFlipsetToEnd(" /tray", testfiles::OwnFolder() + "\\tray2.txt");
    EXPECT_TRUE(second.ended);
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_EQ(second.windowsSeen, 0);
    EXPECT_FALSE(tray->WaitForExit(0)) << "the first tray goes on";

    ChooseFromMenu(kExit);
    EXPECT_TRUE(tray->WaitForExit(10000)) << "Exit ends the tray";
    EXPECT_EQ(tray->ExitCode(), 0u);
}

TEST_F(Tray, AskFirstRunsNothingUntilTheNotificationIsClicked)
{
    StartTray();
    WaitForRunOf("10.1.1.1 office\n");
    MoveGateway(kCafeMac);
    Sleep(7000);
    EXPECT_EQ(Hosts(), "10.1.1.1 office\n") << "asked, not run";

    PostMessageA(TrayWindow(), kTrayIconMessage, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, 1));
    EXPECT_GE(WaitFor(15000, [] { return Hosts() == "10.3.3.3 cafe\n"; }), 0) << Hosts();
}

// A run from the main window or "/apply" holds the run turn (played here by
// holding its mutex and writing its hosts file) while it moves the machine
// to Home's gateway: the tray waits for the turn and counts Home's location
// as what that run left.
TEST_F(Tray, ARunFromElsewhereThatMovesTheMachineStartsNoRunOfTheTrays)
{
    StartTray();
    WaitForRunOf("10.1.1.1 office\n");
    const std::string byHand = "10.9.9.9 by-hand\n";
    {
        const KernelHandle turn(CreateMutexA(nullptr, TRUE, kRunTurnMutexName));
        ASSERT_TRUE(turn);
        ASSERT_TRUE(testfiles::WriteWhole(testfiles::SystemFilesFolder() + "hosts", byHand));
        MoveGateway(kHomeMac);
        Sleep(5000);
        ReleaseMutex(turn.Get());
    }
    Sleep(7000);
    EXPECT_EQ(Hosts(), byHand) << "Home's location was the other run's doing";

    MoveGateway(kOfficeMac);
    EXPECT_GE(WaitFor(15000, [] { return Hosts() == "10.1.1.1 office\n"; }), 0)
        << "a move from outside afterwards runs again";
}

TEST_F(Tray, PausedItRunsNothingAndAConfigurationRunsFromTheMenu)
{
    StartTray();
    WaitForRunOf("10.1.1.1 office\n");
    ChooseFromMenu(kPause);
    MoveGateway(kHomeMac);
    Sleep(7000);
    EXPECT_EQ(Hosts(), "10.1.1.1 office\n") << "paused";

    ChooseFromMenu(kCafe);
    EXPECT_GE(WaitFor(15000, [] { return Hosts() == "10.3.3.3 cafe\n"; }), 0) << Hosts();
    EXPECT_EQ(StartPage(), "http://Cafe.invalid/");
}

TEST_F(Tray, StartWithWindowsWritesTheRunValueAndRemovesIt)
{
    StartTray();
    ChooseFromMenu(kStartWithWindows);
    const std::string program = testfiles::OwnFolder() + "\\..\\..\\src\\flipset.exe";
    std::string value;
    WaitFor(5000, [&] {
        value = registry.ReadString(kStartWithWindowsKey, kStartWithWindowsValue, "", kUser);
        return !value.empty();
    });
    char full[MAX_PATH] = {};
    GetFullPathNameA(program.c_str(), sizeof(full), full, nullptr);
    EXPECT_EQ(value, "\"" + std::string(full) + "\" /tray");

    ChooseFromMenu(kStartWithWindows);
    EXPECT_GE(WaitFor(5000,
                      [&] {
                          return registry
                              .ReadString(kStartWithWindowsKey, kStartWithWindowsValue, "", kUser)
                              .empty();
                      }),
              0);
}

// Neither Preview nor Open Flipset changes anything: the preview window, in
// the tray's own process, shows what a run would write, and the main window
// is a process of its own. The tray goes on after both.
TEST_F(Tray, PreviewShowsARunWithoutApplyingItAndOpenFlipsetStartsTheMainWindow)
{
    TurnLocationsOff();
    const std::string hostsBefore = Hosts();
    const std::string startPageBefore = StartPage();
    StartTray();

    ChooseFromMenu(kPreview, kHome);
    std::string previewText;
    UiScript preview;
    preview.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow("Preview of a run of Home", "#32770");
        previewText = ui.Text(window, IDC_PREVIEW_TEXT);
        ui.ClickAndWaitUntilGone(window, IDCANCEL);
    });
    EXPECT_TRUE(preview.Drive(tray->Id()));
    EXPECT_NE(previewText.find("10.2.2.2 home"), std::string::npos) << previewText;
    EXPECT_NE(previewText.find("http://Home.invalid/"), std::string::npos) << previewText;

    ChooseFromMenu(kOpen);
    std::vector<DWORD> opened;
    ASSERT_GE(WaitFor(10000,
                      [&] {
                          opened = FlipsetProcessIdsBut(tray->Id());
                          return opened.size() == 1;
                      }),
              0)
        << "no main window's process, or more than one flipset.exe";
    std::vector<std::string> listed;
    UiScript mainWindow(30000);  // the splash first, and Wine busy with the tray
    mainWindow.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        listed = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        ui.Click(window, IDC_MAIN_CLOSE);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(mainWindow.Drive(opened[0]));
    EXPECT_EQ(listed, (std::vector<std::string>{"Cafe", "Home", "Office"}));
    EXPECT_GE(WaitFor(10000, [&] { return RunsEnded(); }), 0) << "the main window did not end";

    EXPECT_EQ(Hosts(), hostsBefore) << "nothing applied";
    EXPECT_EQ(StartPage(), startPageBefore);
    EXPECT_FALSE(tray->WaitForExit(0)) << "the tray goes on";
    ChooseFromMenu(kExit);
    EXPECT_TRUE(tray->WaitForExit(10000)) << "the tray still answers its menu";
}

// The menu's undo takes back the tray's last run: after Home, then Cafe,
// the hosts file and the start page are again Home's.
TEST_F(Tray, UndoLastRunPutsBackWhatTheMachineHadBeforeTheLastRun)
{
    TurnLocationsOff();
    StartTray();
    ChooseFromMenu(kHome);
    WaitForRunOf("10.2.2.2 home\n");
    ChooseFromMenu(kCafe);
    WaitForRunOf("10.3.3.3 cafe\n");
    EXPECT_EQ(StartPage(), "http://Cafe.invalid/");

    ChooseFromMenu(kUndo);
    WaitForRunOf("10.2.2.2 home\n");
    EXPECT_EQ(StartPage(), "http://Home.invalid/");
}

}  // namespace
}  // namespace flipset
