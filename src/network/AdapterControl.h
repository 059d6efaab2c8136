// Switching network devices on and off through the device installer.
//
// A card is switched by its description: every present network device whose
// description equals the card's, ignoring case, is changed together. Whether
// a card is on or off is judged by its "DisableCount" (CardInventory.h).
#pragma once

#include "base/MessageSink.h"
#include "store/Registry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace flipset {

// The change asked of a device, numbered as the platform numbers them
// (DICS_ENABLE, DICS_DISABLE).
enum class DeviceStateChange : uint32_t { Enable = 1, Disable = 2 };

// Status codes of the device calls, numbered as the platform's error codes.
namespace DeviceStatus {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER
}  // namespace DeviceStatus

// A list of the present network adapters (a device information set).
// Destroying it releases the list. Devices are addressed by their index.
class NetworkDeviceList {
public:
    NetworkDeviceList() = default;
    NetworkDeviceList(const NetworkDeviceList&) = delete;
    NetworkDeviceList& operator=(const NetworkDeviceList&) = delete;
    virtual ~NetworkDeviceList() = default;

    // SetupDiEnumDeviceInfo: whether a device exists at the index; false
    // after the last one.
    virtual bool EnumDeviceInfo(uint32_t index) = 0;

    // SetupDiGetDeviceRegistryPropertyA with SPDRP_DEVICEDESC into a buffer of
    // bufferSize bytes. Returns kSuccess (the text and its 0 byte are in the
    // buffer), kInsufficientBuffer with *requiredSize the bytes needed, or
    // another error code.
    virtual uint32_t GetDeviceDescription(uint32_t index, char* buffer, uint32_t bufferSize,
                                          uint32_t* requiredSize) = 0;

    // SetupDiSetClassInstallParamsA with a property change request for the
    // device (DIF_PROPERTYCHANGE, the change, DICS_FLAG_GLOBAL, profile 0):
    // true when it was accepted.
    virtual bool SetPropertyChangeParams(uint32_t index, DeviceStateChange change) = 0;

    // SetupDiCallClassInstaller with DIF_PROPERTYCHANGE: carries out the
    // request set on the device. Its result tells nothing the caller uses.
    virtual void CallPropertyChangeInstaller(uint32_t index) = 0;
};

// The device installer of the platform.
class DeviceInstaller {
public:
    DeviceInstaller() = default;
    DeviceInstaller(const DeviceInstaller&) = delete;
    DeviceInstaller& operator=(const DeviceInstaller&) = delete;
    virtual ~DeviceInstaller() = default;

    // SetupDiGetClassDevsA for the network adapter class, present devices
    // only: the list, or null with *lastError set to the system's last error.
    virtual std::unique_ptr<NetworkDeviceList> GetPresentNetworkDevices(uint32_t* lastError) = 0;

    // FormatMessageA from the system's message table, neutral language: the
    // text as the system gives it, or empty when it has none for the code.
    virtual std::string SystemMessageText(uint32_t code) = 0;
};

// The first buffer size for a device description; it grows to the size the
// system asks for.
constexpr uint32_t kDeviceDescriptionBufferSize = 255;

// How many times SetAllCardsState asks for one card's change before it gives
// up on that card (see AdapterControl.cpp).
constexpr int kCardStateAttempts = 3;

// The system's text for an error code, or "Error with the code %08X" filled
// with the code in upper-case hex when the system has none.
std::string ErrorText(DeviceInstaller& devices, uint32_t code);

// Enables or disables every present network device whose description equals
// the given one, ignoring case. A device that refuses the request is passed
// over silently. Without a device list it shows the system's error text (an
// OK box without icon) and returns false; otherwise true, even when no device
// matched.
bool SetCardState(DeviceInstaller& devices, MessageSink& messages, const std::string& description,
                  bool enable);

// Brings every card of the card list into the wanted state, in enumeration
// order; a card already in that state is not touched. Returns false, leaving
// the cards before it changed, as soon as SetCardState finds no device list;
// true otherwise, including when a card did not take the change after
// kCardStateAttempts requests.
bool SetAllCardsState(CRegistry registry, DeviceInstaller& devices, MessageSink& messages,
                      bool enable);

}  // namespace flipset
