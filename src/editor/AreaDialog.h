// The base of the editors that one area button of the Configuration dialog
// opens: a dialog on its template that reads and writes the values of one
// configuration, below the root that the settings-root choice names.
#pragma once

#include "store/Registry.h"
#include "ui/DialogBase.h"

namespace flipset {

class AreaDialog : public DialogBase {
public:
    // Runs the dialog modally over the owner on the configuration of that
    // number under the configuration root; true when it was closed with OK.
    bool Execute(HWND owner, int number, RegistryRoot root)
    {
        number_ = number;
        root_ = root;
        return RunModal(owner) == IDOK;
    }

protected:
    AreaDialog(int templateId, CRegistry registry) : DialogBase(templateId), registry_(registry) {}

    CRegistry Registry() const { return registry_; }
    int Number() const { return number_; }
    RegistryRoot Root() const { return root_; }

private:
    CRegistry registry_;
    int number_ = 0;
    RegistryRoot root_ = RegistryRoot::LocalMachine;
};

}  // namespace flipset
