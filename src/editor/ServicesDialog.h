// "Services": opens the selection list on a configuration's list of
// services to stop or to start, and stores the list, coded, as soon as the
// selection list is confirmed.
#pragma once

#include "app/DialogBase.h"
#include "engine/ServiceControl.h"
#include "store/Registry.h"

namespace flipset {

class ServicesDialog : public DialogBase {
public:
    ServicesDialog(CRegistry registry, ServiceManager& services);

    // True when closed with OK. OK and Cancel only close: each list was
    // stored when its selection list was confirmed.
    bool Execute(HWND owner, int number, RegistryRoot root);

protected:
    bool OnCommand(int id, int notification, HWND control) override;

private:
    // Reads the list afresh, runs the selection list on it in the mode and
    // stores the confirmed entries.
    void EditServiceList(const char* valueName, int mode);

    CRegistry registry_;
    ServiceManager& services_;
    int number_ = 0;
    RegistryRoot root_ = RegistryRoot::LocalMachine;
};

}  // namespace flipset
