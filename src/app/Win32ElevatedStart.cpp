#include "app/Win32ElevatedStart.h"

#include <shellapi.h>

#include <vector>

namespace flipset {

namespace {

// A path of up to 32767 characters, as long paths allow.
constexpr DWORD kLongestPath = 32768;

std::string OwnProgramPath()
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size())
            return std::string(path.data(), length);
        if (path.size() >= kLongestPath)
            return std::string();
        path.resize(path.size() * 2);
    }
}

std::string CurrentDirectory()
{
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return std::string();
    std::vector<char> directory(size);
    const DWORD length = GetCurrentDirectoryA(size, directory.data());
    return length > 0 && length < size ? std::string(directory.data(), length) : std::string();
}

}  // namespace

ElevatedStart StartElevatedCopy(const std::string& arguments, HWND owner)
{
    ElevatedStart start;
    const std::string program = OwnProgramPath();
    if (program.empty()) {
        start.error = GetLastError();
        return start;
    }
    const std::string directory = CurrentDirectory();
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    // The shell's own error boxes stay away: the caller says what failed.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = "runas";
    info.lpFile = program.c_str();
    info.lpParameters = arguments.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        start.error = GetLastError();
        return start;
    }
    start.process = KernelHandle(info.hProcess);
    // For a program file the shell always gives the process; without it the
    // copy could not be awaited.
    if (!start.process)
        start.error = ERROR_INVALID_HANDLE;
    return start;
}

}  // namespace flipset
