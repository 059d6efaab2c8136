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

}  // namespace

bool ChooseFileToOpen(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      std::string& path)
{
    const std::string filter = FilterText(filters);
    std::vector<char> file(32768, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetOpenFileNameA(&dialog))
        return false;
    path = file.data();
    return true;
}

bool ChooseFileToSave(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      const std::string& defaultExtension, const std::string& fileName,
                      std::string& path)
{
    const std::string filter = FilterText(filters);
    std::vector<char> file(32768, '\0');
    // A proposed name that does not fit is not proposed.
    if (fileName.size() < file.size())
        fileName.copy(file.data(), fileName.size());
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = defaultExtension.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog))
        return false;
    path = file.data();
    return true;
}

}  // namespace flipset
