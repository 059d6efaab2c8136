// The network phase of a run: for each card that the selected configuration
// sets up, take the card down, write its TCP/IP settings, and bring it up
// again when the configuration says so. Where the system sets TCP/IP on the
// live adapter (Windows 10 and later), the card loop sets each card that is
// to be enabled on its adapter and reads the adapter back instead.
#pragma once

#include "engine/RunContext.h"
#include "network/AdapterControl.h"
#include "network/InterfaceConfigurator.h"

namespace flipset {

// How long the run waits after enabling a card, in milliseconds.
constexpr uint32_t kCardEnableWait = 3000;

// The card loop over the card settings keys of the selected configuration.
// The caller decides whether the phase runs at all (its option and the
// platform version).
void RunNetworkPhase(RunContext& ctx, DeviceInstaller& devices);

// The card loop on the live adapters. For each card settings key:
// - the adapter is the one whose GUID is the card's "AdapterGUID" where the
//   key has one, else the card's "ServiceName"; when "AdapterGUID" names
//   another card's adapter, that card's description and device are the
//   ones switched and named;
// - a card the configuration keeps disabled is disabled (when enabled) and
//   not set: a disabled adapter is not listed, so nothing can be set on it;
// - a card to be enabled is enabled first (when disabled), then waited for,
//   since only a running adapter is listed; the link stays up while its
//   values change;
// - a card whose adapter is absent is named in a message and skipped;
// - the values are set, the adapter read back until it shows them or the
//   read-back deadline passes, and each value that did not take is shown
//   in one error message for the card, with what the system said.
void RunNetworkPhaseOnAdapters(RunContext& ctx, DeviceInstaller& devices,
                               InterfaceConfigurator& interfaces);

}  // namespace flipset
