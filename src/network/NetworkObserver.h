// What the machine shows now of the network it is on: the source of the
// location conditions (Location.h), of "/where" and of the detection that
// polls it (LocationDetector.h).
//
// A caller holds one NetworkObserver and calls Observe as often as it polls;
// each call reads the system afresh, only the parts the caller needs (a
// poll for locations that look at the Wi-Fi alone reads nothing else). It
// never fails: what cannot be read is absent from the observation (no
// adapter, no gateway, no hardware address, no Wi-Fi network), as it is on
// a machine without it.
//
// TableNetworkObserver does the work over a NetworkTableReader, which reads
// one system table at a time: Win32NetworkObserver puts it over Windows'
// tables. The tests' stand-in for a whole observer is FakeNetworkObserver
// (tests/support).
#pragma once

#include "network/InterfaceConfigurator.h"
#include "network/Location.h"

#include <cstdint>
#include <string>
#include <vector>

namespace flipset {

// The parts of an observation a caller looks at; what is not needed is
// not read and stays absent.
struct ObservationNeeds {
    bool adapters = true;
    // The default gateway and its hardware address.
    bool gateway = true;
    bool wifi = true;
};
bool operator==(const ObservationNeeds& a, const ObservationNeeds& b);

// What the locations' conditions look at; only locations that can hold
// count. None: nothing at all.
ObservationNeeds NeedsOf(const std::vector<NamedLocation>& locations);

class NetworkObserver {
public:
    NetworkObserver() = default;
    NetworkObserver(const NetworkObserver&) = delete;
    NetworkObserver& operator=(const NetworkObserver&) = delete;
    virtual ~NetworkObserver() = default;

    // Everything ("/where", "Use the current network").
    NetworkObservation Observe() { return Observe(ObservationNeeds{}); }
    virtual NetworkObservation Observe(const ObservationNeeds& needs) = 0;
};

// An IPv4 default route (0.0.0.0/0) through a gateway, as the route table
// lists it.
struct DefaultRoute {
    uint64_t interfaceLuid = 0;
    uint32_t nextHop = 0;  // first octet most significant
    uint32_t metric = 0;   // the route's own; the interface's is added
};
bool operator==(const DefaultRoute& a, const DefaultRoute& b);

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

// The observation with what the caller does not need taken out, as an
// observer that did not read it gives it.
NetworkObservation OnlyWhatIsNeeded(NetworkObservation observation, const ObservationNeeds& needs);

// The system's tables, one read each; a table that cannot be read is
// empty.
class NetworkTableReader {
public:
    virtual ~NetworkTableReader() = default;
    virtual std::vector<AdapterSnapshot> ReadAdapters() = 0;
    virtual std::vector<DefaultRoute> ReadDefaultRoutes() = 0;
    virtual std::vector<Neighbour> ReadNeighbours() = 0;
    virtual std::string ReadWifi() = 0;
};

// How many observations that need the gateway but not the adapters may
// take the adapters from an earlier one: the adapters are the dearest read
// (under Wine half of a poll's processor time), and such an observation
// looks at them only to rank the default routes.
inline constexpr int kAdapterReuses = 14;

// An observer over a table reader. The gateway comes from the default
// routes, each on a connected adapter and ranked by the adapter's metric:
// an observation that needs the gateway but not the adapters reuses the
// adapters of an earlier read while the default routes are exactly those of
// that read, at most kAdapterReuses times in a row. A new route, a route
// gone, or no route at all (the fallback takes the adapters' own gateways)
// reads them again; the neighbour table, which tells the gateway's hardware
// address, is read every time.
class TableNetworkObserver : public NetworkObserver {
public:
    explicit TableNetworkObserver(NetworkTableReader& reader) : reader_(reader) {}

    using NetworkObserver::Observe;
    NetworkObservation Observe(const ObservationNeeds& needs) override;

private:
    NetworkTableReader& reader_;
    std::vector<AdapterSnapshot> adapters_;  // as last read
    std::vector<DefaultRoute> routesOfAdapters_;
    int reusesLeft_ = 0;
};

}  // namespace flipset
