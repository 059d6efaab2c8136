#include "editor/CardSelectDialog.h"

#include "editor/CardSetupRules.h"
#include "resource.h"
#include "ui/ListBoxText.h"

#include <optional>

namespace flipset {

CardSelectDialog::CardSelectDialog(CRegistry registry)
    : DialogBase(IDD_CARD_SELECT), registry_(registry)
{
}

bool CardSelectDialog::Execute(HWND owner, const std::string& initialCardNumber,
                               std::string& chosenCardNumber, std::string& chosenDescription)
{
    initialCardNumber_ = initialCardNumber;
    chosenCardNumber_ = initialCardNumber;
    chosenDescription_.clear();
    if (RunModal(owner) != IDOK)
        return false;
    chosenCardNumber = chosenCardNumber_;
    chosenDescription = chosenDescription_;
    return true;
}

bool CardSelectDialog::OnInitDialog()
{
    FillList();
    Preselect();
    SetFocus(Item(IDC_CARD_SELECT_LIST));
    return false;
}

void CardSelectDialog::FillList()
{
    // Read afresh on every opening: cards come and go with the hardware.
    cards_ = ListNetworkCards(registry_);
    SendDlgItemMessageA(Handle(), IDC_CARD_SELECT_LIST, LB_RESETCONTENT, 0, 0);
    for (const NetworkCard& card : cards_) {
        SendDlgItemMessageA(Handle(), IDC_CARD_SELECT_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(card.description.c_str()));
    }
}

void CardSelectDialog::Preselect()
{
    if (SendDlgItemMessageA(Handle(), IDC_CARD_SELECT_LIST, LB_GETCOUNT, 0, 0) <= 0)
        return;
    const std::optional<std::string> description =
        InitialCardDescription(cards_, initialCardNumber_);
    if (description) {
        // The list box's own prefix search from the top, ignoring case.
        SendDlgItemMessageA(Handle(), IDC_CARD_SELECT_LIST, LB_SELECTSTRING,
                            static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(description->c_str()));
    } else {
        SendDlgItemMessageA(Handle(), IDC_CARD_SELECT_LIST, LB_SETCURSEL, 0, 0);
    }
}

bool CardSelectDialog::OnCommand(int id, int notification, HWND control)
{
    if (id == IDC_CARD_SELECT_LIST && notification == LBN_DBLCLK) {
        OnOK();
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

std::string CardSelectDialog::SelectedEntryText() const
{
    return SelectedListBoxText(Item(IDC_CARD_SELECT_LIST));
}

void CardSelectDialog::OnOK()
{
    const CardChoice choice =
        ChooseCardByDescription(cards_, SelectedEntryText(), initialCardNumber_);
    chosenCardNumber_ = choice.number;
    chosenDescription_ = choice.description;
    EndDialog(IDOK);
}

}  // namespace flipset
