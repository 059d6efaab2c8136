// The network phase of a run: for each card that the selected configuration
// sets up, take the card down, write its TCP/IP settings, and bring it up
// again when the configuration says so. Where the system sets TCP/IP on the
// live adapter (Windows 10 and later), the card loop sets each card that is
// to be enabled on its adapter and reads the adapter back instead.
#pragma once

#include "engine/RunContext.h"
#include "network/AdapterControl.h"
#include "network/CardTcpip.h"
#include "network/InterfaceConfigurator.h"

#include <string>

namespace flipset {

// How long the run waits after enabling a card, in milliseconds.
constexpr uint32_t kCardEnableWait = 3000;

// The card whose adapter a card settings key sets: its number (for its
// device state), its description (for its device and the messages) and the
// adapter's GUID.
struct AdapterCard {
    std::string number;
    std::string description;
    std::string guid;  // empty: the card has none ("Invalid interface")
};

// The card of the card settings key cardNumber whose "AdapterGUID" is
// storedGuid (empty: none): the adapter is the stored GUID's where there is
// one, else the card's "ServiceName"; when the stored GUID is another
// card's adapter now, that card's number and description.
AdapterCard ResolveAdapterCard(CRegistry registry, const std::string& cardNumber,
                               const std::string& storedGuid);

// Sets the card's values on its running adapter and reads them back: an
// absent adapter or fixed addresses without an address is named in a
// message and nothing is set; each value that did not take by the
// read-back deadline is shown in one error message for the card, with what
// the system said.
void SetCardOnItsAdapter(CRegistry registry, RunHost& host, InterfaceConfigurator& interfaces,
                         const AdapterCard& card, const CardTcpip& wanted);

// The card loop over the card settings keys of the selected configuration.
// The caller decides whether the phase runs at all (its option and the
// platform version).
void RunNetworkPhase(RunContext& ctx, DeviceInstaller& devices);

// The card loop on the live adapters. For each card settings key:
// - the card and its adapter are ResolveAdapterCard's: that card's
//   description and device are the ones switched and named;
// - a card the configuration keeps disabled is disabled (when enabled) and
//   not set: a disabled adapter is not listed, so nothing can be set on it;
// - a card to be enabled is enabled first (when disabled), then waited for,
//   since only a running adapter is listed; the link stays up while its
//   values change;
// - then SetCardOnItsAdapter.
void RunNetworkPhaseOnAdapters(RunContext& ctx, DeviceInstaller& devices,
                               InterfaceConfigurator& interfaces);

}  // namespace flipset
