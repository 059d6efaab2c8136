#include "engine/SystemInfo.h"

namespace flipset {

bool NetworkFeaturesAvailable(const SystemInfo& system)
{
    return system.MajorVersion() != 6;
}

bool IsAreaAvailable(Area area, const SystemInfo& system)
{
    switch (Describe(area).needs) {
    case AreaNeeds::Nothing:
        return true;
    case AreaNeeds::NetworkFeatures:
        return NetworkFeaturesAvailable(system);
    }
    return true;
}

}  // namespace flipset
