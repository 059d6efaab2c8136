// Reading and writing a whole file by path, for the configuration files.
#pragma once

#include <string>

namespace flipset {

class FileAccess {
public:
    FileAccess() = default;
    FileAccess(const FileAccess&) = delete;
    FileAccess& operator=(const FileAccess&) = delete;
    virtual ~FileAccess() = default;

    // False with the platform's reason when the file cannot be read.
    virtual bool ReadWholeFile(const std::string& path, std::string& bytes,
                               std::string& reason) = 0;
    // Replaces the file, or creates it, as a whole: a failed write leaves
    // the file that was there as it was.
    virtual bool WriteWholeFile(const std::string& path, const std::string& bytes,
                                std::string& reason) = 0;
};

}  // namespace flipset
