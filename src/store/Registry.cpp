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

RegistryValue RegistryValue::MultiString(const StringList& texts)
{
    RegistryValue value;
    value.type = static_cast<uint32_t>(RegistryValueType::MultiString);
    for (const std::string& text : texts) {
        value.data.insert(value.data.end(), text.begin(), text.end());
        value.data.push_back(0);
    }
    value.data.push_back(0);
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

// --- one open key ------------------------------------------------------------

bool COpenKey::ReadInto(const std::string& name, unsigned char* buffer, uint32_t* size) const
{
    return key_ && key_->QueryValue(name, buffer, size) == RegistryStatus::kSuccess;
}

std::string COpenKey::ReadString(const std::string& name, const std::string& defaultText) const
{
    std::array<unsigned char, CRegistry::kStringBufferSize> buffer{};
    uint32_t size = CRegistry::kStringBufferSize;
    if (!ReadInto(name, buffer.data(), &size))
        return defaultText;
    // The text ends at its first 0 byte, or where the registry's data ends
    // when a value that fills the buffer carries no 0 byte at all.
    const char* text = reinterpret_cast<const char*>(buffer.data());
    return std::string(text, strnlen(text, size));
}

uint32_t COpenKey::ReadDword(const std::string& name, uint32_t defaultNumber) const
{
    // A shorter value reads as its own bytes with the rest 0.
    DwordBytes buffer{};
    uint32_t size = CRegistry::kDwordBufferSize;
    if (!ReadInto(name, buffer.data(), &size))
        return defaultNumber;
    return DwordOfBytes(buffer.data());
}

bool COpenKey::ReadBinary(const std::string& name, ByteArray& bytes) const
{
    bytes.clear();
    ByteArray buffer(CRegistry::kBinaryBufferSize);
    uint32_t size = CRegistry::kBinaryBufferSize;
    if (!ReadInto(name, buffer.data(), &size) || size == 0)
        return false;
    buffer.resize(size);
    bytes.swap(buffer);
    return true;
}

bool COpenKey::ReadValue(const std::string& name, RegistryValue& value) const
{
    value = RegistryValue();
    if (!key_)
        return false;
    // The value may grow between the two queries; ask again while it does.
    for (;;) {
        uint32_t size = 0;
        if (key_->QueryValueType(name, &value.type, &size) != RegistryStatus::kSuccess)
            return false;
        value.data.resize(size);
        const long status = key_->QueryValue(name, value.data.data(), &size);
        if (status == RegistryStatus::kMoreData)
            continue;
        if (status != RegistryStatus::kSuccess)
            return false;
        value.data.resize(size);
        return true;
    }
}

bool COpenKey::ReadList(const std::string& name, StringList& entries) const
{
    entries.clear();
    ByteArray bytes;
    if (!ReadBinary(name, bytes))
        return false;
    CRegistry::UnpackStringList(bytes, entries);
    return true;
}

bool COpenKey::ReadCodedList(const std::string& name, StringList& entries) const
{
    entries.clear();
    ByteArray bytes;
    if (!ReadBinary(name, bytes))
        return false;
    entries = CRegistry::UnpackCodedList(bytes);
    return true;
}

bool COpenKey::ReadMultiString(const std::string& name, StringList& entries) const
{
    entries.clear();
    RegistryValue value;
    if (!ReadValue(name, value) ||
        value.type != static_cast<uint32_t>(RegistryValueType::MultiString))
        return false;
    // Each entry ends at its 0 byte; an empty entry ends the list, and so
    // does the data when its last 0 bytes are missing.
    std::string entry;
    for (unsigned char c : value.data) {
        if (c != 0) {
            entry += static_cast<char>(c);
            continue;
        }
        if (entry.empty())
            return true;
        entries.push_back(entry);
        entry.clear();
    }
    if (!entry.empty())
        entries.push_back(entry);
    return true;
}

bool COpenKey::SetValue(const std::string& name, RegistryValueType type,
                        const unsigned char* data, uint32_t size) const
{
    return key_ && key_->SetValue(name, type, data, size) == RegistryStatus::kSuccess;
}

bool COpenKey::WriteString(const std::string& name, const std::string& text) const
{
    const auto* data = reinterpret_cast<const unsigned char*>(text.c_str());
    return SetValue(name, RegistryValueType::String, data, static_cast<uint32_t>(text.size() + 1));
}

bool COpenKey::WriteDword(const std::string& name, uint32_t number) const
{
    const DwordBytes bytes = BytesOfDword(number);
    return SetValue(name, RegistryValueType::Dword, bytes.data(), CRegistry::kDwordBufferSize);
}

bool COpenKey::WriteBinary(const std::string& name, const ByteArray& bytes) const
{
    return SetValue(name, RegistryValueType::Binary, bytes.data(),
                    static_cast<uint32_t>(bytes.size()));
}

bool COpenKey::WriteValue(const std::string& name, const RegistryValue& value) const
{
    return SetValue(name, static_cast<RegistryValueType>(value.type), value.data.data(),
                    static_cast<uint32_t>(value.data.size()));
}

bool COpenKey::WriteMultiString(const std::string& name, const StringList& strings) const
{
    if (strings.empty())
        return DeleteValue(name);
    return WriteValue(name, RegistryValue::MultiString(strings));
}

bool COpenKey::DeleteValue(const std::string& name) const
{
    return key_ && key_->DeleteValue(name) == RegistryStatus::kSuccess;
}

std::vector<NamedValue> COpenKey::ReadAllValues() const
{
    std::vector<NamedValue> values;
    if (!key_)
        return values;
    std::array<char, CRegistry::kEnumNameBufferSize> name{};
    // Every value the program writes fits; a larger one is read by its name.
    ByteArray data(CRegistry::kBinaryBufferSize);
    for (uint32_t index = 0;; ++index) {
        uint32_t nameSize = CRegistry::kEnumNameBufferSize;
        uint32_t dataSize = static_cast<uint32_t>(data.size());
        NamedValue named;
        long status = key_->EnumValueData(index, name.data(), &nameSize, &named.value.type,
                                          data.data(), &dataSize);
        if (status == RegistryStatus::kSuccess) {
            named.name.assign(name.data(), nameSize);
            named.value.data.assign(data.begin(), data.begin() + dataSize);
            values.push_back(std::move(named));
            continue;
        }
        if (status != RegistryStatus::kMoreData)
            break;
        nameSize = CRegistry::kEnumNameBufferSize;
        if (key_->EnumValue(index, name.data(), &nameSize) != RegistryStatus::kSuccess)
            break;
        named.name.assign(name.data(), nameSize);
        if (ReadValue(named.name, named.value))
            values.push_back(std::move(named));
    }
    return values;
}

StringList COpenKey::ValueNames() const
{
    StringList names;
    if (!key_)
        return names;
    std::array<char, CRegistry::kEnumNameBufferSize> name{};
    for (uint32_t index = 0;; ++index) {
        uint32_t nameSize = CRegistry::kEnumNameBufferSize;
        if (key_->EnumValue(index, name.data(), &nameSize) != RegistryStatus::kSuccess)
            break;
        names.emplace_back(name.data(), nameSize);
    }
    return names;
}

StringList COpenKey::SubKeyNames() const
{
    StringList names;
    if (!key_)
        return names;
    std::array<char, CRegistry::kEnumNameBufferSize> name{};
    std::array<char, CRegistry::kEnumNameBufferSize> className{};
    for (uint32_t index = 0;; ++index) {
        uint32_t nameSize = CRegistry::kEnumNameBufferSize;
        uint32_t classSize = CRegistry::kEnumNameBufferSize;
        if (key_->EnumKey(index, name.data(), &nameSize, className.data(), &classSize) !=
            RegistryStatus::kSuccess)
            break;
        names.emplace_back(name.data(), nameSize);
    }
    return names;
}

// --- one call, one key ----------------------------------------------------------

COpenKey CRegistry::OpenForReading(const std::string& path, RegistryRoot root) const
{
    long status = RegistryStatus::kSuccess;
    return COpenKey(backend_->OpenKey(root, path, &status));
}

COpenKey CRegistry::OpenForWriting(const std::string& path, RegistryRoot root) const
{
    return COpenKey(OpenKeyForWrite(path, root));
}

COpenKey CRegistry::ForWriteOf(const std::string& path, RegistryValueType type,
                               RegistryRoot root) const
{
    long status = RegistryStatus::kSuccess;
    return COpenKey(backend_->CreateKey(root, path, ClassTextOf(type), &status));
}

std::string CRegistry::ReadString(const std::string& path, const std::string& name,
                                  const std::string& defaultText, RegistryRoot root) const
{
    return OpenForReading(path, root).ReadString(name, defaultText);
}

bool CRegistry::WriteString(const std::string& path, const std::string& name,
                            const std::string& text, RegistryRoot root) const
{
    return ForWriteOf(path, RegistryValueType::String, root).WriteString(name, text);
}

uint32_t CRegistry::ReadDword(const std::string& path, const std::string& name,
                              uint32_t defaultNumber, RegistryRoot root) const
{
    return OpenForReading(path, root).ReadDword(name, defaultNumber);
}

bool CRegistry::WriteDword(const std::string& path, const std::string& name, uint32_t number,
                           RegistryRoot root) const
{
    return ForWriteOf(path, RegistryValueType::Dword, root).WriteDword(name, number);
}

bool CRegistry::ReadBinary(const std::string& path, const std::string& name, ByteArray& bytes,
                           RegistryRoot root) const
{
    return OpenForReading(path, root).ReadBinary(name, bytes);
}

bool CRegistry::WriteBinary(const std::string& path, const std::string& name,
                            const ByteArray& bytes, RegistryRoot root) const
{
    return ForWriteOf(path, RegistryValueType::Binary, root).WriteBinary(name, bytes);
}

bool CRegistry::ReadValue(const std::string& path, const std::string& name, RegistryValue& value,
                          RegistryRoot root) const
{
    return OpenForReading(path, root).ReadValue(name, value);
}

bool CRegistry::WriteValue(const std::string& path, const std::string& name,
                           const RegistryValue& value, RegistryRoot root) const
{
    return ForWriteOf(path, static_cast<RegistryValueType>(value.type), root)
        .WriteValue(name, value);
}

bool CRegistry::WriteMultiString(const std::string& path, const std::string& name,
                                 const StringList& strings, RegistryRoot root) const
{
    if (strings.empty())
        return DeleteValue(path, name, root);
    return ForWriteOf(path, RegistryValueType::MultiString, root).WriteMultiString(name, strings);
}

bool CRegistry::DeleteValue(const std::string& path, const std::string& name,
                            RegistryRoot root) const
{
    return OpenForWriting(path, root).DeleteValue(name);
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
    return OpenForReading(path, root).SubKeyNames();
}

StringList CRegistry::EnumValueNames(const std::string& path, RegistryRoot root) const
{
    return OpenForReading(path, root).ValueNames();
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
    return OpenForReading(path, root).ReadCodedList(name, entries);
}

}  // namespace flipset
