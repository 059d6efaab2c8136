#include "transfer/Win32FileAccess.h"

#include <windows.h>

#include <algorithm>

namespace flipset {

namespace {

// A configuration file is small; a larger file is not one.
constexpr LONGLONG kLargestFile = 256LL * 1024 * 1024;

class FileHandleOwner {
public:
    explicit FileHandleOwner(HANDLE handle) : handle_(handle) {}
    FileHandleOwner(const FileHandleOwner&) = delete;
    FileHandleOwner& operator=(const FileHandleOwner&) = delete;
    ~FileHandleOwner() { Close(); }
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close()
    {
        if (!Valid())
            return true;
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

std::string ErrorText(DWORD error)
{
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 && buffer ? std::string(buffer, length) : std::string();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "system error " + std::to_string(error);
    return text;
}

}  // namespace

bool Win32FileAccess::ReadWholeFile(const std::string& path, std::string& bytes,
                                    std::string& reason)
{
    bytes.clear();
    FileHandleOwner file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        reason = ErrorText(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) {
        reason = ErrorText(GetLastError());
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
            reason = ErrorText(GetLastError());
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
    FileHandleOwner file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        reason = ErrorText(GetLastError());
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
        reason = ErrorText(GetLastError());
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace flipset
