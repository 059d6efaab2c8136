#include "editor/ProgramListEditing.h"

#include "editor/ConfigurationLists.h"
#include "editor/NotStoredMessage.h"
#include "editor/SelectionListDialog.h"
#include "editor/TooLongMessage.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

void EditProgramList(HWND owner, CRegistry registry, ServiceManager& services, int number,
                     RegistryRoot root)
{
    StringList entries = ReadCodedList(registry, number, root, ConfigurationValue::kPrograms);
    // Until the list is stored or given up: a list refused as too large, or
    // one the registry did not store, opens again with the user's edits, so
    // nothing typed is lost.
    while (SelectionListDialog(services).Execute(owner, RunListMode, entries)) {
        switch (WriteCodedList(registry, number, root, ConfigurationValue::kPrograms, entries)) {
        case ValueWrite::Stored:
            return;
        case ValueWrite::TooLarge:
            ShowTooLongMessage(owner, IDS_WHAT_LIST, CodedListSize(entries), kLargestBinaryValue);
            break;
        case ValueWrite::Refused:
            ShowNotStoredMessage(owner, IDS_WHAT_PROGRAM_LIST);
            break;
        }
    }
}

}  // namespace flipset
