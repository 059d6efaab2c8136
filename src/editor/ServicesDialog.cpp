#include "editor/ServicesDialog.h"

#include "editor/ConfigurationLists.h"
#include "editor/SelectionListDialog.h"
#include "editor/TooLongMessage.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

ServicesDialog::ServicesDialog(CRegistry registry, ServiceManager& services)
    : DialogBase(IDD_SERVICES), registry_(registry), services_(services)
{
}

bool ServicesDialog::Execute(HWND owner, int number, RegistryRoot root)
{
    number_ = number;
    root_ = root;
    return RunModal(owner) == IDOK;
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
    const RegistryRoot root = root_;
    StringList entries = ReadCodedList(registry_, number_, root, valueName);
    // A list too long to be read back is refused, and the selection list
    // opens again on the user's entries so that some can be removed.
    for (;;) {
        if (!SelectionListDialog(services_).Execute(Handle(), mode, entries))
            return;
        if (WriteCodedList(registry_, number_, root, valueName, entries))
            return;
        ShowTooLongMessage(Handle(), "The stored list of services", CodedListSize(entries),
                           kLargestBinaryValue);
    }
}

}  // namespace flipset
