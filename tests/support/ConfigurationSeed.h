// Writes a configuration's list values into the registry as the editors
// store them, for tests that need a configuration to run.
#pragma once

#include "store/Registry.h"

#include <string>

namespace flipset {

// A packed string list of plain entries ("Hostfile", "LMHostfile").
inline void StorePackedList(CRegistry registry, const std::string& key, const char* name,
                            const StringList& entries, RegistryRoot root)
{
    ByteArray bytes;
    CRegistry::PackStringList(entries, bytes);
    registry.WriteBinary(key, name, bytes, root);
}

// A packed string list of coded entries ("Run", "ServicesStop",
// "ServicesStart").
inline void StoreCodedList(CRegistry registry, const std::string& key, const char* name,
                           const StringList& entries, RegistryRoot root)
{
    registry.WriteBinary(key, name, CRegistry::PackCodedList(entries), root);
}

}  // namespace flipset
