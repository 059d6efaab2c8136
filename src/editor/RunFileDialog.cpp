#include "editor/RunFileDialog.h"

#include "ui/LoadText.h"
#include "ui/OpenFileDialog.h"
#include "resource.h"

namespace flipset {

namespace {

// "program [parameters]", both as typed: the form the launcher splits again.
std::string RunListEntry(const std::string& program, const std::string& parameters)
{
    return program + " [" + parameters + "]";
}

}  // namespace

RunFileDialog::RunFileDialog() : DialogBase(IDD_RUN_FILE) {}

bool RunFileDialog::Execute(HWND owner, std::string& entry)
{
    entry_.clear();
    if (RunModal(owner) != IDOK)
        return false;
    entry = entry_;
    return true;
}

bool RunFileDialog::OnCommand(int id, int notification, HWND control)
{
    if (id == IDC_RUN_FILE_BROWSE && notification == BN_CLICKED) {
        BrowseForProgram();
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

void RunFileDialog::BrowseForProgram()
{
    std::string path;
    if (ChooseFileToOpen(Handle(), LoadText(IDS_SELECT_FILE_TO_RUN),
                         {{LoadText(IDS_EXECUTABLE_FILES), "*.bat;*.com;*.exe;*.lnk"},
                          {LoadText(IDS_ALL_FILES), "*.*"}},
                         path))
        SetItemText(IDC_RUN_FILE_PROGRAM, path);
}

void RunFileDialog::OnOK()
{
    entry_ = RunListEntry(ItemText(IDC_RUN_FILE_PROGRAM), ItemText(IDC_RUN_FILE_PARAMETERS));
    EndDialog(IDOK);
}

}  // namespace flipset
