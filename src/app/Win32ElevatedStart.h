// Starts this program again with administrator rights: ShellExecuteEx with
// the verb "runas", which asks the user (user account control) first.
#pragma once

#include "base/Win32Handles.h"

#include <windows.h>

#include <string>

namespace flipset {

struct ElevatedStart {
    // The started copy; not valid when it did not start.
    KernelHandle process;
    // Why it did not start: ERROR_CANCELLED when the user declined.
    DWORD error = 0;
};

// Starts this program's file with the arguments, in the current directory
// (an elevated process would otherwise start in the system folder, and a
// relative file name of a verb would point there). owner: the window the
// question belongs to, or nullptr.
ElevatedStart StartElevatedCopy(const std::string& arguments, HWND owner);

}  // namespace flipset
