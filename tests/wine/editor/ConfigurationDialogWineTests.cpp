// The Configuration dialog and the main window's Add and Edit, driven
// through their real controls under Wine, with the program's data in the
// prefix's real registry.

#include "app/MainDialog.h"
#include "editor/ConfigurationDialog.h"
#include "network/CardInventory.h"
#include "resource.h"
#include "store/Win32RegistryBackend.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeElevation.h"
#include "support/FakeNetworkObserver.h"
#include "support/FakePlatform.h"
#include "support/FakeServiceManager.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::Ui;
using ui::UiScript;

const std::string kDialog = "Configuration";
const std::string kCardSelect = "Select the Network Interface Card";
const std::string kCardSetup = "Setup the Network Interface Card";

// A card of our own in the machine's card list.
const std::string kTestCard = "9931";
const std::string kTestCardDescription = "Flipset Configuration Test Card";

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// The real registry, with two changes that keep these tests to themselves:
// the program's own keys live in a scratch key of this process, so that
// another test program in the same prefix cannot change them under a test;
// and the machine's card list can be made to look empty, as on a machine
// without network cards.
class TestRegistryBackend : public RegistryBackend {
public:
    bool hideCardList = false;

    // Where the program's keys ("Software\Quillon...") are kept.
    static std::string ScratchKey()
    {
        return "Software\\FlipsetTests\\" + std::to_string(GetCurrentProcessId());
    }

    std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                         long* status) override
    {
        if (hideCardList && root == kMachine && StartsWithNoCase(path, kNetworkCardsKey)) {
            *status = RegistryStatus::kFileNotFound;
            return nullptr;
        }
        return real_.OpenKey(root, Redirect(path), status);
    }
    std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                           const std::string& className, long* status) override
    {
        return real_.CreateKey(root, Redirect(path), className, status);
    }
    long DeleteKey(RegistryRoot root, const std::string& path) override
    {
        return real_.DeleteKey(root, Redirect(path));
    }

private:
    static std::string Redirect(const std::string& path)
    {
        return StartsWithNoCase(path, kProgramKey) ? ScratchKey() + "\\" + path : path;
    }

    Win32RegistryBackend real_;
};

// The edit's selection, from the dialog's own thread.
struct Selection {
    DWORD start = 0;
    DWORD end = 0;
};

Selection ReadSelection(Ui& ui, HWND edit)
{
    Selection selection;
    ui.SendToWindow(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                    reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

class ConfigurationDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData();
        registry.WriteDword(kSettingsKey, "Version", kThisVersion, kMachine);
    }
    void TearDown() override
    {
        ClearProgramData();
        Win32RegistryBackend real;
        CRegistry(real).DeleteKeyTree(NetworkCardKey(kTestCard), kMachine);
    }
    static void ClearProgramData()
    {
        Win32RegistryBackend real;
        for (RegistryRoot root : {kMachine, kUser}) {
            CRegistry(real).DeleteKeyTree(TestRegistryBackend::ScratchKey(), root);
            real.DeleteKey(root, "Software\\FlipsetTests");  // when no other test uses it
        }
    }

    // The system's card list is a volatile key, so its subkeys must be too.
    static void SeedTestCard()
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, NetworkCardKey(kTestCard).c_str(), 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, NetworkCardValue::kDescription, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(kTestCardDescription.c_str()),
                       static_cast<DWORD>(kTestCardDescription.size() + 1));
        RegCloseKey(key);
    }
    void AddConfiguration(int number, const std::string& name, RegistryRoot root = kMachine)
    {
        ConfigurationStore(registry).SetConfigurationName(number, name, root);
    }
    StringList Subkeys(const std::string& path, RegistryRoot root = kMachine)
    {
        return registry.EnumSubKeys(path, root);
    }
    StringList ValueNames(int number, RegistryRoot root = kMachine)
    {
        StringList names = registry.EnumValueNames(ConfigurationKeyPath(number), root);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Value(int number, const char* name, RegistryRoot root = kMachine)
    {
        return registry.ReadString(ConfigurationKeyPath(number), name, "<missing>", root);
    }

    // Runs Edit while the script drives the dialog; its result.
    bool RunEdit(UiScript& script, std::string& name, int number, RegistryRoot root = kMachine)
    {
        bool stored = false;
        EXPECT_TRUE(script.RunWith([&] {
            ConfigurationDialog dialog(registry, services, system, observer);
            stored = dialog.Edit(nullptr, name, number, root);
        }));
        return stored;
    }

    TestRegistryBackend backend;
    CRegistry registry{backend};
    FakeServiceManager services;
    FakeSystem system;
    FakeNetworkObserver observer;
};

// What the user does to the name edit, and what it then holds.
struct TypingCase {
    const char* what;
    std::string before;  // the text, with the caret at its end
    UINT message;        // WM_CHAR (typing) or EM_REPLACESEL (pasting)
    std::string input;
    std::string after;
    DWORD caret;
    bool okEnabled;
};

const TypingCase kTypingCases[] = {
    {"backslash typed after ab", "ab", WM_CHAR, "\\", "ab", 2, true},
    {"e acute typed after ab", "ab", WM_CHAR, "\xE9", "ab", 2, true},
    {"tab pasted after ab", "ab", EM_REPLACESEL, "\t", "ab", 2, true},
    {"tab pasted in the middle of a spaced name", " Home", EM_REPLACESEL, "\t ", "Home", 4, true},
    {"space typed after a clean name", "  x", WM_CHAR, " ", "  x ", 4, true},
    {"space typed into an empty edit", "", WM_CHAR, " ", " ", 1, false},
    {"slash typed after spaces", "   ", WM_CHAR, "/", "", 0, false},
};

TEST_F(ConfigurationDialogTest, TheNameEditDropsWhatANameMayNotHold)
{
    struct Seen {
        std::string text;
        Selection selection;
        bool okEnabled = false;
    };
    std::vector<Seen> seen;
    bool okEnabledWhenEmpty = true;
    LRESULT limit = 0;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        HWND edit = ui.Control(dialog, IDC_CONFIG_NAME);
        okEnabledWhenEmpty = ui.IsEnabled(dialog, IDOK);
        limit = ui.SendToWindow(edit, EM_GETLIMITTEXT, 0, 0);
        for (const TypingCase& c : kTypingCases) {
            ui.SetText(dialog, IDC_CONFIG_NAME, c.before);
            ui.SendToWindow(edit, EM_SETSEL, c.before.size(), c.before.size());
            if (c.message == WM_CHAR) {
                ui.SendToWindow(edit, WM_CHAR, static_cast<unsigned char>(c.input[0]), 1);
            } else {
                ui.SendToWindow(edit, EM_REPLACESEL, TRUE,
                                reinterpret_cast<LPARAM>(c.input.c_str()));
            }
            seen.push_back({ui.Text(dialog, IDC_CONFIG_NAME), ReadSelection(ui, edit),
                            ui.IsEnabled(dialog, IDOK)});
        }
        // The spaced name as typed goes to the store with its spaces.
        ui.SetText(dialog, IDC_CONFIG_NAME, "  x ");
        ui.ClickAndWaitUntilGone(dialog, IDOK);
    });
    std::string name;
    EXPECT_TRUE(RunEdit(script, name, 0));
    EXPECT_FALSE(okEnabledWhenEmpty);
    EXPECT_EQ(limit, 1023);
    ASSERT_EQ(seen.size(), std::size(kTypingCases));
    for (size_t i = 0; i < seen.size(); ++i) {
        const TypingCase& c = kTypingCases[i];
        EXPECT_EQ(seen[i].text, c.after) << c.what;
        EXPECT_EQ(seen[i].selection.start, c.caret) << c.what;
        EXPECT_EQ(seen[i].selection.end, c.caret) << c.what;
        EXPECT_EQ(seen[i].okEnabled, c.okEnabled) << c.what;
    }
    EXPECT_EQ(name, "  x ");
    EXPECT_EQ(Value(1, "Name"), "  x ");
}

TEST_F(ConfigurationDialogTest, OpensWithTheGivenNameCheckedAndTheFocusInTheEdit)
{
    std::string text;
    bool okEnabled = false;
    bool focusInEdit = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        text = ui.Text(dialog, IDC_CONFIG_NAME);
        okEnabled = ui.IsEnabled(dialog, IDOK);
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        focusInEdit = GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) &&
                      info.hwndFocus == ui.Control(dialog, IDC_CONFIG_NAME);
        ui.Click(dialog, IDCANCEL);
    });
    std::string name = "Home\\Office";
    EXPECT_FALSE(RunEdit(script, name, 0));
    EXPECT_EQ(text, "HomeOffice");
    EXPECT_TRUE(okEnabled);
    EXPECT_TRUE(focusInEdit);
    EXPECT_EQ(name, "Home\\Office") << "untouched after Cancel";
    EXPECT_TRUE(Subkeys(kAllConfigurationsKey).empty());
}

TEST_F(ConfigurationDialogTest, AddAndOkWithoutAreasAllocatesAndStoresOnlyTheName)
{
    AddConfiguration(1, "Work");
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.SetText(dialog, IDC_CONFIG_NAME, "Home");
        ui.ClickAndWaitUntilGone(dialog, IDOK);
    });
    std::string name;
    EXPECT_TRUE(RunEdit(script, name, 0));
    EXPECT_EQ(name, "Home");
    EXPECT_EQ(Subkeys(kAllConfigurationsKey), (StringList{"1", "2"}));
    EXPECT_EQ(ValueNames(2), (StringList{"Name"}));
    EXPECT_EQ(Value(2, "Name"), "Home");
    EXPECT_EQ(Value(1, "Name"), "Work");
}

TEST_F(ConfigurationDialogTest, AnAreaEditedBeforeCancelStaysWithoutAName)
{
    std::string proposed;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.SetText(dialog, IDC_CONFIG_NAME, "Never stored");
        ui.Click(dialog, IDC_CONFIG_INTERNET_EXPLORER);
        HWND page = ui.WaitForWindow("Select the homepage");
        ui.SetText(page, IDC_VALUE_ENTRY_VALUE, "http://intranet/");
        ui.ClickAndWaitUntilGone(page, IDOK);
        ui.ClickAndWaitUntilGone(dialog, IDCANCEL);
    });
    std::string name;
    EXPECT_FALSE(RunEdit(script, name, 0));
    EXPECT_EQ(name, "");
    EXPECT_EQ(Subkeys(kAllConfigurationsKey), (StringList{"1"}));
    EXPECT_EQ(ValueNames(1), (StringList{"IEHOME"}));
    EXPECT_EQ(Value(1, "IEHOME"), "http://intranet/");
    EXPECT_TRUE(ConfigurationStore(registry).ListConfigurationNames(kMachine).empty());
}

TEST_F(ConfigurationDialogTest, TwoAreasAndTheNameLandInOneKeyUnderTheChosenRoot)
{
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.Click(dialog, IDC_CONFIG_INTERNET_EXPLORER);
        HWND page = ui.WaitForWindow("Select the homepage");
        ui.SetText(page, IDC_VALUE_ENTRY_VALUE, "http://home/");
        ui.ClickAndWaitUntilGone(page, IDOK);
        ui.Click(dialog, IDC_CONFIG_DESKTOP_SOUND);
        HWND desktop = ui.WaitForWindow("Desktop and Sound");
        ui.ClickAndWaitUntilGone(desktop, IDOK);
        ui.SetText(dialog, IDC_CONFIG_NAME, "Both");
        ui.ClickAndWaitUntilGone(dialog, IDOK);
    });
    std::string name;
    EXPECT_TRUE(RunEdit(script, name, 0, kUser));
    EXPECT_TRUE(Subkeys(kAllConfigurationsKey, kMachine).empty());
    EXPECT_EQ(Subkeys(kAllConfigurationsKey, kUser), (StringList{"1"}));
    const StringList values = ValueNames(1, kUser);
    for (const char* expected : {"Name", "IEHOME", "Wallpaper", "Volume"})
        EXPECT_NE(std::find(values.begin(), values.end(), expected), values.end()) << expected;
    EXPECT_EQ(Value(1, "Name", kUser), "Both");
    EXPECT_EQ(Value(1, "IEHOME", kUser), "http://home/");
}

TEST_F(ConfigurationDialogTest, TheProxyButtonOpensTheProxyDialogOnTheConfiguration)
{
    AddConfiguration(5, "Office", kUser);
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.Click(dialog, IDC_CONFIG_PROXY);
        HWND proxy = ui.WaitForWindow("Proxy");
        ui.SetChecked(proxy, IDC_PROXY_USE, true);
        ui.SetText(proxy, IDC_PROXY_SERVER, "proxy.office.example:8080");
        ui.ClickAndWaitUntilGone(proxy, IDOK);
        ui.ClickAndWaitUntilGone(dialog, IDCANCEL);
    });
    std::string name = "Office";
    EXPECT_FALSE(RunEdit(script, name, 5, kUser));
    EXPECT_EQ(Value(5, "ProxyServer", kUser), "proxy.office.example:8080");
    EXPECT_EQ(registry.ReadDword(ConfigurationKeyPath(5), "ProxyEnable", 99, kUser), 1u);
    EXPECT_TRUE(Subkeys(kAllConfigurationsKey, kMachine).empty());
}

TEST_F(ConfigurationDialogTest, EditKeepsTheNumberAndRewritesOnlyTheName)
{
    AddConfiguration(3, "Old");
    registry.WriteString(ConfigurationKeyPath(3), "IEHOME", "http://old/", kMachine);
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.SetText(dialog, IDC_CONFIG_NAME, "New");
        ui.Click(dialog, IDC_CONFIG_INTERNET_EXPLORER);
        HWND page = ui.WaitForWindow("Select the homepage");
        ui.SendCommand(page, IDCANCEL);
        ui.WaitUntilGone(page);
        ui.ClickAndWaitUntilGone(dialog, IDOK);
    });
    std::string name = "Old";
    EXPECT_TRUE(RunEdit(script, name, 3));
    EXPECT_EQ(name, "New");
    EXPECT_EQ(Subkeys(kAllConfigurationsKey), (StringList{"3"}));
    EXPECT_EQ(ValueNames(3), (StringList{"IEHOME", "Name"}));
    EXPECT_EQ(Value(3, "Name"), "New");
    EXPECT_EQ(Value(3, "IEHOME"), "http://old/");
}

TEST_F(ConfigurationDialogTest, EditWithNumberZeroTakesANewNumber)
{
    AddConfiguration(1, "Other");
    std::string text;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        text = ui.Text(dialog, IDC_CONFIG_NAME);
        ui.ClickAndWaitUntilGone(dialog, IDOK);
    });
    std::string name = "Lost";
    EXPECT_TRUE(RunEdit(script, name, 0));
    EXPECT_EQ(text, "Lost");
    EXPECT_EQ(Value(1, "Name"), "Other");
    EXPECT_EQ(Value(2, "Name"), "Lost");
}

TEST_F(ConfigurationDialogTest, NetworkIsDisabledOnlyOnMajorVersion6)
{
    for (bool majorVersion6 : {true, false}) {
        system.majorVersion = majorVersion6 ? 6 : 5;
        bool enabled = !majorVersion6;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kDialog);
            enabled = ui.IsEnabled(dialog, IDC_CONFIG_NETWORK);
            ui.ClickAndWaitUntilGone(dialog, IDCANCEL);
        });
        std::string name;
        RunEdit(script, name, 0);
        EXPECT_EQ(enabled, !majorVersion6) << "major version 6: " << majorVersion6;
    }
}

TEST_F(ConfigurationDialogTest, NetworkWithoutACardWritesNothing)
{
    backend.hideCardList = true;
    int cards = -1;
    bool setupOpened = true;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.Click(dialog, IDC_CONFIG_NETWORK);
        HWND select = ui.WaitForWindow(kCardSelect);
        cards = ui.ListCount(select, IDC_CARD_SELECT_LIST);
        ui.ClickAndWaitUntilGone(select, IDOK);
        // Answered once the button's handler is done, or from inside the
        // setup dialog's loop if it opened one.
        ui.Text(dialog, IDC_CONFIG_NAME);
        setupOpened = ui.FindTopWindow(kCardSetup) != nullptr;
        ui.ClickAndWaitUntilGone(dialog, IDCANCEL);
    });
    std::string name;
    EXPECT_FALSE(RunEdit(script, name, 0));
    EXPECT_EQ(cards, 0);
    EXPECT_FALSE(setupOpened);
    EXPECT_TRUE(Subkeys(kAllConfigurationsKey).empty());
}

TEST_F(ConfigurationDialogTest, AChosenCardStaysWhenItsSetupIsCancelled)
{
    SeedTestCard();
    std::string setupDescription;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.Click(dialog, IDC_CONFIG_NETWORK);
        HWND select = ui.WaitForWindow(kCardSelect);
        ui.SelectListItem(select, IDC_CARD_SELECT_LIST, kTestCardDescription);
        ui.Click(select, IDOK);
        HWND setup = ui.WaitForWindow(kCardSetup);
        setupDescription = ui.Text(setup, IDC_CARD_SETUP_DESCRIPTION);
        ui.ClickAndWaitUntilGone(setup, IDCANCEL);
        ui.ClickAndWaitUntilGone(dialog, IDCANCEL);
    });
    std::string name;
    EXPECT_FALSE(RunEdit(script, name, 0));
    EXPECT_EQ(setupDescription, kTestCardDescription);
    EXPECT_EQ(Subkeys(ConfigurationKeyPath(1)), (StringList{kTestCard}));
    const std::string cardKey = ConfigurationKeyPath(1) + "\\" + kTestCard;
    StringList values = registry.EnumValueNames(cardKey, kMachine);
    EXPECT_EQ(values, (StringList{"NIC"}));
    EXPECT_EQ(registry.ReadString(cardKey, "NIC", "", kMachine), "true");
}

TEST_F(ConfigurationDialogTest, ANameTooLongToReadBackIsRefused)
{
    ui::MessageBoxInfo refusal;
    bool stillOpen = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kDialog);
        // Set from outside: the edit's limit holds only for typing.
        ui.SetText(dialog, IDC_CONFIG_NAME, std::string(1100, 'a'));
        ui.Click(dialog, IDOK);
        refusal = ui.AnswerMessageBox(IDOK);
        ui.WaitUntil("the dialog back", [&] { return ui.IsEnabled(dialog, IDOK); });
        stillOpen = ui.FindTopWindow(kDialog) == dialog;
        ui.ClickAndWaitUntilGone(dialog, IDCANCEL);
    });
    std::string name;
    EXPECT_FALSE(RunEdit(script, name, 0));
    EXPECT_EQ(refusal.text, "The name is 1100 bytes long; it may be at most 1023 bytes.");
    EXPECT_EQ(refusal.icon, MessageBoxIcon::Stop);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(Subkeys(kAllConfigurationsKey).empty());
}

// The main window's Add and Edit open the dialog on the right configuration
// and show the result in the list.
TEST_F(ConfigurationDialogTest, TheMainWindowsAddAndEditOpenTheDialogAndRefillTheList)
{
    registry.WriteDword(kSettingsKey, "UserSettings", 1, kMachine);
    AddConfiguration(4, "Beta", kUser);
    std::vector<std::string> afterAdd, afterEdit;
    std::string shownForEdit;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle);
        ui.Click(window, IDC_MAIN_ADD);
        HWND dialog = ui.WaitForWindow(kDialog);
        ui.SetText(dialog, IDC_CONFIG_NAME, "Alpha");
        ui.ClickAndWaitUntilGone(dialog, IDOK);
        ui.WaitUntil("the list refilled",
                     [&] { return ui.ListCount(window, IDC_MAIN_CONFIGURATIONS) == 2; });
        afterAdd = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);

        ui.SelectListItem(window, IDC_MAIN_CONFIGURATIONS, "Beta");
        ui.Click(window, IDC_MAIN_EDIT);
        dialog = ui.WaitForWindow(kDialog);
        shownForEdit = ui.Text(dialog, IDC_CONFIG_NAME);
        ui.SetText(dialog, IDC_CONFIG_NAME, "Gamma");
        ui.ClickAndWaitUntilGone(dialog, IDOK);
        ui.WaitUntil("the list refilled", [&] {
            const auto items = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
            return std::find(items.begin(), items.end(), "Gamma") != items.end();
        });
        afterEdit = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        ui.Click(window, IDC_MAIN_CLOSE);
    });
    std::vector<std::string> journal;
    FakeFiles files;
    FakeDesktop desktop{journal};
    FakeDeviceInstaller devices{registry};
    FakeShell shell{journal};
    FakeInternetSettings internet{journal};
    RunPlatform platform{files, desktop, devices,  services,
                         shell, system,  internet, NoLiveAdapters()};
    EXPECT_TRUE(script.RunWith([&] {
        const FakeElevation elevated;
        MainDialog window(registry, platform, elevated);
        window.RunModal(nullptr);
    }));
    EXPECT_EQ(afterAdd, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(shownForEdit, "Beta");
    EXPECT_EQ(afterEdit, (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(Value(1, "Name", kUser), "Alpha") << "the first free number under the user's root";
    EXPECT_EQ(Value(4, "Name", kUser), "Gamma") << "Edit keeps the number";
    EXPECT_TRUE(Subkeys(kAllConfigurationsKey, kMachine).empty());
}

}  // namespace
}  // namespace flipset
