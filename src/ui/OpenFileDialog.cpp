#include "ui/OpenFileDialog.h"

#include <commdlg.h>

namespace flipset {

namespace {

// "text\0pattern\0...\0\0"
std::string FilterText(const std::vector<FileFilter>& filters)
{
    std::string filter;
    for (const FileFilter& pair : filters) {
        filter += pair.first;
        filter += '\0';
        filter += pair.second;
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

// What both file dialogs are given: the filter text and the buffer for the
// chosen path, kept alive while the dialog runs, and the structure that
// points at them.
class FileDialogRequest {
public:
    FileDialogRequest(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      const std::string& proposedName)
        : filter_(FilterText(filters)), file_(32768, '\0')
    {
        // A proposed name that does not fit is not proposed.
        if (proposedName.size() < file_.size())
            proposedName.copy(file_.data(), proposedName.size());
        dialog_.lStructSize = sizeof(dialog_);
        dialog_.hwndOwner = owner;
        dialog_.lpstrFilter = filter_.c_str();
        dialog_.nFilterIndex = 1;
        dialog_.lpstrFile = file_.data();
        dialog_.nMaxFile = static_cast<DWORD>(file_.size());
        dialog_.lpstrTitle = title.c_str();
    }
    FileDialogRequest(const FileDialogRequest&) = delete;
    FileDialogRequest& operator=(const FileDialogRequest&) = delete;

    OPENFILENAMEA& Dialog() { return dialog_; }
    std::string ChosenPath() const { return file_.data(); }

private:
    std::string filter_;
    std::vector<char> file_;
    OPENFILENAMEA dialog_{};
};

}  // namespace

bool ChooseFileToOpen(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      std::string& path)
{
    FileDialogRequest request(owner, title, filters, "");
    request.Dialog().Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetOpenFileNameA(&request.Dialog()))
        return false;
    path = request.ChosenPath();
    return true;
}

bool ChooseFileToSave(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      const std::string& defaultExtension, const std::string& fileName,
                      std::string& path)
{
    FileDialogRequest request(owner, title, filters, fileName);
    request.Dialog().lpstrDefExt = defaultExtension.c_str();
    request.Dialog().Flags =
        OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&request.Dialog()))
        return false;
    path = request.ChosenPath();
    return true;
}

}  // namespace flipset
