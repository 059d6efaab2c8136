// A system error code as a person reads it. Only Win32 code includes this.
#pragma once

#include <windows.h>

#include <string>

namespace flipset {

// The system's text for the code, without its line break and closing full
// stop, so that it can end a sentence of ours; "system error N" when the
// system has no text for it.
std::string SystemErrorText(DWORD error);

}  // namespace flipset
