#include "editor/ServicesDialog.h"

#include "editor/ConfigurationLists.h"
#include "editor/NotStoredMessage.h"
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
        EditServiceList(ConfigurationValue::kServicesStop, StopServicesMode,
                        IDS_WHAT_SERVICES_TO_STOP);
        return true;
    }
    if (notification == BN_CLICKED && id == IDC_SERVICES_START) {
        EditServiceList(ConfigurationValue::kServicesStart, StartServicesMode,
                        IDS_WHAT_SERVICES_TO_START);
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

void ServicesDialog::EditServiceList(const char* valueName, int mode, UINT whatId)
{
    const RegistryRoot root = Root();
    StringList entries = ReadCodedList(Registry(), Number(), root, valueName);
    // A list too long to be read back is refused, and the selection list
    // opens again on the user's entries so that some can be removed; so it
    // does on a list the registry did not store, to be confirmed again.
    for (;;) {
        if (!SelectionListDialog(services_).Execute(Handle(), mode, entries))
            return;
        switch (WriteCodedList(Registry(), Number(), root, valueName, entries)) {
        case ValueWrite::Stored:
            return;
        case ValueWrite::TooLarge:
            ShowTooLongMessage(Handle(), IDS_WHAT_SERVICE_LIST, CodedListSize(entries),
                               kLargestBinaryValue);
            break;
        case ValueWrite::Refused:
            ShowNotStoredMessage(Handle(), whatId);
            break;
        }
    }
}

}  // namespace flipset
