// CRegistry: every registry read and write of the program goes through here.
//
// Stateless apart from the backend it talks to: each operation opens its key,
// does one thing and closes the key before it returns. Reads give the
// caller's default on any failure; writes create missing keys and report
// failure only through their result: the editors tell the user of it, and a
// caller that goes on whatever happened casts the result to void.
//
// COpenKey is the same reads and writes on a key opened once: work that
// touches many values of one key (a configuration copied, exported, imported
// or read by a run's step) opens it once instead of once per value. It is
// held for the length of one operation only, never across a message loop or
// a wait, so that a read still sees what another process wrote before it.
#pragma once

#include "base/Text.h"
#include "store/RegistryBackend.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace flipset {

using ByteArray = std::vector<unsigned char>;

// A value as stored: its type as the platform numbers it, and all its bytes.
struct RegistryValue {
    uint32_t type = 0;
    ByteArray data;

    bool operator==(const RegistryValue& other) const
    {
        return type == other.type && data == other.data;
    }

    // A REG_SZ value as the platform stores a text: its bytes and a 0 byte.
    static RegistryValue String(const std::string& text);
    // A REG_DWORD value: the number's four bytes, lowest first.
    static RegistryValue Dword(uint32_t number);
    // A REG_MULTI_SZ value: each text's bytes and a 0 byte, then one more 0
    // byte.
    static RegistryValue MultiString(const StringList& texts);
    // The number of a REG_DWORD value of exactly four bytes; false for any
    // other value.
    bool AsDword(uint32_t& number) const;
};

// A value with its name, as a key holds it.
struct NamedValue {
    std::string name;
    RegistryValue value;
};

// A key opened once. Reads give the caller's default on any failure, with
// the buffer limits of CRegistry; a key that is not open (missing, or not
// openable) reads as empty and refuses every write.
class COpenKey {
public:
    COpenKey() = default;
    explicit COpenKey(std::unique_ptr<RegistryKey> key) : key_(std::move(key)) {}

    bool IsOpen() const { return key_ != nullptr; }

    std::string ReadString(const std::string& name, const std::string& defaultText) const;
    uint32_t ReadDword(const std::string& name, uint32_t defaultNumber) const;
    // True when at least one byte was read; bytes is cleared first.
    bool ReadBinary(const std::string& name, ByteArray& bytes) const;
    // The value whole, whatever its type and size; false when it cannot be
    // read.
    bool ReadValue(const std::string& name, RegistryValue& value) const;
    // The entries of a packed string list value; false, with no entries,
    // when the value is missing, empty or unreadable.
    bool ReadList(const std::string& name, StringList& entries) const;
    // The decoded entries of a coded list value; false, with no entries,
    // when the value is missing, empty or unreadable.
    bool ReadCodedList(const std::string& name, StringList& entries) const;
    // The entries of a REG_MULTI_SZ value, up to the first empty one; false,
    // with no entries, when the value is missing, unreadable or of another
    // type.
    bool ReadMultiString(const std::string& name, StringList& entries) const;

    bool WriteString(const std::string& name, const std::string& text) const;
    bool WriteDword(const std::string& name, uint32_t number) const;
    bool WriteBinary(const std::string& name, const ByteArray& bytes) const;
    // With the value's own type and bytes.
    bool WriteValue(const std::string& name, const RegistryValue& value) const;
    bool WriteMultiString(const std::string& name, const StringList& strings) const;
    // True when the value was there and is gone.
    bool DeleteValue(const std::string& name) const;

    // Every value with its type and bytes, in the order of enumeration, in
    // one pass over the key: what EnumValueNames and ReadValue of each name
    // give, ending where a name does not fit the name buffer.
    std::vector<NamedValue> ReadAllValues() const;
    StringList ValueNames() const;
    StringList SubKeyNames() const;

private:
    bool ReadInto(const std::string& name, unsigned char* buffer, uint32_t* size) const;
    bool SetValue(const std::string& name, RegistryValueType type, const unsigned char* data,
                  uint32_t size) const;

    std::unique_ptr<RegistryKey> key_;
};

class CRegistry {
public:
    // Read buffers: a stored value larger than its buffer reads as missing.
    static constexpr uint32_t kStringBufferSize = 1024;
    static constexpr uint32_t kDwordBufferSize = 4;
    static constexpr uint32_t kBinaryBufferSize = 24576;
    static constexpr uint32_t kEnumNameBufferSize = 1024;

    explicit CRegistry(RegistryBackend& backend) : backend_(&backend) {}

    std::string ReadString(const std::string& path, const std::string& name,
                           const std::string& defaultText, RegistryRoot root) const;
    bool WriteString(const std::string& path, const std::string& name, const std::string& text,
                     RegistryRoot root) const;

    uint32_t ReadDword(const std::string& path, const std::string& name, uint32_t defaultNumber,
                       RegistryRoot root) const;
    bool WriteDword(const std::string& path, const std::string& name, uint32_t number,
                    RegistryRoot root) const;

    // True when at least one byte was read; bytes is cleared first.
    bool ReadBinary(const std::string& path, const std::string& name, ByteArray& bytes,
                    RegistryRoot root) const;
    bool WriteBinary(const std::string& path, const std::string& name, const ByteArray& bytes,
                     RegistryRoot root) const;

    // The value whole, whatever its type and size, for code that copies
    // values without interpreting them; false when it cannot be read.
    bool ReadValue(const std::string& path, const std::string& name, RegistryValue& value,
                   RegistryRoot root) const;
    // Writes the value with its own type and bytes, creating the key.
    bool WriteValue(const std::string& path, const std::string& name, const RegistryValue& value,
                    RegistryRoot root) const;

    // An empty list deletes the value instead of writing it.
    bool WriteMultiString(const std::string& path, const std::string& name,
                          const StringList& strings, RegistryRoot root) const;

    // Opens (creating when missing) the key and deletes the value; true when
    // the value was there and is gone.
    bool DeleteValue(const std::string& path, const std::string& name, RegistryRoot root) const;

    // Deletes the key with every subkey, depth first; true when the key
    // itself was deleted.
    bool DeleteKeyTree(const std::string& path, RegistryRoot root) const;

    // A missing key gives an empty list.
    StringList EnumSubKeys(const std::string& path, RegistryRoot root) const;
    StringList EnumValueNames(const std::string& path, RegistryRoot root) const;

    // The open-or-create step on its own, for callers that need a raw key.
    std::unique_ptr<RegistryKey> OpenKeyForWrite(const std::string& path, RegistryRoot root) const;

    // The key opened for reading once; not open when it is missing.
    COpenKey OpenForReading(const std::string& path, RegistryRoot root) const;
    // The key opened for reading and writing, created with its missing
    // parents (class text "REG_SZ") when needed.
    COpenKey OpenForWriting(const std::string& path, RegistryRoot root) const;

    // The packed string list: each string's bytes and a 0 byte, then two more
    // 0 bytes. Unpacking trims every entry and drops the blank ones.
    static void PackStringList(const StringList& strings, ByteArray& bytes);
    static void UnpackStringList(const ByteArray& bytes, StringList& strings);

    // A coded list ("Run", "ServicesStop", "ServicesStart"): each entry
    // coded with the list key, then packed. Unpacking decodes every entry in
    // order; an entry that does not decode is an empty text.
    static ByteArray PackCodedList(const StringList& entries);
    static StringList UnpackCodedList(const ByteArray& bytes);
    // The decoded entries of a coded list value; false, with no entries,
    // when the value is missing, empty or unreadable.
    bool ReadCodedList(const std::string& path, const std::string& name, StringList& entries,
                       RegistryRoot root) const;

private:
    // The key for one write of a value of the type, created with that
    // type's name as its class text when needed.
    COpenKey ForWriteOf(const std::string& path, RegistryValueType type, RegistryRoot root) const;

    RegistryBackend* backend_;
};

}  // namespace flipset
