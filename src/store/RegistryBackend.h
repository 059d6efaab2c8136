// The narrow interface between CRegistry and a registry implementation.
//
// It mirrors the handful of Win32 registry calls that CRegistry makes, with
// their status codes and buffer conventions, so that CRegistry holds every
// rule of its own (buffer limits, defaults, class texts, recursion) once and
// both implementations only have to behave like the platform:
//   - Win32RegistryBackend: the real registry through the ...A calls;
//   - MemoryRegistryBackend: an in-memory registry for the portable tests.
// The shared conformance suite checks that the two agree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace flipset {

enum class RegistryRoot {
    ClassesRoot,   // HKEY_CLASSES_ROOT
    CurrentUser,   // HKEY_CURRENT_USER
    LocalMachine,  // HKEY_LOCAL_MACHINE
};

// Value types, numbered as the platform numbers them.
enum class RegistryValueType : uint32_t {
    String = 1,       // REG_SZ
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD
    MultiString = 7,  // REG_MULTI_SZ
};

// Status codes, numbered as the platform's system error codes.
namespace RegistryStatus {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
constexpr long kAccessDenied = 5;   // ERROR_ACCESS_DENIED
constexpr long kMoreData = 234;     // ERROR_MORE_DATA
constexpr long kNoMoreItems = 259;  // ERROR_NO_MORE_ITEMS
}  // namespace RegistryStatus

// An open key. Destroying the object closes the key.
class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    virtual ~RegistryKey() = default;

    // RegQueryValueExA: copies the value's bytes into data, which holds *size
    // bytes. On success *size is the number of bytes copied; when the value is
    // larger than the buffer the result is kMoreData.
    virtual long QueryValue(const std::string& name, unsigned char* data, uint32_t* size) = 0;

    // RegQueryValueExA without a buffer: the value's type as the platform
    // numbers it (any number, not only those of RegistryValueType) and its
    // size in bytes.
    virtual long QueryValueType(const std::string& name, uint32_t* type, uint32_t* size) = 0;

    // RegSetValueExA with exactly size bytes.
    virtual long SetValue(const std::string& name, RegistryValueType type,
                          const unsigned char* data, uint32_t size) = 0;

    // RegDeleteValueA.
    virtual long DeleteValue(const std::string& name) = 0;

    // RegEnumKeyExA: the name (and class text) of the subkey at index. The
    // sizes hold the buffers' capacity in bytes on entry, and the text length
    // without its 0 byte on success. kNoMoreItems after the last subkey.
    virtual long EnumKey(uint32_t index, char* name, uint32_t* nameSize, char* className,
                         uint32_t* classSize) = 0;

    // RegEnumValueA, names only, with the same buffer convention as EnumKey.
    virtual long EnumValue(uint32_t index, char* name, uint32_t* nameSize) = 0;

    // RegEnumValueA with the value's type and bytes: the name as EnumValue
    // gives it, the type as the platform numbers it, and the bytes copied
    // into data, which holds *dataSize bytes. On success *dataSize is the
    // number of bytes copied; kMoreData when the name or the bytes do not
    // fit (what the sizes then hold is not to be relied on).
    virtual long EnumValueData(uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                               unsigned char* data, uint32_t* dataSize) = 0;
};

class RegistryBackend {
public:
    RegistryBackend() = default;
    RegistryBackend(const RegistryBackend&) = delete;
    RegistryBackend& operator=(const RegistryBackend&) = delete;
    virtual ~RegistryBackend() = default;

    // RegOpenKeyExA with KEY_READ: an existing key, or null with *status set.
    virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                                 long* status) = 0;

    // RegCreateKeyExA with KEY_ALL_ACCESS: the key, created with its missing
    // parents when needed; a key created here gets className as its class
    // text. Null with *status set on failure.
    virtual std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                                   const std::string& className, long* status) = 0;

    // RegDeleteKeyA: deletes a key that has no subkeys.
    virtual long DeleteKey(RegistryRoot root, const std::string& path) = 0;
};

}  // namespace flipset
