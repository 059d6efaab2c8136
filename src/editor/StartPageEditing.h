// The "Internet Explorer" button of the Configuration dialog: the start page
// that running the configuration gives the browser.
#pragma once

#include "store/Registry.h"

#include <windows.h>

namespace flipset {

// Shows the configuration's start page ("IEHOME", trimmed; when blank, the
// browser's current start page) for editing and, on OK, stores the text as
// typed, an empty one included. A text too long to be read back is not
// stored: the user is told its length and the dialog opens again with it;
// so it does, after a message, when the registry refuses the write.
// The number must already be allocated.
void EditStartPage(HWND owner, CRegistry registry, int number, RegistryRoot root);

}  // namespace flipset
