#include "shared/RegistryConformance.h"
#include "support/MemoryRegistryBackend.h"

namespace flipset {

std::unique_ptr<RegistryBackend> MakeConformanceBackend()
{
    return std::make_unique<MemoryRegistryBackend>();
}

}  // namespace flipset
