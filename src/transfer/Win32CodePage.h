// The system's ANSI code page (CP_ACP) through the platform's own conversion.
#pragma once

#include "transfer/CodePage.h"

namespace flipset {

class Win32CodePage : public CodePageConverter {
public:
    bool ToUtf8(const std::string& ansi, std::string& utf8) const override;
    bool FromUtf8(const std::string& utf8, std::string& ansi) const override;
};

}  // namespace flipset
