// What the program asks of the platform's version.
#pragma once

namespace flipset {

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // True when the platform reports major version 6 exactly; on such a
    // system every network card feature of the program is off.
    virtual bool IsMajorVersion6() const = 0;
};

}  // namespace flipset
