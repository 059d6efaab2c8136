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
};

}  // namespace flipset
