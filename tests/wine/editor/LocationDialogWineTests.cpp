// The Location dialog driven through its real controls under Wine, with
// the configuration in the prefix's real registry and what the machine
// shows from a fake observer (what Wine reads for real is shown by the
// location tests in the test network).

#include "editor/ConfigurationDialog.h"
#include "editor/LocationDialog.h"
#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/FakeNetworkObserver.h"
#include "support/FakePlatform.h"
#include "support/FakeServiceManager.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace flipset {
namespace {

using ui::MessageBoxIcon;
using ui::MessageBoxInfo;
using ui::Ui;
using ui::UiScript;

const std::string kLocationTitle = "Location";
constexpr int kNumber = 4;
const std::string kKey = ConfigurationKeyPath(kNumber);
const char* const kGuid = "{5C3A4B2E-0000-4711-0000-000000000007}";

// The six values as a configuration keeps them; a missing text reads as
// "<missing>", a missing mode as 99.
struct Stored {
    uint32_t mode = 99;
    std::string gateway = "<missing>";
    std::string subnet = "<missing>";
    std::string dnsSuffix = "<missing>";
    std::string adapter = "<missing>";
    std::string wifi = "<missing>";

    bool operator==(const Stored& o) const
    {
        return mode == o.mode && gateway == o.gateway && subnet == o.subnet &&
               dnsSuffix == o.dnsSuffix && adapter == o.adapter && wifi == o.wifi;
    }
};

std::ostream& operator<<(std::ostream& out, const Stored& s)
{
    return out << "{" << s.mode << ", \"" << s.gateway << "\", \"" << s.subnet << "\", \""
               << s.dnsSuffix << "\", \"" << s.adapter << "\", \"" << s.wifi << "\"}";
}

// What the dialog shows, in the same shape: the mode as the checked button.
Stored Shown(Ui& ui, HWND dialog)
{
    Stored shown;
    shown.mode = ui.IsChecked(dialog, IDC_LOCATION_SWITCH)      ? 2
                 : ui.IsChecked(dialog, IDC_LOCATION_ASK_FIRST) ? 1
                 : ui.IsChecked(dialog, IDC_LOCATION_OFF)       ? 0
                                                                : 99;
    shown.gateway = ui.Text(dialog, IDC_LOCATION_GATEWAY);
    shown.subnet = ui.Text(dialog, IDC_LOCATION_SUBNET);
    shown.dnsSuffix = ui.Text(dialog, IDC_LOCATION_DNS_SUFFIX);
    shown.adapter = ui.Text(dialog, IDC_LOCATION_ADAPTER);
    shown.wifi = ui.Text(dialog, IDC_LOCATION_WIFI);
    return shown;
}

class LocationDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData();
        AdapterSnapshot wired = ObservedAdapter(kGuid, true, {{0xAC100105, 0xFFFFF000}}, "lan");
        observer.observation.adapters = {wired};
        observer.observation.gateway = 0xAC100001;
        observer.observation.gatewayHardwareAddress =
            HardwareAddress{0x02, 0xf1, 0x1b, 0x5e, 0xcb, 0x01};
        observer.observation.wifi = "Office Net";
    }
    void TearDown() override { ClearProgramData(); }

    void ClearProgramData()
    {
        registry.DeleteKeyTree(kProgramKey, kMachine);
        registry.DeleteKeyTree(kProgramKey, kUser);
    }
    void Store(const Stored& values)
    {
        registry.WriteDword(kKey, "LocationMode", values.mode, kMachine);
        registry.WriteString(kKey, "LocationGateway", values.gateway, kMachine);
        registry.WriteString(kKey, "LocationSubnet", values.subnet, kMachine);
        registry.WriteString(kKey, "LocationDnsSuffix", values.dnsSuffix, kMachine);
        registry.WriteString(kKey, "LocationAdapter", values.adapter, kMachine);
        registry.WriteString(kKey, "LocationWifi", values.wifi, kMachine);
    }
    Stored Read()
    {
        Stored values;
        values.mode = registry.ReadDword(kKey, "LocationMode", 99, kMachine);
        values.gateway = registry.ReadString(kKey, "LocationGateway", "<missing>", kMachine);
        values.subnet = registry.ReadString(kKey, "LocationSubnet", "<missing>", kMachine);
        values.dnsSuffix = registry.ReadString(kKey, "LocationDnsSuffix", "<missing>", kMachine);
        values.adapter = registry.ReadString(kKey, "LocationAdapter", "<missing>", kMachine);
        values.wifi = registry.ReadString(kKey, "LocationWifi", "<missing>", kMachine);
        return values;
    }

    bool RunLocation(UiScript& script)
    {
        bool result = false;
        EXPECT_TRUE(script.RunWith([&] {
            result = LocationDialog(registry, observer).Execute(nullptr, kNumber, kMachine);
        }));
        return result;
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    FakeNetworkObserver observer;
};

TEST_F(LocationDialogTest, TheStoredLocationIsShownAndOkStoresItUnchanged)
{
    const Stored stored{1, "AA:BB:CC:DD:EE:FF", "10.1.0.0/16", "corp.example", kGuid, " Cafe "};
    Store(stored);
    Stored shown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kLocationTitle);
        shown = Shown(ui, dialog);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunLocation(script));
    EXPECT_EQ(shown, stored);
    EXPECT_EQ(Read(), stored);
    EXPECT_EQ(observer.observeCalls, 0) << "the network is read only when asked";
}

TEST_F(LocationDialogTest, UseTheCurrentNetworkFillsTheConditionsAndOkStoresThemWithTheMode)
{
    Stored before;
    Stored filled;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kLocationTitle);
        before = Shown(ui, dialog);
        ui.Click(dialog, IDC_LOCATION_USE_CURRENT);
        filled = Shown(ui, dialog);
        ui.SetChecked(dialog, IDC_LOCATION_SWITCH, true);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunLocation(script));
    EXPECT_EQ(before, (Stored{0, "", "", "", "", ""})) << "no location: off, no condition";
    EXPECT_EQ(filled,
              (Stored{0, "02-f1-1b-5e-cb-01", "172.16.0.0/20", "lan", kGuid, "Office Net"}));
    EXPECT_EQ(observer.observeCalls, 1);
    EXPECT_EQ(Read(),
              (Stored{2, "02-f1-1b-5e-cb-01", "172.16.0.0/20", "lan", kGuid, "Office Net"}));
}

TEST_F(LocationDialogTest, WithoutANetworkTheButtonSaysSoAndChangesNothing)
{
    observer.observation = NetworkObservation{};
    MessageBoxInfo box;
    Stored after;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kLocationTitle);
        ui.SetText(dialog, IDC_LOCATION_DNS_SUFFIX, "typed.example");
        ui.Click(dialog, IDC_LOCATION_USE_CURRENT);
        box = ui.WaitForMessageBox();
        ui.Answer(box, IDOK);
        after = Shown(ui, dialog);
        ui.Click(dialog, IDCANCEL);
    });
    EXPECT_FALSE(RunLocation(script));
    EXPECT_EQ(box.text, "No network is connected now: there is nothing to fill in.");
    EXPECT_EQ(box.icon, MessageBoxIcon::Information);
    EXPECT_EQ(after.dnsSuffix, "typed.example");
    EXPECT_EQ(Read(), Stored{}) << "Cancel stores nothing";
}

TEST_F(LocationDialogTest, ABadTextIsNamedWithItsBoxFocusedAndTheDialogStaysOpen)
{
    struct Case {
        int box;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {IDC_LOCATION_GATEWAY, "aa-bb-cc",
         "The gateway's hardware address \"aa-bb-cc\" must be a hardware address such as "
         "\"aa-bb-cc-dd-ee-ff\", not all zeros."},
        {IDC_LOCATION_SUBNET, "10.1.0.0",
         "The subnet \"10.1.0.0\" must be a subnet such as \"10.1.0.0/16\", its prefix length "
         "from 1 to 32."},
        {IDC_LOCATION_ADAPTER, "Ethernet",
         "The adapter GUID \"Ethernet\" must be an adapter GUID such as "
         "\"{4D36E972-E325-11CE-BFC1-08002BE10318}\"."},
        {IDC_LOCATION_WIFI, std::string(33, 'w'),
         "The Wi-Fi network \"" + std::string(33, 'w') +
             "\" is 33 bytes long; a Wi-Fi network's name has at most 32."},
        {IDC_LOCATION_GATEWAY, "",
         "A location that is switched on needs a condition: fill in at least one box, or "
         "choose Off."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        MessageBoxInfo box;
        bool stillOpen = false;
        int focused = 0;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kLocationTitle);
            ui.SetChecked(dialog, IDC_LOCATION_ASK_FIRST, true);
            ui.SetText(dialog, c.box, c.text);
            ui.Click(dialog, IDOK);
            box = ui.WaitForMessageBox();
            ui.Answer(box, IDOK);
            stillOpen = IsWindowVisible(dialog) != FALSE;
            ui.WaitUntil("the focus on the box", [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof(info);
                GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
                focused = info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
                return focused == c.box;
            });
            ui.Click(dialog, IDCANCEL);
        });
        EXPECT_FALSE(RunLocation(script));
        EXPECT_EQ(box.caption, kTitle);
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.icon, MessageBoxIcon::Stop);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(Read(), Stored{});
    }
}

TEST_F(LocationDialogTest, TheConfigurationDialogsLocationButtonOpensItOnThatConfiguration)
{
    registry.WriteString(kKey, "Name", "Office", kMachine);
    Store({2, "", "", "corp.example", "", ""});
    FakeServiceManager services;
    FakeSystem system;
    Stored shown;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND configuration = ui.WaitForWindow("Configuration");
        ui.Click(configuration, IDC_CONFIG_LOCATION);
        HWND dialog = ui.WaitForWindow(kLocationTitle);
        shown = Shown(ui, dialog);
        ui.SetText(dialog, IDC_LOCATION_WIFI, "Home");
        ui.ClickAndWaitUntilGone(dialog, IDOK);
        ui.Click(configuration, IDCANCEL);
    });
    std::string name = "Office";
    EXPECT_TRUE(script.RunWith([&] {
        ConfigurationDialog(registry, services, system, observer)
            .Edit(nullptr, name, kNumber, kMachine);
    }));
    EXPECT_EQ(shown, (Stored{2, "", "", "corp.example", "", ""}));
    EXPECT_EQ(Read(), (Stored{2, "", "", "corp.example", "", "Home"}))
        << "the location is stored by its own OK, whatever the Configuration dialog ends with";
}

}  // namespace
}  // namespace flipset
