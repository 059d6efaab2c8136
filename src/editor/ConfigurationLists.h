// How the editors read and write a configuration's lists and texts, and the
// limits that decide whether a value written can be read back.
//
// A value that the program could not read back must never be stored
// silently: the read buffers are 1024 bytes for a text value (its 0 byte
// included) and 24576 bytes for a binary value, so the editors check with
// these helpers before they write, and tell the user when a value is too
// long.
#pragma once

#include "base/Text.h"
#include "store/Registry.h"

#include <cstddef>
#include <string>

namespace flipset {

// The longest text that a text value can hold and still be read back.
constexpr size_t kLongestTextValue = CRegistry::kStringBufferSize - 1;
// The largest binary value that can be read back, in bytes.
constexpr size_t kLargestBinaryValue = CRegistry::kBinaryBufferSize;

bool FitsTextValue(const std::string& text);

// What writing a list or text value came to.
enum class ValueWrite {
    Stored,
    TooLarge,  // not written: it could not have been read back
    Refused,   // the registry did not store it (no right to write there, ...)
};

// The entries of a coded list value ("Run", "ServicesStop",
// "ServicesStart"), decoded, in order; an entry that does not decode is an
// empty text. A missing or unreadable value gives an empty list.
StringList ReadCodedList(CRegistry registry, int configurationNumber, RegistryRoot root,
                         const char* valueName);
// The bytes that WriteCodedList would store for the entries.
size_t CodedListSize(const StringList& entries);
// Codes every entry and writes the packed list (an empty list as the two 0
// bytes of the empty packed list). Writes nothing when the value could not
// be read back.
ValueWrite WriteCodedList(CRegistry registry, int configurationNumber, RegistryRoot root,
                          const char* valueName, const StringList& entries);

// The text of a system file value ("Hostfile", "LMHostfile"): its entries
// joined with one line feed between two; empty when missing or unreadable.
std::string ReadSystemFileText(CRegistry registry, int configurationNumber, RegistryRoot root,
                               const char* valueName);
// The bytes that WriteSystemFileText stores for the text: the text and three
// 0 bytes (the entry's end and the end of the list).
size_t SystemFileTextSize(const std::string& text);
// Writes the text as a packed list of one entry. Writes nothing when the
// value could not be read back.
ValueWrite WriteSystemFileText(CRegistry registry, int configurationNumber, RegistryRoot root,
                               const char* valueName, const std::string& text);

}  // namespace flipset
