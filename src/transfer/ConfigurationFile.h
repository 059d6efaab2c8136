// The configuration file: configurations in a readable JSON document, UTF-8
// (UTF-16 with a byte order mark is read too).
//
// Every value of a configuration key and of its card settings keys is
// written in one of two forms. A value that this version knows, stored
// exactly as the program stores it, becomes a readable field ("hosts",
// "volume", "programs", ...). Any other value, and a known value stored in
// another form, is carried in "otherValues" as its type and bytes. Reading
// the document gives back the same names, types and bytes, so that an
// export followed by an import changes nothing. docs/file-format.md
// describes the document.
#pragma once

#include "transfer/CodePage.h"
#include "transfer/ConfigurationSnapshot.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace flipset {

constexpr const char* kConfigurationFileFormat = "Flipset configurations";
constexpr int kConfigurationFileVersion = 1;

// The limits of the editors, which the program can read back.
constexpr size_t kLongestFileText = CRegistry::kBinaryBufferSize - 3;  // hosts, lmhosts
constexpr size_t kLongestText = CRegistry::kStringBufferSize - 1;      // every text value
constexpr size_t kLargestCodedList = CRegistry::kBinaryBufferSize;     // programs, services

// The document for the configurations; false, with the reason, when a text
// that only the carried form could hold, a value name or a card
// description, is not valid in the code page.
bool WriteConfigurationFile(const std::vector<ConfigurationSnapshot>& configurations,
                            const CodePageConverter& codePage, std::string& document,
                            std::string& fault);

// Reads and checks the whole document, from the file's bytes in any
// encoding that DecodeFileText reads (transfer/FileEncoding.h). On any
// fault the result is false and fault names the place ("line 3, column 7"
// for the syntax, otherwise the configuration and field) and the reason;
// configurations is then empty. Checked: the encoding, syntax, format and
// version, the type of every field, unknown fields, the limits above,
// addresses, text that the code page cannot hold, names that are blank or
// hold a control character (IsStorableName), and names used twice
// (ignoring case and white space around them). A card's cardNumber is the
// number it had on the machine it came from.
bool ReadConfigurationFile(std::string_view bytes, const CodePageConverter& codePage,
                           std::vector<ConfigurationSnapshot>& configurations, std::string& fault);

// The configuration's trimmed "Name" as stored; empty when it has none.
std::string SnapshotName(const ConfigurationSnapshot& snapshot);

}  // namespace flipset
