#include "editor/CardSetupDialog.h"

#include "editor/ConfigurationLists.h"
#include "editor/CardSetupRules.h"
#include "editor/NotStoredMessage.h"
#include "resource.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"

#include <commctrl.h>

namespace flipset {

namespace {

struct AddressControl {
    int id;
    const char* valueName;
};

// Each address control with the value that it shows and stores.
constexpr AddressControl kAddressControls[] = {
    {IDC_CARD_SETUP_IP, CardValue::kIp},
    {IDC_CARD_SETUP_NETMASK, CardValue::kNetmask},
    {IDC_CARD_SETUP_GATEWAY, CardValue::kGateway},
    {IDC_CARD_SETUP_NAMESERVER, CardValue::kDns1},
};

constexpr uint32_t kDefaultDisabled = 0;
constexpr uint32_t kDefaultDhcp = 1;

}  // namespace

CardSetupDialog::CardSetupDialog(CRegistry registry)
    : DialogBase(IDD_CARD_SETUP), registry_(registry)
{
}

bool CardSetupDialog::Execute(HWND owner, int number, const std::string& cardNumber,
                              const std::string& description, RegistryRoot root)
{
    root_ = root;
    settingsKey_ = CardSettingsKeyPath(number, cardNumber);
    description_ = description;
    return RunModal(owner) == IDOK;
}

bool CardSetupDialog::OnInitDialog()
{
    SetItemText(IDC_CARD_SETUP_DESCRIPTION, description_);
    // A longer domain could not be read back.
    SendDlgItemMessageA(Handle(), IDC_CARD_SETUP_DOMAIN, EM_LIMITTEXT, kLongestTextValue, 0);
    ReadSettings();
    ApplyEnablingRule();
    if (IsWindowEnabled(Item(IDC_CARD_SETUP_IP))) {
        SetFocus(Item(IDC_CARD_SETUP_IP));
        return false;
    }
    return true;
}

void CardSetupDialog::ReadSettings()
{
    for (const AddressControl& control : kAddressControls) {
        // An address of 0 stands for none: its control stays blank.
        const uint32_t address = registry_.ReadDword(settingsKey_, control.valueName, 0, root_);
        if (address != 0)
            SendDlgItemMessageA(Handle(), control.id, IPM_SETADDRESS, 0, address);
    }
    SetItemText(IDC_CARD_SETUP_DOMAIN,
                registry_.ReadString(settingsKey_, CardValue::kDomain, "", root_));
    SetChecked(IDC_CARD_SETUP_DISABLED, registry_.ReadDword(settingsKey_, CardValue::kDisabled,
                                                            kDefaultDisabled, root_) != 0);
    SetChecked(IDC_CARD_SETUP_AUTOMATIC,
               registry_.ReadDword(settingsKey_, CardValue::kDhcp, kDefaultDhcp, root_) != 0);
}

void CardSetupDialog::ApplyEnablingRule() const
{
    const CardSetupEnabling enabling = CardSetupEnablingRule(IsChecked(IDC_CARD_SETUP_DISABLED),
                                                             IsChecked(IDC_CARD_SETUP_AUTOMATIC));
    EnableItem(IDC_CARD_SETUP_AUTOMATIC, enabling.automatic);
    EnableItem(IDC_CARD_SETUP_DOMAIN, enabling.domain);
    for (const AddressControl& control : kAddressControls)
        EnableItem(control.id, enabling.addresses);
}

bool CardSetupDialog::OnCommand(int id, int notification, HWND control)
{
    if ((id == IDC_CARD_SETUP_DISABLED || id == IDC_CARD_SETUP_AUTOMATIC) &&
        notification == BN_CLICKED) {
        ApplyEnablingRule();
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

bool CardSetupDialog::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam, INT_PTR* result)
{
    if (message != WM_NOTIFY)
        return false;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code != IPN_FIELDCHANGED)
        return false;
    ApplyEnablingRule();
    *result = FALSE;  // the control takes no answer from a field change
    return true;
}

bool CardSetupDialog::WriteSettings() const
{
    // The first value refused ends the writing: those before it stay written,
    // and the dialog stays open, so the next OK writes them all again.
    if (!registry_.WriteDword(settingsKey_, CardValue::kDisabled,
                              IsChecked(IDC_CARD_SETUP_DISABLED) ? 1 : 0, root_) ||
        !registry_.WriteDword(settingsKey_, CardValue::kDhcp,
                              IsChecked(IDC_CARD_SETUP_AUTOMATIC) ? 1 : 0, root_))
        return false;
    for (const AddressControl& control : kAddressControls) {
        // Blank fields count as 0 within the address; the answer (how many
        // fields were filled) is not needed.
        DWORD address = 0;
        SendDlgItemMessageA(Handle(), control.id, IPM_GETADDRESS, 0,
                            reinterpret_cast<LPARAM>(&address));
        if (!registry_.WriteDword(settingsKey_, control.valueName, address, root_))
            return false;
    }
    return registry_.WriteString(settingsKey_, CardValue::kDomain, ItemText(IDC_CARD_SETUP_DOMAIN),
                                 root_);
}

void CardSetupDialog::OnOK()
{
    if (!WriteSettings()) {
        ShowNotStoredMessage(Handle(), IDS_WHAT_CARD_SETTINGS);
        return;
    }
    EndDialog(IDOK);
}

}  // namespace flipset
