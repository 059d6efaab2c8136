#include "editor/EditorDialog.h"

#include "editor/TooLongMessage.h"
#include "resource.h"

#include <limits>

namespace flipset {

EditorDialog::EditorDialog()
    : DialogBase(IDD_EDITOR), longestText_(std::numeric_limits<size_t>::max())
{
}

bool EditorDialog::Execute(HWND owner, std::string& text)
{
    text_ = text;
    if (RunModal(owner) != IDOK)
        return false;
    text = text_;
    return true;
}

bool EditorDialog::OnInitDialog()
{
    // The edit's own limit (about 32 KB) would silently cut a long text
    // short; with the largest limit the text is typed in full and refused
    // with a message at OK instead.
    SendDlgItemMessageA(Handle(), IDC_EDITOR_TEXT, EM_LIMITTEXT, 0, 0);
    SetItemText(IDC_EDITOR_TEXT, text_);
    SetFocus(Item(IDC_EDITOR_TEXT));
    return false;
}

void EditorDialog::OnOK()
{
    const std::string text = ItemText(IDC_EDITOR_TEXT);
    if (text.size() > longestText_) {
        ShowTooLongMessage(Handle(), IDS_WHAT_TEXT, text.size(), longestText_);
        SetFocus(Item(IDC_EDITOR_TEXT));
        return;
    }
    text_ = text;
    EndDialog(IDOK);
}

}  // namespace flipset
