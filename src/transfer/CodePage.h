// Conversion between the system's ANSI code page, in which every text of the
// program is stored, and UTF-8, in which configuration files hold them.
#pragma once

#include <string>

namespace flipset {

class CodePageConverter {
public:
    CodePageConverter() = default;
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;
    virtual ~CodePageConverter() = default;

    // False when the text is not valid in the code page.
    virtual bool ToUtf8(const std::string& ansi, std::string& utf8) const = 0;
    // False when the text is not valid UTF-8 or holds a character that the
    // code page cannot represent exactly (no best-fit substitutes).
    virtual bool FromUtf8(const std::string& utf8, std::string& ansi) const = 0;
};

}  // namespace flipset
