// The system's open-file and save-file dialogs, as the windows use them.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace flipset {

// A filter: the text shown and the pattern ("Bitmap files", "*.bmp").
using FileFilter = std::pair<std::string, std::string>;

// Shows the open-file dialog owned by the window, with the flags
// OFN_HIDEREADONLY and OFN_OVERWRITEPROMPT, no initial file name and no
// default extension, the first filter in force. True when the user chose a
// file; path is then its full path.
bool ChooseFileToOpen(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      std::string& path);

// Shows the save-file dialog owned by the window, the first filter in
// force, with fileName proposed (it may be empty) and defaultExtension
// ("json", no dot) added to a name typed without one. It asks before an
// existing file is overwritten. True when the user chose a file; path is
// then its full path.
bool ChooseFileToSave(HWND owner, const std::string& title, const std::vector<FileFilter>& filters,
                      const std::string& defaultExtension, const std::string& fileName,
                      std::string& path);

}  // namespace flipset
