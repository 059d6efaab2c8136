#include "editor/ConfigurationDialog.h"

#include "ui/LoadText.h"
#include "editor/ConfigurationLists.h"
#include "editor/DesktopSoundDialog.h"
#include "editor/LocationDialog.h"
#include "editor/NotStoredMessage.h"
#include "base/NameFilter.h"
#include "editor/ProgramListEditing.h"
#include "editor/ProxyDialog.h"
#include "editor/ServicesDialog.h"
#include "editor/StartPageEditing.h"
#include "editor/SystemFilesDialog.h"
#include "editor/TooLongMessage.h"
#include "engine/SystemInfo.h"
#include "editor/CardSelectDialog.h"
#include "editor/CardSetupDialog.h"
#include "resource.h"

namespace flipset {

std::string LoadNameCharacters()
{
    const std::string characters = LoadText(IDS_NAME_CHARACTERS);
    return characters.empty() ? std::string(kNameCharacters) : characters;
}

ConfigurationDialog::ConfigurationDialog(CRegistry registry, ServiceManager& services,
                                         const SystemInfo& system, NetworkObserver& observer)
    : DialogBase(IDD_CONFIGURATION),
      registry_(registry),
      services_(services),
      system_(system),
      observer_(observer),
      store_(registry),
      allowedCharacters_(LoadNameCharacters())
{
}

bool ConfigurationDialog::Edit(HWND owner, std::string& name, int number, RegistryRoot root)
{
    initialName_ = name;
    number_ = number;
    root_ = root;
    if (RunModal(owner) != IDOK)
        return false;
    name = storedName_;
    return true;
}

int ConfigurationDialog::EnsureNumber()
{
    if (number_ <= 0)
        number_ = store_.AllocateConfigurationNumber(Root());
    return number_;
}

bool ConfigurationDialog::OnInitDialog()
{
    if (!NetworkFeaturesAvailable(system_))
        EnableItem(IDC_CONFIG_NETWORK, false);
    // A longer name could be stored but never read back.
    SendDlgItemMessageA(Handle(), IDC_CONFIG_NAME, EM_LIMITTEXT, kLongestTextValue, 0);
    SetItemText(IDC_CONFIG_NAME, initialName_);
    CheckNameEdit();
    SetFocus(Item(IDC_CONFIG_NAME));
    return false;
}

void ConfigurationDialog::CheckNameEdit()
{
    EnableItem(IDOK, false);
    const HWND edit = Item(IDC_CONFIG_NAME);
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                 reinterpret_cast<LPARAM>(&selectionEnd));
    const NameCheck check = CheckName(WindowText(edit), allowedCharacters_);
    if (check.replace) {
        // Sends EN_CHANGE again, which finds the text clean.
        SetWindowTextA(edit, check.text.c_str());
        SendMessageA(edit, EM_SETSEL, selectionStart, selectionEnd);
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    }
    EnableItem(IDOK, check.acceptable);
}

void ConfigurationDialog::OnOK()
{
    const std::string text = ItemText(IDC_CONFIG_NAME);
    // Enter reaches here even while OK is disabled.
    if (!CheckName(text, allowedCharacters_).acceptable)
        return;
    // The edit's limit keeps typing and pasting within bounds; a text set
    // from outside is not held to it.
    const std::string stored = FilterName(text, allowedCharacters_);
    if (!FitsTextValue(stored)) {
        ShowTooLongMessage(Handle(), IDS_WHAT_NAME, stored.size(), kLongestTextValue);
        return;
    }
    // The name is stored before the dialog closes, so that a name the
    // registry refuses leaves the dialog open on it.
    if (!store_.SetConfigurationName(EnsureNumber(), stored, Root())) {
        ShowNotStoredMessage(Handle(), IDS_WHAT_NAME);
        return;
    }
    storedName_ = stored;
    EndDialog(IDOK);
}

bool ConfigurationDialog::OnCommand(int id, int notification, HWND control)
{
    switch (id) {
    case IDC_CONFIG_NAME:
        if (notification == EN_CHANGE)
            CheckNameEdit();
        return true;
    case IDC_CONFIG_FILES:
    case IDC_CONFIG_NETWORK:
    case IDC_CONFIG_INTERNET_EXPLORER:
    case IDC_CONFIG_DESKTOP_SOUND:
    case IDC_CONFIG_RUN:
    case IDC_CONFIG_SERVICES:
    case IDC_CONFIG_PROXY:
    case IDC_CONFIG_LOCATION:
        if (notification == BN_CLICKED)
            OpenArea(id);
        return true;
    default:
        return DialogBase::OnCommand(id, notification, control);
    }
}

// Every editor gets a number, so all areas and the name of one session land
// in one configuration key. The editors' results are theirs alone.
void ConfigurationDialog::OpenArea(int id)
{
    const int number = EnsureNumber();
    switch (id) {
    case IDC_CONFIG_FILES:
        SystemFilesDialog(registry_).Execute(Handle(), number, Root());
        break;
    case IDC_CONFIG_NETWORK:
        EditNetworkCard();
        break;
    case IDC_CONFIG_INTERNET_EXPLORER:
        EditStartPage(Handle(), registry_, number, Root());
        break;
    case IDC_CONFIG_DESKTOP_SOUND:
        DesktopSoundDialog(registry_).Execute(Handle(), number, Root());
        break;
    case IDC_CONFIG_RUN:
        EditProgramList(Handle(), registry_, services_, number, Root());
        break;
    case IDC_CONFIG_SERVICES:
        ServicesDialog(registry_, services_).Execute(Handle(), number, Root());
        break;
    case IDC_CONFIG_PROXY:
        ProxyDialog(registry_).Execute(Handle(), number, Root());
        break;
    case IDC_CONFIG_LOCATION:
        LocationDialog(registry_, observer_).Execute(Handle(), number, Root());
        break;
    default:
        break;
    }
}

// A chosen card belongs to the configuration from here on, even when its
// setup is cancelled. Without a card (an empty card list) nothing is
// written: the card settings would otherwise land in the configuration key
// itself.
void ConfigurationDialog::EditNetworkCard()
{
    std::string cardNumber;
    std::string description;
    if (!CardSelectDialog(registry_).Execute(Handle(), std::string(), cardNumber, description))
        return;
    if (cardNumber.empty())
        return;
    // The setup follows only once the registry has taken the card into the
    // configuration; after a refusal the user may choose the card again.
    if (!registry_.WriteString(ConfigurationKeyPath(number_) + "\\" + cardNumber, CardValue::kNic,
                               CardValue::kNicMarker, Root())) {
        ShowNotStoredMessage(Handle(), IDS_WHAT_CARD_CHOICE);
        return;
    }
    CardSetupDialog(registry_).Execute(Handle(), number_, cardNumber, description, Root());
}

}  // namespace flipset
