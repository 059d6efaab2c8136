// The "Run" button of the Configuration dialog: the programs that running
// the configuration starts, in order.
#pragma once

#include "engine/ServiceControl.h"
#include "store/Registry.h"

#include <windows.h>

namespace flipset {

// Shows the configuration's run list in the Selection list and, on OK,
// stores it again, each entry coded. A list too large to be read back is
// not stored: the user is told its size and the list opens again as edited;
// so it does, after a message, when the registry refuses the write.
// The number must already be allocated.
void EditProgramList(HWND owner, CRegistry registry, ServiceManager& services, int number,
                     RegistryRoot root);

}  // namespace flipset
