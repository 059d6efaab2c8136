// A stand-in for the system's code page: ISO 8859-1, in which every byte is
// the character of the same number, so that any byte string converts and
// every character above U+00FF is one that the code page cannot hold.
#pragma once

#include "transfer/CodePage.h"

#include <cstdint>
#include <string>

namespace flipset {

class Latin1CodePage : public CodePageConverter {
public:
    bool ToUtf8(const std::string& ansi, std::string& utf8) const override
    {
        utf8.clear();
        for (char c : ansi) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                utf8.push_back(c);
            } else {
                utf8.push_back(static_cast<char>(0xC0 | byte >> 6));
                utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
            }
        }
        return true;
    }

    bool FromUtf8(const std::string& utf8, std::string& ansi) const override
    {
        ansi.clear();
        for (size_t i = 0; i < utf8.size(); ++i) {
            const auto byte = static_cast<unsigned char>(utf8[i]);
            if (byte < 0x80) {
                ansi.push_back(static_cast<char>(byte));
                continue;
            }
            // Two-byte forms of U+0080..U+00FF only; anything else is either
            // not UTF-8 or not in the code page.
            if ((byte != 0xC2 && byte != 0xC3) || i + 1 >= utf8.size())
                return false;
            const auto next = static_cast<unsigned char>(utf8[++i]);
            if ((next & 0xC0) != 0x80)
                return false;
            ansi.push_back(static_cast<char>((byte & 0x1F) << 6 | (next & 0x3F)));
        }
        return true;
    }
};

}  // namespace flipset
