// "SystemFiles": opens the editor on a configuration's hosts or lmhosts
// text and stores the text as soon as the editor is confirmed.
#pragma once

#include "app/DialogBase.h"
#include "store/Registry.h"

namespace flipset {

class SystemFilesDialog : public DialogBase {
public:
    explicit SystemFilesDialog(CRegistry registry);

    // True when closed with OK. OK and Cancel only close: each text was
    // stored when its editor was confirmed.
    bool Execute(HWND owner, int number, RegistryRoot root);

protected:
    bool OnCommand(int id, int notification, HWND control) override;

private:
    // Reads the value afresh, runs the editor on its text and stores the
    // confirmed text as a packed list of one entry.
    void EditSystemFile(const char* valueName);

    CRegistry registry_;
    int number_ = 0;
    RegistryRoot root_ = RegistryRoot::LocalMachine;
};

}  // namespace flipset
