// Every editor whose write the registry refuses says so and stays open on
// the user's input, driven through the real controls under Wine. Wine runs
// every process elevated, so the refusal comes from a test registry over the
// prefix's real one (RefusingRegistryBackend), never from the platform: what
// is shown is the editors' answer to a failed write, not Windows' access
// check.

#include "editor/ConfigurationDialog.h"
#include "editor/LocationDialog.h"
#include "editor/ConfigurationLists.h"
#include "editor/DesktopSoundDialog.h"
#include "editor/ProgramListEditing.h"
#include "editor/ProxyDialog.h"
#include "editor/ServicesDialog.h"
#include "editor/StartPageEditing.h"
#include "editor/SystemFilesDialog.h"
#include "editor/CardSetupDialog.h"
#include "network/CardInventory.h"
#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/FakePlatform.h"
#include "support/FakeServiceManager.h"
#include "support/FakeNetworkObserver.h"
#include "support/RefusingRegistryBackend.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::MessageBoxInfo;
using ui::Ui;
using ui::UiScript;

// Spelled out here rather than taken from the code: the stored layout and
// the program's texts.
constexpr int kNumber = 5;
const std::string kKey = kAllConfigurationsKey + "\\5";
const std::string kCard = "FlipsetRefusedWritesCard";
const std::string kCardDescription = "Flipset Refused Writes Card";
const std::string kCardKey = kKey + "\\" + kCard;
constexpr const char* kMissing = "<missing>";

std::string NotStoredText(const std::string& what)
{
    return what +
           " could not be stored: the configuration could not be written. What you entered is "
           "kept, so you can try again.\n\nChanging a configuration shared by all users may need "
           "administrator rights.";
}

std::string Joined(const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries)
        text += (text.empty() ? "" : "|") + entry;
    return text;
}

// What the user changes in the dialog that must stay open, and how the
// dialog shows it.
struct Input {
    std::function<void(Ui&, HWND)> enter;
    std::function<std::string(Ui&, HWND)> shown;
};

Input TypedText(int id, const std::string& text)
{
    return {[id, text](Ui& ui, HWND dialog) { ui.SetText(dialog, id, text); },
            [id](Ui& ui, HWND dialog) { return ui.Text(dialog, id); }};
}

// The Selection list's first entry deleted; it shows its entries joined.
Input FirstEntryDeleted()
{
    return {[](Ui& ui, HWND dialog) {
                const int count = ui.ListCount(dialog, IDC_SELECTION_LIST);
                ui.SelectListItem(dialog, IDC_SELECTION_LIST, 0);
                ui.Click(dialog, IDC_SELECTION_DELETE);
                ui.WaitUntil("the entry deleted",
                             [&] { return ui.ListCount(dialog, IDC_SELECTION_LIST) == count - 1; });
            },
            [](Ui& ui, HWND dialog) { return Joined(ui.ListItems(dialog, IDC_SELECTION_LIST)); }};
}

class RefusedWritesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The program does this at start; a test program has to do it itself.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                                            ICC_INTERNET_CLASSES |
                                                            ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override { RemoveTestData(); }
    void TearDown() override { RemoveTestData(); }

    void RemoveTestData()
    {
        real.DeleteKeyTree(kProgramKey, kMachine);
        real.DeleteKeyTree(kProgramKey, kUser);
        real.DeleteKeyTree(NetworkCardKey(kCard), kMachine);
    }
    // Wine keeps the card list as a volatile key, which takes only volatile
    // subkeys.
    static void SeedCard()
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, NetworkCardKey(kCard).c_str(), 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Description", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(kCardDescription.c_str()),
                       static_cast<DWORD>(kCardDescription.size() + 1));
        RegCloseKey(key);
    }
    std::string Text(const std::string& key, const char* name)
    {
        return real.ReadString(key, name, kMissing, kMachine);
    }
    std::string CodedList(const char* name)
    {
        return Joined(ReadCodedList(real, kNumber, kMachine, name));
    }

    Win32RegistryBackend backend;
    RefusingRegistryBackend refusing{backend};
    CRegistry real{backend};
    CRegistry guarded{refusing};
    FakeServiceManager services;
    FakeSystem system;
    FakeNetworkObserver observer;
};

// One editor: how it runs, how the test reaches the dialog that must stay
// open (or open again) with the input, and where OK stores the input.
struct EditorCase {
    const char* editor;
    const char* notStored;  // how the message names what was not stored
    std::function<void()> run;
    std::function<HWND(Ui&)> open;
    std::string caption;  // of the dialog with the input
    Input input;
    std::string expected;  // the input as the dialog shows it, and as stored
    std::function<std::string()> stored;
    std::function<void(Ui&)> close;  // what is left open after the stored OK
};

TEST_F(RefusedWritesTest, EachEditorSaysARefusedWriteKeepsTheInputAndStoresItOnceWritesWork)
{
    auto waitFor = [](const std::string& caption) {
        return [caption](Ui& ui) { return ui.WaitForWindow(caption); };
    };
    // Opens the outer dialog's button and waits for the dialog it opens.
    auto openFrom = [](const std::string& outer, int button, const std::string& caption) {
        return [=](Ui& ui) {
            ui.Click(ui.WaitForWindow(outer), button);
            return ui.WaitForWindow(caption);
        };
    };
    auto nothingLeft = [](Ui&) {};
    auto okOn = [](const std::string& outer) {
        return [outer](Ui& ui) { ui.ClickAndWaitUntilGone(ui.WaitForWindow(outer), IDOK); };
    };
    auto text = [this](const std::string& key, const char* name) {
        return [this, key, name] { return Text(key, name); };
    };
    auto list = [this](const char* name) { return [this, name] { return CodedList(name); }; };
    std::string name;

    const std::vector<EditorCase> cases = {
        {"configuration name", "The name",
         [&] {
             ConfigurationDialog(guarded, services, system, observer).Edit(nullptr, name, kNumber, kMachine);
         },
         waitFor("Configuration"), "Configuration", TypedText(IDC_CONFIG_NAME, "Office"), "Office",
         text(kKey, "Name"), nothingLeft},
        {"desktop and sound", "The desktop and sound settings",
         [&] { DesktopSoundDialog(guarded).Execute(nullptr, kNumber, kMachine); },
         waitFor("Desktop and Sound"), "Desktop and Sound",
         TypedText(IDC_DESKTOP_WALLPAPER, "C:\\walls\\new.bmp"), "C:\\walls\\new.bmp",
         text(kKey, "Wallpaper"), nothingLeft},
        {"proxy", "The proxy settings",
         [&] { ProxyDialog(guarded).Execute(nullptr, kNumber, kMachine); },
         [](Ui& ui) {
             HWND dialog = ui.WaitForWindow("Proxy");
             ui.SetChecked(dialog, IDC_PROXY_USE, true);
             return dialog;
         },
         "Proxy", TypedText(IDC_PROXY_SERVER, "proxy.test:8080"), "proxy.test:8080",
         text(kKey, "ProxyServer"), nothingLeft},
        {"location", "The location",
         [&] { LocationDialog(guarded, observer).Execute(nullptr, kNumber, kMachine); },
         waitFor("Location"), "Location", TypedText(IDC_LOCATION_DNS_SUFFIX, "corp.test"),
         "corp.test", text(kKey, "LocationDnsSuffix"), nothingLeft},
        {"card setup", "The card's settings",
         [&] {
             CardSetupDialog(guarded).Execute(nullptr, kNumber, kCard, kCardDescription, kMachine);
         },
         waitFor("Setup the Network Interface Card"), "Setup the Network Interface Card",
         TypedText(IDC_CARD_SETUP_DOMAIN, "office.test"), "office.test", text(kCardKey, "DOMAIN"),
         nothingLeft},
        {"start page", "The start page",
         [&] { EditStartPage(nullptr, guarded, kNumber, kMachine); },
         waitFor("Select the homepage"), "Select the homepage",
         TypedText(IDC_VALUE_ENTRY_VALUE, "http://start.test/"), "http://start.test/",
         text(kKey, "IEHOME"), nothingLeft},
        {"hosts file", "The hosts file's text",
         [&] { SystemFilesDialog(guarded).Execute(nullptr, kNumber, kMachine); },
         openFrom("SystemFiles", IDC_SYSTEM_FILES_HOSTS, "Editor"), "Editor",
         TypedText(IDC_EDITOR_TEXT, "10.0.0.6 nas"), "10.0.0.6 nas",
         [this] { return ReadSystemFileText(real, kNumber, kMachine, "Hostfile"); },
         okOn("SystemFiles")},
        {"lmhosts file", "The lmhosts file's text",
         [&] { SystemFilesDialog(guarded).Execute(nullptr, kNumber, kMachine); },
         openFrom("SystemFiles", IDC_SYSTEM_FILES_LMHOSTS, "Editor"), "Editor",
         TypedText(IDC_EDITOR_TEXT, "10.0.0.7 PRINTSRV"), "10.0.0.7 PRINTSRV",
         [this] { return ReadSystemFileText(real, kNumber, kMachine, "LMHostfile"); },
         okOn("SystemFiles")},
        {"programs to run", "The list of programs to run",
         [&] { EditProgramList(nullptr, guarded, services, kNumber, kMachine); },
         waitFor("Selection"), "Selection", FirstEntryDeleted(), "C:\\second.exe []", list("Run"),
         nothingLeft},
        {"services to stop", "The list of services to stop",
         [&] { ServicesDialog(guarded, services).Execute(nullptr, kNumber, kMachine); },
         openFrom("Services", IDC_SERVICES_STOP, "Selection"), "Selection", FirstEntryDeleted(),
         "Fax", list("ServicesStop"), okOn("Services")},
        {"services to start", "The list of services to start",
         [&] { ServicesDialog(guarded, services).Execute(nullptr, kNumber, kMachine); },
         openFrom("Services", IDC_SERVICES_START, "Selection"), "Selection", FirstEntryDeleted(),
         "Fax", list("ServicesStart"), okOn("Services")},
    };

    for (const EditorCase& c : cases) {
        SCOPED_TRACE(c.editor);
        RemoveTestData();
        // The lists start with two entries, of which the user deletes one.
        ASSERT_EQ(WriteCodedList(real, kNumber, kMachine, "Run",
                                 {"C:\\first.exe []", "C:\\second.exe []"}),
                  ValueWrite::Stored);
        for (const char* value : {"ServicesStop", "ServicesStart"})
            ASSERT_EQ(WriteCodedList(real, kNumber, kMachine, value, {"Spooler", "Fax"}),
                      ValueWrite::Stored);
        const std::string before = c.stored();
        refusing.RefuseEveryWrite();

        MessageBoxInfo box;
        std::string kept, storedWhileRefused;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = c.open(ui);
            c.input.enter(ui, dialog);
            ui.Click(dialog, IDOK);
            box = ui.AnswerMessageBox(IDOK);
            HWND again = ui.WaitForWindow(c.caption);
            kept = c.input.shown(ui, again);
            storedWhileRefused = c.stored();
            refusing.RefuseNothing();
            ui.ClickAndWaitUntilGone(again, IDOK);
            c.close(ui);
        });
        EXPECT_TRUE(script.RunWith(c.run));
        refusing.RefuseNothing();

        EXPECT_EQ(box.caption, kTitle);
        EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
        EXPECT_EQ(box.text, NotStoredText(c.notStored));
        EXPECT_EQ(kept, c.expected);
        EXPECT_EQ(storedWhileRefused, before);
        EXPECT_EQ(c.stored(), c.expected);
    }
}

// The Configuration dialog writes the card's marker before the card's
// setup opens: a refused marker opens no setup and leaves the dialog open.
TEST_F(RefusedWritesTest, ARefusedCardChoiceOpensNoSetupAndTheCardCanBeChosenAgain)
{
    SeedCard();
    refusing.RefuseEveryWrite();
    MessageBoxInfo box;
    bool setupOpened = true;
    std::string nicWhileRefused;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow("Configuration");
        ui.SetText(dialog, IDC_CONFIG_NAME, "Office");
        ui.Click(dialog, IDC_CONFIG_NETWORK);
        HWND select = ui.WaitForWindow("Select the Network Interface Card");
        ui.SelectListItem(select, IDC_CARD_SELECT_LIST, kCardDescription);
        ui.ClickAndWaitUntilGone(select, IDOK);
        box = ui.AnswerMessageBox(IDOK);
        // The dialog takes input again once no dialog of its own is open.
        ui.WaitUntil("the dialog back", [&] { return IsWindowEnabled(dialog) != FALSE; });
        setupOpened = ui.FindTopWindow("Setup the Network Interface Card") != nullptr;
        nicWhileRefused = Text(kCardKey, "NIC");

        refusing.RefuseNothing();
        ui.Click(dialog, IDC_CONFIG_NETWORK);
        select = ui.WaitForWindow("Select the Network Interface Card");
        ui.SelectListItem(select, IDC_CARD_SELECT_LIST, kCardDescription);
        ui.ClickAndWaitUntilGone(select, IDOK);
        ui.ClickAndWaitUntilGone(ui.WaitForWindow("Setup the Network Interface Card"), IDCANCEL);
        ui.ClickAndWaitUntilGone(dialog, IDOK);
    });
    std::string name;
    EXPECT_TRUE(script.RunWith([&] {
        ConfigurationDialog(guarded, services, system, observer).Edit(nullptr, name, kNumber, kMachine);
    }));
    EXPECT_EQ(box.text, NotStoredText("The choice of the card"));
    EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
    EXPECT_FALSE(setupOpened);
    EXPECT_EQ(nicWhileRefused, kMissing);
    EXPECT_EQ(Text(kCardKey, "NIC"), "true");
    EXPECT_EQ(name, "Office");
}

// An editor that writes several values stops at the one refused: the values
// before it stay written, and the OK that follows writes every value again.
TEST_F(RefusedWritesTest, ARefusalHalfwayLeavesTheEarlierValuesAndTheNextOkWritesThemAll)
{
    refusing.RefuseValue("Volume");
    MessageBoxInfo box;
    std::string wallpaperWhileRefused, printerWhileRefused;
    uint32_t volumeWhileRefused = 0;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow("Desktop and Sound");
        ui.SetText(dialog, IDC_DESKTOP_WALLPAPER, "C:\\walls\\new.bmp");
        ui.Click(dialog, IDOK);
        box = ui.AnswerMessageBox(IDOK);
        wallpaperWhileRefused = Text(kKey, "Wallpaper");
        volumeWhileRefused = real.ReadDword(kKey, "Volume", 99999, kMachine);
        printerWhileRefused = Text(kKey, "DefPrinter");
        refusing.RefuseNothing();
        ui.ClickAndWaitUntilGone(ui.WaitForWindow("Desktop and Sound"), IDOK);
    });
    EXPECT_TRUE(
        script.RunWith([&] { DesktopSoundDialog(guarded).Execute(nullptr, kNumber, kMachine); }));
    EXPECT_EQ(box.text, NotStoredText("The desktop and sound settings"));
    EXPECT_EQ(wallpaperWhileRefused, "C:\\walls\\new.bmp");
    EXPECT_EQ(volumeWhileRefused, 99999u) << "missing";
    EXPECT_EQ(printerWhileRefused, kMissing);
    EXPECT_EQ(real.ReadDword(kKey, "Volume", 99999, kMachine), 32767u);
    EXPECT_NE(Text(kKey, "DefPrinter"), kMissing);
}

}  // namespace
}  // namespace flipset
