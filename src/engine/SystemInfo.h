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
// platform's version: they are off where it reports major version 6.
bool NetworkFeaturesAvailable(const SystemInfo& system);

// Whether a run may apply the area on this platform.
bool IsAreaAvailable(Area area, const SystemInfo& system);

}  // namespace flipset
