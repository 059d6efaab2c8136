#include "network/NetworkObserver.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace flipset {

bool operator==(const ObservationNeeds& a, const ObservationNeeds& b)
{
    return a.adapters == b.adapters && a.gateway == b.gateway && a.wifi == b.wifi;
}

bool operator==(const DefaultRoute& a, const DefaultRoute& b)
{
    return a.interfaceLuid == b.interfaceLuid && a.nextHop == b.nextHop && a.metric == b.metric;
}

ObservationNeeds NeedsOf(const std::vector<NamedLocation>& locations)
{
    ObservationNeeds needs{false, false, false};
    for (const NamedLocation& named : locations) {
        const Location& location = named.location;
        if (!location.CanHold())
            continue;
        needs.gateway = needs.gateway || location.gateway.has_value();
        needs.adapters = needs.adapters || location.subnet.has_value() ||
                         !location.dnsSuffix.empty() || !location.adapterGuid.empty();
        needs.wifi = needs.wifi || !location.wifi.empty();
    }
    return needs;
}

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

NetworkObservation OnlyWhatIsNeeded(NetworkObservation observation, const ObservationNeeds& needs)
{
    if (!needs.adapters)
        observation.adapters.clear();
    if (!needs.gateway) {
        observation.gateway = 0;
        observation.gatewayHardwareAddress.reset();
    }
    if (!needs.wifi)
        observation.wifi.clear();
    return observation;
}

NetworkObservation TableNetworkObserver::Observe(const ObservationNeeds& needs)
{
    NetworkTables tables;
    if (needs.gateway) {
        tables.defaultRoutes = reader_.ReadDefaultRoutes();
        const bool reuse = !needs.adapters && reusesLeft_ > 0 && !tables.defaultRoutes.empty() &&
                           tables.defaultRoutes == routesOfAdapters_;
        if (reuse) {
            --reusesLeft_;
        } else {
            adapters_ = reader_.ReadAdapters();
            routesOfAdapters_ = tables.defaultRoutes;
            reusesLeft_ = kAdapterReuses;
        }
        tables.adapters = adapters_;
        tables.neighbours = reader_.ReadNeighbours();
    } else if (needs.adapters) {
        tables.adapters = reader_.ReadAdapters();
    }
    if (needs.wifi)
        tables.wifi = reader_.ReadWifi();
    return OnlyWhatIsNeeded(ObservationOf(std::move(tables)), needs);
}

}  // namespace flipset
