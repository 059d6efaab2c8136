#include "network/AdapterControl.h"

#include "base/Text.h"
#include "network/CardInventory.h"

#include <cstring>
#include <vector>

namespace flipset {

namespace {

std::string UpperHex8(uint32_t code)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int position = 7; position >= 0; --position) {
        text[static_cast<size_t>(position)] = kDigits[code & 0xF];
        code >>= 4;
    }
    return text;
}

// The device's description, read into a buffer that starts small and grows
// to the size the system asks for; false when it cannot be read.
bool ReadDeviceDescription(NetworkDeviceList& list, uint32_t index, std::string& description)
{
    std::vector<char> buffer(kDeviceDescriptionBufferSize, '\0');
    for (;;) {
        uint32_t required = 0;
        const uint32_t status = list.GetDeviceDescription(
            index, buffer.data(), static_cast<uint32_t>(buffer.size()), &required);
        if (status == DeviceStatus::kSuccess) {
            description.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
            return true;
        }
        // Grow only when asked for more room than the buffer has: a size
        // that does not grow would repeat the same failing read for ever.
        if (status != DeviceStatus::kInsufficientBuffer || required <= buffer.size())
            return false;
        buffer.assign(required, '\0');
    }
}

}  // namespace

std::string ErrorText(DeviceInstaller& devices, uint32_t code)
{
    std::string text = devices.SystemMessageText(code);
    if (text.empty())
        text = "Error with the code " + UpperHex8(code);
    return text;
}

bool SetCardState(DeviceInstaller& devices, MessageSink& messages, const std::string& description,
                  bool enable)
{
    uint32_t lastError = 0;
    std::unique_ptr<NetworkDeviceList> list = devices.GetPresentNetworkDevices(&lastError);
    if (!list) {
        messages.ShowMessage(ErrorText(devices, lastError));
        return false;
    }
    const DeviceStateChange change =
        enable ? DeviceStateChange::Enable : DeviceStateChange::Disable;
    // Every device with the description is changed, not only the first.
    for (uint32_t index = 0; list->EnumDeviceInfo(index); ++index) {
        std::string deviceDescription;
        if (!ReadDeviceDescription(*list, index, deviceDescription) || deviceDescription.empty())
            continue;
        if (!EqualsNoCase(deviceDescription, description))
            continue;
        if (list->SetPropertyChangeParams(index, change))
            list->CallPropertyChangeInstaller(index);
    }
    return true;
}

bool SetAllCardsState(CRegistry registry, DeviceInstaller& devices, MessageSink& messages,
                      bool enable)
{
    for (const NetworkCard& card : ListNetworkCards(registry)) {
        const std::string pnpInstanceId = GetCardPnpInstanceId(registry, card.number);
        // The class installer makes the change before it returns, so a card
        // that can change shows its new "DisableCount" after the first
        // request; further attempts only ride out a device that refused a
        // request for a moment. Some cards never show the change: no present
        // device has their description, they have no Plug and Play instance
        // and so always count as enabled, or the change waits for a restart.
        // Such a card is given up quietly, since nothing more can be done for
        // it, and the next card is handled; the result still says only
        // whether a device list could be had.
        for (int attempt = 0;
             attempt < kCardStateAttempts && IsCardEnabled(registry, pnpInstanceId) != enable;
             ++attempt) {
            if (!SetCardState(devices, messages, card.description, enable))
                return false;
        }
    }
    return true;
}

}  // namespace flipset
