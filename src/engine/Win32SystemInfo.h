// The platform's version through GetVersionExA.
#pragma once

#include "engine/SystemInfo.h"

namespace flipset {

class Win32SystemInfo : public SystemInfo {
public:
    uint32_t MajorVersion() const override;
};

}  // namespace flipset
