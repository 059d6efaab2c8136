// The Proxy dialog driven through its real controls under Wine, with the
// configuration in the prefix's real registry.

#include "editor/ProxyDialog.h"
#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <string>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::MessageBoxInfo;
using ui::Ui;
using ui::UiScript;

const std::string kProxyTitle = "Proxy";
constexpr int kNumber = 4;
const std::string kKey = ConfigurationKeyPath(kNumber);

// The boxes that "Use a proxy server" and "Use automatic configuration
// script" switch on and off.
const int kProxyBoxes[] = {IDC_PROXY_SERVER_LABEL, IDC_PROXY_SERVER,       IDC_PROXY_PORT_LABEL,
                           IDC_PROXY_PORT,         IDC_PROXY_BYPASS_LOCAL, IDC_PROXY_BYPASS_LABEL,
                           IDC_PROXY_BYPASS};
const int kScriptBoxes[] = {IDC_PROXY_SCRIPT_LABEL, IDC_PROXY_SCRIPT};

// What the dialog shows.
struct ProxyShown {
    bool useProxy = false;
    std::string server;
    std::string port;
    bool bypassLocal = false;
    std::string bypass;
    bool useScript = false;
    std::string script;
    bool proxyBoxesEnabled = false;   // every one of them
    bool proxyBoxesDisabled = false;  // every one of them
    bool scriptBoxesEnabled = false;
    bool scriptBoxesDisabled = false;
};

bool AllEnabled(Ui& ui, HWND dialog, const int* first, const int* last, bool enabled)
{
    return std::all_of(first, last, [&](int id) { return ui.IsEnabled(dialog, id) == enabled; });
}

ProxyShown ReadProxy(Ui& ui, HWND dialog)
{
    ProxyShown shown;
    shown.useProxy = ui.IsChecked(dialog, IDC_PROXY_USE);
    shown.server = ui.Text(dialog, IDC_PROXY_SERVER);
    shown.port = ui.Text(dialog, IDC_PROXY_PORT);
    shown.bypassLocal = ui.IsChecked(dialog, IDC_PROXY_BYPASS_LOCAL);
    shown.bypass = ui.Text(dialog, IDC_PROXY_BYPASS);
    shown.useScript = ui.IsChecked(dialog, IDC_PROXY_USE_SCRIPT);
    shown.script = ui.Text(dialog, IDC_PROXY_SCRIPT);
    shown.proxyBoxesEnabled =
        AllEnabled(ui, dialog, std::begin(kProxyBoxes), std::end(kProxyBoxes), true);
    shown.proxyBoxesDisabled =
        AllEnabled(ui, dialog, std::begin(kProxyBoxes), std::end(kProxyBoxes), false);
    shown.scriptBoxesEnabled =
        AllEnabled(ui, dialog, std::begin(kScriptBoxes), std::end(kScriptBoxes), true);
    shown.scriptBoxesDisabled =
        AllEnabled(ui, dialog, std::begin(kScriptBoxes), std::end(kScriptBoxes), false);
    return shown;
}

// The control of the dialog's thread that has the focus.
int FocusedId(HWND dialog)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus != nullptr ? GetDlgCtrlID(info.hwndFocus) : 0;
}

// The four values as a configuration keeps them; a missing one reads as
// "<missing>" (99999 for the number).
struct ProxyValues {
    uint32_t enable = 99999;
    std::string server = "<missing>";
    std::string bypass = "<missing>";
    std::string script = "<missing>";

    bool operator==(const ProxyValues& other) const
    {
        return enable == other.enable && server == other.server && bypass == other.bypass &&
               script == other.script;
    }
};

std::ostream& operator<<(std::ostream& out, const ProxyValues& values)
{
    return out << "{" << values.enable << ", \"" << values.server << "\", \"" << values.bypass
               << "\", \"" << values.script << "\"}";
}

// Every test starts from no program data; the tests of the other editors
// run in the same program.
class ProxyDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ClearProgramData(); }
    void TearDown() override { ClearProgramData(); }

    void ClearProgramData()
    {
        registry.DeleteKeyTree(kProgramKey, kMachine);
        registry.DeleteKeyTree(kProgramKey, kUser);
    }
    void Store(const ProxyValues& values, RegistryRoot root = kMachine)
    {
        registry.WriteDword(kKey, "ProxyEnable", values.enable, root);
        registry.WriteString(kKey, "ProxyServer", values.server, root);
        registry.WriteString(kKey, "ProxyOverride", values.bypass, root);
        registry.WriteString(kKey, "AutoConfigURL", values.script, root);
    }
    ProxyValues Stored(RegistryRoot root = kMachine)
    {
        ProxyValues values;
        values.enable = registry.ReadDword(kKey, "ProxyEnable", 99999, root);
        values.server = registry.ReadString(kKey, "ProxyServer", "<missing>", root);
        values.bypass = registry.ReadString(kKey, "ProxyOverride", "<missing>", root);
        values.script = registry.ReadString(kKey, "AutoConfigURL", "<missing>", root);
        return values;
    }

    // Runs the dialog while the script drives it; its result.
    bool RunProxy(UiScript& script, RegistryRoot root = kMachine)
    {
        bool result = false;
        EXPECT_TRUE(script.RunWith(
            [&] { result = ProxyDialog(registry).Execute(nullptr, kNumber, root); }));
        return result;
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(ProxyDialogTest, TheStoredValuesAreShownAndOkStoresThemUnchanged)
{
    struct Case {
        const char* what;
        ProxyValues stored;
        ProxyShown shown;
    };
    const Case cases[] = {
        {"a proxy with its port",
         {1, "proxy.office.example:8080", "*.office.example;<local>", ""},
         {true, "proxy.office.example", "8080", true, "*.office.example;<local>", false, ""}},
        {"a proxy per scheme, switched off, and a script",
         {0, "http=a:80;https=b:443", "10.*", "http://wpad.office.example/proxy.pac"},
         {false, "http=a:80;https=b:443", "", false, "10.*", true,
          "http://wpad.office.example/proxy.pac"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store(c.stored);
        ProxyShown shown;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kProxyTitle);
            shown = ReadProxy(ui, dialog);
            ui.Click(dialog, IDOK);
        });
        EXPECT_TRUE(RunProxy(script));
        EXPECT_EQ(shown.useProxy, c.shown.useProxy);
        EXPECT_EQ(shown.server, c.shown.server);
        EXPECT_EQ(shown.port, c.shown.port);
        EXPECT_EQ(shown.bypassLocal, c.shown.bypassLocal);
        EXPECT_EQ(shown.bypass, c.shown.bypass);
        EXPECT_EQ(shown.useScript, c.shown.useScript);
        EXPECT_EQ(shown.script, c.shown.script);
        EXPECT_TRUE(c.shown.useProxy ? shown.proxyBoxesEnabled : shown.proxyBoxesDisabled);
        EXPECT_TRUE(c.shown.useScript ? shown.scriptBoxesEnabled : shown.scriptBoxesDisabled);
        EXPECT_EQ(Stored(), c.stored);
    }
}

TEST_F(ProxyDialogTest, AConfigurationWithoutProxyValuesOpensEmptyAndOkStoresTheProxyOff)
{
    ProxyShown shown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kProxyTitle);
        shown = ReadProxy(ui, dialog);
        ui.Click(dialog, IDOK);
    });
    // The configuration root of the user's own settings.
    EXPECT_TRUE(RunProxy(script, kUser));
    EXPECT_FALSE(shown.useProxy);
    EXPECT_EQ(shown.server + shown.port + shown.bypass + shown.script, "");
    EXPECT_FALSE(shown.bypassLocal);
    EXPECT_FALSE(shown.useScript);
    EXPECT_TRUE(shown.proxyBoxesDisabled);
    EXPECT_TRUE(shown.scriptBoxesDisabled);
    EXPECT_EQ(Stored(kUser), (ProxyValues{0, "", "", ""}));
    EXPECT_EQ(Stored(kMachine), ProxyValues{});
}

TEST_F(ProxyDialogTest, TheCheckBoxesSwitchTheirBoxesAndOkStoresWhatWasTyped)
{
    ProxyShown afterChecking;
    ProxyShown afterClearing;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kProxyTitle);
        ui.SetChecked(dialog, IDC_PROXY_USE, true);
        ui.SetChecked(dialog, IDC_PROXY_USE_SCRIPT, true);
        afterChecking = ReadProxy(ui, dialog);
        ui.SetText(dialog, IDC_PROXY_SERVER, " proxy.home.example ");
        ui.SetText(dialog, IDC_PROXY_PORT, "3128");
        ui.SetText(dialog, IDC_PROXY_BYPASS, "*.home.example; 192.168.*");
        ui.SetText(dialog, IDC_PROXY_SCRIPT, "http://wpad/proxy.pac");
        // A script switched off again is stored as none.
        ui.SetChecked(dialog, IDC_PROXY_USE_SCRIPT, false);
        afterClearing = ReadProxy(ui, dialog);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunProxy(script));
    EXPECT_TRUE(afterChecking.proxyBoxesEnabled);
    EXPECT_TRUE(afterChecking.scriptBoxesEnabled);
    EXPECT_TRUE(afterClearing.proxyBoxesEnabled);
    EXPECT_TRUE(afterClearing.scriptBoxesDisabled);
    EXPECT_EQ(afterClearing.script, "http://wpad/proxy.pac") << "kept while switched off";
    EXPECT_EQ(Stored(),
              (ProxyValues{1, "proxy.home.example:3128", "*.home.example;192.168.*", ""}));
}

TEST_F(ProxyDialogTest, CancelAfterChangingEverythingStoresNothing)
{
    const ProxyValues before{1, "proxy:8080", "<local>", "http://wpad/proxy.pac"};
    for (bool storedBefore : {false, true}) {
        SCOPED_TRACE(storedBefore ? "with values stored" : "without values");
        ClearProgramData();
        if (storedBefore)
            Store(before);
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kProxyTitle);
            ui.SetChecked(dialog, IDC_PROXY_USE, true);
            ui.SetText(dialog, IDC_PROXY_SERVER, "other");
            ui.SetText(dialog, IDC_PROXY_PORT, "1");
            ui.Click(dialog, IDC_PROXY_BYPASS_LOCAL);
            ui.Click(dialog, IDC_PROXY_USE_SCRIPT);
            ui.SetChecked(dialog, IDC_PROXY_USE, false);
            ui.Click(dialog, IDCANCEL);
        });
        EXPECT_FALSE(RunProxy(script));
        EXPECT_EQ(Stored(), storedBefore ? before : ProxyValues{});
        EXPECT_EQ(registry.EnumValueNames(kKey, kMachine).size(), storedBefore ? 4u : 0u);
    }
}

TEST_F(ProxyDialogTest, BypassForLocalAddressesAddsAndRemovesTheLocalEntryAndFollowsTheList)
{
    Store({1, "proxy:8080", "*.lan; 10.*", ""});
    std::string added, removed;
    bool checkedByTyping = false, clearedByTyping = true;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kProxyTitle);
        ui.SetChecked(dialog, IDC_PROXY_BYPASS_LOCAL, true);
        added = ui.Text(dialog, IDC_PROXY_BYPASS);
        ui.SetChecked(dialog, IDC_PROXY_BYPASS_LOCAL, false);
        removed = ui.Text(dialog, IDC_PROXY_BYPASS);
        ui.SetText(dialog, IDC_PROXY_BYPASS, "<LOCAL>;*.lan");
        checkedByTyping = ui.IsChecked(dialog, IDC_PROXY_BYPASS_LOCAL);
        ui.SetText(dialog, IDC_PROXY_BYPASS, "<localhost>;*.lan");
        clearedByTyping = ui.IsChecked(dialog, IDC_PROXY_BYPASS_LOCAL);
        ui.SetChecked(dialog, IDC_PROXY_BYPASS_LOCAL, true);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunProxy(script));
    EXPECT_EQ(added, "*.lan; 10.*;<local>");
    EXPECT_EQ(removed, "*.lan; 10.*");
    EXPECT_TRUE(checkedByTyping);
    EXPECT_FALSE(clearedByTyping);
    EXPECT_EQ(Stored().bypass, "<localhost>;*.lan;<local>");
}

TEST_F(ProxyDialogTest, WhatCannotBeStoredIsRefusedWithTheBoxToMendFocused)
{
    struct Case {
        const char* server;
        const char* port;
        const char* bypass;
        bool useScript;
        std::string scriptAddress;
        std::string message;
        int focused;
    };
    const std::string longName(1100, 'p');
    const Case cases[] = {
        {"", "", "", false, "", "Enter the proxy server, or clear \"Use a proxy server\".",
         IDC_PROXY_SERVER},
        {"", "8080", "", false, "",
         "Enter the proxy server that the port belongs to, or leave the port empty.",
         IDC_PROXY_SERVER},
        {"proxy office", "8080", "", false, "",
         "The proxy server may not hold spaces or control characters.", IDC_PROXY_SERVER},
        {"proxy", "70000", "", false, "", "The port must be a number from 1 to 65535.",
         IDC_PROXY_PORT},
        {"proxy:3128", "8080", "", false, "",
         "The proxy server proxy:3128 already names its port; leave the port empty.",
         IDC_PROXY_PORT},
        {"http=a:80;https=b:443", "8080", "", false, "",
         "A proxy server per scheme names each server's port itself; leave the port empty.",
         IDC_PROXY_PORT},
        {longName.c_str(), "8080", "", false, "",
         "The proxy server is 1105 bytes long; it may be at most 1023 bytes.", IDC_PROXY_SERVER},
        {"proxy", "8080", "*.lan;my host", false, "",
         "The bypass list may not hold spaces or control characters.", IDC_PROXY_BYPASS},
        {"proxy", "8080", longName.c_str(), false, "",
         "The bypass list is 1100 bytes long; it may be at most 1023 bytes.", IDC_PROXY_BYPASS},
        {"proxy", "8080", "", true, " ",
         "Enter the script address, or clear \"Use automatic configuration script\".",
         IDC_PROXY_SCRIPT},
        {"proxy", "8080", "", true, "http://wpad/my proxy.pac",
         "The script address may not hold spaces or control characters.", IDC_PROXY_SCRIPT},
        {"proxy", "8080", "", true, "http://" + longName,
         "The script address is 1107 bytes long; it may be at most 1023 bytes.", IDC_PROXY_SCRIPT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        MessageBoxInfo box;
        bool stillOpen = false;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kProxyTitle);
            ui.SetChecked(dialog, IDC_PROXY_USE, true);
            ui.SetText(dialog, IDC_PROXY_SERVER, c.server);
            ui.SetText(dialog, IDC_PROXY_PORT, c.port);
            ui.SetText(dialog, IDC_PROXY_BYPASS, c.bypass);
            if (c.useScript) {
                ui.SetChecked(dialog, IDC_PROXY_USE_SCRIPT, true);
                ui.SetText(dialog, IDC_PROXY_SCRIPT, c.scriptAddress);
            }
            ui.Click(dialog, IDOK);
            box = ui.WaitForMessageBox();
            ui.Answer(box, IDOK);
            stillOpen = IsWindowVisible(dialog) != FALSE;
            // The dialog's thread moves the focus once its message box is
            // gone, which the driver may see first.
            ui.WaitUntil("the focus on control " + std::to_string(c.focused),
                         [&] { return FocusedId(dialog) == c.focused; });
            ui.Click(dialog, IDCANCEL);
        });
        EXPECT_FALSE(RunProxy(script));
        EXPECT_EQ(box.caption, kTitle);
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(Stored(), ProxyValues{});
    }
}

TEST_F(ProxyDialogTest, AfterARefusalTheMendedValuesAreStored)
{
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kProxyTitle);
        ui.SetChecked(dialog, IDC_PROXY_USE, true);
        ui.SetText(dialog, IDC_PROXY_SERVER, "fe80::1");
        ui.SetText(dialog, IDC_PROXY_PORT, "0");
        ui.Click(dialog, IDOK);
        ui.AnswerMessageBox(IDOK);
        ui.SetText(dialog, IDC_PROXY_PORT, "8080");
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunProxy(script));
    EXPECT_EQ(Stored(), (ProxyValues{1, "[fe80::1]:8080", "", ""}));
}

}  // namespace
}  // namespace flipset
