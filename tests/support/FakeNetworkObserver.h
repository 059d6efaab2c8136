// A stand-in for what the machine shows: Observe gives the observation the
// test set, and counts the calls.
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

    NetworkObservation Observe() override
    {
        ++observeCalls;
        return observation;
    }
};

}  // namespace flipset
