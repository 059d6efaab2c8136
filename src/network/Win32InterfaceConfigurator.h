// The live adapters of Windows: GetAdaptersAddresses, netsh from the system
// folder, and SetInterfaceDnsSettings where iphlpapi has it (Windows 10
// 2004 and later; Wine has none).
#pragma once

#include "network/InterfaceConfigurator.h"

#include <cstdint>

namespace flipset {

// How long one netsh run may take before it is left behind, in milliseconds.
constexpr uint32_t kNetshTimeout = 30000;

class Win32InterfaceConfigurator : public InterfaceConfigurator {
public:
    std::vector<AdapterSnapshot> ListAdapters() override;
    NetshRun RunNetsh(const std::string& arguments) override;
    DnsCallResult SetInterfaceDns(const std::string& guid, const InterfaceDnsRequest& request,
                                  uint32_t* error) override;
};

}  // namespace flipset
