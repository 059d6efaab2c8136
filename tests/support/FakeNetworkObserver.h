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
