// Exits with 1 when the platform counts as major version 6 for the program,
// else 0; the tests choose the version that Wine reports to this program.
#include "engine/Win32SystemInfo.h"

int main()
{
    return flipset::Win32SystemInfo().IsMajorVersion6() ? 1 : 0;
}
