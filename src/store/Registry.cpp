#include "store/Registry.h"

#include "coder/CodedList.h"

#include <array>
#include <cstring>

namespace flipset {

namespace {

using DwordBytes = std::array<unsigned char, CRegistry::kDwordBufferSize>;

// A REG_DWORD's bytes: the number's four bytes, lowest first.
DwordBytes BytesOfDword(uint32_t number)
{
    return {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
}

uint32_t DwordOfBytes(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

RegistryValue RegistryValue::String(const std::string& text)
{
    RegistryValue value;
    value.type = static_cast<uint32_t>(RegistryValueType::String);
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

RegistryValue RegistryValue::Dword(uint32_t number)
{
    RegistryValue value;
    value.type = static_cast<uint32_t>(RegistryValueType::Dword);
    const DwordBytes bytes = BytesOfDword(number);
    value.data.assign(bytes.begin(), bytes.end());
    return value;
}

bool RegistryValue::AsDword(uint32_t& number) const
{
    if (type != static_cast<uint32_t>(RegistryValueType::Dword) ||
        data.size() != CRegistry::kDwordBufferSize)
        return false;
    number = DwordOfBytes(data.data());
    return true;
}

namespace {

// The class text given to a key that a write creates: the name of the type
// of value that the operation writes.
constexpr const char* kStringClass = "REG_SZ";
constexpr const char* kDwordClass = "REG_DWORD";
constexpr const char* kBinaryClass = "REG_BINARY";
constexpr const char* kMultiStringClass = "REG_MULTI_SZ";

const char* ClassTextOf(RegistryValueType type)
{
    switch (type) {
    case RegistryValueType::String:
        return kStringClass;
    case RegistryValueType::Dword:
        return kDwordClass;
    case RegistryValueType::Binary:
        return kBinaryClass;
    case RegistryValueType::MultiString:
        return kMultiStringClass;
    }
    return kStringClass;
}

}  // namespace

bool CRegistry::ReadInto(const std::string& path, const std::string& name, unsigned char* buffer,
                         uint32_t* size, RegistryRoot root) const
{
    long status = RegistryStatus::kSuccess;
    std::unique_ptr<RegistryKey> key = backend_->OpenKey(root, path, &status);
    if (!key)
        return false;
    return key->QueryValue(name, buffer, size) == RegistryStatus::kSuccess;
}

std::string CRegistry::ReadString(const std::string& path, const std::string& name,
                                  const std::string& defaultText, RegistryRoot root) const
{
    std::array<unsigned char, kStringBufferSize> buffer{};
    uint32_t size = kStringBufferSize;
    if (!ReadInto(path, name, buffer.data(), &size, root))
        return defaultText;
    // The text ends at its first 0 byte, or where the registry's data ends
    // when a value that fills the buffer carries no 0 byte at all.
    const char* text = reinterpret_cast<const char*>(buffer.data());
    return std::string(text, strnlen(text, size));
}

bool CRegistry::WriteString(const std::string& path, const std::string& name,
                            const std::string& text, RegistryRoot root) const
{
    const auto* data = reinterpret_cast<const unsigned char*>(text.c_str());
    return SetValue(path, name, RegistryValueType::String, data,
                    static_cast<uint32_t>(text.size() + 1), root);
}

uint32_t CRegistry::ReadDword(const std::string& path, const std::string& name,
                              uint32_t defaultNumber, RegistryRoot root) const
{
    // A shorter value reads as its own bytes with the rest 0.
    DwordBytes buffer{};
    uint32_t size = kDwordBufferSize;
    if (!ReadInto(path, name, buffer.data(), &size, root))
        return defaultNumber;
    return DwordOfBytes(buffer.data());
}

bool CRegistry::WriteDword(const std::string& path, const std::string& name, uint32_t number,
                           RegistryRoot root) const
{
    const DwordBytes bytes = BytesOfDword(number);
    return SetValue(path, name, RegistryValueType::Dword, bytes.data(), kDwordBufferSize, root);
}

bool CRegistry::ReadBinary(const std::string& path, const std::string& name, ByteArray& bytes,
                           RegistryRoot root) const
{
    bytes.clear();
    ByteArray buffer(kBinaryBufferSize);
    uint32_t size = kBinaryBufferSize;
    if (!ReadInto(path, name, buffer.data(), &size, root) || size == 0)
        return false;
    buffer.resize(size);
    bytes.swap(buffer);
    return true;
}

bool CRegistry::WriteBinary(const std::string& path, const std::string& name,
                            const ByteArray& bytes, RegistryRoot root) const
{
    return SetValue(path, name, RegistryValueType::Binary, bytes.data(),
                    static_cast<uint32_t>(bytes.size()), root);
}

bool CRegistry::ReadValue(const std::string& path, const std::string& name, RegistryValue& value,
                          RegistryRoot root) const
{
    value = RegistryValue();
    long status = RegistryStatus::kSuccess;
    std::unique_ptr<RegistryKey> key = backend_->OpenKey(root, path, &status);
    if (!key)
        return false;
    // The value may grow between the two queries; ask again while it does.
    for (;;) {
        uint32_t size = 0;
        if (key->QueryValueType(name, &value.type, &size) != RegistryStatus::kSuccess)
            return false;
        value.data.resize(size);
        status = key->QueryValue(name, value.data.data(), &size);
        if (status == RegistryStatus::kMoreData)
            continue;
        if (status != RegistryStatus::kSuccess)
            return false;
        value.data.resize(size);
        return true;
    }
}

bool CRegistry::WriteValue(const std::string& path, const std::string& name,
                           const RegistryValue& value, RegistryRoot root) const
{
    return SetValue(path, name, static_cast<RegistryValueType>(value.type), value.data.data(),
                    static_cast<uint32_t>(value.data.size()), root);
}

bool CRegistry::WriteMultiString(const std::string& path, const std::string& name,
                                 const StringList& strings, RegistryRoot root) const
{
    if (strings.empty())
        return DeleteValue(path, name, root);
    ByteArray block;
    for (const std::string& s : strings) {
        block.insert(block.end(), s.begin(), s.end());
        block.push_back(0);
    }
    block.push_back(0);
    return SetValue(path, name, RegistryValueType::MultiString, block.data(),
                    static_cast<uint32_t>(block.size()), root);
}

bool CRegistry::SetValue(const std::string& path, const std::string& name, RegistryValueType type,
                         const unsigned char* data, uint32_t size, RegistryRoot root) const
{
    long status = RegistryStatus::kSuccess;
    std::unique_ptr<RegistryKey> key = backend_->CreateKey(root, path, ClassTextOf(type), &status);
    if (!key)
        return false;
    return key->SetValue(name, type, data, size) == RegistryStatus::kSuccess;
}

bool CRegistry::DeleteValue(const std::string& path, const std::string& name,
                            RegistryRoot root) const
{
    std::unique_ptr<RegistryKey> key = OpenKeyForWrite(path, root);
    if (!key)
        return false;
    return key->DeleteValue(name) == RegistryStatus::kSuccess;
}

bool CRegistry::DeleteKeyTree(const std::string& path, RegistryRoot root) const
{
    // An empty path names the root itself, which cannot be deleted; walking
    // into it first would wipe every key below it.
    if (path.empty())
        return false;
    for (const std::string& child : EnumSubKeys(path, root))
        DeleteKeyTree(path + "\\" + child, root);
    return backend_->DeleteKey(root, path) == RegistryStatus::kSuccess;
}

StringList CRegistry::EnumSubKeys(const std::string& path, RegistryRoot root) const
{
    StringList names;
    long status = RegistryStatus::kSuccess;
    std::unique_ptr<RegistryKey> key = backend_->OpenKey(root, path, &status);
    if (!key)
        return names;
    std::array<char, kEnumNameBufferSize> name{};
    std::array<char, kEnumNameBufferSize> className{};
    for (uint32_t index = 0;; ++index) {
        uint32_t nameSize = kEnumNameBufferSize;
        uint32_t classSize = kEnumNameBufferSize;
        if (key->EnumKey(index, name.data(), &nameSize, className.data(), &classSize) !=
            RegistryStatus::kSuccess)
            break;
        names.emplace_back(name.data(), nameSize);
    }
    return names;
}

StringList CRegistry::EnumValueNames(const std::string& path, RegistryRoot root) const
{
    StringList names;
    long status = RegistryStatus::kSuccess;
    std::unique_ptr<RegistryKey> key = backend_->OpenKey(root, path, &status);
    if (!key)
        return names;
    std::array<char, kEnumNameBufferSize> name{};
    for (uint32_t index = 0;; ++index) {
        uint32_t nameSize = kEnumNameBufferSize;
        if (key->EnumValue(index, name.data(), &nameSize) != RegistryStatus::kSuccess)
            break;
        names.emplace_back(name.data(), nameSize);
    }
    return names;
}

std::unique_ptr<RegistryKey> CRegistry::OpenKeyForWrite(const std::string& path,
                                                        RegistryRoot root) const
{
    long status = RegistryStatus::kSuccess;
    return backend_->CreateKey(root, path, kStringClass, &status);
}

void CRegistry::PackStringList(const StringList& strings, ByteArray& bytes)
{
    bytes.clear();
    for (const std::string& s : strings) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    bytes.push_back(0);
    bytes.push_back(0);
}

void CRegistry::UnpackStringList(const ByteArray& bytes, StringList& strings)
{
    strings.clear();
    std::string current;
    for (unsigned char byte : bytes) {
        if (byte != 0) {
            current.push_back(static_cast<char>(byte));
            continue;
        }
        std::string entry = Trim(current);
        if (!entry.empty())
            strings.push_back(std::move(entry));
        current.clear();
    }
}

ByteArray CRegistry::PackCodedList(const StringList& entries)
{
    ByteArray bytes;
    PackStringList(CodeListEntries(entries), bytes);
    return bytes;
}

StringList CRegistry::UnpackCodedList(const ByteArray& bytes)
{
    StringList coded;
    UnpackStringList(bytes, coded);
    return DecodeListEntries(coded);
}

bool CRegistry::ReadCodedList(const std::string& path, const std::string& name, StringList& entries,
                              RegistryRoot root) const
{
    entries.clear();
    ByteArray bytes;
    if (!ReadBinary(path, name, bytes, root))
        return false;
    entries = UnpackCodedList(bytes);
    return true;
}

}  // namespace flipset
