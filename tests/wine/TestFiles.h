// File helpers for the Windows test programs: whole-file reads and writes,
// folder listings, scratch folders that remove themselves, and files saved
// before a test changes them and put back afterwards.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace flipset {
namespace testfiles {

inline bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The whole content; false when the file can't be opened or read.
inline bool ReadWhole(const std::string& path, std::string& content)
{
    content.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return ok;
}

inline std::string ReadWhole(const std::string& path)
{
    std::string content;
    ReadWhole(path, content);
    return content;
}

inline bool WriteWhole(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    return CloseHandle(file) && ok;
}

// Waits until the record file appears (its writer renames it into place
// whole), then returns its content and deletes it; empty when it did not
// appear before the deadline.
inline std::string AwaitRecordFile(const std::string& path, DWORD deadlineMs = 60000)
{
    const DWORD start = GetTickCount();
    while (!Exists(path) && GetTickCount() - start < deadlineMs)
        Sleep(50);
    const std::string content = ReadWhole(path);
    DeleteFileA(path.c_str());
    return content;
}

// The names in a folder, "." and ".." left out.
inline std::set<std::string> FolderEntries(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

// The folder that holds this test program, without a trailing separator.
inline std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string self(path, length);
    return self.substr(0, self.find_last_of("\\/"));
}

// The folder of the hosts and lmhosts files, with a trailing separator.
inline std::string SystemFilesFolder()
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\Drivers\\Etc\\";
}

// A new empty folder in the temporary folder, removed with whatever files it
// then holds when the object is destroyed.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + name + " " + std::to_string(GetCurrentProcessId());
        Clear();
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { Clear(); }

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    void Clear()
    {
        for (const std::string& name : FolderEntries(path_)) {
            const std::string entry = path_ + "\\" + name;
            SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(entry.c_str()))
                RemoveDirectoryA(entry.c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }

    std::string path_;
};

// A file's content kept when the object is made and put back (or the file
// deleted, when there was none) when it is destroyed.
class SavedFile {
public:
    explicit SavedFile(std::string path) : path_(std::move(path))
    {
        existed_ = ReadWhole(path_, content_);
    }
    SavedFile(const SavedFile&) = delete;
    SavedFile& operator=(const SavedFile&) = delete;
    ~SavedFile()
    {
        if (existed_)
            WriteWhole(path_, content_);
        else
            DeleteFileA(path_.c_str());
    }

    bool Existed() const { return existed_; }

private:
    std::string path_;
    std::string content_;
    bool existed_ = false;
};

}  // namespace testfiles
}  // namespace flipset
