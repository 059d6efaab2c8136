#include "editor/SystemFilesDialog.h"

#include "editor/ConfigurationLists.h"
#include "editor/EditorDialog.h"
#include "editor/NotStoredMessage.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

SystemFilesDialog::SystemFilesDialog(CRegistry registry) : AreaDialog(IDD_SYSTEM_FILES, registry) {}

bool SystemFilesDialog::OnCommand(int id, int notification, HWND control)
{
    if (notification == BN_CLICKED && id == IDC_SYSTEM_FILES_HOSTS) {
        EditSystemFile(ConfigurationValue::kHostfile, IDS_WHAT_HOSTS_TEXT);
        return true;
    }
    if (notification == BN_CLICKED && id == IDC_SYSTEM_FILES_LMHOSTS) {
        EditSystemFile(ConfigurationValue::kLMHostfile, IDS_WHAT_LMHOSTS_TEXT);
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

void SystemFilesDialog::EditSystemFile(const char* valueName, UINT whatId)
{
    const RegistryRoot root = Root();
    std::string text = ReadSystemFileText(Registry(), Number(), root, valueName);
    EditorDialog editor;
    // A longer text would be stored but read back as absent; the editor
    // refuses it before it closes.
    editor.SetLongestText(kLargestBinaryValue - SystemFileTextSize(""));
    // A text the registry did not store opens again as edited.
    while (editor.Execute(Handle(), text)) {
        if (WriteSystemFileText(Registry(), Number(), root, valueName, text) == ValueWrite::Stored)
            return;
        ShowNotStoredMessage(Handle(), whatId);
    }
}

}  // namespace flipset
