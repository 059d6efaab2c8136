// The real registry, through the ANSI registry calls.
#pragma once

#include "store/RegistryBackend.h"

namespace flipset {

class Win32RegistryBackend : public RegistryBackend {
public:
    std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                         long* status) override;
    std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                           const std::string& className, long* status) override;
    long DeleteKey(RegistryRoot root, const std::string& path) override;

    // When a value of the key was last written or deleted, in the system's
    // file time; 0 when the key cannot be read. One call, for a caller that
    // polls for changes.
    uint64_t LastWriteTime(RegistryRoot root, const std::string& path);
};

}  // namespace flipset
