// A user's whole journey in the real program: Add a configuration, name it,
// set every area through the editor's dialogs, confirm, see it listed, Run
// it, and find the machine changed. flipset.exe is driven from this test
// program, as a user would drive it.

#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "wine/FlipsetProcess.h"
#include "wine/OwnTestService.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <windows.h>

#include <algorithm>

namespace flipset {
namespace {

using ui::Ui;
using ui::UiScript;

const std::string kCardNumber = "4711";
const std::string kCardKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\4711";
const std::string kCardService = "{F11B5E70-0000-4711-0000-000000000001}";
const std::string kConnectionKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
    kCardService + "\\Connection";
const std::string kInterfaceKey =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + kCardService;

// Whether the tree's selected item has its check box ticked. The dialog is
// in another process: only item handles cross, never a pointer.
bool CaretItemTicked(HWND treeDialog)
{
    HWND tree = GetDlgItem(treeDialog, IDC_TREE_SELECTION_TREE);
    const LRESULT caret = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (caret == 0)
        return false;
    const LRESULT state =
        SendMessageA(tree, TVM_GETITEMSTATE, static_cast<WPARAM>(caret), TVIS_STATEIMAGEMASK);
    return (state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

// The names of the services as the program's tree lists them, in order.
StringList InstalledServices()
{
    StringList names;
    ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    DWORD needed = 0, count = 0, resume = 0;
    EnumServicesStatusA(manager.Get(), SERVICE_WIN32, SERVICE_STATE_ALL, nullptr, 0, &needed,
                        &count, &resume);
    std::vector<char> buffer(needed + sizeof(ENUM_SERVICE_STATUSA));
    resume = 0;
    auto* entries = reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data());
    if (EnumServicesStatusA(manager.Get(), SERVICE_WIN32, SERVICE_STATE_ALL, entries,
                            static_cast<DWORD>(buffer.size()), &needed, &count, &resume)) {
        for (DWORD i = 0; i < count; ++i)
            names.push_back(entries[i].lpServiceName);
    }
    return names;
}

class EditorJourney : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData(registry);
        // A user who answered the first-run question long ago, on a system
        // whose network features are on.
        registry.WriteDword(kSettingsKey, "Version", FLIPSET_VERSION_NUMBER, kMachine);
        registry.WriteString(kAppDefaults, "Version", "winxp", kUser);
        registry.WriteDword(kSettingsKey, "BeforeRunTimout", 300, kMachine);
        registry.WriteDword(kSettingsKey, "AfterRunTimout", 300, kMachine);
        registry.WriteDword(kSettingsKey, "ServiceStartTimout", 300, kMachine);
        // A network card as the system records it (its list is volatile).
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCardKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
        registry.WriteString(kCardKey, "Description", "Journey LAN", kMachine);
        registry.WriteString(kCardKey, "ServiceName", kCardService, kMachine);
        registry.WriteString(kConnectionKey, "PnpInstanceID", "PCI\\JOURNEY\\1", kMachine);
    }
    void TearDown() override
    {
        ClearProgramData(registry);
        registry.DeleteKeyTree(kAppDefaults, kUser);
        registry.DeleteKeyTree(kCardKey, kMachine);
        registry.DeleteKeyTree(
            "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}"
            "\\" +
                kCardService,
            kMachine);
        registry.DeleteKeyTree(kInterfaceKey, kMachine);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(EditorJourney, AddEveryAreaThenRunItAsAUserWould)
{
    testfiles::SavedFile hosts(testfiles::SystemFilesFolder() + "hosts");
    OwnTestService service("FlipsetJourney");
    const StringList services = InstalledServices();
    const auto position = std::find(services.begin(), services.end(), service.Name());
    ASSERT_NE(position, services.end());
    const int serviceIndex = static_cast<int>(position - services.begin());
    const std::string recorder = testfiles::OwnFolder() + "\\flipset_record_args.exe";
    const std::string record = testfiles::OwnFolder() + "\\flipset_record_args.txt";
    DeleteFileA(record.c_str());

    FlipsetProcess program(" /NONICCHANGE");
    ASSERT_TRUE(program.Started());

    std::string nameShown;
    std::vector<std::string> listed;
    ui::MessageBoxInfo mixer;
    UiScript script(30000);
    script.Then([&](Ui& ui) {
        HWND main = ui.WaitForWindow(kTitle, "#32770");
        ui.Click(main, IDC_MAIN_ADD);
        HWND configuration = ui.WaitForWindow("Configuration", "#32770");
        // A stray backslash is filtered out, and the spaces go with it.
        ui.SetText(configuration, IDC_CONFIG_NAME, "  Home\\ Office ");
        ui.WaitForText(configuration, IDC_CONFIG_NAME, "Home Office");
        nameShown = ui.Text(configuration, IDC_CONFIG_NAME);

        ui.Click(configuration, IDC_CONFIG_FILES);
        HWND files = ui.WaitForWindow("SystemFiles", "#32770");
        ui.Click(files, IDC_SYSTEM_FILES_HOSTS);
        HWND editor = ui.WaitForWindow("Editor", "#32770");
        ui.SetText(editor, IDC_EDITOR_TEXT, "127.0.0.1 localhost\r\n10.9.8.7 journey");
        ui.ClickAndWaitUntilGone(editor, IDOK);
        ui.ClickAndWaitUntilGone(files, IDOK);

        ui.Click(configuration, IDC_CONFIG_DESKTOP_SOUND);
        HWND desktop = ui.WaitForWindow("Desktop and Sound", "#32770");
        ui.SetText(desktop, IDC_DESKTOP_WALLPAPER, "C:\\journey.bmp");
        ui.SetChecked(desktop, IDC_DESKTOP_CENTER, true);
        ui.ClickAndWaitUntilGone(desktop, IDOK);

        ui.Click(configuration, IDC_CONFIG_INTERNET_EXPLORER);
        HWND page = ui.WaitForWindow("Select the homepage", "#32770");
        ui.SetText(page, IDC_VALUE_ENTRY_VALUE, "http://journey.example/");
        ui.ClickAndWaitUntilGone(page, IDOK);

        ui.Click(configuration, IDC_CONFIG_RUN);
        HWND runList = ui.WaitForWindow("Selection", "#32770");
        ui.Click(runList, IDC_SELECTION_ADD);
        HWND runFile = ui.WaitForWindow("Select a file to run", "#32770");
        ui.SetText(runFile, IDC_RUN_FILE_PROGRAM, recorder);
        ui.SetText(runFile, IDC_RUN_FILE_PARAMETERS, "/journey");
        ui.ClickAndWaitUntilGone(runFile, IDOK);
        ui.WaitUntil("the program listed",
                     [&] { return ui.ListCount(runList, IDC_SELECTION_LIST) == 1; });
        ui.ClickAndWaitUntilGone(runList, IDOK);

        ui.Click(configuration, IDC_CONFIG_SERVICES);
        HWND servicesDialog = ui.WaitForWindow("Services", "#32770");
        ui.Click(servicesDialog, IDC_SERVICES_START);
        HWND startList = ui.WaitForWindow("Selection", "#32770");
        ui.Click(startList, IDC_SELECTION_ADD);
        HWND tree = ui.WaitForWindow("Service to stop", "#32770");
        // The keyboard ticks our service: Home, down to it, space.
        ui.PressKey(tree, VK_HOME);
        for (int i = 0; i < serviceIndex; ++i)
            ui.PressKey(tree, VK_DOWN);
        ui.PressKey(tree, VK_SPACE);
        // The keys are posted; OK is sent, and would overtake them.
        ui.WaitUntil("our service ticked", [&] { return CaretItemTicked(tree); });
        ui.ClickAndWaitUntilGone(tree, IDOK);
        ui.WaitUntil("the service listed",
                     [&] { return ui.ListCount(startList, IDC_SELECTION_LIST) == 1; });
        ui.ClickAndWaitUntilGone(startList, IDOK);
        ui.ClickAndWaitUntilGone(servicesDialog, IDOK);

        ui.Click(configuration, IDC_CONFIG_NETWORK);
        HWND select = ui.WaitForWindow("Select the Network Interface Card", "#32770");
        ui.SelectListItem(select, IDC_CARD_SELECT_LIST, "Journey LAN");
        ui.ClickAndWaitUntilGone(select, IDOK);
        HWND setup = ui.WaitForWindow("Setup the Network Interface Card", "#32770");
        ui.SetChecked(setup, IDC_CARD_SETUP_AUTOMATIC, false);
        SendMessageA(ui.Control(setup, IDC_CARD_SETUP_IP), IPM_SETADDRESS, 0,
                     MAKEIPADDRESS(192, 168, 47, 11));
        SendMessageA(ui.Control(setup, IDC_CARD_SETUP_NETMASK), IPM_SETADDRESS, 0,
                     MAKEIPADDRESS(255, 255, 255, 0));
        ui.ClickAndWaitUntilGone(setup, IDOK);

        ui.ClickAndWaitUntilGone(configuration, IDOK);
        ui.WaitUntil("the configuration listed",
                     [&] { return ui.ListCount(main, IDC_MAIN_CONFIGURATIONS) == 1; });
        listed = ui.ListItems(main, IDC_MAIN_CONFIGURATIONS);

        ui.SelectListItem(main, IDC_MAIN_CONFIGURATIONS, "Home Office");
        ui.Click(main, IDC_MAIN_RUN);
        mixer = ui.AnswerMessageBox(IDOK);  // no sound server for these tests
        ui.WaitUntilGone(main);
    });
    EXPECT_TRUE(script.Drive(program.Id()));
    EXPECT_TRUE(program.WaitForExit(30000)) << "the run ends the program";

    EXPECT_EQ(nameShown, "Home Office");
    EXPECT_EQ(listed, std::vector<std::string>{"Home Office"});
    EXPECT_EQ(mixer.text, "mixerOpen() failed");
    const int number =
        ConfigurationStore(registry).FindConfigurationNumber("Home Office", kMachine);
    ASSERT_EQ(number, 1);
    const std::string key = ConfigurationKeyPath(number);
    EXPECT_EQ(registry.ReadString(key, "Name", "", kMachine), "Home Office");
    EXPECT_EQ(registry.ReadString(key + "\\" + kCardNumber, "NIC", "", kMachine), "true");
    // The machine after the run.
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"),
              "127.0.0.1 localhost\r\n10.9.8.7 journey\n");
    EXPECT_EQ(registry.ReadString("Software\\Microsoft\\Internet Explorer\\Main", "Start Page", "",
                                  kUser),
              "http://journey.example/");
    EXPECT_EQ(registry.ReadString("Control Panel\\Desktop", "Wallpaper", "", kUser),
              "C:\\journey.bmp");
    EXPECT_EQ(registry.ReadString("Control Panel\\Desktop", "TileWallpaper", "", kUser), "0");
    EXPECT_EQ(registry.ReadDword(kInterfaceKey, "EnableDHCP", 99, kMachine), 0u);
    ByteArray address;
    registry.ReadBinary(kInterfaceKey, "IPAddress", address, kMachine);
    EXPECT_EQ(std::string(address.begin(), address.end()), std::string("192.168.47.11\0\0", 15));
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
    const std::string arguments = testfiles::AwaitRecordFile(record);
    EXPECT_NE(arguments.find("/journey"), std::string::npos) << arguments;
}

}  // namespace
}  // namespace flipset
