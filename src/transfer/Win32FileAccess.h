// FileAccess on the platform's file functions.
#pragma once

#include "transfer/FileAccess.h"

namespace flipset {

class Win32FileAccess : public FileAccess {
public:
    bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason) override;
    bool WriteWholeFile(const std::string& path, const std::string& bytes,
                        std::string& reason) override;
};

}  // namespace flipset
