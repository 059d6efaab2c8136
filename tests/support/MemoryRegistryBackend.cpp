#include "support/MemoryRegistryBackend.h"

#include <algorithm>
#include <cstring>

namespace flipset {

namespace {

std::string LowerAscii(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// Splits a key path into its names. As on the platform, a leading backslash
// makes the path invalid, while doubled and trailing ones are passed over.
bool SplitPath(const std::string& path, std::vector<std::string>* names)
{
    names->clear();
    if (!path.empty() && path[0] == '\\')
        return false;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            names->push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

// Copies a name into a caller's buffer of *size bytes, the way the
// enumeration calls do: the text and its 0 byte must fit.
long CopyName(const std::string& text, char* buffer, uint32_t* size)
{
    if (text.size() + 1 > *size)
        return RegistryStatus::kMoreData;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *size = static_cast<uint32_t>(text.size());
    return RegistryStatus::kSuccess;
}

}  // namespace

struct MemoryRegistryBackend::Node {
    struct Value {
        std::string name;
        RegistryValueType type = RegistryValueType::Binary;
        std::vector<unsigned char> data;
    };

    std::string name;
    std::string className;
    bool deleted = false;
    std::map<std::string, Value> values;                    // by lower-cased name
    std::map<std::string, std::shared_ptr<Node>> children;  // by lower-cased name
};

namespace {

using Node = MemoryRegistryBackend::Node;

class MemoryKey : public RegistryKey {
public:
    MemoryKey(std::shared_ptr<Node> node, bool writable)
        : node_(std::move(node)), writable_(writable)
    {
    }

    long QueryValue(const std::string& name, unsigned char* data, uint32_t* size) override
    {
        if (node_->deleted)
            return MemoryRegistryBackend::kKeyDeleted;
        auto it = node_->values.find(LowerAscii(name));
        if (it == node_->values.end())
            return RegistryStatus::kFileNotFound;
        const std::vector<unsigned char>& bytes = it->second.data;
        if (bytes.size() > *size) {
            *size = static_cast<uint32_t>(bytes.size());
            return RegistryStatus::kMoreData;
        }
        std::copy(bytes.begin(), bytes.end(), data);
        *size = static_cast<uint32_t>(bytes.size());
        return RegistryStatus::kSuccess;
    }

    long QueryValueType(const std::string& name, uint32_t* type, uint32_t* size) override
    {
        if (node_->deleted)
            return MemoryRegistryBackend::kKeyDeleted;
        auto it = node_->values.find(LowerAscii(name));
        if (it == node_->values.end())
            return RegistryStatus::kFileNotFound;
        *type = static_cast<uint32_t>(it->second.type);
        *size = static_cast<uint32_t>(it->second.data.size());
        return RegistryStatus::kSuccess;
    }

    long SetValue(const std::string& name, RegistryValueType type, const unsigned char* data,
                  uint32_t size) override
    {
        if (node_->deleted)
            return MemoryRegistryBackend::kKeyDeleted;
        if (!writable_)
            return RegistryStatus::kAccessDenied;
        Node::Value& value = node_->values[LowerAscii(name)];
        if (value.name.empty())
            value.name = name;
        value.type = type;
        value.data.assign(data, data + size);
        return RegistryStatus::kSuccess;
    }

    long DeleteValue(const std::string& name) override
    {
        if (node_->deleted)
            return MemoryRegistryBackend::kKeyDeleted;
        if (!writable_)
            return RegistryStatus::kAccessDenied;
        return node_->values.erase(LowerAscii(name)) ? RegistryStatus::kSuccess
                                                     : RegistryStatus::kFileNotFound;
    }

    long EnumKey(uint32_t index, char* name, uint32_t* nameSize, char* className,
                 uint32_t* classSize) override
    {
        if (node_->deleted)
            return MemoryRegistryBackend::kKeyDeleted;
        if (index >= node_->children.size())
            return RegistryStatus::kNoMoreItems;
        const Node& child = *std::next(node_->children.begin(), index)->second;
        long status = CopyName(child.name, name, nameSize);
        if (status != RegistryStatus::kSuccess)
            return status;
        return CopyName(child.className, className, classSize);
    }

    long EnumValue(uint32_t index, char* name, uint32_t* nameSize) override
    {
        if (node_->deleted)
            return MemoryRegistryBackend::kKeyDeleted;
        if (index >= node_->values.size())
            return RegistryStatus::kNoMoreItems;
        return CopyName(std::next(node_->values.begin(), index)->second.name, name, nameSize);
    }

    long EnumValueData(uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                       unsigned char* data, uint32_t* dataSize) override
    {
        if (node_->deleted)
            return MemoryRegistryBackend::kKeyDeleted;
        if (index >= node_->values.size())
            return RegistryStatus::kNoMoreItems;
        const Node::Value& value = std::next(node_->values.begin(), index)->second;
        const long status = CopyName(value.name, name, nameSize);
        if (status != RegistryStatus::kSuccess)
            return status;
        *type = static_cast<uint32_t>(value.type);
        if (value.data.size() > *dataSize) {
            *dataSize = static_cast<uint32_t>(value.data.size());
            return RegistryStatus::kMoreData;
        }
        std::copy(value.data.begin(), value.data.end(), data);
        *dataSize = static_cast<uint32_t>(value.data.size());
        return RegistryStatus::kSuccess;
    }

private:
    std::shared_ptr<Node> node_;
    bool writable_;  // opened for writing, as RegCreateKeyExA opens a key
};

}  // namespace

MemoryRegistryBackend::MemoryRegistryBackend()
{
    for (auto& root : roots_)
        root = std::make_shared<Node>();
}

MemoryRegistryBackend::~MemoryRegistryBackend() = default;

// The key reached from the root by the first "depth" names, or null.
std::shared_ptr<Node> MemoryRegistryBackend::Walk(RegistryRoot root,
                                                  const std::vector<std::string>& names,
                                                  size_t depth) const
{
    std::shared_ptr<Node> node = roots_[static_cast<int>(root)];
    for (size_t i = 0; i < depth && node; ++i) {
        auto it = node->children.find(LowerAscii(names[i]));
        node = it == node->children.end() ? nullptr : it->second;
    }
    return node;
}

std::unique_ptr<RegistryKey> MemoryRegistryBackend::OpenKey(RegistryRoot root,
                                                            const std::string& path, long* status)
{
    std::vector<std::string> names;
    if (!SplitPath(path, &names)) {
        *status = kBadPathname;
        return nullptr;
    }
    std::shared_ptr<Node> node = Walk(root, names, names.size());
    if (!node) {
        *status = RegistryStatus::kFileNotFound;
        return nullptr;
    }
    *status = RegistryStatus::kSuccess;
    return std::make_unique<MemoryKey>(std::move(node), false);
}

std::unique_ptr<RegistryKey> MemoryRegistryBackend::CreateKey(RegistryRoot root,
                                                              const std::string& path,
                                                              const std::string& className,
                                                              long* status)
{
    std::vector<std::string> names;
    if (!SplitPath(path, &names)) {
        *status = kBadPathname;
        return nullptr;
    }
    for (const std::string& name : names) {
        if (name.size() > kMaxKeyNameLength) {
            *status = kInvalidParameter;
            return nullptr;
        }
    }
    std::shared_ptr<Node> node = roots_[static_cast<int>(root)];
    for (const std::string& name : names) {
        std::shared_ptr<Node>& child = node->children[LowerAscii(name)];
        if (!child) {
            child = std::make_shared<Node>();
            child->name = name;
            child->className = className;
        }
        node = child;
    }
    *status = RegistryStatus::kSuccess;
    return std::make_unique<MemoryKey>(std::move(node), true);
}

long MemoryRegistryBackend::DeleteKey(RegistryRoot root, const std::string& path)
{
    std::vector<std::string> names;
    if (!SplitPath(path, &names))
        return kBadPathname;
    if (names.empty())
        return RegistryStatus::kAccessDenied;  // a root cannot be deleted
    std::shared_ptr<Node> parent = Walk(root, names, names.size() - 1);
    if (!parent)
        return RegistryStatus::kFileNotFound;
    auto it = parent->children.find(LowerAscii(names.back()));
    if (it == parent->children.end())
        return RegistryStatus::kFileNotFound;
    if (!it->second->children.empty())
        return RegistryStatus::kAccessDenied;  // as RegDeleteKeyA answers for a key with subkeys
    it->second->deleted = true;
    parent->children.erase(it);
    return RegistryStatus::kSuccess;
}

}  // namespace flipset
