// What the machine shows now, read from Windows: the adapters through the
// interface configurator's adapter list (GetAdaptersAddresses), the default
// routes (GetIpForwardTable2), the neighbour table (GetIpNetTable2) and the
// connected Wi-Fi network (the WLAN API, where the system has it), put
// together by TableNetworkObserver. The WLAN API's library and client handle
// stay open from the first Wi-Fi read to the observer's end: opening them
// is most of that read's cost.
#pragma once

#include "network/InterfaceConfigurator.h"
#include "network/NetworkObserver.h"

#include <memory>

namespace flipset {

class WlanClient;

class Win32NetworkTables : public NetworkTableReader {
public:
    explicit Win32NetworkTables(InterfaceConfigurator& interfaces);
    ~Win32NetworkTables() override;

    std::vector<AdapterSnapshot> ReadAdapters() override { return interfaces_.ListAdapters(); }
    std::vector<DefaultRoute> ReadDefaultRoutes() override;
    std::vector<Neighbour> ReadNeighbours() override;
    std::string ReadWifi() override;

private:
    InterfaceConfigurator& interfaces_;
    std::unique_ptr<WlanClient> wifi_;
};

class Win32NetworkObserver : public NetworkObserver {
public:
    explicit Win32NetworkObserver(InterfaceConfigurator& interfaces)
        : tables_(interfaces), observer_(tables_)
    {
    }

    using NetworkObserver::Observe;
    NetworkObservation Observe(const ObservationNeeds& needs) override
    {
        return observer_.Observe(needs);
    }

private:
    Win32NetworkTables tables_;
    TableNetworkObserver observer_;
};

}  // namespace flipset
