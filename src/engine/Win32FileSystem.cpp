#include "engine/Win32FileSystem.h"

#include "base/Win32Handles.h"

#include <windows.h>

namespace flipset {

namespace {

constexpr DWORD kPathBufferSize = MAX_PATH;  // 260 characters

// A file created with a unique name that is deleted when this object is
// destroyed, unless it was moved away first.
class TemporaryFile {
public:
    // Creates an empty file with a unique name inside the folder.
    explicit TemporaryFile(const std::string& folder)
    {
        char name[kPathBufferSize] = {};
        if (GetTempFileNameA(folder.c_str(), "fls", 0, name) != 0)
            path_ = name;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!path_.empty())
            DeleteFileA(path_.c_str());
    }

    bool Exists() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

    // Moves the file into target's place, replacing it; the file is no
    // longer this object's to delete once that succeeds.
    bool MoveOver(const std::string& target)
    {
        if (!MoveFileExA(path_.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        path_.clear();
        return true;
    }

private:
    std::string path_;
};

// The folder part of a path: "." for a bare file name, and the separator
// kept where the folder is a root ("\hosts", "C:\hosts").
std::string FolderOf(const std::string& path)
{
    const size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos)
        return ".";
    std::string folder = path.substr(0, separator);
    if (folder.empty() || folder.back() == ':')
        folder += path[separator];
    return folder;
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    // The content comes from one registry value, far below 4 GiB.
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (size != bytes.size())
        return false;
    DWORD written = 0;
    return WriteFile(file, bytes.data(), size, &written, nullptr) && written == size;
}

}  // namespace

std::string Win32FileSystem::SystemDirectory()
{
    char buffer[kPathBufferSize] = {};
    const UINT length = GetSystemDirectoryA(buffer, kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize)
        return std::string();
    return std::string(buffer, length);
}

bool Win32FileSystem::ReplaceFileContent(const std::string& path, const std::string& bytes)
{
    TemporaryFile temporary(FolderOf(path));
    if (!temporary.Exists())
        return false;
    {
        FileHandle file(CreateFileA(temporary.Path().c_str(), GENERIC_WRITE, 0, nullptr,
                                    TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid() || !WriteAll(file.Get(), bytes) || !FlushFileBuffers(file.Get()) ||
            !file.Close())
            return false;
    }
    return temporary.MoveOver(path);
}

FileRead Win32FileSystem::ReadFileContent(const std::string& path, std::string& bytes)
{
    bytes.clear();
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                              : FileRead::Failed;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.HighPart != 0 || size.LowPart > 0x7FFFFFFF)
        return FileRead::Failed;
    bytes.resize(size.LowPart);
    DWORD done = 0;
    while (done < size.LowPart) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), &bytes[done], size.LowPart - done, &read, nullptr) || read == 0) {
            bytes.clear();
            return FileRead::Failed;
        }
        done += read;
    }
    return FileRead::Read;
}

bool Win32FileSystem::RemoveFile(const std::string& path)
{
    if (DeleteFileA(path.c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace flipset
