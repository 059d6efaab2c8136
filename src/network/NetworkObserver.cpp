#include "network/NetworkObserver.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace flipset {

NetworkObservation ObservationOf(NetworkTables tables)
{
    NetworkObservation observation;
    std::optional<uint64_t> gatewayLuid;
    uint64_t lowest = 0;
    for (const DefaultRoute& route : tables.defaultRoutes) {
        const auto adapter =
            std::find_if(tables.adapters.begin(), tables.adapters.end(),
                         [&](const AdapterSnapshot& a) { return a.luid == route.interfaceLuid; });
        if (route.nextHop == 0 || adapter == tables.adapters.end() || !adapter->connected)
            continue;
        const uint64_t metric = uint64_t{route.metric} + adapter->ipv4Metric;
        if (!gatewayLuid || metric < lowest) {
            observation.gateway = route.nextHop;
            gatewayLuid = route.interfaceLuid;
            lowest = metric;
        }
    }
    if (!gatewayLuid) {
        for (const AdapterSnapshot& adapter : tables.adapters) {
            if (adapter.connected && !adapter.gateways.empty()) {
                observation.gateway = adapter.gateways.front();
                break;
            }
        }
    }
    if (observation.gateway != 0) {
        for (const Neighbour& neighbour : tables.neighbours) {
            // Zeros are what an entry that never resolved may show.
            if (neighbour.address == observation.gateway &&
                neighbour.hardwareAddress != HardwareAddress{} &&
                (!gatewayLuid || neighbour.interfaceLuid == *gatewayLuid)) {
                observation.gatewayHardwareAddress = neighbour.hardwareAddress;
                break;
            }
        }
    }
    observation.adapters = std::move(tables.adapters);
    observation.wifi = std::move(tables.wifi);
    return observation;
}

}  // namespace flipset
