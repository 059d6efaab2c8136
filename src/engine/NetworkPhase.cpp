#include "engine/NetworkPhase.h"

#include "network/CardInventory.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"

namespace flipset {

namespace {

// A card settings key without "Disabled" keeps its card disabled.
constexpr uint32_t kDefaultDisabled = 1;

}  // namespace

void RunNetworkPhase(RunContext& ctx, DeviceInstaller& devices)
{
    const CRegistry registry = ctx.Registry();
    RunHost& host = ctx.Host();

    // The card numbers are listed once; everything after that resolves the
    // selection afresh, as every read of a run does.
    StringList cardNumbers = registry.EnumSubKeys(ctx.ConfigurationKey(), ctx.ConfigurationRoot());

    for (const std::string& cardNumber : cardNumbers) {
        const std::string description = GetCardDescription(registry, cardNumber);
        const std::string serviceName = GetCardServiceName(registry, cardNumber);

        // The card stays down while its settings change; a card that cannot
        // be set below keeps the state this leaves it in.
        if (IsCardNumberEnabled(registry, cardNumber))
            SetCardState(devices, host, description, false);

        host.SetCaption("Setting " + description);

        if (serviceName.empty()) {
            host.ShowError("Invalid interface " + description + " found");
            continue;
        }
        if (GetCardPnpInstanceId(registry, cardNumber).empty()) {
            host.ShowError("Invalid interface " + description + " found with key " + serviceName);
            continue;
        }

        const std::string cardSettingsKey = ctx.ConfigurationKey() + "\\" + cardNumber;
        ApplyCardTcpip(registry, ctx.ConfigurationRoot(), cardSettingsKey,
                       TcpipInterfaceKey(serviceName));

        const uint32_t disabled = registry.ReadDword(cardSettingsKey, CardValue::kDisabled,
                                                     kDefaultDisabled, ctx.ConfigurationRoot());
        if (disabled == 0) {
            SetCardState(devices, host, description, true);
            host.WaitWithMessages(kCardEnableWait);
        }
    }
}

}  // namespace flipset
