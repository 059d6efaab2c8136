// The file system of the Files phase on Windows.
#pragma once

#include "engine/SystemFiles.h"

namespace flipset {

class Win32FileSystem : public FileSystem {
public:
    // GetSystemDirectoryA.
    std::string SystemDirectory() override;

    // Writes the bytes to a new temporary file in the target's folder and
    // then moves it into the target's place, so that the old file is either
    // replaced whole or left as it was; the temporary file never stays.
    bool ReplaceFileContent(const std::string& path, const std::string& bytes) override;

    // Missing only when the file or its folder is not found; any other
    // failure to open or read is Failed.
    FileRead ReadFileContent(const std::string& path, std::string& bytes) override;

    bool RemoveFile(const std::string& path) override;
};

}  // namespace flipset
