#include "engine/Win32SystemInfo.h"

#include <windows.h>

namespace flipset {

uint32_t Win32SystemInfo::MajorVersion() const
{
    // The plain 148-byte structure is enough for the major version. The
    // manifest's compatibility section makes Windows 10 and 11 report 10
    // here; the earlier systems report their own version.
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the version structure the platform expects");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return 0;
#pragma GCC diagnostic pop
    return info.dwMajorVersion;
}

}  // namespace flipset
