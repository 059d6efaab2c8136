#include "editor/ValueEntryDialog.h"

#include "resource.h"

namespace flipset {

ValueEntryDialog::ValueEntryDialog() : DialogBase(IDD_VALUE_ENTRY) {}

bool ValueEntryDialog::Execute(HWND owner, std::string& value, const std::string& title,
                               const std::string& label)
{
    value_ = value;
    title_ = title;
    label_ = label;
    const bool confirmed = RunModal(owner) == IDOK;
    value = confirmed ? value_ : std::string();
    return confirmed;
}

bool ValueEntryDialog::OnInitDialog()
{
    SetWindowTextA(Handle(), title_.c_str());
    SetItemText(IDC_PICKER_LABEL, label_);
    SetItemText(IDC_VALUE_ENTRY_VALUE, value_);
    SetFocus(Item(IDC_VALUE_ENTRY_VALUE));
    return false;
}

void ValueEntryDialog::OnOK()
{
    value_ = ItemText(IDC_VALUE_ENTRY_VALUE);
    EndDialog(IDOK);
}

}  // namespace flipset
