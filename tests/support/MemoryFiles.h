// FileAccess over a map of paths to contents, with a switch that makes
// every write fail.
#pragma once

#include "transfer/FileAccess.h"

#include <map>
#include <string>

namespace flipset {

class MemoryFiles : public FileAccess {
public:
    bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason) override
    {
        const auto it = files.find(path);
        if (it == files.end()) {
            reason = "The system cannot find the file specified";
            return false;
        }
        bytes = it->second;
        return true;
    }

    bool WriteWholeFile(const std::string& path, const std::string& bytes,
                        std::string& reason) override
    {
        if (failWrites) {
            reason = "Access is denied";
            return false;
        }
        files[path] = bytes;
        return true;
    }

    std::map<std::string, std::string> files;
    bool failWrites = false;
};

}  // namespace flipset
