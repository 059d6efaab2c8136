// The platform's version through GetVersionExA.
#pragma once

#include "engine/SystemInfo.h"

namespace flipset {

class Win32SystemInfo : public SystemInfo {
public:
    bool IsMajorVersion6() const override;
};

}  // namespace flipset
