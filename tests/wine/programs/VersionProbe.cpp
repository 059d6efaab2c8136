// Exits with 1 when the program's network features are off for the version
// the platform reports, else 0; the tests choose the version that Wine
// reports to this program.
#include "engine/Win32SystemInfo.h"

int main()
{
    return flipset::NetworkFeaturesAvailable(flipset::Win32SystemInfo()) ? 0 : 1;
}
