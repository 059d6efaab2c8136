#include "engine/SystemInfo.h"

namespace flipset {

bool NetworkFeaturesAvailable(const SystemInfo& system)
{
    return system.MajorVersion() != 6;
}

TcpipBackend TcpipBackendFor(const SystemInfo& system)
{
    return system.MajorVersion() >= 10 ? TcpipBackend::Netsh : TcpipBackend::InterfaceKey;
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
