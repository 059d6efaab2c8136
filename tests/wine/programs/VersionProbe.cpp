// Reports what the program makes of the version the platform reports to it,
// as its exit code: with "/major", the major version; without, 1 when the
// network features are off, else 0. It carries the program's own manifest,
// so the platform sees it as it sees flipset.exe; the tests choose the
// version that Wine reports to this program.
#include "engine/Win32SystemInfo.h"

#include <cstring>

int main(int argc, char** argv)
{
    const flipset::Win32SystemInfo system;
    if (argc > 1 && std::strcmp(argv[1], "/major") == 0)
        return static_cast<int>(system.MajorVersion());
    return flipset::NetworkFeaturesAvailable(system) ? 0 : 1;
}
