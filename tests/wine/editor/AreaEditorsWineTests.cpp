// The area editors of a configuration (desktop and sound, system files with
// their editor, services lists), driven through their real controls under
// Wine, with the configuration in the prefix's real registry.

#include "editor/ConfigurationLists.h"
#include "editor/DesktopSoundDialog.h"
#include "editor/PrinterList.h"
#include "editor/ServicesDialog.h"
#include "editor/SystemFilesDialog.h"
#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/FakeServiceManager.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::MessageBoxInfo;
using ui::Ui;
using ui::UiScript;

constexpr int kNumber = 3;
const std::string kKey = ConfigurationKeyPath(kNumber);

// Every test starts from no program data; the tests of the other editors
// run in the same program.
class AreaEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        ClearProgramData();
    }
    void TearDown() override { ClearProgramData(); }

    void ClearProgramData()
    {
        registry.DeleteKeyTree(kProgramKey, kMachine);
        registry.DeleteKeyTree(kProgramKey, kUser);
    }
    ByteArray Binary(const char* name, RegistryRoot root = kMachine)
    {
        ByteArray bytes;
        registry.ReadBinary(kKey, name, bytes, root);
        return bytes;
    }
    void WriteBinary(const char* name, const ByteArray& bytes, RegistryRoot root = kMachine)
    {
        registry.WriteBinary(kKey, name, bytes, root);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

// ---------------------------------------------------------------- Desktop

const std::string kDesktopTitle = "Desktop and Sound";

struct DesktopState {
    std::string wallpaper;
    std::vector<bool> placement;  // Tile, Grow, Center
    LRESULT volume = -1;
    std::vector<std::string> printers;
    int printerSelection = -2;
};

DesktopState ReadDesktop(Ui& ui, HWND dialog)
{
    DesktopState state;
    state.wallpaper = ui.Text(dialog, IDC_DESKTOP_WALLPAPER);
    for (int id : {IDC_DESKTOP_TILE, IDC_DESKTOP_GROW, IDC_DESKTOP_CENTER})
        state.placement.push_back(ui.IsChecked(dialog, id));
    state.volume = SendMessageA(ui.Control(dialog, IDC_DESKTOP_VOLUME), TBM_GETPOS, 0, 0);
    state.printers = ui.ComboItems(dialog, IDC_DESKTOP_PRINTER);
    state.printerSelection = ui.ComboSelection(dialog, IDC_DESKTOP_PRINTER);
    return state;
}

// The user's printer devices are replaced by the test's own while it runs.
class DesktopSoundDialogTest : public AreaEditorTest {
protected:
    void SetUp() override
    {
        AreaEditorTest::SetUp();
        StringList names = registry.EnumValueNames(kPrinterDevicesKey, kUser);
        for (const std::string& name : names) {
            savedDevices_[name] = registry.ReadString(kPrinterDevicesKey, name, "", kUser);
            registry.DeleteValue(kPrinterDevicesKey, name, kUser);
        }
    }
    void TearDown() override
    {
        StringList names = registry.EnumValueNames(kPrinterDevicesKey, kUser);
        for (const std::string& name : names)
            registry.DeleteValue(kPrinterDevicesKey, name, kUser);
        for (const auto& [name, data] : savedDevices_)
            registry.WriteString(kPrinterDevicesKey, name, data, kUser);
        AreaEditorTest::TearDown();
    }

    void AddPrinter(const std::string& name, const std::string& data)
    {
        registry.WriteString(kPrinterDevicesKey, name, data, kUser);
    }
    std::string Text(const char* name, RegistryRoot root = kMachine)
    {
        return registry.ReadString(kKey, name, "<missing>", root);
    }
    uint32_t Number(const char* name, RegistryRoot root = kMachine)
    {
        return registry.ReadDword(kKey, name, 99999, root);
    }

    // Runs the dialog while the script drives it; its result.
    bool RunDesktop(UiScript& script, RegistryRoot root = kMachine)
    {
        bool result = false;
        EXPECT_TRUE(script.RunWith(
            [&] { result = DesktopSoundDialog(registry).Execute(nullptr, kNumber, root); }));
        return result;
    }

private:
    std::map<std::string, std::string> savedDevices_;
};

TEST_F(DesktopSoundDialogTest, AConfigurationWithoutValuesShowsTheDefaultsAndOkStoresThem)
{
    AddPrinter("Zeta Printer", "winspool,Ne03:");
    AddPrinter("alpha jet", "winspool,Ne02:");
    AddPrinter("Blank", "");
    DesktopState shown;
    bool focusOnWallpaper = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDesktopTitle);
        shown = ReadDesktop(ui, dialog);
        HWND edit = ui.Control(dialog, IDC_DESKTOP_WALLPAPER);
        // The dialog's thread has the focus; ask it through its input state.
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        focusOnWallpaper = info.hwndFocus == edit;
        ui.Click(dialog, IDOK);
    });
    // The configuration root of the user's own settings.
    EXPECT_TRUE(RunDesktop(script, kUser));
    EXPECT_EQ(shown.wallpaper, "");
    EXPECT_EQ(shown.placement, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(shown.volume, 32767);
    EXPECT_EQ(shown.printers, (std::vector<std::string>{"alpha jet,winspool,Ne02:",
                                                        "Zeta Printer,winspool,Ne03:"}));
    EXPECT_EQ(shown.printerSelection, 0);
    EXPECT_TRUE(focusOnWallpaper);
    EXPECT_EQ(Text("Wallpaper", kUser), "");
    EXPECT_EQ(Number("WallpaperPosition", kUser), 0u);
    EXPECT_EQ(Number("Volume", kUser), 32767u);
    EXPECT_EQ(Text("DefPrinter", kUser), "alpha jet,winspool,Ne02:");
    EXPECT_EQ(Text("Wallpaper", kMachine), "<missing>");
}

TEST_F(DesktopSoundDialogTest, TheStoredPlacementChecksItsRadioButtonAndAnyOtherNone)
{
    struct Case {
        uint32_t stored;
        std::vector<bool> checked;
        uint32_t storedByOk;
    };
    const Case cases[] = {
        {0, {true, false, false}, 0},
        {1, {false, true, false}, 1},
        {2, {false, false, true}, 2},
        {5, {false, false, false}, 0},
    };
    for (const Case& c : cases) {
        registry.WriteDword(kKey, "WallpaperPosition", c.stored, kMachine);
        DesktopState shown;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kDesktopTitle);
            shown = ReadDesktop(ui, dialog);
            ui.Click(dialog, IDOK);
        });
        EXPECT_TRUE(RunDesktop(script));
        EXPECT_EQ(shown.placement, c.checked) << "stored " << c.stored;
        EXPECT_EQ(Number("WallpaperPosition"), c.storedByOk) << "stored " << c.stored;
    }
}

TEST_F(DesktopSoundDialogTest, OkStoresTheTrimmedPathThePlacementAndTheTrackBarsEnds)
{
    struct Case {
        const char* typed;
        int placement;
        LPARAM position;
        const char* storedPath;
        uint32_t storedPlacement;
    };
    const Case cases[] = {
        {"  C:\\Pictures\\sea.bmp \t", IDC_DESKTOP_CENTER, 65535, "C:\\Pictures\\sea.bmp", 2},
        {"C:\\a b\\c.bmp", IDC_DESKTOP_GROW, 0, "C:\\a b\\c.bmp", 1},
        {"   ", IDC_DESKTOP_TILE, 1234, "", 0},
    };
    for (const Case& c : cases) {
        registry.WriteDword(kKey, "WallpaperPosition", 1, kMachine);
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kDesktopTitle);
            ui.SetText(dialog, IDC_DESKTOP_WALLPAPER, c.typed);
            ui.SetChecked(dialog, c.placement, true);
            SendMessageA(ui.Control(dialog, IDC_DESKTOP_VOLUME), TBM_SETPOS, TRUE, c.position);
            ui.Click(dialog, IDOK);
        });
        EXPECT_TRUE(RunDesktop(script));
        EXPECT_EQ(Text("Wallpaper"), c.storedPath) << c.typed;
        EXPECT_EQ(Number("WallpaperPosition"), c.storedPlacement) << c.typed;
        EXPECT_EQ(Number("Volume"), static_cast<uint32_t>(c.position)) << c.typed;
    }
}

TEST_F(DesktopSoundDialogTest, APrinterIsOfferedAsNameCommaDataAndAStoredBeginningSelectsIt)
{
    AddPrinter("Office Laser", "winspool,Ne01:");
    AddPrinter("Alpha Jet", "winspool,Ne02:");
    struct Case {
        const char* stored;
        const char* selected;
    };
    const Case cases[] = {
        {"office laser,WINSPOOL", "Office Laser,winspool,Ne01:"},
        {"Office Laser,winspool,Ne01:", "Office Laser,winspool,Ne01:"},
        {"Gone Printer,winspool,Ne09:", "Alpha Jet,winspool,Ne02:"},
    };
    for (const Case& c : cases) {
        registry.WriteString(kKey, "DefPrinter", c.stored, kMachine);
        std::vector<std::string> printers;
        std::string selected;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kDesktopTitle);
            printers = ui.ComboItems(dialog, IDC_DESKTOP_PRINTER);
            selected = ui.Text(dialog, IDC_DESKTOP_PRINTER);
            ui.Click(dialog, IDOK);
        });
        EXPECT_TRUE(RunDesktop(script));
        EXPECT_EQ(printers, (std::vector<std::string>{"Alpha Jet,winspool,Ne02:",
                                                      "Office Laser,winspool,Ne01:"}));
        EXPECT_EQ(selected, c.selected) << c.stored;
        EXPECT_EQ(Text("DefPrinter"), c.selected) << c.stored;
    }
}

TEST_F(DesktopSoundDialogTest, ChoosingAnotherPrinterStoresIt)
{
    AddPrinter("Office Laser", "winspool,Ne01:");
    AddPrinter("Alpha Jet", "winspool,Ne02:");
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDesktopTitle);
        ui.SelectComboItem(dialog, IDC_DESKTOP_PRINTER, "Office Laser,winspool,Ne01:");
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunDesktop(script));
    EXPECT_EQ(Text("DefPrinter"), "Office Laser,winspool,Ne01:");
}

TEST_F(DesktopSoundDialogTest, WithoutPrintersNothingIsSelectedAndTheEmptyTextIsStored)
{
    int selection = -2;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDesktopTitle);
        selection = ui.ComboSelection(dialog, IDC_DESKTOP_PRINTER);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunDesktop(script));
    EXPECT_EQ(selection, -1);
    EXPECT_EQ(Text("DefPrinter"), "");
}

TEST_F(DesktopSoundDialogTest, CancelAfterChangingEverythingLeavesTheStoredValues)
{
    AddPrinter("Office Laser", "winspool,Ne01:");
    AddPrinter("Alpha Jet", "winspool,Ne02:");
    registry.WriteString(kKey, "Wallpaper", "C:\\old.bmp", kMachine);
    registry.WriteDword(kKey, "WallpaperPosition", 2, kMachine);
    registry.WriteDword(kKey, "Volume", 100, kMachine);
    registry.WriteString(kKey, "DefPrinter", "Office Laser,winspool,Ne01:", kMachine);
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDesktopTitle);
        ui.SetText(dialog, IDC_DESKTOP_WALLPAPER, "C:\\new.bmp");
        ui.SetChecked(dialog, IDC_DESKTOP_TILE, true);
        SendMessageA(ui.Control(dialog, IDC_DESKTOP_VOLUME), TBM_SETPOS, TRUE, 60000);
        ui.SelectComboItem(dialog, IDC_DESKTOP_PRINTER, "Alpha Jet,winspool,Ne02:");
        ui.Click(dialog, IDCANCEL);
    });
    EXPECT_FALSE(RunDesktop(script));
    EXPECT_EQ(Text("Wallpaper"), "C:\\old.bmp");
    EXPECT_EQ(Number("WallpaperPosition"), 2u);
    EXPECT_EQ(Number("Volume"), 100u);
    EXPECT_EQ(Text("DefPrinter"), "Office Laser,winspool,Ne01:");
}

TEST_F(DesktopSoundDialogTest, AWallpaperPathTooLongToReadBackIsRefusedAndTheDialogStaysOpen)
{
    const std::string longPath = "C:\\" + std::string(1097, 'p') + ".bmp";  // 1104 bytes
    MessageBoxInfo box;
    bool stillOpen = false;
    std::string keptText;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDesktopTitle);
        ui.SetText(dialog, IDC_DESKTOP_WALLPAPER, longPath);
        ui.Click(dialog, IDOK);
        box = ui.WaitForMessageBox();
        ui.Answer(box, IDOK);
        stillOpen = IsWindowVisible(dialog) != FALSE;
        keptText = ui.Text(dialog, IDC_DESKTOP_WALLPAPER);
        // The shortened path is then taken.
        ui.SetText(dialog, IDC_DESKTOP_WALLPAPER, "C:\\short.bmp");
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunDesktop(script));
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.text, "The wallpaper path is 1104 bytes long; it may be at most 1023 bytes.");
    EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(keptText, longPath);
    EXPECT_EQ(Text("Wallpaper"), "C:\\short.bmp");
}

TEST_F(DesktopSoundDialogTest, APrinterEntryTooLongToReadBackIsRefused)
{
    AddPrinter("A Wide", std::string(1000, 'w'));  // "A Wide,www..." is 1007 bytes
    AddPrinter("B Long", std::string(1020, 'l'));  // 1027 bytes
    registry.WriteString(kKey, "DefPrinter", "B Long", kMachine);
    MessageBoxInfo box;
    bool stillOpen = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDesktopTitle);
        ui.Click(dialog, IDOK);
        box = ui.WaitForMessageBox();
        ui.Answer(box, IDOK);
        stillOpen = IsWindowVisible(dialog) != FALSE;
        ui.SelectComboItem(dialog, IDC_DESKTOP_PRINTER, 0);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunDesktop(script));
    EXPECT_EQ(box.text, "The printer entry is 1027 bytes long; it may be at most 1023 bytes.");
    EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Text("DefPrinter"), "A Wide," + std::string(1000, 'w'));
    EXPECT_EQ(Text("Wallpaper"), "") << "nothing but the accepted OK wrote";
}

// ----------------------------------------------------------- System files

const std::string kSystemFilesTitle = "SystemFiles";
const std::string kEditorTitle = "Editor";

class SystemFilesDialogTest : public AreaEditorTest {
protected:
    bool RunSystemFiles(UiScript& script)
    {
        bool result = false;
        EXPECT_TRUE(script.RunWith(
            [&] { result = SystemFilesDialog(registry).Execute(nullptr, kNumber, kMachine); }));
        return result;
    }
    static ByteArray Bytes(const std::string& text, size_t zeros)
    {
        ByteArray bytes(text.begin(), text.end());
        bytes.insert(bytes.end(), zeros, 0);
        return bytes;
    }
};

// Opens the editor with the button, reads its text, types the new text
// (when given) and leaves with the button given.
std::string EditWithEditor(Ui& ui, HWND systemFiles, int button, const char* newText, int leaveWith)
{
    ui.Click(systemFiles, button);
    HWND editor = ui.WaitForWindow(kEditorTitle);
    const std::string shown = ui.Text(editor, IDC_EDITOR_TEXT);
    if (newText != nullptr)
        ui.SetText(editor, IDC_EDITOR_TEXT, newText);
    ui.ClickAndWaitUntilGone(editor, leaveWith);
    return shown;
}

TEST_F(SystemFilesDialogTest, TheTextIsStoredAsOneEntryAndShownAgainTrimmed)
{
    std::string firstShown, reopened, trimmed;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSystemFilesTitle);
        firstShown = EditWithEditor(ui, dialog, IDC_SYSTEM_FILES_HOSTS,
                                    "127.0.0.1 localhost\r\n10.0.0.5 server", IDOK);
        reopened =
            EditWithEditor(ui, dialog, IDC_SYSTEM_FILES_HOSTS, "\r\n\r\n10.0.0.6 nas\r\n", IDOK);
        trimmed = EditWithEditor(ui, dialog, IDC_SYSTEM_FILES_HOSTS, nullptr, IDCANCEL);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSystemFiles(script));
    EXPECT_EQ(firstShown, "");
    EXPECT_EQ(reopened, "127.0.0.1 localhost\r\n10.0.0.5 server");
    EXPECT_EQ(trimmed, "10.0.0.6 nas");
    EXPECT_EQ(Binary("Hostfile"), Bytes("\r\n\r\n10.0.0.6 nas\r\n", 3)) << "stored as typed";
}

TEST_F(SystemFilesDialogTest, AnEmptyTextIsStoredAsThreeZeroBytes)
{
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSystemFilesTitle);
        EditWithEditor(ui, dialog, IDC_SYSTEM_FILES_LMHOSTS, nullptr, IDOK);
        ui.Click(dialog, IDCANCEL);
    });
    EXPECT_FALSE(RunSystemFiles(script));
    EXPECT_EQ(Binary("LMHostfile"), Bytes("", 3));
}

TEST_F(SystemFilesDialogTest, CancelInTheEditorLeavesTheValueAndTheFilesAreIndependent)
{
    WriteBinary("Hostfile", Bytes("  10.1.1.1 old  ", 3));
    WriteBinary("LMHostfile", Bytes("10.2.2.2 lm", 3));
    std::string lmShown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSystemFilesTitle);
        EditWithEditor(ui, dialog, IDC_SYSTEM_FILES_HOSTS, "changed", IDCANCEL);
        lmShown = EditWithEditor(ui, dialog, IDC_SYSTEM_FILES_LMHOSTS, "10.3.3.3 new", IDOK);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSystemFiles(script));
    EXPECT_EQ(lmShown, "10.2.2.2 lm");
    EXPECT_EQ(Binary("Hostfile"), Bytes("  10.1.1.1 old  ", 3));
    EXPECT_EQ(Binary("LMHostfile"), Bytes("10.3.3.3 new", 3));
}

TEST_F(SystemFilesDialogTest, AValueOfSeveralEntriesOpensAsLinesJoinedByLineFeeds)
{
    WriteBinary("Hostfile", ByteArray{'a', 0, 'b', 0, 0});
    std::string shown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSystemFilesTitle);
        shown = EditWithEditor(ui, dialog, IDC_SYSTEM_FILES_HOSTS, nullptr, IDCANCEL);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSystemFiles(script));
    EXPECT_EQ(shown, "a\nb");
}

TEST_F(SystemFilesDialogTest, EnterInTheEditorBreaksTheLineInsteadOfClosing)
{
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSystemFilesTitle);
        ui.Click(dialog, IDC_SYSTEM_FILES_HOSTS);
        HWND editor = ui.WaitForWindow(kEditorTitle);
        HWND edit = ui.Control(editor, IDC_EDITOR_TEXT);
        ui.SetText(editor, IDC_EDITOR_TEXT, "127.0.0.1 localhost");
        SendMessageA(edit, EM_SETSEL, 19, 19);
        ui.PressKey(editor, VK_RETURN);
        ui.WaitForText(editor, IDC_EDITOR_TEXT, "127.0.0.1 localhost\r\n");
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("10.0.0.5 server"));
        ui.ClickAndWaitUntilGone(editor, IDOK);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSystemFiles(script));
    EXPECT_EQ(Binary("Hostfile"), Bytes("127.0.0.1 localhost\r\n10.0.0.5 server", 3));
}

TEST_F(SystemFilesDialogTest, ATextTooLongToReadBackIsRefusedAndTheEditorKeepsIt)
{
    WriteBinary("Hostfile", Bytes("10.1.1.1 kept", 3));
    const std::string longText(30000, 'x');
    const std::string fitting(24573, 'y');
    MessageBoxInfo box;
    bool stillOpen = false;
    size_t keptLength = 0;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSystemFilesTitle);
        ui.Click(dialog, IDC_SYSTEM_FILES_HOSTS);
        HWND editor = ui.WaitForWindow(kEditorTitle);
        ui.SetText(editor, IDC_EDITOR_TEXT, longText);
        ui.Click(editor, IDOK);
        box = ui.WaitForMessageBox();
        ui.Answer(box, IDOK);
        stillOpen = IsWindowVisible(editor) != FALSE;
        keptLength = ui.Text(editor, IDC_EDITOR_TEXT).size();
        // The longest text that can be read back is taken.
        ui.SetText(editor, IDC_EDITOR_TEXT, fitting);
        ui.ClickAndWaitUntilGone(editor, IDOK);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSystemFiles(script));
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.text, "The text is 30000 bytes long; it may be at most 24573 bytes.");
    EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(keptLength, longText.size());
    EXPECT_EQ(ReadSystemFileText(registry, kNumber, kMachine, "Hostfile"), fitting);
}

// --------------------------------------------------------------- Services

const std::string kServicesTitle = "Services";
const std::string kSelectionTitle = "Selection";

class ServicesDialogTest : public AreaEditorTest {
protected:
    bool RunServices(UiScript& script)
    {
        bool result = false;
        EXPECT_TRUE(script.RunWith([&] {
            result = ServicesDialog(registry, services).Execute(nullptr, kNumber, kMachine);
        }));
        return result;
    }
    void StoreCoded(const char* name, const StringList& entries)
    {
        ASSERT_EQ(WriteCodedList(registry, kNumber, kMachine, name, entries), ValueWrite::Stored);
    }
    StringList StoredPlain(const char* name)
    {
        return ReadCodedList(registry, kNumber, kMachine, name);
    }

    FakeServiceManager services;
};

TEST_F(ServicesDialogTest, TheSelectionListShowsTheStoredServicesAndOkStoresThemCoded)
{
    StoreCoded("ServicesStop", {"Spooler", "W32Time", "Fax"});
    std::vector<std::string> shown;
    std::string addText;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kServicesTitle);
        ui.Click(dialog, IDC_SERVICES_STOP);
        HWND list = ui.WaitForWindow(kSelectionTitle);
        shown = ui.ListItems(list, IDC_SELECTION_LIST);
        addText = ui.Text(list, IDC_SELECTION_ADD);
        ui.SelectListItem(list, IDC_SELECTION_LIST, "Fax");
        ui.Click(list, IDC_SELECTION_UP);
        ui.WaitUntil("Fax moved up", [&] {
            return ui.ListItems(list, IDC_SELECTION_LIST) ==
                   std::vector<std::string>{"Spooler", "Fax", "W32Time"};
        });
        ui.ClickAndWaitUntilGone(list, IDOK);
        ui.Click(dialog, IDCANCEL);
    });
    EXPECT_FALSE(RunServices(script)) << "Cancel of the Services dialog";
    EXPECT_EQ(shown, (std::vector<std::string>{"Spooler", "W32Time", "Fax"}));
    EXPECT_EQ(addText, "Edit");
    StringList stored;
    CRegistry::UnpackStringList(Binary("ServicesStop"), stored);
    ASSERT_EQ(stored.size(), 3u);
    for (const std::string& entry : stored)
        EXPECT_EQ(entry.find_first_not_of("ABCDEFGHIJKLMNOP"), std::string::npos) << entry;
    EXPECT_EQ(StoredPlain("ServicesStop"), (StringList{"Spooler", "Fax", "W32Time"}));
}

TEST_F(ServicesDialogTest, AMissingListOpensEmptyAndOkStoresTheEmptyList)
{
    int count = -1;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kServicesTitle);
        ui.Click(dialog, IDC_SERVICES_START);
        HWND list = ui.WaitForWindow(kSelectionTitle);
        count = ui.ListCount(list, IDC_SELECTION_LIST);
        ui.ClickAndWaitUntilGone(list, IDOK);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunServices(script));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Binary("ServicesStart"), (ByteArray{0, 0}));
    EXPECT_TRUE(Binary("ServicesStop").empty());
}

TEST_F(ServicesDialogTest, CancelKeepsTheValueAndTheTwoListsAreIndependent)
{
    StoreCoded("ServicesStop", {"Spooler", "Fax"});
    StoreCoded("ServicesStart", {"W32Time"});
    const ByteArray stopBefore = Binary("ServicesStop");
    std::vector<std::string> startShown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kServicesTitle);
        ui.Click(dialog, IDC_SERVICES_STOP);
        HWND list = ui.WaitForWindow(kSelectionTitle);
        ui.SelectListItem(list, IDC_SELECTION_LIST, "Spooler");
        ui.Click(list, IDC_SELECTION_DELETE);
        ui.WaitUntil("Spooler deleted",
                     [&] { return ui.ListCount(list, IDC_SELECTION_LIST) == 1; });
        ui.ClickAndWaitUntilGone(list, IDCANCEL);

        ui.Click(dialog, IDC_SERVICES_START);
        list = ui.WaitForWindow(kSelectionTitle);
        startShown = ui.ListItems(list, IDC_SELECTION_LIST);
        ui.SelectListItem(list, IDC_SELECTION_LIST, "W32Time");
        ui.Click(list, IDC_SELECTION_DELETE);
        ui.WaitUntil("W32Time deleted",
                     [&] { return ui.ListCount(list, IDC_SELECTION_LIST) == 0; });
        ui.ClickAndWaitUntilGone(list, IDOK);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunServices(script));
    EXPECT_EQ(startShown, std::vector<std::string>{"W32Time"});
    EXPECT_EQ(Binary("ServicesStop"), stopBefore);
    EXPECT_EQ(Binary("ServicesStart"), (ByteArray{0, 0}));
}

// Ticks every service of the tree selection, as clicks on their boxes do.
void TickAllTreeItems(Ui& ui, HWND treeDialog)
{
    HWND tree = ui.Control(treeDialog, IDC_TREE_SELECTION_TREE);
    for (HTREEITEM item = TreeView_GetRoot(tree); item != nullptr;
         item = TreeView_GetNextSibling(tree, item))
        TreeView_SetCheckState(tree, item, TRUE);
}

TEST_F(ServicesDialogTest, AListTooLongToReadBackIsRefusedAndTheSelectionListOpensAgain)
{
    // As many long service names as can be stored, and one more installed.
    StringList names;
    for (int i = 0;; ++i) {
        std::string name = "Service" + std::to_string(1000 + i) + std::string(200, 'n');
        names.push_back(name);
        if (CodedListSize(names) > kLargestBinaryValue)
            break;
    }
    services.listed = names;
    const StringList stored(names.begin(), names.end() - 1);
    StoreCoded("ServicesStop", stored);
    const ByteArray before = Binary("ServicesStop");
    MessageBoxInfo box;
    std::vector<std::string> reopened;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kServicesTitle);
        ui.Click(dialog, IDC_SERVICES_STOP);
        HWND list = ui.WaitForWindow(kSelectionTitle);
        ui.Click(list, IDC_SELECTION_ADD);
        HWND tree = ui.WaitForWindow("Service to stop");
        TickAllTreeItems(ui, tree);
        ui.ClickAndWaitUntilGone(tree, IDOK);
        ui.WaitUntil("the new service listed", [&] {
            return ui.ListCount(list, IDC_SELECTION_LIST) == static_cast<int>(names.size());
        });
        ui.Click(list, IDOK);
        box = ui.WaitForMessageBox();
        ui.Answer(box, IDOK);
        ui.WaitUntilGone(list);
        HWND again = ui.WaitForWindow(kSelectionTitle);
        reopened = ui.ListItems(again, IDC_SELECTION_LIST);
        ui.ClickAndWaitUntilGone(again, IDCANCEL);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunServices(script));
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.text, "The stored list of services is " + std::to_string(CodedListSize(names)) +
                            " bytes long; it may be at most 24576 bytes.");
    EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
    EXPECT_EQ(reopened, names) << "the user's entries, to shorten";
    EXPECT_EQ(Binary("ServicesStop"), before);
}

}  // namespace
}  // namespace flipset
