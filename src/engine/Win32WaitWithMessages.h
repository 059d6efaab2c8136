// The responsive wait of a run, for a window on the calling thread.
#pragma once

#include <windows.h>

#include <cstdint>

namespace flipset {

// Returns after at least the given milliseconds, handling the messages of the
// window (and its controls) meanwhile, with the dialog keyboard handling. It
// sleeps in the kernel until a message arrives or the time is up, so a long
// wait costs no processor time. 0 milliseconds, or no window, returns at once
// without handling any message.
void WaitWithMessages(HWND window, uint32_t milliseconds);

}  // namespace flipset
