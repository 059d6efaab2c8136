#include "app/Win32Elevation.h"

#include "base/Win32Handles.h"

#include <windows.h>

namespace flipset {

namespace {

bool TokenSaysElevated()
{
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return true;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size))
        return true;
    return elevation.TokenIsElevated != 0;
}

// True when the test variable is set to 1; removes it either way.
bool TakeTestNotElevated()
{
    char value[4] = {};
    const DWORD length = GetEnvironmentVariableA(kTestNotElevatedVariable, value, sizeof(value));
    if (length == 0)
        return false;
    SetEnvironmentVariableA(kTestNotElevatedVariable, nullptr);
    return length == 1 && value[0] == '1';
}

}  // namespace

Win32Elevation::Win32Elevation() : elevated_(!TakeTestNotElevated() && TokenSaysElevated()) {}

}  // namespace flipset
