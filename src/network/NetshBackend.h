// Sets one card's TCP/IP values on its live adapter (Windows 10 and later):
// the addresses through netsh, DNS through SetInterfaceDnsSettings where the
// system has it, otherwise through netsh with the suffix in the interface's
// "Domain" value.
#pragma once

#include "network/CardTcpip.h"
#include "network/InterfaceConfigurator.h"
#include "store/Registry.h"

#include <string>

namespace flipset {

// What the system said while the values were set: netsh's output and any
// call that failed, one line each, for the message when a value does not
// take. Empty when it said nothing.
std::string SetCardOnAdapter(CRegistry registry, InterfaceConfigurator& system,
                             const AdapterSnapshot& adapter, const CardTcpip& card);

}  // namespace flipset
