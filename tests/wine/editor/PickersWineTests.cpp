// The pickers (Selection list, tick list, value entry, run-list entry) and
// the run list and start page editors built on them, driven through their
// real controls under Wine, with the values stored in the real registry and
// the service control manager replaced by a scripted stand-in.

#include "coder/QNHexCoder.h"
#include "editor/RunFileDialog.h"
#include "editor/ProgramListEditing.h"
#include "editor/SelectionListDialog.h"
#include "editor/StartPageEditing.h"
#include "editor/TreeSelectionDialog.h"
#include "editor/ValueEntryDialog.h"
#include "resource.h"
#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"
#include "support/FakeServiceManager.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::Ui;
using ui::UiScript;

// Spelled out here rather than taken from the code: the stored layout and
// the program's texts.
const std::string kConfigurationKey = kAllConfigurationsKey + "\\4";
const std::string kBrowserKey = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string kSelectionTitle = "Selection";
const std::string kRunFileTitle = "Select a file to run";
const std::string kServicesTitle = "Service to stop";
const std::string kHomepageTitle = "Select the homepage";
constexpr const char* kMissing = "<missing>";

void RegisterTreeControl()
{
    // The program does this at start; a test program has to do it itself.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

struct TreeItem {
    std::string text;
    bool ticked;
    bool operator==(const TreeItem& other) const
    {
        return text == other.text && ticked == other.ticked;
    }
};

void PrintTo(const TreeItem& item, std::ostream* out)
{
    *out << '"' << item.text << '"' << (item.ticked ? " ticked" : "");
}

// The top-level items of the tick list, in order.
std::vector<TreeItem> TreeItems(Ui& ui, HWND dialog)
{
    std::vector<TreeItem> items;
    auto item = reinterpret_cast<HTREEITEM>(
        ui.SendToControl(dialog, IDC_TREE_SELECTION_TREE, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item != nullptr) {
        char text[260] = {};
        TVITEMA read{};
        read.mask = TVIF_TEXT | TVIF_STATE;
        read.hItem = item;
        read.stateMask = TVIS_STATEIMAGEMASK;
        read.pszText = text;
        read.cchTextMax = sizeof text;
        ui.SendToControl(dialog, IDC_TREE_SELECTION_TREE, TVM_GETITEMA, 0,
                         reinterpret_cast<LPARAM>(&read));
        items.push_back({text, (read.state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)});
        item = reinterpret_cast<HTREEITEM>(ui.SendToControl(dialog, IDC_TREE_SELECTION_TREE,
                                                            TVM_GETNEXTITEM, TVGN_NEXT,
                                                            reinterpret_cast<LPARAM>(item)));
    }
    return items;
}

// Ticks or unticks the item with the text, as its check box does.
void SetTreeItemTicked(Ui& ui, HWND dialog, const std::string& text, bool ticked)
{
    auto item = reinterpret_cast<HTREEITEM>(
        ui.SendToControl(dialog, IDC_TREE_SELECTION_TREE, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item != nullptr) {
        char itemText[260] = {};
        TVITEMA read{};
        read.mask = TVIF_TEXT;
        read.hItem = item;
        read.pszText = itemText;
        read.cchTextMax = sizeof itemText;
        ui.SendToControl(dialog, IDC_TREE_SELECTION_TREE, TVM_GETITEMA, 0,
                         reinterpret_cast<LPARAM>(&read));
        if (text == itemText) {
            TVITEMA change{};
            change.mask = TVIF_STATE;
            change.hItem = item;
            change.stateMask = TVIS_STATEIMAGEMASK;
            change.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
            ui.SendToControl(dialog, IDC_TREE_SELECTION_TREE, TVM_SETITEMA, 0,
                             reinterpret_cast<LPARAM>(&change));
            return;
        }
        item = reinterpret_cast<HTREEITEM>(ui.SendToControl(dialog, IDC_TREE_SELECTION_TREE,
                                                            TVM_GETNEXTITEM, TVGN_NEXT,
                                                            reinterpret_cast<LPARAM>(item)));
    }
    ui.Fail("no tree item \"" + text + "\"");
}

// Fills the "Select a file to run" dialog and confirms it.
void EnterRunFile(Ui& ui, const std::string& program, const std::string& parameters)
{
    HWND dialog = ui.WaitForWindow(kRunFileTitle);
    ui.SetText(dialog, IDC_RUN_FILE_PROGRAM, program);
    ui.SetText(dialog, IDC_RUN_FILE_PARAMETERS, parameters);
    ui.ClickAndWaitUntilGone(dialog, IDOK);
}

void WaitForListCount(Ui& ui, HWND dialog, int count)
{
    ui.WaitUntil("the list holds " + std::to_string(count) + " entries",
                 [&] { return ui.ListCount(dialog, IDC_SELECTION_LIST) == count; });
}

struct SelectionButtons {
    bool add = false, del = false, up = false, down = false;
    bool operator==(const SelectionButtons& other) const
    {
        return add == other.add && del == other.del && up == other.up && down == other.down;
    }
};

void PrintTo(const SelectionButtons& b, std::ostream* out)
{
    *out << "add " << b.add << " delete " << b.del << " up " << b.up << " down " << b.down;
}

SelectionButtons ButtonsOf(Ui& ui, HWND dialog)
{
    // A query sent first is answered only after the notifications sent
    // before it, so the buttons read reflect them.
    ui.ListCount(dialog, IDC_SELECTION_LIST);
    return {ui.IsEnabled(dialog, IDC_SELECTION_ADD), ui.IsEnabled(dialog, IDC_SELECTION_DELETE),
            ui.IsEnabled(dialog, IDC_SELECTION_UP), ui.IsEnabled(dialog, IDC_SELECTION_DOWN)};
}

class Pickers : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTreeControl();
        ClearProgramData();
        browserStartPage_ = registry.ReadString(kBrowserKey, "Start Page", kMissing, kUser);
    }
    void TearDown() override
    {
        ClearProgramData();
        if (browserStartPage_ == kMissing)
            registry.DeleteValue(kBrowserKey, "Start Page", kUser);
        else
            registry.WriteString(kBrowserKey, "Start Page", browserStartPage_, kUser);
    }
    void ClearProgramData()
    {
        registry.DeleteKeyTree(kProgramKey, kMachine);
        registry.DeleteKeyTree(kProgramKey, kUser);
    }

    // Runs the Selection list while the script drives it; its result.
    bool RunSelectionList(UiScript& script, int mode, StringList& entries)
    {
        bool confirmed = false;
        EXPECT_TRUE(script.RunWith(
            [&] { confirmed = SelectionListDialog(services).Execute(nullptr, mode, entries); }));
        return confirmed;
    }

    // The stored run list, decoded; nullopt when the value is missing.
    std::optional<StringList> StoredRunList(RegistryRoot root = kMachine)
    {
        ByteArray bytes;
        if (!registry.ReadBinary(kConfigurationKey, "Run", bytes, root))
            return std::nullopt;
        StringList entries;
        CRegistry::UnpackStringList(bytes, entries);
        CQNHexCoder coder;
        coder.SetKey("5A0C93E1");
        for (std::string& entry : entries)
            entry = coder.DecodeValue(entry);
        return entries;
    }
    void StoreRunList(const StringList& plain)
    {
        CQNHexCoder coder;
        coder.SetKey("5A0C93E1");
        StringList coded;
        for (const std::string& entry : plain)
            coded.push_back(coder.CodeValue(entry));
        ByteArray bytes;
        CRegistry::PackStringList(coded, bytes);
        registry.WriteBinary(kConfigurationKey, "Run", bytes, kMachine);
    }
    ByteArray RawRunList()
    {
        ByteArray bytes;
        registry.ReadBinary(kConfigurationKey, "Run", bytes, kMachine);
        return bytes;
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    FakeServiceManager services;

private:
    std::string browserStartPage_;
};

// --- Selection list ---------------------------------------------------------

TEST_F(Pickers, AnEmptySelectionListOffersOnlyAddWhichReadsEditInTheServiceModes)
{
    struct Case {
        int mode;
        const char* addText;
    };
    for (const Case& c : {Case{RunListMode, "Add"}, Case{StopServicesMode, "Edit"},
                          Case{StartServicesMode, "Edit"}}) {
        SCOPED_TRACE(c.mode);
        std::string addText;
        SelectionButtons buttons;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kSelectionTitle);
            addText = ui.Text(dialog, IDC_SELECTION_ADD);
            buttons = ButtonsOf(ui, dialog);
            ui.Click(dialog, IDOK);
        });
        StringList entries;
        EXPECT_TRUE(RunSelectionList(script, c.mode, entries));
        EXPECT_EQ(addText, c.addText);
        EXPECT_EQ(buttons, (SelectionButtons{true, false, false, false}));
        EXPECT_TRUE(entries.empty());
    }
}

TEST_F(Pickers, UpDownAndDeleteMoveTheSelectedEntryAndOkHandsBackTheOrder)
{
    std::vector<std::string> afterUp, afterDown, afterDelete;
    int selectionAfterUp = -2, selectionAfterDown = -2, selectionAfterDelete = -2;
    SelectionButtons buttonsAfterUp, buttonsOnLast, buttonsAfterDelete;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        ui.SelectListItem(dialog, IDC_SELECTION_LIST, "Y");
        ui.Click(dialog, IDC_SELECTION_UP);
        ui.WaitUntil("Up disabled", [&] { return !ui.IsEnabled(dialog, IDC_SELECTION_UP); });
        afterUp = ui.ListItems(dialog, IDC_SELECTION_LIST);
        selectionAfterUp = ui.ListSelection(dialog, IDC_SELECTION_LIST);
        buttonsAfterUp = ButtonsOf(ui, dialog);

        ui.Click(dialog, IDC_SELECTION_DOWN);
        ui.WaitUntil("Up enabled", [&] { return ui.IsEnabled(dialog, IDC_SELECTION_UP); });
        afterDown = ui.ListItems(dialog, IDC_SELECTION_LIST);
        selectionAfterDown = ui.ListSelection(dialog, IDC_SELECTION_LIST);

        ui.SelectListItem(dialog, IDC_SELECTION_LIST, "Z");
        buttonsOnLast = ButtonsOf(ui, dialog);

        ui.SelectListItem(dialog, IDC_SELECTION_LIST, "X");
        ui.Click(dialog, IDC_SELECTION_DELETE);
        WaitForListCount(ui, dialog, 2);
        afterDelete = ui.ListItems(dialog, IDC_SELECTION_LIST);
        selectionAfterDelete = ui.ListSelection(dialog, IDC_SELECTION_LIST);
        buttonsAfterDelete = ButtonsOf(ui, dialog);
        ui.Click(dialog, IDOK);
    });
    StringList entries = {"X", "Y", "Z"};
    EXPECT_TRUE(RunSelectionList(script, RunListMode, entries));
    EXPECT_EQ(afterUp, (std::vector<std::string>{"Y", "X", "Z"}));
    EXPECT_EQ(selectionAfterUp, 0);
    EXPECT_EQ(buttonsAfterUp, (SelectionButtons{true, true, false, true}));
    EXPECT_EQ(afterDown, (std::vector<std::string>{"X", "Y", "Z"}));
    EXPECT_EQ(selectionAfterDown, 1);
    EXPECT_EQ(buttonsOnLast, (SelectionButtons{true, true, true, false}));
    EXPECT_EQ(afterDelete, (std::vector<std::string>{"Y", "Z"}));
    EXPECT_EQ(selectionAfterDelete, -1);
    EXPECT_EQ(buttonsAfterDelete, (SelectionButtons{true, false, false, false}));
    EXPECT_EQ(entries, (StringList{"Y", "Z"}));
}

TEST_F(Pickers, CancelHandsBackTheListUnchangedAfterAnyChanges)
{
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        ui.SelectListItem(dialog, IDC_SELECTION_LIST, "Z");
        ui.Click(dialog, IDC_SELECTION_UP);
        ui.Click(dialog, IDC_SELECTION_DELETE);
        WaitForListCount(ui, dialog, 2);
        ui.Click(dialog, IDC_SELECTION_ADD);
        EnterRunFile(ui, "C:\\new.exe", "");
        WaitForListCount(ui, dialog, 3);
        ui.Click(dialog, IDCANCEL);
    });
    StringList entries = {"X", "Y", "Z"};
    EXPECT_FALSE(RunSelectionList(script, RunListMode, entries));
    EXPECT_EQ(entries, (StringList{"X", "Y", "Z"}));
}

TEST_F(Pickers, EditTicksTheListedServicesIgnoringCaseAndKeepsTheManagersSpelling)
{
    services.listed = {"Spooler", "W32Time", "BITS"};
    std::string treeLabel;
    std::vector<TreeItem> shown;
    COLORREF background = 0;
    std::vector<std::string> listAfter;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        ui.Click(dialog, IDC_SELECTION_ADD);
        HWND tree = ui.WaitForWindow(kServicesTitle);
        treeLabel = ui.Text(tree, IDC_PICKER_LABEL);
        shown = TreeItems(ui, tree);
        background = static_cast<COLORREF>(
            ui.SendToControl(tree, IDC_TREE_SELECTION_TREE, TVM_GETBKCOLOR, 0, 0));
        SetTreeItemTicked(ui, tree, "BITS", true);
        ui.ClickAndWaitUntilGone(tree, IDOK);
        WaitForListCount(ui, dialog, 2);
        listAfter = ui.ListItems(dialog, IDC_SELECTION_LIST);
        ui.Click(dialog, IDOK);
    });
    // "Gone" is no longer installed; "spooler" is spelled otherwise.
    StringList entries = {"spooler", "Gone"};
    EXPECT_TRUE(RunSelectionList(script, StopServicesMode, entries));
    EXPECT_EQ(treeLabel, "Select the services");
    EXPECT_EQ(shown,
              (std::vector<TreeItem>{{"Spooler", true}, {"W32Time", false}, {"BITS", false}}));
    EXPECT_EQ(background, 0xFAFFFFu);
    EXPECT_EQ(listAfter, (std::vector<std::string>{"Spooler", "BITS"}));
    EXPECT_EQ(entries, (StringList{"Spooler", "BITS"}));
}

TEST_F(Pickers, ClosingTheServiceTreeLeavesTheListAsItWas)
{
    services.listed = {"Spooler", "W32Time"};
    std::vector<std::string> listAfter;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        ui.Click(dialog, IDC_SELECTION_ADD);
        // The same title in both service modes.
        HWND tree = ui.WaitForWindow(kServicesTitle);
        SetTreeItemTicked(ui, tree, "W32Time", true);
        ui.PressKey(tree, VK_ESCAPE);
        ui.WaitUntilGone(tree);
        listAfter = ui.ListItems(dialog, IDC_SELECTION_LIST);
        ui.Click(dialog, IDOK);
    });
    StringList entries = {"spooler", "Gone"};
    EXPECT_TRUE(RunSelectionList(script, StartServicesMode, entries));
    EXPECT_EQ(listAfter, (std::vector<std::string>{"spooler", "Gone"}));
    EXPECT_EQ(entries, (StringList{"spooler", "Gone"}));
}

TEST_F(Pickers, AServiceListThatCannotBeReadGivesAnEmptyTreeAndOkEmptiesTheList)
{
    services.managerOpens = false;
    std::vector<TreeItem> shown = {{"not read", false}};
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        ui.Click(dialog, IDC_SELECTION_ADD);
        HWND tree = ui.WaitForWindow(kServicesTitle);
        shown = TreeItems(ui, tree);
        ui.ClickAndWaitUntilGone(tree, IDOK);
        WaitForListCount(ui, dialog, 0);
        ui.Click(dialog, IDOK);
    });
    StringList entries = {"Spooler"};
    EXPECT_TRUE(RunSelectionList(script, StopServicesMode, entries));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(entries.empty());
}

// --- Tick list, value entry, run-list entry -----------------------------------

TEST_F(Pickers, ClosingTheTickListEmptiesTheTickedList)
{
    for (UINT close : {UINT{WM_CLOSE}, UINT{VK_ESCAPE}}) {
        SCOPED_TRACE(close);
        std::string label;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND tree = ui.WaitForWindow("Pick");
            label = ui.Text(tree, IDC_PICKER_LABEL);
            if (close == WM_CLOSE)
                PostMessageA(tree, WM_CLOSE, 0, 0);
            else
                ui.PressKey(tree, VK_ESCAPE);
            ui.WaitUntilGone(tree);
        });
        StringList ticked = {"a"};
        bool confirmed = true;
        EXPECT_TRUE(script.RunWith([&] {
            confirmed = TreeSelectionDialog().Execute(nullptr, ticked, {"a", "b"}, "Pick", "Tick");
        }));
        EXPECT_EQ(label, "Tick");
        EXPECT_FALSE(confirmed);
        EXPECT_TRUE(ticked.empty());
    }
}

TEST_F(Pickers, TheValueEntryHandsBackItsTextUntrimmedAndCancelEmptiesIt)
{
    std::string label, shown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow("Value title");
        label = ui.Text(dialog, IDC_PICKER_LABEL);
        shown = ui.Text(dialog, IDC_VALUE_ENTRY_VALUE);
        ui.SetText(dialog, IDC_VALUE_ENTRY_VALUE, "  typed value\t ");
        ui.Click(dialog, IDOK);
    });
    std::string value = " given ";
    bool confirmed = false;
    EXPECT_TRUE(script.RunWith([&] {
        confirmed = ValueEntryDialog().Execute(nullptr, value, "Value title", "Value label");
    }));
    EXPECT_EQ(label, "Value label");
    EXPECT_EQ(shown, " given ");
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(value, "  typed value\t ");

    UiScript cancel;
    cancel.Then([&](Ui& ui) { ui.PressKey(ui.WaitForWindow("Value title"), VK_ESCAPE); });
    EXPECT_TRUE(cancel.RunWith([&] {
        confirmed = ValueEntryDialog().Execute(nullptr, value, "Value title", "Value label");
    }));
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(value, "");
}

TEST_F(Pickers, TheRunFileDialogJoinsProgramAndParametersAsTyped)
{
    struct Case {
        const char* program;
        const char* parameters;
        const char* entry;
    };
    for (const Case& c :
         {Case{"D:\\Tools\\sync.exe", "/quiet", "D:\\Tools\\sync.exe [/quiet]"},
          Case{"", "", " []"}, Case{" C:\\a b.exe ", " -x ", " C:\\a b.exe  [ -x ]"}}) {
        SCOPED_TRACE(c.entry);
        std::string programShown = "?", parametersShown = "?";
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kRunFileTitle);
            programShown = ui.Text(dialog, IDC_RUN_FILE_PROGRAM);
            parametersShown = ui.Text(dialog, IDC_RUN_FILE_PARAMETERS);
            EnterRunFile(ui, c.program, c.parameters);
        });
        std::string entry = "given [entry]";
        bool confirmed = false;
        EXPECT_TRUE(script.RunWith([&] { confirmed = RunFileDialog().Execute(nullptr, entry); }));
        EXPECT_EQ(programShown, "") << "the given entry is not shown";
        EXPECT_EQ(parametersShown, "");
        EXPECT_TRUE(confirmed);
        EXPECT_EQ(entry, c.entry);
    }
}

TEST_F(Pickers, TheRunFileBrowserIsTheOpenFileDialogAndCancelKeepsTheEntry)
{
    std::string programAfterBrowse = "?";
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kRunFileTitle);
        ui.SetText(dialog, IDC_RUN_FILE_PROGRAM, "typed.exe");
        ui.Click(dialog, IDC_RUN_FILE_BROWSE);
        HWND browser = ui.WaitForWindow("Select the file to run");
        ui.SendCommand(browser, IDCANCEL);
        ui.WaitUntilGone(browser);
        programAfterBrowse = ui.Text(dialog, IDC_RUN_FILE_PROGRAM);
        ui.Click(dialog, IDCANCEL);
    });
    std::string entry = "kept [as is]";
    bool confirmed = true;
    EXPECT_TRUE(script.RunWith([&] { confirmed = RunFileDialog().Execute(nullptr, entry); }));
    EXPECT_EQ(programAfterBrowse, "typed.exe");
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(entry, "kept [as is]");
}

// --- Run list editing ---------------------------------------------------------

TEST_F(Pickers, TheRunListIsStoredCodedInTheOrderShown)
{
    StoreRunList({"C:\\first.exe [1]", "C:\\second.exe [2]"});
    std::vector<std::string> shown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        shown = ui.ListItems(dialog, IDC_SELECTION_LIST);
        ui.SelectListItem(dialog, IDC_SELECTION_LIST, 1);
        ui.Click(dialog, IDC_SELECTION_UP);
        ui.Click(dialog, IDC_SELECTION_ADD);
        EnterRunFile(ui, "D:\\Tools\\sync.exe", "/quiet");
        WaitForListCount(ui, dialog, 3);
        ui.Click(dialog, IDC_SELECTION_ADD);
        EnterRunFile(ui, "C:\\plain.exe", "");
        WaitForListCount(ui, dialog, 4);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(script.RunWith([&] { EditProgramList(nullptr, registry, services, 4, kMachine); }));
    EXPECT_EQ(shown, (std::vector<std::string>{"C:\\first.exe [1]", "C:\\second.exe [2]"}));
    EXPECT_EQ(StoredRunList(), (StringList{"C:\\second.exe [2]", "C:\\first.exe [1]",
                                           "D:\\Tools\\sync.exe [/quiet]", "C:\\plain.exe []"}));
}

TEST_F(Pickers, TheRunListGoesToTheRootOfTheSettingsRootChoiceAndAnEmptyListIsStored)
{
    UiScript script;
    script.Then([&](Ui& ui) { ui.Click(ui.WaitForWindow(kSelectionTitle), IDOK); });
    EXPECT_TRUE(script.RunWith([&] { EditProgramList(nullptr, registry, services, 4, kUser); }));
    ByteArray bytes;
    EXPECT_TRUE(registry.ReadBinary(kConfigurationKey, "Run", bytes, kUser));
    EXPECT_EQ(bytes, (ByteArray{0, 0}));
    EXPECT_EQ(StoredRunList(kMachine), std::nullopt);
}

TEST_F(Pickers, CancellingTheRunListLeavesTheStoredBytesAsTheyWere)
{
    StoreRunList({"C:\\first.exe [1]", "C:\\second.exe [2]"});
    const ByteArray before = RawRunList();
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        ui.SelectListItem(dialog, IDC_SELECTION_LIST, 0);
        ui.Click(dialog, IDC_SELECTION_DELETE);
        WaitForListCount(ui, dialog, 1);
        ui.Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(script.RunWith([&] { EditProgramList(nullptr, registry, services, 4, kMachine); }));
    EXPECT_EQ(RawRunList(), before);
}

TEST_F(Pickers, ARunListTooLargeToReadBackIsRefusedAndOpensAgainAsEdited)
{
    StoreRunList({"C:\\kept.exe []"});
    const std::string longProgram(13000, 'p');
    ui::MessageBoxInfo refusal;
    std::vector<std::string> reopened;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectionTitle);
        ui.Click(dialog, IDC_SELECTION_ADD);
        EnterRunFile(ui, longProgram, "");
        WaitForListCount(ui, dialog, 2);
        ui.Click(dialog, IDOK);
        refusal = ui.AnswerMessageBox(IDOK);
        HWND again = ui.WaitForWindow(kSelectionTitle);
        reopened = ui.ListItems(again, IDC_SELECTION_LIST);
        ui.SelectListItem(again, IDC_SELECTION_LIST, 1);
        ui.Click(again, IDC_SELECTION_DELETE);
        WaitForListCount(ui, again, 1);
        ui.Click(again, IDOK);
    });
    EXPECT_TRUE(script.RunWith([&] { EditProgramList(nullptr, registry, services, 4, kMachine); }));
    EXPECT_EQ(refusal.caption, kTitle);
    EXPECT_EQ(refusal.icon, MessageBoxIcon::Stop);
    EXPECT_NE(refusal.text.find("The list is "), std::string::npos) << refusal.text;
    EXPECT_NE(refusal.text.find(" bytes long; it may be at most 24576 bytes."), std::string::npos)
        << refusal.text;
    EXPECT_EQ(reopened, (std::vector<std::string>{"C:\\kept.exe []", longProgram + " []"}));
    EXPECT_EQ(StoredRunList(), (StringList{"C:\\kept.exe []"}));
}

// --- Start page editing -------------------------------------------------------

TEST_F(Pickers, TheStartPageProposesTheBrowsersWhenBlankAndStoresWhatOkGives)
{
    struct Case {
        const char* name;
        const char* stored;  // nullptr: no "IEHOME"
        const char* typed;   // nullptr: OK without a change
        const char* shown;
        const char* storedAfter;
    };
    const Case cases[] = {
        {"missing", nullptr, nullptr, "http://browser/", "http://browser/"},
        {"only spaces", "   ", nullptr, "http://browser/", "http://browser/"},
        {"surrounded by spaces", "  http://mine/ ", nullptr, "http://mine/", "http://mine/"},
        {"typed untrimmed", "http://mine/", " http://typed/ ", "http://mine/", " http://typed/ "},
        {"cleared", "http://mine/", "", "http://mine/", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearProgramData();
        registry.WriteString(kBrowserKey, "Start Page", "http://browser/", kUser);
        if (c.stored != nullptr)
            registry.WriteString(kConfigurationKey, "IEHOME", c.stored, kMachine);
        std::string label, shown;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kHomepageTitle);
            label = ui.Text(dialog, IDC_PICKER_LABEL);
            shown = ui.Text(dialog, IDC_VALUE_ENTRY_VALUE);
            if (c.typed != nullptr)
                ui.SetText(dialog, IDC_VALUE_ENTRY_VALUE, c.typed);
            ui.Click(dialog, IDOK);
        });
        EXPECT_TRUE(script.RunWith([&] { EditStartPage(nullptr, registry, 4, kMachine); }));
        EXPECT_EQ(label, "Homepage");
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(registry.ReadString(kConfigurationKey, "IEHOME", kMissing, kMachine),
                  c.storedAfter);
    }
}

TEST_F(Pickers, ClosingTheStartPageDialogLeavesIehomeUnchanged)
{
    registry.WriteString(kBrowserKey, "Start Page", "http://browser/", kUser);
    registry.WriteString(kConfigurationKey, "IEHOME", " http://mine/ ", kUser);
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kHomepageTitle);
        ui.SetText(dialog, IDC_VALUE_ENTRY_VALUE, "http://other/");
        ui.PressKey(dialog, VK_ESCAPE);
        ui.WaitUntilGone(dialog);
    });
    EXPECT_TRUE(script.RunWith([&] { EditStartPage(nullptr, registry, 4, kUser); }));
    EXPECT_EQ(registry.ReadString(kConfigurationKey, "IEHOME", kMissing, kUser), " http://mine/ ");
}

TEST_F(Pickers, AStartPageTooLongToReadBackIsRefusedAndOpensAgainWithTheText)
{
    const std::string longPage = "http://" + std::string(1017, 'a');  // 1024 bytes
    ui::MessageBoxInfo refusal;
    std::string shownAgain;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kHomepageTitle);
        ui.SetText(dialog, IDC_VALUE_ENTRY_VALUE, longPage);
        ui.Click(dialog, IDOK);
        refusal = ui.AnswerMessageBox(IDOK);
        HWND again = ui.WaitForWindow(kHomepageTitle);
        shownAgain = ui.Text(again, IDC_VALUE_ENTRY_VALUE);
        ui.SetText(again, IDC_VALUE_ENTRY_VALUE, longPage.substr(0, 1023));
        ui.Click(again, IDOK);
    });
    EXPECT_TRUE(script.RunWith([&] { EditStartPage(nullptr, registry, 4, kMachine); }));
    EXPECT_EQ(refusal.caption, kTitle);
    EXPECT_EQ(refusal.icon, MessageBoxIcon::Stop);
    EXPECT_EQ(refusal.text, "The text is 1024 bytes long; it may be at most 1023 bytes.");
    EXPECT_EQ(shownAgain, longPage);
    EXPECT_EQ(registry.ReadString(kConfigurationKey, "IEHOME", kMissing, kMachine),
              longPage.substr(0, 1023));
}

}  // namespace
}  // namespace flipset
