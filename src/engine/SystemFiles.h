// The Files phase (the machine's hosts and lmhosts files, replaced whole by
// the text a configuration stores) and the browser start page step.
#pragma once

#include "engine/RunContext.h"

#include <string>

namespace flipset {

// How reading a whole file ended.
enum class FileRead { Read, Missing, Failed };

// What the Files phase needs of the platform's file system.
class FileSystem {
public:
    FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;
    virtual ~FileSystem() = default;

    // The platform's system directory; empty when it can't be had.
    virtual std::string SystemDirectory() = 0;

    // Gives the file at path exactly the bytes as its whole content, creating
    // it when missing. All or nothing: on failure (false) the file is as it
    // was before, and nothing else is left behind.
    virtual bool ReplaceFileContent(const std::string& path, const std::string& bytes) = 0;

    // The file's whole content, at any size; Missing when there is no file.
    virtual FileRead ReadFileContent(const std::string& path, std::string& bytes) = 0;

    // Deletes the file; true when it is gone, or was never there.
    virtual bool RemoveFile(const std::string& path) = 0;
};

// The names of the two system files inside their folder.
constexpr const char* kHostsFileName = "hosts";
constexpr const char* kLmhostsFileName = "lmhosts";

// The folder of the system files: "Drivers\Etc" below the system directory
// (below the current drive's root when the system directory is unknown).
std::string SystemFilesFolder(FileSystem& fileSystem);

// The full path of one system file.
std::string SystemFilePath(FileSystem& fileSystem, const char* fileName);

// The file's content for the strings of a list value: every string followed
// by one line feed, with the line breaks inside a string kept as stored.
std::string SystemFileContent(const StringList& strings);

// The current user's browser start page.
constexpr const char* kBrowserMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kStartPageValue = "Start Page";

// Replaces the file at path with the strings of the configuration's packed
// list value: each string's bytes as stored, then one line feed. A value
// that is missing or holds no non-blank string leaves the file untouched.
// Failures are silent: the run goes on.
void WriteSystemFile(RunContext& ctx, FileSystem& fileSystem, const std::string& path,
                     const char* valueName);

// Writes the configuration's trimmed start page address as the browser's
// "Start Page" for the current user; a blank address changes nothing.
void ApplyStartPage(RunContext& ctx);

}  // namespace flipset
