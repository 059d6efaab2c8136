// Which flipset.exe processes run, and how many, for the programs that
// watch the tray start its runs and its main window. Windows only.
#pragma once

#include "base/Win32Handles.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

namespace flipset {

// The ids of the flipset.exe processes other than the one with the id given
// (0: none left out).
inline std::vector<DWORD> FlipsetProcessIdsBut(DWORD processId)
{
    std::vector<DWORD> ids;
    // INVALID_HANDLE_VALUE when it fails, as a file's.
    FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (_stricmp(entry.szExeFile, "flipset.exe") == 0 && entry.th32ProcessID != processId)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

inline int FlipsetProcessesBut(DWORD processId)
{
    return static_cast<int>(FlipsetProcessIdsBut(processId).size());
}

}  // namespace flipset
