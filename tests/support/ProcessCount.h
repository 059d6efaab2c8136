// How many flipset.exe processes run, for the programs that watch the tray
// start its runs. Windows only.
#pragma once

#include "base/Win32Handles.h"

#include <windows.h>
#include <tlhelp32.h>

namespace flipset {

// The flipset.exe processes other than the one with the id given (0: none
// left out).
inline int FlipsetProcessesBut(DWORD processId)
{
    // INVALID_HANDLE_VALUE when it fails, as a file's.
    FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (_stricmp(entry.szExeFile, "flipset.exe") == 0 && entry.th32ProcessID != processId)
            ++count;
    }
    return count;
}

}  // namespace flipset
