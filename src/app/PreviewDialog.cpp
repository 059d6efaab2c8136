#include "app/PreviewDialog.h"

#include "resource.h"

namespace flipset {

PreviewDialog::PreviewDialog() : DialogBase(IDD_PREVIEW) {}

void PreviewDialog::Execute(HWND owner, const std::string& title, const StringList& lines)
{
    title_ = title;
    text_.clear();
    // The edit control breaks lines only at carriage return and line feed.
    for (const std::string& line : lines)
        text_ += line + "\r\n";
    RunModal(owner);
}

bool PreviewDialog::OnInitDialog()
{
    SetWindowTextA(Handle(), title_.c_str());
    SetItemText(IDC_PREVIEW_TEXT, text_);
    // The Close button has the focus, so the text is not shown selected.
    SetFocus(Item(IDCANCEL));
    return false;
}

}  // namespace flipset
