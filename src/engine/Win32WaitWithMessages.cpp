#include "engine/Win32WaitWithMessages.h"

namespace flipset {

void WaitWithMessages(HWND window, uint32_t milliseconds)
{
    if (window == nullptr || milliseconds == 0)
        return;
    const DWORD start = GetTickCount();
    for (;;) {
        // Unsigned difference: a wrap of the tick counter does no harm.
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        MSG message;
        if (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(window, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            continue;
        }
        // Nothing pending for the window: sleep until new input arrives for
        // the thread or the time is up.
        MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds - elapsed, QS_ALLINPUT, 0);
    }
}

}  // namespace flipset
