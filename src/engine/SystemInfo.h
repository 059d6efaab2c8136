// What the program asks of the platform's version, and what follows from it.
#pragma once

#include "store/Areas.h"

#include <cstdint>

namespace flipset {

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // The major version the platform reports to the program; 0 when it
    // reports none.
    virtual uint32_t MajorVersion() const = 0;
};

// Whether the network card features are on: the card loop of a run, the
// network option box, the card editors, the start-up network action and the
// buttons that switch every card. The one place that decides it from the
// platform's version: off where it reports major version 6 (Vista to 8.1,
// and any later system that sees the program as one of them); on for 5 and
// below, whose way of setting a card the program was built around, and for
// 10 and later, which set a card through netsh.
bool NetworkFeaturesAvailable(const SystemInfo& system);

// How a run sets a card's TCP/IP values on this platform.
enum class TcpipBackend {
    InterfaceKey,  // the interface's registry values, then a restart of the device
    Netsh,         // netsh by interface index, and the DNS servers
};
TcpipBackend TcpipBackendFor(const SystemInfo& system);  // Netsh where major >= 10

// Whether a run may apply the area on this platform.
bool IsAreaAvailable(Area area, const SystemInfo& system);

}  // namespace flipset
