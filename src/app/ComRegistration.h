// The program's registration as a COM local server: an application id under
// HKEY_CLASSES_ROOT and nothing else, since the program serves no classes.
//
//   AppID\{24F24F96-8B70-4270-92F5-2D3339E77252}   (default) = "Flipset"
//   AppID\Flipset.EXE                               AppID     = "{24F24F96-...}"
//
// "AppID" itself belongs to the system and is never removed.
#pragma once

#include "store/Registry.h"

namespace flipset {

// Identifies this program's application id. Generated once for this program:
// it must never change, or an older registration could no longer be removed.
constexpr const char* kFlipsetAppId = "{24F24F96-8B70-4270-92F5-2D3339E77252}";

// Creates both keys (and "AppID" when missing) and sets their values; what
// else is in them stays. Failed writes are ignored.
void WriteComRegistration(CRegistry registry);

// Deletes both keys with whatever is in them; they are named by this program
// alone. Harmless when nothing is registered.
void RemoveComRegistration(CRegistry registry);

}  // namespace flipset
