#include "engine/NetworkPhase.h"

#include "base/Text.h"
#include "network/CardInventory.h"
#include "network/CardReadBack.h"
#include "network/CardTcpip.h"
#include "network/NetshBackend.h"
#include "network/NetshCommands.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"

namespace flipset {

namespace {

// A card settings key without "Disabled" keeps its card disabled.
constexpr uint32_t kDefaultDisabled = 1;

}  // namespace

AdapterCard ResolveAdapterCard(CRegistry registry, const std::string& cardNumber,
                               const std::string& storedGuid)
{
    AdapterCard card{cardNumber, GetCardDescription(registry, cardNumber),
                     GetCardServiceName(registry, cardNumber)};
    if (storedGuid.empty() || EqualsNoCase(storedGuid, card.guid))
        return card;
    // The card numbers changed since the configuration was made: the stored
    // GUID names the adapter, wherever its card is now.
    card.guid = storedGuid;
    for (const NetworkCard& other : ListNetworkCards(registry)) {
        if (EqualsNoCase(GetCardServiceName(registry, other.number), storedGuid)) {
            card.number = other.number;
            card.description = other.description;
            break;
        }
    }
    return card;
}

void SetCardOnItsAdapter(CRegistry registry, RunHost& host, InterfaceConfigurator& interfaces,
                         const AdapterCard& card, const CardTcpip& wanted)
{
    const std::vector<AdapterSnapshot> adapters = interfaces.ListAdapters();
    const AdapterSnapshot* adapter = FindAdapterByGuid(adapters, card.guid);
    if (!adapter) {
        host.ShowError(card.description + ": its adapter " + card.guid +
                       " is not present; the card was not set");
        return;
    }
    if (!HasAddressToSet(wanted)) {
        host.ShowError(card.description +
                       ": fixed addresses without an address; the card was not set");
        return;
    }

    const std::string said = SetCardOnAdapter(registry, interfaces, *adapter, wanted);
    const std::vector<ValueNotTaken> notTaken = ReadBackCard(
        interfaces, card.guid, wanted, [&](uint32_t ms) { host.WaitWithMessages(ms); });
    if (notTaken.empty())
        return;
    std::string message;
    for (const ValueNotTaken& value : notTaken)
        message += NotTakenMessage(card.description, value) + "\n";
    message += said.empty() ? "The system said nothing." : said;
    host.ShowError(message);
}

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

void RunNetworkPhaseOnAdapters(RunContext& ctx, DeviceInstaller& devices,
                               InterfaceConfigurator& interfaces)
{
    const CRegistry registry = ctx.Registry();
    RunHost& host = ctx.Host();
    StringList cardNumbers = registry.EnumSubKeys(ctx.ConfigurationKey(), ctx.ConfigurationRoot());

    for (const std::string& cardNumber : cardNumbers) {
        CardTcpip wanted;
        uint32_t disabled = kDefaultDisabled;
        {
            const COpenKey cardSettings = registry.OpenForReading(
                ctx.ConfigurationKey() + "\\" + cardNumber, ctx.ConfigurationRoot());
            wanted = ReadCardTcpip(cardSettings);
            disabled = cardSettings.ReadDword(CardValue::kDisabled, kDefaultDisabled);
        }
        const AdapterCard card = ResolveAdapterCard(registry, cardNumber, wanted.adapterGuid);
        host.SetCaption("Setting " + card.description);

        if (card.guid.empty()) {
            host.ShowError("Invalid interface " + card.description + " found");
            continue;
        }
        const bool enabled = IsCardNumberEnabled(registry, card.number);
        if (disabled != 0) {
            if (enabled)
                SetCardState(devices, host, card.description, false);
            continue;
        }
        if (!enabled) {
            SetCardState(devices, host, card.description, true);
            host.WaitWithMessages(kCardEnableWait);
        }

        SetCardOnItsAdapter(registry, host, interfaces, card, wanted);
    }
}

}  // namespace flipset
