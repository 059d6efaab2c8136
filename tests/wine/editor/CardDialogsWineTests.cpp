// The network card dialogs, driven through their real controls under Wine,
// with cards of our own seeded beside the prefix's in the real card list and
// the card settings written to the real registry.

#include "network/CardInventory.h"
#include "editor/CardSelectDialog.h"
#include "editor/CardSetupDialog.h"
#include "resource.h"
#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace flipset {
namespace {

using ui::Ui;
using ui::UiScript;

// Spelled out here rather than taken from the code: the system's card list
// and the program's stored layout.
const std::string kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const std::string kSelectTitle = "Select the Network Interface Card";
const std::string kSetupTitle = "Setup the Network Interface Card";

// Wine numbers its own cards 1, 2, ...; ours cannot be taken for them.
const std::string kCardA = "FlipsetTestCardA";
const std::string kCardB = "FlipsetTestCardB";
const std::string kCardC = "FlipsetTestCardC";

// The IPv4 address controls in the order of their values.
const int kAddressIds[] = {IDC_CARD_SETUP_IP, IDC_CARD_SETUP_NETMASK, IDC_CARD_SETUP_GATEWAY,
                           IDC_CARD_SETUP_NAMESERVER};
const char* const kAddressValues[] = {"IP", "Netmask", "Gateway", "DNS1"};

void RegisterAddressControl()
{
    // The program does this at start; a test program has to do it itself.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
}

uint32_t AddressOf(Ui& ui, HWND dialog, int id)
{
    DWORD address = 0;
    ui.SendToControl(dialog, id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}

bool IsBlankAddress(Ui& ui, HWND dialog, int id)
{
    return ui.SendToControl(dialog, id, IPM_ISBLANK, 0, 0) != 0;
}

// Types the four fields into an address control's edits, left to right, as
// a user does; an empty text leaves its field blank.
void TypeAddress(Ui& ui, HWND dialog, int id, const std::vector<std::string>& fields)
{
    std::vector<HWND> edits;
    for (HWND child = FindWindowExA(ui.Control(dialog, id), nullptr, "Edit", nullptr);
         child != nullptr; child = FindWindowExA(ui.Control(dialog, id), child, "Edit", nullptr))
        edits.push_back(child);
    if (edits.size() != fields.size())
        ui.Fail("address control " + std::to_string(id) + " has " + std::to_string(edits.size()) +
                " fields");
    std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    for (size_t i = 0; i < edits.size(); ++i)
        ui.SendToWindow(edits[i], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fields[i].c_str()));
}

class CardDialogsWine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterAddressControl(); }

    void SetUp() override { RemoveTestData(); }
    void TearDown() override { RemoveTestData(); }

    void RemoveTestData() const
    {
        for (const std::string& card : {kCardA, kCardB, kCardC})
            registry.DeleteKeyTree(kCards + "\\" + card, kMachine);
        registry.DeleteKeyTree(kProgramKey, kMachine);
        registry.DeleteKeyTree(kProgramKey, kUser);
    }

    // Wine keeps the card list as a volatile key, which takes only volatile
    // subkeys (ERROR_CHILD_MUST_BE_VOLATILE otherwise).
    static void SeedCard(const std::string& number, const std::string& description)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kCards + "\\" + number).c_str(), 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, "Description", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(description.c_str()),
                                 static_cast<DWORD>(description.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

// --- Select the Network Interface Card ---

struct SelectOutcome {
    bool result = false;
    std::string number = "untouched";
    std::string description = "untouched";
};

class CardSelectDialogWine : public CardDialogsWine {
protected:
    SelectOutcome RunSelect(UiScript& script, const std::string& initialCardNumber)
    {
        SelectOutcome outcome;
        EXPECT_TRUE(script.RunWith([&] {
            CardSelectDialog dialog(registry);
            outcome.result =
                dialog.Execute(nullptr, initialCardNumber, outcome.number, outcome.description);
        }));
        return outcome;
    }
};

TEST_F(CardSelectDialogWine, OpensOnTheInitialCardOrElseOnTheFirstEntry)
{
    SeedCard(kCardA, "Flipset Adapter Alpha");
    SeedCard(kCardB, "Flipset Adapter");
    struct Case {
        std::string initial;
        std::string expectedText;  // empty: the first entry in sorted order
        std::string expectedNumber;
    };
    const Case cases[] = {
        {"", "", ""},
        {"NoSuchCard", "", ""},
        // Numbers compare ignoring case; the list box's prefix search then
        // finds "Flipset Adapter" before "Flipset Adapter Alpha".
        {"flipsettestcardb", "Flipset Adapter", kCardB},
        {kCardA, "Flipset Adapter Alpha", kCardA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("initial card \"" + c.initial + "\"");
        std::vector<std::string> items;
        int selection = -2;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kSelectTitle);
            items = ui.ListItems(dialog, IDC_CARD_SELECT_LIST);
            selection = ui.ListSelection(dialog, IDC_CARD_SELECT_LIST);
            ui.Click(dialog, IDOK);
        });
        const SelectOutcome outcome = RunSelect(script, c.initial);
        EXPECT_TRUE(outcome.result);
        ASSERT_GE(selection, 0);
        ASSERT_LT(static_cast<size_t>(selection), items.size());
        std::vector<std::string> sorted = items;
        std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
            return lstrcmpiA(a.c_str(), b.c_str()) < 0;
        });
        EXPECT_EQ(items, sorted) << "the list is sorted";
        if (c.expectedText.empty()) {
            EXPECT_EQ(selection, 0);
        } else {
            EXPECT_EQ(items[static_cast<size_t>(selection)], c.expectedText);
            EXPECT_EQ(outcome.number, c.expectedNumber);
            EXPECT_EQ(outcome.description, c.expectedText);
        }
    }
}

TEST_F(CardSelectDialogWine, ACardSharingItsDescriptionIsTheLastInCardListOrder)
{
    // The card list enumerates A, B, C; A and C share a description in
    // different letters, B stands between them.
    SeedCard(kCardC, "FLIPSET SHARED ADAPTER");
    SeedCard(kCardA, "Flipset Shared Adapter");
    SeedCard(kCardB, "Flipset Other Adapter");
    for (const std::string entry : {"Flipset Shared Adapter", "FLIPSET SHARED ADAPTER"}) {
        SCOPED_TRACE(entry);
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kSelectTitle);
            ui.DoubleClickListItem(dialog, IDC_CARD_SELECT_LIST, entry);
        });
        const SelectOutcome outcome = RunSelect(script, kCardB);
        EXPECT_TRUE(outcome.result);
        EXPECT_EQ(outcome.number, kCardC);
        EXPECT_EQ(outcome.description, entry) << "as the entry shows it";
    }
}

TEST_F(CardSelectDialogWine, CancelHandsBackNothing)
{
    SeedCard(kCardA, "Flipset Adapter Alpha");
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSelectTitle);
        ui.SelectListItem(dialog, IDC_CARD_SELECT_LIST, "Flipset Adapter Alpha");
        ui.Click(dialog, IDCANCEL);
    });
    const SelectOutcome outcome = RunSelect(script, "");
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.number, "untouched");
    EXPECT_EQ(outcome.description, "untouched");
}

// --- Setup the Network Interface Card ---

constexpr int kConfiguration = 5;
const std::string kCardSettingsKey = kAllConfigurationsKey + "\\5\\" + kCardA;

// What the dialog shows.
struct SetupView {
    std::string description;
    bool disableChecked = false, automaticChecked = false;
    bool automaticEnabled = false, domainEnabled = false;
    std::vector<bool> addressesEnabled;
    std::vector<bool> addressesBlank;
    std::vector<uint32_t> addresses;
    std::string domain;
};

SetupView ReadSetupView(Ui& ui, HWND dialog)
{
    SetupView view;
    view.description = ui.Text(dialog, IDC_CARD_SETUP_DESCRIPTION);
    view.disableChecked = ui.IsChecked(dialog, IDC_CARD_SETUP_DISABLED);
    view.automaticChecked = ui.IsChecked(dialog, IDC_CARD_SETUP_AUTOMATIC);
    view.automaticEnabled = ui.IsEnabled(dialog, IDC_CARD_SETUP_AUTOMATIC);
    view.domainEnabled = ui.IsEnabled(dialog, IDC_CARD_SETUP_DOMAIN);
    for (int id : kAddressIds) {
        view.addressesEnabled.push_back(ui.IsEnabled(dialog, id));
        view.addressesBlank.push_back(IsBlankAddress(ui, dialog, id));
        view.addresses.push_back(AddressOf(ui, dialog, id));
    }
    view.domain = ui.Text(dialog, IDC_CARD_SETUP_DOMAIN);
    return view;
}

const std::vector<bool> kAllFour(4, true);
const std::vector<bool> kNoneOfFour(4, false);

class CardSetupDialogWine : public CardDialogsWine {
protected:
    bool RunSetup(UiScript& script, RegistryRoot root = kMachine)
    {
        bool result = false;
        EXPECT_TRUE(script.RunWith([&] {
            CardSetupDialog dialog(registry);
            result = dialog.Execute(nullptr, kConfiguration, kCardA, "Flipset Adapter Alpha", root);
        }));
        return result;
    }
    uint32_t Stored(const char* name, RegistryRoot root = kMachine) const
    {
        return registry.ReadDword(kCardSettingsKey, name, 0xDEADBEEF, root);
    }
    StringList StoredNames(RegistryRoot root = kMachine) const
    {
        return registry.EnumValueNames(kCardSettingsKey, root);
    }
};

TEST_F(CardSetupDialogWine, AKeyWithoutValuesOpensAutomaticAndStoresTheDefaults)
{
    registry.WriteString(kCardSettingsKey, "NIC", "true",
                         kMachine);  // as the Network button leaves it
    SetupView view;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSetupTitle);
        view = ReadSetupView(ui, dialog);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSetup(script));
    EXPECT_EQ(view.description, "Flipset Adapter Alpha");
    EXPECT_FALSE(view.disableChecked);
    EXPECT_TRUE(view.automaticChecked);
    EXPECT_TRUE(view.automaticEnabled);
    EXPECT_TRUE(view.domainEnabled);
    EXPECT_EQ(view.addressesEnabled, kNoneOfFour);
    EXPECT_EQ(view.addressesBlank, kAllFour);
    EXPECT_EQ(view.domain, "");

    EXPECT_EQ(Stored("Disabled"), 0u);
    EXPECT_EQ(Stored("DHCP"), 1u);
    for (const char* name : kAddressValues)
        EXPECT_EQ(Stored(name), 0u) << name;
    EXPECT_EQ(registry.ReadString(kCardSettingsKey, "DOMAIN", "missing", kMachine), "");
    EXPECT_EQ(registry.ReadString(kCardSettingsKey, "NIC", "", kMachine), "true");
}

TEST_F(CardSetupDialogWine, StoredValuesAreShownUnderThePerUserRootAndStoredBackUnchanged)
{
    registry.WriteDword(kCardSettingsKey, "Disabled", 1, kUser);
    registry.WriteDword(kCardSettingsKey, "DHCP", 0, kUser);
    registry.WriteDword(kCardSettingsKey, "IP", 0xC0A80001, kUser);
    registry.WriteDword(kCardSettingsKey, "Netmask", 0xFFFFFF00, kUser);
    registry.WriteDword(kCardSettingsKey, "Gateway", 0, kUser);
    registry.WriteDword(kCardSettingsKey, "DNS1", 0x0A000001, kUser);
    registry.WriteString(kCardSettingsKey, "DOMAIN", "corp.example", kUser);
    SetupView view;
    LRESULT domainLimit = 0;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSetupTitle);
        view = ReadSetupView(ui, dialog);
        domainLimit = ui.SendToControl(dialog, IDC_CARD_SETUP_DOMAIN, EM_GETLIMITTEXT, 0, 0);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSetup(script, kUser));
    EXPECT_TRUE(view.disableChecked);
    EXPECT_FALSE(view.automaticChecked);
    EXPECT_FALSE(view.automaticEnabled);
    EXPECT_FALSE(view.domainEnabled);
    EXPECT_EQ(view.addressesEnabled, kNoneOfFour);
    EXPECT_EQ(view.addressesBlank, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(view.addresses, (std::vector<uint32_t>{0xC0A80001, 0xFFFFFF00, 0, 0x0A000001}));
    EXPECT_EQ(view.domain, "corp.example");
    // A longer domain could not be read back, so it cannot be typed.
    EXPECT_EQ(domainLimit, 1023);

    EXPECT_EQ(Stored("Disabled", kUser), 1u);
    EXPECT_EQ(Stored("DHCP", kUser), 0u);
    EXPECT_EQ(Stored("IP", kUser), 0xC0A80001u);
    EXPECT_EQ(Stored("Netmask", kUser), 0xFFFFFF00u);
    EXPECT_EQ(Stored("Gateway", kUser), 0u);
    EXPECT_EQ(Stored("DNS1", kUser), 0x0A000001u);
    EXPECT_EQ(registry.ReadString(kCardSettingsKey, "DOMAIN", "", kUser), "corp.example");
    EXPECT_TRUE(StoredNames(kMachine).empty()) << "nothing under the shared root";
}

TEST_F(CardSetupDialogWine, DisablingTheCardDisablesTheRestAndCancelStoresNothing)
{
    for (const bool automatic : {true, false}) {
        SCOPED_TRACE(automatic ? "automatic" : "fixed addresses");
        RemoveTestData();
        registry.WriteDword(kCardSettingsKey, "DHCP", automatic ? 1 : 0, kMachine);
        SetupView opened, disabled, reenabled;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kSetupTitle);
            opened = ReadSetupView(ui, dialog);
            ui.SetChecked(dialog, IDC_CARD_SETUP_DISABLED, true);
            disabled = ReadSetupView(ui, dialog);
            ui.SetChecked(dialog, IDC_CARD_SETUP_DISABLED, false);
            reenabled = ReadSetupView(ui, dialog);
            ui.SetText(dialog, IDC_CARD_SETUP_DOMAIN, "typed.example");
            ui.Click(dialog, IDCANCEL);
        });
        EXPECT_FALSE(RunSetup(script));
        const std::vector<bool> addressesWhenEnabled = automatic ? kNoneOfFour : kAllFour;
        EXPECT_EQ(opened.addressesEnabled, addressesWhenEnabled);
        EXPECT_TRUE(disabled.disableChecked);
        EXPECT_FALSE(disabled.automaticEnabled);
        EXPECT_FALSE(disabled.domainEnabled);
        EXPECT_EQ(disabled.addressesEnabled, kNoneOfFour);
        EXPECT_EQ(disabled.automaticChecked, automatic) << "kept while disabled";
        EXPECT_TRUE(reenabled.automaticEnabled);
        EXPECT_TRUE(reenabled.domainEnabled);
        EXPECT_EQ(reenabled.addressesEnabled, addressesWhenEnabled);
        EXPECT_EQ(StoredNames(), (StringList{"DHCP"})) << "Cancel stores nothing";
        EXPECT_EQ(Stored("DHCP"), automatic ? 1u : 0u);
    }
}

TEST_F(CardSetupDialogWine, TypedAddressesStayWhenAutomaticIsCheckedAndAreStored)
{
    registry.WriteDword(kCardSettingsKey, "DHCP", 0, kMachine);
    SetupView typed, automatic;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSetupTitle);
        TypeAddress(ui, dialog, IDC_CARD_SETUP_IP, {"192", "168", "0", "1"});
        TypeAddress(ui, dialog, IDC_CARD_SETUP_NETMASK, {"255", "255", "255", "0"});
        TypeAddress(ui, dialog, IDC_CARD_SETUP_GATEWAY, {"10", "", "", "254"});  // blank fields
        TypeAddress(ui, dialog, IDC_CARD_SETUP_NAMESERVER, {"", "", "", ""});
        ui.SetText(dialog, IDC_CARD_SETUP_DOMAIN, "office.example");
        typed = ReadSetupView(ui, dialog);
        ui.SetChecked(dialog, IDC_CARD_SETUP_AUTOMATIC, true);
        automatic = ReadSetupView(ui, dialog);
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSetup(script));
    EXPECT_EQ(typed.addressesEnabled, kAllFour);
    EXPECT_EQ(automatic.addressesEnabled, kNoneOfFour);
    EXPECT_EQ(automatic.addresses, typed.addresses);
    EXPECT_EQ(automatic.addresses, (std::vector<uint32_t>{0xC0A80001, 0xFFFFFF00, 0x0A0000FE, 0}));

    EXPECT_EQ(Stored("Disabled"), 0u);
    EXPECT_EQ(Stored("DHCP"), 1u);
    EXPECT_EQ(Stored("IP"), 0xC0A80001u);
    EXPECT_EQ(Stored("Netmask"), 0xFFFFFF00u);
    EXPECT_EQ(Stored("Gateway"), 0x0A0000FEu);
    EXPECT_EQ(Stored("DNS1"), 0u);
    EXPECT_EQ(registry.ReadString(kCardSettingsKey, "DOMAIN", "", kMachine), "office.example");
}

int FocusedId(HWND dialog)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus != nullptr ? GetDlgCtrlID(info.hwndFocus) : 0;
}

StringList StoredList(const CRegistry& registry, const char* name)
{
    StringList entries;
    if (!registry.OpenForReading(kCardSettingsKey, kMachine).ReadMultiString(name, entries))
        return {"<missing>"};
    return entries;
}

TEST_F(CardSetupDialogWine, FurtherAddressesAndServersAreShownOneALineAndStoredBack)
{
    SeedCard(kCardA, "Flipset Adapter Alpha");
    const std::string guid = "{F11B5E70-0000-4711-0000-0000000000A1}";
    registry.WriteString(kCards + "\\" + kCardA, "ServiceName", guid, kMachine);
    registry.WriteDword(kCardSettingsKey, "DHCP", 0, kMachine);
    registry.WriteDword(kCardSettingsKey, "IP", 0x0A000001, kMachine);
    registry.WriteDword(kCardSettingsKey, "Netmask", 0xFF000000, kMachine);
    registry.WriteMultiString(kCardSettingsKey, "MoreAddresses", {"10.1.0.1/255.255.0.0"},
                              kMachine);
    registry.WriteDword(kCardSettingsKey, "DNS1", 0x0A000035, kMachine);
    registry.WriteMultiString(kCardSettingsKey, "DNSServers", {"10.0.0.53", "fd00::53", "10.0.0.54"},
                              kMachine);
    SetupView view;
    std::string moreAddresses, moreServers;
    bool dnsFromDhcpChecked = true, dnsFromDhcpEnabled = false, moreServersEnabled = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSetupTitle);
        view = ReadSetupView(ui, dialog);
        moreAddresses = ui.Text(dialog, IDC_CARD_SETUP_MORE_ADDRESSES);
        moreServers = ui.Text(dialog, IDC_CARD_SETUP_MORE_SERVERS);
        dnsFromDhcpChecked = ui.IsChecked(dialog, IDC_CARD_SETUP_DNS_FROM_DHCP);
        dnsFromDhcpEnabled = ui.IsEnabled(dialog, IDC_CARD_SETUP_DNS_FROM_DHCP);
        moreServersEnabled = ui.IsEnabled(dialog, IDC_CARD_SETUP_MORE_SERVERS);
        ui.SetText(dialog, IDC_CARD_SETUP_MORE_ADDRESSES,
                   "10.1.0.1/255.255.0.0\r\n\r\n 10.2.0.1/255.255.255.0 ");
        ui.SetText(dialog, IDC_CARD_SETUP_MORE_SERVERS, "2001:DB8::1\r\nfd00::53");
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSetup(script));
    EXPECT_EQ(view.addresses, (std::vector<uint32_t>{0x0A000001, 0xFF000000, 0, 0x0A000035}));
    EXPECT_EQ(view.addressesEnabled, kAllFour);
    EXPECT_EQ(moreAddresses, "10.1.0.1/255.255.0.0");
    EXPECT_EQ(moreServers, "fd00::53\r\n10.0.0.54");
    EXPECT_FALSE(dnsFromDhcpChecked);
    EXPECT_TRUE(dnsFromDhcpEnabled);
    EXPECT_TRUE(moreServersEnabled);

    EXPECT_EQ(Stored("IP"), 0x0A000001u);
    EXPECT_EQ(StoredList(registry, "MoreAddresses"),
              (StringList{"10.1.0.1/255.255.0.0", "10.2.0.1/255.255.255.0"}));
    EXPECT_EQ(Stored("DNS1"), 0x0A000035u);
    EXPECT_EQ(StoredList(registry, "DNSServers"),
              (StringList{"10.0.0.53", "2001:db8::1", "fd00::53"}));
    EXPECT_EQ(Stored("DNSFromDHCP"), 0xDEADBEEFu) << "fixed addresses with servers of their own";
    EXPECT_EQ(registry.ReadString(kCardSettingsKey, "AdapterGUID", "", kMachine), guid);
}

TEST_F(CardSetupDialogWine, ABadLineIsNamedAndTheDialogStaysOpenOnTheInput)
{
    struct Case {
        const char* what;
        const char* moreAddresses;
        const char* moreServers;
        int focused;
        std::string message;
    };
    const Case cases[] = {
        {"an address without its mask", "10.1.0.1/255.255.0.0\r\n10.2.0.1", "",
         IDC_CARD_SETUP_MORE_ADDRESSES,
         "Further addresses, line 2: \"10.2.0.1\" is no address with its mask. Write one "
         "address with its mask a line, for example 192.168.1.2/255.255.255.0."},
        {"a mask with a gap", "10.2.0.1/255.0.255.0", "", IDC_CARD_SETUP_MORE_ADDRESSES,
         "Further addresses, line 1: 255.0.255.0 is no subnet mask. Write one address with its "
         "mask a line, for example 192.168.1.2/255.255.255.0."},
        {"a server that is a name", "", "\r\nns1.example", IDC_CARD_SETUP_MORE_SERVERS,
         "Further name servers, line 2: \"ns1.example\" is no IPv4 or IPv6 address. Write one "
         "IPv4 or IPv6 address a line."},
        {"nine servers", "",
         "10.0.0.1\r\n10.0.0.2\r\n10.0.0.3\r\n10.0.0.4\r\n10.0.0.5\r\n10.0.0.6\r\n"
         "10.0.0.7\r\n10.0.0.8\r\n10.0.0.9",
         IDC_CARD_SETUP_MORE_SERVERS, "A card takes at most 8 name servers; there are 9."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTestData();
        registry.WriteDword(kCardSettingsKey, "DHCP", 0, kMachine);
        ui::MessageBoxInfo box;
        bool stillOpen = false;
        std::string keptAddresses, keptServers;
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kSetupTitle);
            ui.SetText(dialog, IDC_CARD_SETUP_MORE_ADDRESSES, c.moreAddresses);
            ui.SetText(dialog, IDC_CARD_SETUP_MORE_SERVERS, c.moreServers);
            ui.Click(dialog, IDOK);
            box = ui.WaitForMessageBox();
            ui.Answer(box, IDOK);
            stillOpen = IsWindowVisible(dialog) != FALSE;
            // The dialog's thread moves the focus once its message box is
            // gone, which the driver may see first.
            ui.WaitUntil("the focus on control " + std::to_string(c.focused),
                         [&] { return FocusedId(dialog) == c.focused; });
            keptAddresses = ui.Text(dialog, IDC_CARD_SETUP_MORE_ADDRESSES);
            keptServers = ui.Text(dialog, IDC_CARD_SETUP_MORE_SERVERS);
            ui.Click(dialog, IDCANCEL);
        });
        EXPECT_FALSE(RunSetup(script));
        EXPECT_EQ(box.caption, kTitle);
        EXPECT_EQ(box.text, c.message);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(keptAddresses, c.moreAddresses);
        EXPECT_EQ(keptServers, c.moreServers);
        EXPECT_EQ(StoredNames(), (StringList{"DHCP"})) << "nothing stored";
    }
}

TEST_F(CardSetupDialogWine, TheNameServersBoxFollowsAutomaticAndGovernsTheServers)
{
    registry.WriteDword(kCardSettingsKey, "DHCP", 0, kMachine);
    struct Step {
        bool dnsFromDhcpChecked, nameserverEnabled, moreServersEnabled;
    };
    Step opened{}, automatic{}, ownServers{};
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kSetupTitle);
        auto read = [&] {
            return Step{ui.IsChecked(dialog, IDC_CARD_SETUP_DNS_FROM_DHCP),
                        ui.IsEnabled(dialog, IDC_CARD_SETUP_NAMESERVER),
                        ui.IsEnabled(dialog, IDC_CARD_SETUP_MORE_SERVERS)};
        };
        opened = read();
        ui.SetChecked(dialog, IDC_CARD_SETUP_AUTOMATIC, true);
        automatic = read();
        ui.SetChecked(dialog, IDC_CARD_SETUP_DNS_FROM_DHCP, false);
        ownServers = read();
        ui.SetText(dialog, IDC_CARD_SETUP_MORE_SERVERS, "10.0.0.99");
        ui.Click(dialog, IDOK);
    });
    EXPECT_TRUE(RunSetup(script));
    EXPECT_FALSE(opened.dnsFromDhcpChecked);
    EXPECT_TRUE(opened.nameserverEnabled);
    EXPECT_TRUE(opened.moreServersEnabled);
    EXPECT_TRUE(automatic.dnsFromDhcpChecked) << "automatic addresses take the lease's servers";
    EXPECT_FALSE(automatic.nameserverEnabled);
    EXPECT_FALSE(automatic.moreServersEnabled);
    EXPECT_FALSE(ownServers.dnsFromDhcpChecked);
    EXPECT_TRUE(ownServers.nameserverEnabled);
    EXPECT_TRUE(ownServers.moreServersEnabled);

    EXPECT_EQ(Stored("DHCP"), 1u);
    EXPECT_EQ(Stored("DNSFromDHCP"), 0u);
    // One IPv4 server is what "DNS1" alone says.
    EXPECT_EQ(Stored("DNS1"), 0x0A000063u);
    EXPECT_EQ(StoredList(registry, "DNSServers"), StringList{"<missing>"});
}

}  // namespace
}  // namespace flipset
