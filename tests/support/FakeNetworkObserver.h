// A stand-in for what the machine shows: Observe gives the observation the
// test set, without what the caller does not need (as the real one leaves
// unread), and counts the calls.
#pragma once

#include "network/NetworkObserver.h"

#include <string>
#include <utility>
#include <vector>

namespace flipset {

// An adapter with what the location conditions look at.
inline AdapterSnapshot ObservedAdapter(const std::string& guid, bool connected,
                                       std::vector<Ipv4WithMask> addresses,
                                       const std::string& dnsSuffix)
{
    AdapterSnapshot adapter;
    adapter.guid = guid;
    adapter.connected = connected;
    adapter.addresses = std::move(addresses);
    adapter.dnsSuffix = dnsSuffix;
    return adapter;
}

// A place told by its gateway's hardware address 02-00-00-00-00-NN (none
// for 0: the gateway unresolved), one connected adapter in 10.1.0.0/16.
inline NetworkObservation ObservedPlace(uint8_t gatewayByte)
{
    NetworkObservation observation;
    observation.adapters.push_back(ObservedAdapter("{11111111-2222-3333-4444-555555555555}", true,
                                                   {{0x0A010203, 0xFFFF0000}}, "corp"));
    observation.gateway = 0x0A010001;
    if (gatewayByte != 0)
        observation.gatewayHardwareAddress = HardwareAddress{2, 0, 0, 0, 0, gatewayByte};
    return observation;
}

class FakeNetworkObserver : public NetworkObserver {
public:
    NetworkObservation observation;
    int observeCalls = 0;
    ObservationNeeds lastNeeds;

    using NetworkObserver::Observe;
    NetworkObservation Observe(const ObservationNeeds& needs) override
    {
        ++observeCalls;
        lastNeeds = needs;
        return OnlyWhatIsNeeded(observation, needs);
    }
};

}  // namespace flipset
