// The device installer of Windows (SetupAPI), for the network adapter class.
#pragma once

#include "network/AdapterControl.h"

namespace flipset {

class Win32DeviceInstaller : public DeviceInstaller {
public:
    std::unique_ptr<NetworkDeviceList> GetPresentNetworkDevices(uint32_t* lastError) override;
    std::string SystemMessageText(uint32_t code) override;
};

}  // namespace flipset
