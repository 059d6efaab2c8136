#include "ui/OpenFileDialog.h"

#include <commdlg.h>

namespace flipset {

bool ChooseFileToOpen(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      std::string& path)
{
    // "text\0pattern\0...\0\0"
    std::string filter;
    for (const FileFilter& pair : filters) {
        filter += pair.first;
        filter += '\0';
        filter += pair.second;
        filter += '\0';
    }
    filter += '\0';

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

}  // namespace flipset
