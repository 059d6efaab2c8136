// "SystemFiles": opens the editor on a configuration's hosts or lmhosts
// text and stores the text as soon as the editor is confirmed; its own OK
// and Cancel only close.
#pragma once

#include "editor/AreaDialog.h"
#include "store/Registry.h"

namespace flipset {

class SystemFilesDialog : public AreaDialog {
public:
    explicit SystemFilesDialog(CRegistry registry);

protected:
    bool OnCommand(int id, int notification, HWND control) override;

private:
    // Reads the value afresh, runs the editor on its text and stores the
    // confirmed text as a packed list of one entry; whatId names the text
    // when the registry does not store it.
    void EditSystemFile(const char* valueName, UINT whatId);
};

}  // namespace flipset
