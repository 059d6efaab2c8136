#include "engine/Win32Shell.h"

#include "base/Win32ErrorText.h"

#include <windows.h>
#include <shellapi.h>

namespace flipset {

std::string Win32Shell::ShortPathName(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(buffer, length);
}

std::string Win32Shell::Open(const std::string& file, const std::string& parameters)
{
    const char* const parameterText = parameters.empty() ? nullptr : parameters.c_str();
    if (interface_ == Interface::Shown) {
        // The shell reports a failure itself, in a box of its own.
        ShellExecuteA(nullptr, "open", file.c_str(), parameterText, nullptr, SW_SHOW);
        return std::string();
    }
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    // NOASYNC: the start is complete when the call returns, so a process
    // that ends soon after it does not cut it short.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = "open";
    info.lpFile = file.c_str();
    info.lpParameters = parameterText;
    info.nShow = SW_SHOW;
    if (ShellExecuteExA(&info))
        return std::string();
    return SystemErrorText(GetLastError());
}

}  // namespace flipset
