#include "editor/ServicesDialog.h"

#include "editor/ConfigurationLists.h"
#include "editor/SelectionListDialog.h"
#include "editor/TooLongMessage.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

ServicesDialog::ServicesDialog(CRegistry registry, ServiceManager& services)
    : AreaDialog(IDD_SERVICES, registry), services_(services)
{
}

bool ServicesDialog::OnCommand(int id, int notification, HWND control)
{
    if (notification == BN_CLICKED && id == IDC_SERVICES_STOP) {
        EditServiceList(ConfigurationValue::kServicesStop, StopServicesMode);
        return true;
    }
    if (notification == BN_CLICKED && id == IDC_SERVICES_START) {
        EditServiceList(ConfigurationValue::kServicesStart, StartServicesMode);
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

void ServicesDialog::EditServiceList(const char* valueName, int mode)
{
    const RegistryRoot root = Root();
    StringList entries = ReadCodedList(Registry(), Number(), root, valueName);
    // A list too long to be read back is refused, and the selection list
    // opens again on the user's entries so that some can be removed.
    for (;;) {
        if (!SelectionListDialog(services_).Execute(Handle(), mode, entries))
            return;
        if (WriteCodedList(Registry(), Number(), root, valueName, entries))
            return;
        ShowTooLongMessage(Handle(), IDS_WHAT_SERVICE_LIST, CodedListSize(entries),
                           kLargestBinaryValue);
    }
}

}  // namespace flipset
