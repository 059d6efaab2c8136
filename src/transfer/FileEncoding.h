// The character encodings a configuration file may come in, and the safe
// quoting of file bytes in message lines. Editors and shells save such files
// as UTF-8, with or without a byte order mark, and Windows PowerShell's
// Out-File and ">" as UTF-16 with a mark; all of them read the same.
#pragma once

#include "transfer/CodePage.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace flipset {

// The file's bytes as UTF-8 text without a byte order mark: UTF-8 with or
// without a mark, and UTF-16 little or big endian with a mark, are read.
// The text is a view of the bytes when the file is UTF-8, and of converted
// when it is UTF-16: a file of megabytes is not copied to be read.
// False, with a fault that names the encoding problem and where it is, for
// UTF-16 without a mark, UTF-32, bytes that are not UTF-8, and UTF-16 that
// does not decode.
bool DecodeFileText(std::string_view bytes, std::string& converted, std::string_view& text,
                    std::string& fault);

// The line and column (from 1) of the byte at the offset; a column counts
// bytes.
std::string LineAndColumn(std::string_view text, size_t offset);

// The bytes with every byte that is not printable ASCII written as \xNN,
// so that a message line never carries a byte that does not decode.
std::string QuoteBytes(std::string_view bytes);

// A code page text for a message line: control characters as \xNN, the
// rest as it is.
std::string QuoteControlCharacters(std::string_view text);

// A UTF-8 text of the document for a message line, which is in the code
// page: converted, with control characters quoted; when the code page cannot
// hold it, its bytes quoted.
std::string DocumentTextForMessage(const std::string& utf8, const CodePageConverter& codePage);

}  // namespace flipset
