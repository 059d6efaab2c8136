// What the machine shows now of the network it is on: the source of the
// location conditions (Location.h), of "/where" and of the detection that
// polls it (LocationDetector.h).
//
// A caller holds one NetworkObserver and calls Observe as often as it polls;
// each call reads the system afresh and keeps nothing between calls. It
// never fails: what cannot be read is absent from the observation (no
// adapter, no gateway, no hardware address, no Wi-Fi network), as it is on
// a machine without it. Its one Win32 implementation is Win32NetworkObserver;
// the tests' stand-in is FakeNetworkObserver (tests/support).
#pragma once

#include "network/InterfaceConfigurator.h"
#include "network/Location.h"

#include <cstdint>
#include <string>
#include <vector>

namespace flipset {

class NetworkObserver {
public:
    NetworkObserver() = default;
    NetworkObserver(const NetworkObserver&) = delete;
    NetworkObserver& operator=(const NetworkObserver&) = delete;
    virtual ~NetworkObserver() = default;

    virtual NetworkObservation Observe() = 0;
};

// An IPv4 default route (0.0.0.0/0) through a gateway, as the route table
// lists it.
struct DefaultRoute {
    uint64_t interfaceLuid = 0;
    uint32_t nextHop = 0;  // first octet most significant
    uint32_t metric = 0;   // the route's own; the interface's is added
};

// An IPv4 neighbour whose hardware address is known.
struct Neighbour {
    uint64_t interfaceLuid = 0;
    uint32_t address = 0;
    HardwareAddress hardwareAddress{};
};

// What an observer reads of the system, before it is put together.
struct NetworkTables {
    std::vector<AdapterSnapshot> adapters;
    std::vector<DefaultRoute> defaultRoutes;
    std::vector<Neighbour> neighbours;
    std::string wifi;  // the connected Wi-Fi network's name; empty: none
};

// The observation of the tables:
// - the default gateway is the next hop of the default route with the
//   lowest metric (its own plus its adapter's) on a connected adapter, the
//   first of equals in the table's order; a route without a next hop (a
//   tunnel's) is none, so a VPN does not hide the network the machine is on.
//   Without such a route (a route table that could not be read), the first
//   gateway of the first connected adapter that has one;
// - its hardware address is that of the neighbour entry for that address on
//   the route's adapter (on any, without a route); none while unresolved.
NetworkObservation ObservationOf(NetworkTables tables);

}  // namespace flipset
