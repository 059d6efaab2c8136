// The network phase of a run: for each card that the selected configuration
// sets up, take the card down, write its TCP/IP settings, and bring it up
// again when the configuration says so.
#pragma once

#include "engine/RunContext.h"
#include "network/AdapterControl.h"

namespace flipset {

// How long the run waits after enabling a card, in milliseconds.
constexpr uint32_t kCardEnableWait = 3000;

// The card loop over the card settings keys of the selected configuration.
// The caller decides whether the phase runs at all (its option and the
// platform version).
void RunNetworkPhase(RunContext& ctx, DeviceInstaller& devices);

}  // namespace flipset
