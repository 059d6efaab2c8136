#include "editor/CardSetupDialog.h"

#include "editor/CardSetupRules.h"
#include "editor/ConfigurationLists.h"
#include "editor/NotStoredMessage.h"
#include "network/CardInventory.h"
#include "network/CardTcpip.h"
#include "resource.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"
#include "ui/LoadText.h"
#include "ui/ShowMessage.h"

#include <commctrl.h>

namespace flipset {

namespace {

constexpr uint32_t kDefaultDisabled = 0;

}  // namespace

CardSetupDialog::CardSetupDialog(CRegistry registry)
    : DialogBase(IDD_CARD_SETUP), registry_(registry)
{
}

bool CardSetupDialog::Execute(HWND owner, int number, const std::string& cardNumber,
                              const std::string& description, RegistryRoot root)
{
    root_ = root;
    cardNumber_ = cardNumber;
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

void CardSetupDialog::SetAddress(int id, uint32_t address) const
{
    // An address of 0 stands for none: its control stays blank.
    if (address != 0)
        SendDlgItemMessageA(Handle(), id, IPM_SETADDRESS, 0, address);
}

uint32_t CardSetupDialog::Address(int id) const
{
    // Blank fields count as 0 within the address; the answer (how many
    // fields were filled) is not needed.
    DWORD address = 0;
    SendDlgItemMessageA(Handle(), id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}

void CardSetupDialog::ReadSettings()
{
    const COpenKey card = registry_.OpenForReading(settingsKey_, root_);
    tcpip_ = ReadCardTcpip(card);
    const Ipv4WithMask first = tcpip_.addresses.empty() ? Ipv4WithMask() : tcpip_.addresses[0];
    const CardSetupLists lists = ListsForCardSetup(tcpip_);
    SetAddress(IDC_CARD_SETUP_IP, first.address);
    SetAddress(IDC_CARD_SETUP_NETMASK, first.mask);
    SetAddress(IDC_CARD_SETUP_GATEWAY, tcpip_.gateway);
    SetAddress(IDC_CARD_SETUP_NAMESERVER, lists.firstServer);
    SetItemText(IDC_CARD_SETUP_MORE_ADDRESSES, lists.moreAddresses);
    SetItemText(IDC_CARD_SETUP_MORE_SERVERS, lists.moreServers);
    SetItemText(IDC_CARD_SETUP_DOMAIN, tcpip_.suffix);
    SetChecked(IDC_CARD_SETUP_DISABLED,
               card.ReadDword(CardValue::kDisabled, kDefaultDisabled) != 0);
    SetChecked(IDC_CARD_SETUP_AUTOMATIC, tcpip_.dhcp);
    SetChecked(IDC_CARD_SETUP_DNS_FROM_DHCP, tcpip_.dnsFromDhcp);
}

void CardSetupDialog::ApplyEnablingRule() const
{
    const CardSetupEnabling enabling = CardSetupEnablingRule(
        IsChecked(IDC_CARD_SETUP_DISABLED), IsChecked(IDC_CARD_SETUP_AUTOMATIC),
        IsChecked(IDC_CARD_SETUP_DNS_FROM_DHCP));
    EnableItem(IDC_CARD_SETUP_AUTOMATIC, enabling.automatic);
    EnableItem(IDC_CARD_SETUP_DOMAIN, enabling.domain);
    for (int id : {IDC_CARD_SETUP_IP, IDC_CARD_SETUP_NETMASK, IDC_CARD_SETUP_GATEWAY,
                   IDC_CARD_SETUP_MORE_ADDRESSES})
        EnableItem(id, enabling.addresses);
    EnableItem(IDC_CARD_SETUP_DNS_FROM_DHCP, enabling.dnsFromDhcp);
    for (int id : {IDC_CARD_SETUP_NAMESERVER, IDC_CARD_SETUP_MORE_SERVERS})
        EnableItem(id, enabling.servers);
}

bool CardSetupDialog::OnCommand(int id, int notification, HWND control)
{
    if ((id == IDC_CARD_SETUP_DISABLED || id == IDC_CARD_SETUP_AUTOMATIC ||
         id == IDC_CARD_SETUP_DNS_FROM_DHCP) &&
        notification == BN_CLICKED) {
        // Automatic addresses bring the name servers of the lease with
        // them; fixed addresses have no lease, so their servers are the
        // user's. Either stays the user's choice afterwards.
        if (id == IDC_CARD_SETUP_AUTOMATIC)
            SetChecked(IDC_CARD_SETUP_DNS_FROM_DHCP, IsChecked(IDC_CARD_SETUP_AUTOMATIC));
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

bool CardSetupDialog::TakeInput()
{
    const CardSetupProblem problem = TakeCardSetupLists(
        {Address(IDC_CARD_SETUP_IP), Address(IDC_CARD_SETUP_NETMASK)},
        Address(IDC_CARD_SETUP_NAMESERVER), ItemText(IDC_CARD_SETUP_MORE_ADDRESSES),
        ItemText(IDC_CARD_SETUP_MORE_SERVERS), tcpip_);
    std::string text;
    int mend = 0;
    switch (problem.kind) {
    case CardSetupProblem::Kind::None:
        break;
    case CardSetupProblem::Kind::AddressLine:
        text = FormatText(IDS_CARD_ADDRESS_LINE, {std::to_string(problem.line), problem.reason});
        mend = IDC_CARD_SETUP_MORE_ADDRESSES;
        break;
    case CardSetupProblem::Kind::ServerLine:
        text = FormatText(IDS_CARD_SERVER_LINE, {std::to_string(problem.line), problem.reason});
        mend = IDC_CARD_SETUP_MORE_SERVERS;
        break;
    case CardSetupProblem::Kind::TooManyServers:
        text =
            FormatText(IDS_CARD_TOO_MANY_SERVERS, {std::to_string(kMaxDnsServers), problem.reason});
        mend = IDC_CARD_SETUP_MORE_SERVERS;
        break;
    }
    if (!text.empty()) {
        ShowMessage(Handle(), text, MB_OK | MB_ICONSTOP);
        SetFocus(Item(mend));
        return false;
    }
    tcpip_.dhcp = IsChecked(IDC_CARD_SETUP_AUTOMATIC);
    tcpip_.gateway = Address(IDC_CARD_SETUP_GATEWAY);
    tcpip_.dnsFromDhcp = IsChecked(IDC_CARD_SETUP_DNS_FROM_DHCP);
    tcpip_.suffix = ItemText(IDC_CARD_SETUP_DOMAIN);
    // The card is bound to its adapter as it is now; a card without one
    // keeps what it had.
    const std::string adapter = GetCardServiceName(registry_, cardNumber_);
    if (!adapter.empty())
        tcpip_.adapterGuid = adapter;
    return true;
}

bool CardSetupDialog::WriteSettings() const
{
    // The first value refused ends the writing: those before it stay written,
    // and the dialog stays open, so the next OK writes them all again.
    const COpenKey card = registry_.OpenForWriting(settingsKey_, root_);
    return card.WriteDword(CardValue::kDisabled, IsChecked(IDC_CARD_SETUP_DISABLED) ? 1 : 0) &&
           WriteCardTcpip(card, tcpip_);
}

void CardSetupDialog::OnOK()
{
    if (!TakeInput())
        return;
    if (!WriteSettings()) {
        ShowNotStoredMessage(Handle(), IDS_WHAT_CARD_SETTINGS);
        return;
    }
    EndDialog(IDOK);
}

}  // namespace flipset
