#include "editor/ProgramListEditing.h"

#include "editor/ConfigurationLists.h"
#include "editor/SelectionListDialog.h"
#include "editor/TooLongMessage.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

void EditProgramList(HWND owner, CRegistry registry, ServiceManager& services, int number,
                 RegistryRoot root)
{
    StringList entries = ReadCodedList(registry, number, root, ConfigurationValue::kPrograms);
    // Until the list is stored or given up: a list refused as too large opens
    // again with the user's edits, so nothing typed is lost.
    while (SelectionListDialog(services).Execute(owner, RunListMode, entries)) {
        if (WriteCodedList(registry, number, root, ConfigurationValue::kPrograms, entries))
            return;
        ShowTooLongMessage(owner, IDS_WHAT_LIST, CodedListSize(entries), kLargestBinaryValue);
    }
}

}  // namespace flipset
