// "Services": opens the selection list on a configuration's list of
// services to stop or to start, and stores the list, coded, as soon as the
// selection list is confirmed; its own OK and Cancel only close.
#pragma once

#include "editor/AreaDialog.h"
#include "engine/ServiceControl.h"
#include "store/Registry.h"

namespace flipset {

class ServicesDialog : public AreaDialog {
public:
    ServicesDialog(CRegistry registry, ServiceManager& services);

protected:
    bool OnCommand(int id, int notification, HWND control) override;

private:
    // Reads the list afresh, runs the selection list on it in the mode and
    // stores the confirmed entries; whatId names the list when the registry
    // does not store it.
    void EditServiceList(const char* valueName, int mode, UINT whatId);

    ServiceManager& services_;
};

}  // namespace flipset
