#include "shared/RegistryConformance.h"
#include "store/Win32RegistryBackend.h"

namespace flipset {

std::unique_ptr<RegistryBackend> MakeConformanceBackend()
{
    return std::make_unique<Win32RegistryBackend>();
}

}  // namespace flipset
