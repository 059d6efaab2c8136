#include "transfer/Win32FileAccess.h"

#include "base/Win32ErrorText.h"
#include "base/Win32Handles.h"

#include <windows.h>

#include <algorithm>

namespace flipset {

namespace {

// A configuration file is small; a larger file is not one.
constexpr LONGLONG kLargestFile = 256LL * 1024 * 1024;

}  // namespace

bool Win32FileAccess::ReadWholeFile(const std::string& path, std::string& bytes,
                                    std::string& reason)
{
    bytes.clear();
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        reason = SystemErrorText(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) {
        reason = SystemErrorText(GetLastError());
        return false;
    }
    if (size.QuadPart > kLargestFile) {
        reason = "the file is too large";
        return false;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                      &read, nullptr)) {
            reason = SystemErrorText(GetLastError());
            bytes.clear();
            return false;
        }
        if (read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

bool Win32FileAccess::WriteWholeFile(const std::string& path, const std::string& bytes,
                                     std::string& reason)
{
    // Written beside the file first, so that a failure never leaves half a
    // file in its place.
    const std::string temporary = path + ".partial";
    FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        reason = SystemErrorText(GetLastError());
        return false;
    }
    size_t done = 0;
    bool written = true;
    while (written && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD wrote = 0;
        written = WriteFile(file.Get(), bytes.data() + done, chunk, &wrote, nullptr) && wrote > 0;
        done += wrote;
    }
    if (!written || !file.Close() ||
        !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        reason = SystemErrorText(GetLastError());
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace flipset
