#include "store/Win32RegistryBackend.h"

#include <windows.h>

namespace flipset {

namespace {

// CRegistry counts on the platform's own numbers.
static_assert(static_cast<DWORD>(RegistryValueType::String) == REG_SZ);
static_assert(static_cast<DWORD>(RegistryValueType::Binary) == REG_BINARY);
static_assert(static_cast<DWORD>(RegistryValueType::Dword) == REG_DWORD);
static_assert(static_cast<DWORD>(RegistryValueType::MultiString) == REG_MULTI_SZ);
static_assert(RegistryStatus::kSuccess == ERROR_SUCCESS);
static_assert(RegistryStatus::kFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(RegistryStatus::kAccessDenied == ERROR_ACCESS_DENIED);
static_assert(RegistryStatus::kMoreData == ERROR_MORE_DATA);
static_assert(RegistryStatus::kNoMoreItems == ERROR_NO_MORE_ITEMS);

HKEY RootHandle(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    }
    return HKEY_CURRENT_USER;
}

// Owns one open HKEY and closes it when destroyed.
class Win32Key : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }

    long QueryValue(const std::string& name, unsigned char* data, uint32_t* size) override
    {
        DWORD bytes = *size;
        LONG status = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, data, &bytes);
        *size = bytes;
        return status;
    }

    long QueryValueType(const std::string& name, uint32_t* type, uint32_t* size) override
    {
        DWORD valueType = 0;
        DWORD bytes = 0;
        LONG status = RegQueryValueExA(key_, name.c_str(), nullptr, &valueType, nullptr, &bytes);
        *type = valueType;
        *size = bytes;
        return status;
    }

    long SetValue(const std::string& name, RegistryValueType type, const unsigned char* data,
                  uint32_t size) override
    {
        return RegSetValueExA(key_, name.c_str(), 0, static_cast<DWORD>(type), data, size);
    }

    long DeleteValue(const std::string& name) override
    {
        return RegDeleteValueA(key_, name.c_str());
    }

    long EnumKey(uint32_t index, char* name, uint32_t* nameSize, char* className,
                 uint32_t* classSize) override
    {
        DWORD nameChars = *nameSize;
        DWORD classChars = *classSize;
        LONG status =
            RegEnumKeyExA(key_, index, name, &nameChars, nullptr, className, &classChars, nullptr);
        *nameSize = nameChars;
        *classSize = classChars;
        return status;
    }

    long EnumValue(uint32_t index, char* name, uint32_t* nameSize) override
    {
        DWORD nameChars = *nameSize;
        LONG status =
            RegEnumValueA(key_, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
        *nameSize = nameChars;
        return status;
    }

    long EnumValueData(uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                       unsigned char* data, uint32_t* dataSize) override
    {
        DWORD nameChars = *nameSize;
        DWORD valueType = 0;
        DWORD bytes = *dataSize;
        LONG status =
            RegEnumValueA(key_, index, name, &nameChars, nullptr, &valueType, data, &bytes);
        *nameSize = nameChars;
        *type = valueType;
        *dataSize = bytes;
        return status;
    }

private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32RegistryBackend::OpenKey(RegistryRoot root,
                                                           const std::string& path, long* status)
{
    HKEY key = nullptr;
    *status = RegOpenKeyExA(RootHandle(root), path.c_str(), 0, KEY_READ, &key);
    if (*status != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32RegistryBackend::CreateKey(RegistryRoot root,
                                                             const std::string& path,
                                                             const std::string& className,
                                                             long* status)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    *status =
        RegCreateKeyExA(RootHandle(root), path.c_str(), 0, const_cast<char*>(className.c_str()),
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (*status != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32Key>(key);
}

long Win32RegistryBackend::DeleteKey(RegistryRoot root, const std::string& path)
{
    return RegDeleteKeyA(RootHandle(root), path.c_str());
}

uint64_t Win32RegistryBackend::LastWriteTime(RegistryRoot root, const std::string& path)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExA(RootHandle(root), path.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return 0;
    const Win32Key owner(raw);
    FILETIME written{};
    if (RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS)
        return 0;
    return uint64_t{written.dwHighDateTime} << 32 | written.dwLowDateTime;
}

}  // namespace flipset
