// What the machine shows now, read from Windows: the adapters through the
// interface configurator's adapter list (GetAdaptersAddresses), the default
// routes (GetIpForwardTable2), the neighbour table (GetIpNetTable2) and the
// connected Wi-Fi network (the WLAN API, where the system has it).
#pragma once

#include "network/InterfaceConfigurator.h"
#include "network/NetworkObserver.h"

namespace flipset {

class Win32NetworkObserver : public NetworkObserver {
public:
    explicit Win32NetworkObserver(InterfaceConfigurator& interfaces) : interfaces_(interfaces) {}

    NetworkObservation Observe() override;

private:
    InterfaceConfigurator& interfaces_;
};

}  // namespace flipset
