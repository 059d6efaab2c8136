// An in-memory registry that behaves like the platform's on everything the
// program relies on, so that the portable core can be tested without Windows.
// The conformance suite runs the same cases against it and the real registry.
//
// Like the real registry it has one tree per root; key and value names are
// compared ignoring the case of ASCII letters and keep the case they were
// created with; every key keeps the class text it was created with (Wine
// replaces it when an existing key is opened with another, Windows does not;
// nothing relies on either); a key opened for reading refuses writes;
// subkeys and values enumerate in the order that
// Wine gives: sorted by name as if lower-cased (Windows gives values in the
// order they were stored; nothing relies on value order).
#pragma once

#include "store/RegistryBackend.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace flipset {

class MemoryRegistryBackend : public RegistryBackend {
public:
    // Key names longer than this are refused, as Windows refuses them.
    static constexpr size_t kMaxKeyNameLength = 255;
    // ERROR_INVALID_PARAMETER, ERROR_BAD_PATHNAME and ERROR_KEY_DELETED.
    static constexpr long kInvalidParameter = 87;
    static constexpr long kBadPathname = 161;
    static constexpr long kKeyDeleted = 1018;

    MemoryRegistryBackend();
    ~MemoryRegistryBackend() override;

    std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                         long* status) override;
    std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                           const std::string& className, long* status) override;
    long DeleteKey(RegistryRoot root, const std::string& path) override;

    struct Node;

private:
    std::shared_ptr<Node> Walk(RegistryRoot root, const std::vector<std::string>& names,
                               size_t depth) const;

    std::shared_ptr<Node> roots_[3];
};

}  // namespace flipset
