#include "engine/Win32Shell.h"

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

void Win32Shell::Open(const std::string& file, const std::string& parameters)
{
    ShellExecuteA(nullptr, "open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                  nullptr, SW_SHOW);
}

}  // namespace flipset
