#include "editor/SystemFilesDialog.h"

#include "editor/ConfigurationLists.h"
#include "editor/EditorDialog.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

SystemFilesDialog::SystemFilesDialog(CRegistry registry) : AreaDialog(IDD_SYSTEM_FILES, registry) {}

bool SystemFilesDialog::OnCommand(int id, int notification, HWND control)
{
    if (notification == BN_CLICKED && id == IDC_SYSTEM_FILES_HOSTS) {
        EditSystemFile(ConfigurationValue::kHostfile);
        return true;
    }
    if (notification == BN_CLICKED && id == IDC_SYSTEM_FILES_LMHOSTS) {
        EditSystemFile(ConfigurationValue::kLMHostfile);
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

void SystemFilesDialog::EditSystemFile(const char* valueName)
{
    const RegistryRoot root = Root();
    std::string text = ReadSystemFileText(Registry(), Number(), root, valueName);
    EditorDialog editor;
    // A longer text would be stored but read back as absent.
    editor.SetLongestText(kLargestBinaryValue - SystemFileTextSize(""));
    if (!editor.Execute(Handle(), text))
        return;
    WriteSystemFileText(Registry(), Number(), root, valueName, text);
}

}  // namespace flipset
