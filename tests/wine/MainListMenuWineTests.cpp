// The main window's context menu on the configuration list: opened by the
// mouse and the keyboard, its entries greyed without a selection, and
// export, import and duplicate through it, with the common file dialogs,
// on the prefix's real registry.

#include "app/MainDialog.h"
#include "resource.h"
#include "state/StateSnapshot.h"
#include "store/Win32RegistryBackend.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeElevation.h"
#include "support/FakePlatform.h"
#include "support/FakeServiceManager.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>

#include <map>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::Ui;
using ui::UiScript;

// The file dialogs' file name box.
constexpr int kFileNameBox = 1148;

// The process's open popup menu, once it shows.
HWND WaitForMenu(Ui& ui)
{
    HWND menu = nullptr;
    ui.WaitUntil("the context menu", [&] {
        menu = nullptr;
        for (HWND window : ui.Windows()) {
            char name[32] = {};
            GetClassNameA(window, name, sizeof(name));
            if (std::string(name) == "#32768")
                menu = window;
        }
        return menu != nullptr;
    });
    return menu;
}

struct MenuEntry {
    std::string text;
    bool greyed;
};

std::map<int, MenuEntry> MenuEntries(HWND menuWindow)
{
    std::map<int, MenuEntry> entries;
    const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR)
            continue;
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        const UINT id = GetMenuItemID(menu, i);
        entries[static_cast<int>(id)] = {
            text, (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0};
    }
    return entries;
}

// Picks the entry with the keyboard, as a user in the open menu does: down
// to it (the keys pass over separators), then Enter.
void ChooseMenuEntry(Ui& ui, HWND menuWindow, int commandId)
{
    const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    int position = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (static_cast<int>(GetMenuItemID(menu, i)) == commandId)
            position = i;
    }
    if (position < 0)
        ui.Fail("no menu entry " + std::to_string(commandId));
    for (int i = 0; i <= position; ++i) {
        if ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) == 0)
            ui.PressKey(menuWindow, VK_DOWN);
    }
    ui.PressKey(menuWindow, VK_RETURN);
    ui.WaitUntilGone(menuWindow);
}

// Right-clicks the list entry, as the mouse does.
void RightClickListEntry(Ui& ui, HWND window, int index)
{
    const HWND list = ui.Control(window, IDC_MAIN_CONFIGURATIONS);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM(item.left + 5, item.top + 2);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, point);
    PostMessageA(list, WM_RBUTTONUP, 0, point);
}

// Types the path into the open file dialog and presses its OK button.
void ChooseFile(Ui& ui, const std::string& caption, const std::string& path)
{
    HWND dialog = ui.WaitForWindow(caption);
    ui.SetText(dialog, kFileNameBox, path);
    ui.ClickAndWaitUntilGone(dialog, IDOK);
}

class MainListMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData();
        registry.WriteDword(kSettingsKey, "Version", kThisVersion, kMachine);
        DeleteFileA(path.c_str());
    }
    void TearDown() override
    {
        ClearProgramData();
        DeleteFileA(path.c_str());
    }
    void ClearProgramData()
    {
        registry.DeleteKeyTree("Software\\Quillon", kMachine);
        registry.DeleteKeyTree("Software\\Quillon", RegistryRoot::CurrentUser);
    }
    void AddConfiguration(int number, const std::string& name)
    {
        ConfigurationStore(registry).SetConfigurationName(number, name, kMachine);
    }
    void StorePackedListValue(const std::string& key, const char* name, const std::string& entry)
    {
        ByteArray bytes;
        CRegistry::PackStringList({entry}, bytes);
        registry.WriteBinary(key, name, bytes, kMachine);
    }
    std::map<std::string, RegistryValue> Values(int number)
    {
        std::map<std::string, RegistryValue> values;
        const std::string key = ConfigurationKeyPath(number);
        for (const std::string& name : registry.EnumValueNames(key, kMachine))
            registry.ReadValue(key, name, values[name], kMachine);
        return values;
    }
    void RunMainWindow(UiScript& script)
    {
        EXPECT_TRUE(script.RunWith([&] {
            MainDialog dialog(registry, platform.run, elevation);
            dialog.RunModal(nullptr);
        }));
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    std::vector<std::string> journal;
    FakeDeviceInstaller devices{registry};
    FakeRunPlatform platform{journal, devices};
    FakeElevation elevation;
    const std::string path = testfiles::OwnFolder() + "\\flipset_menu_test.json";
};

TEST_F(MainListMenu, RightClickSelectsTheEntryAndDuplicateSelectsTheCopy)
{
    AddConfiguration(1, "Alpha");
    AddConfiguration(2, "Beta");
    registry.WriteDword(ConfigurationKeyPath(2), "dofiles", 0, kMachine);
    registry.WriteString(ConfigurationKeyPath(2), "Wallpaper", "C:\\beta.bmp", kMachine);
    std::map<int, MenuEntry> entries;
    ui::MessageBoxInfo message;
    std::vector<std::string> items;
    std::string selected;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        RightClickListEntry(ui, window, 1);
        HWND menu = WaitForMenu(ui);
        entries = MenuEntries(menu);
        ChooseMenuEntry(ui, menu, IDM_LIST_DUPLICATE);
        message = ui.AnswerMessageBox(IDOK);
        items = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        const int selection = ui.ListSelection(window, IDC_MAIN_CONFIGURATIONS);
        selected = selection >= 0 ? items[static_cast<size_t>(selection)] : "";
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);

    EXPECT_EQ(entries[IDM_LIST_EXPORT].text, "Export...");
    EXPECT_EQ(entries[IDM_LIST_EXPORT_ALL].text, "Export all...");
    EXPECT_EQ(entries[IDM_LIST_IMPORT].text, "Import...");
    EXPECT_EQ(entries[IDM_LIST_DUPLICATE].text, "Duplicate");
    // Only the undo waits for a run.
    entries.erase(IDM_LIST_UNDO);
    for (const auto& entry : entries)
        EXPECT_FALSE(entry.second.greyed) << entry.second.text;
    EXPECT_EQ(message.icon, MessageBoxIcon::Information);
    EXPECT_NE(message.text.find("Beta - copy"), std::string::npos) << message.text;
    EXPECT_EQ(items, (std::vector<std::string>{"Alpha", "Beta", "Beta - copy"}));
    EXPECT_EQ(selected, "Beta - copy");
    auto copy = Values(3);
    auto original = Values(2);
    EXPECT_EQ(copy["Name"].data,
              ByteArray({'B', 'e', 't', 'a', ' ', '-', ' ', 'c', 'o', 'p', 'y', 0}));
    copy.erase("Name");
    original.erase("Name");
    EXPECT_EQ(copy, original);
}

TEST_F(MainListMenu, FromTheKeyboardWithoutASelectionOnlyExportAllAndImportAreOffered)
{
    std::map<int, MenuEntry> entries;
    bool menuGone = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        const HWND list = ui.Control(window, IDC_MAIN_CONFIGURATIONS);
        // What the list sends for Shift+F10 and the Menu key.
        SendNotifyMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
        HWND menu = WaitForMenu(ui);
        entries = MenuEntries(menu);
        ui.PressKey(menu, VK_ESCAPE);
        ui.WaitUntilGone(menu);
        menuGone = true;
        // A command that needs a selection does nothing without one.
        ui.SendCommand(window, IDM_LIST_DUPLICATE);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);

    EXPECT_TRUE(menuGone);
    EXPECT_TRUE(entries[IDM_LIST_EXPORT].greyed);
    EXPECT_TRUE(entries[IDM_LIST_DUPLICATE].greyed);
    EXPECT_FALSE(entries[IDM_LIST_EXPORT_ALL].greyed);
    EXPECT_FALSE(entries[IDM_LIST_IMPORT].greyed);
    EXPECT_TRUE(registry.EnumSubKeys(kAllConfigurationsKey, kMachine).empty());
}

TEST_F(MainListMenu, ExportThenImportRefillsTheListAndATakenNameIsRefused)
{
    AddConfiguration(1, "Alpha");
    AddConfiguration(2, "Beta");
    registry.WriteDword(ConfigurationKeyPath(2), "Volume", 1234, kMachine);
    const auto beta = Values(2);
    ui::MessageBoxInfo exported, refused, imported;
    std::vector<std::string> afterDelete, afterImport;
    std::string selected;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "Beta");
        ui.SendCommand(window, IDM_LIST_EXPORT);
        ChooseFile(ui, "Export the configuration", path);
        exported = ui.AnswerMessageBox(IDOK);

        // Beta is still there: its name is taken.
        ui.SendCommand(window, IDM_LIST_IMPORT);
        ChooseFile(ui, "Import configurations", path);
        refused = ui.AnswerMessageBox(IDOK);

        ui.Click(window, IDC_MAIN_DELETE);
        ui.AnswerMessageBox(IDYES);
        ui.WaitUntil("the list refilled",
                     [&] { return ui.ListCount(window, IDC_MAIN_CONFIGURATIONS) == 1; });
        afterDelete = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);

        ui.SendCommand(window, IDM_LIST_IMPORT);
        ChooseFile(ui, "Import configurations", path);
        imported = ui.AnswerMessageBox(IDOK);
        afterImport = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        const int selection = ui.ListSelection(window, IDC_MAIN_CONFIGURATIONS);
        selected = selection >= 0 ? afterImport[static_cast<size_t>(selection)] : "";
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);

    EXPECT_EQ(exported.icon, MessageBoxIcon::Information) << exported.text;
    EXPECT_EQ(refused.icon, MessageBoxIcon::Stop);
    EXPECT_EQ(refused.text.rfind("error: ", 0), 0u) << refused.text;
    EXPECT_NE(refused.text.find("Beta"), std::string::npos) << refused.text;
    EXPECT_EQ(afterDelete, std::vector<std::string>{"Alpha"});
    EXPECT_EQ(imported.icon, MessageBoxIcon::Information) << imported.text;
    EXPECT_EQ(afterImport, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(selected, "Beta");
    const int number = ConfigurationStore(registry).FindConfigurationNumber("Beta", kMachine);
    ASSERT_GE(number, 1);
    EXPECT_EQ(Values(number), beta);
}

TEST_F(MainListMenu, PreviewNewFromStateAndUndoOfTheLastRun)
{
    AddConfiguration(1, "Alpha");
    StorePackedListValue(ConfigurationKeyPath(1), "Hostfile", "10.0.0.7 alpha");
    registry.WriteDword(ConfigurationKeyPath(1), "dorun", 0, kMachine);
    std::map<int, MenuEntry> before, withSnapshot;
    std::string previewTitle, previewText;
    std::vector<std::string> items;
    std::string selected;
    ui::MessageBoxInfo undone;
    const std::string hosts = "C:\\WINDOWS\\system32\\Drivers\\Etc\\hosts";
    platform.files.files[hosts] = "127.0.0.1 localhost\n";
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "Alpha");
        RightClickListEntry(ui, window, 0);
        HWND menu = WaitForMenu(ui);
        before = MenuEntries(menu);
        ChooseMenuEntry(ui, menu, IDM_LIST_PREVIEW);
        HWND preview = ui.WaitForWindow("Preview of a run of Alpha");
        previewTitle = ui.Caption(preview);
        previewText = ui.Text(preview, IDC_PREVIEW_TEXT);
        ui.ClickAndWaitUntilGone(preview, IDCANCEL);

        ui.SendCommand(window, IDM_LIST_NEW_FROM_STATE);
        HWND name = ui.WaitForWindow("New configuration from the current state");
        ui.SetText(name, IDC_VALUE_ENTRY_VALUE, " Now ");
        ui.ClickAndWaitUntilGone(name, IDOK);
        // The window captures and refills its list after the name's dialog
        // has gone.
        ui.WaitUntil("the list refilled", [&] {
            items = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
            return items.size() == 2;
        });
        const int selection = ui.ListSelection(window, IDC_MAIN_CONFIGURATIONS);
        selected = selection >= 0 && static_cast<size_t>(selection) < items.size()
                       ? items[static_cast<size_t>(selection)]
                       : "";

        // What a run of Alpha stores before it changes anything.
        MachineState state;
        state.hasFiles = true;
        state.files = {{"hosts", hosts, true, "127.0.0.1 before\n"}};
        ASSERT_TRUE(StoreLastRunSnapshot(registry, kMachine,
                                         RunSnapshot{"Alpha", "2026-01-02 03:04:05", state}));
        RightClickListEntry(ui, window, 0);
        menu = WaitForMenu(ui);
        withSnapshot = MenuEntries(menu);
        ChooseMenuEntry(ui, menu, IDM_LIST_UNDO);
        undone = ui.AnswerMessageBox(IDOK);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    RunMainWindow(script);

    EXPECT_EQ(before[IDM_LIST_NEW_FROM_STATE].text, "New from current state...");
    EXPECT_EQ(before[IDM_LIST_PREVIEW].text, "Preview...");
    EXPECT_EQ(before[IDM_LIST_UNDO].text,
              "Undo last run (unavailable: no run has stored a snapshot)");
    EXPECT_TRUE(before[IDM_LIST_UNDO].greyed);
    EXPECT_NE(previewText.find("hosts: 1 line -> 1 line\r\n  - 127.0.0.1 localhost\r\n"
                               "  + 10.0.0.7 alpha\r\n"),
              std::string::npos)
        << previewText;
    EXPECT_EQ(platform.files.files[hosts], "127.0.0.1 before\n") << "undone";
    EXPECT_EQ(items, (std::vector<std::string>{"Alpha", "Now"}));
    EXPECT_EQ(selected, "Now");
    EXPECT_EQ(withSnapshot[IDM_LIST_UNDO].text, "Undo last run (Alpha, 2026-01-02 03:04:05)");
    EXPECT_FALSE(withSnapshot[IDM_LIST_UNDO].greyed);
    EXPECT_EQ(undone.icon, MessageBoxIcon::Information);
    EXPECT_EQ(undone.text,
              "The run of Alpha at 2026-01-02 03:04:05 is undone.\n"
              "Programs that the run started are not undone.");
}

}  // namespace
}  // namespace flipset
