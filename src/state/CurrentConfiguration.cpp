#include "state/CurrentConfiguration.h"

#include "base/NameFilter.h"
#include "engine/DesktopSettings.h"
#include "engine/ProxySettings.h"
#include "engine/SystemFiles.h"
#include "network/CardTcpip.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"

namespace flipset {

namespace {

// The registry's longest string value a configuration is read with.
constexpr size_t kLongestName = CRegistry::kStringBufferSize - 1;

// The first text of a string or list value, up to its first 0 byte.
std::string FirstText(const ValueState& state)
{
    if (!state.present)
        return std::string();
    std::string text;
    for (unsigned char c : state.value.data) {
        if (c == 0)
            break;
        text += static_cast<char>(c);
    }
    return text;
}

uint32_t NumberOf(const ValueState& state, uint32_t missing)
{
    if (!state.present || state.value.data.size() != 4)
        return missing;
    uint32_t number = 0;
    for (int i = 0; i < 4; ++i)
        number |= static_cast<uint32_t>(state.value.data[i]) << (8 * i);
    return number;
}

// "a.b.c.d" (the first of several, separated by spaces or commas) with its
// first octet most significant; 0 for anything else.
uint32_t AddressNumber(const std::string& text)
{
    uint32_t address = 0;
    size_t at = 0;
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0) {
            if (at >= text.size() || text[at] != '.')
                return 0;
            ++at;
        }
        uint32_t part = 0;
        size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            part = part * 10 + static_cast<uint32_t>(text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || part > 255)
            return 0;
        address = (address << 8) | part;
    }
    return at == text.size() || text[at] == ' ' || text[at] == ',' ? address : 0;
}

const ValueState* Find(const std::vector<ValueState>& values, const char* name)
{
    for (const ValueState& value : values) {
        if (EqualsNoCase(value.name, name))
            return &value;
    }
    return nullptr;
}

std::string TextOf(const std::vector<ValueState>& values, const char* name)
{
    const ValueState* value = Find(values, name);
    return value ? FirstText(*value) : std::string();
}

void AddSystemFile(const MachineState& state, const char* fileName, const char* valueName,
                   std::vector<NamedValue>& values)
{
    for (const FileState& file : state.files) {
        if (file.fileName != fileName || !file.exists || Trim(file.bytes).empty())
            continue;
        // One entry holding the whole file; the run adds its last line feed.
        std::string text = file.bytes;
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        RegistryValue value;
        value.type = static_cast<uint32_t>(RegistryValueType::Binary);
        CRegistry::PackStringList({text}, value.data);
        values.push_back({valueName, value});
    }
}

// The stored position whose layout the desktop shows; none for a layout no
// position gives.
bool PositionOf(const DesktopState& desktop, uint32_t& position)
{
    const std::string style = TextOf(desktop.values, kWallpaperStyleValue);
    const std::string tile = TextOf(desktop.values, kTileWallpaperValue);
    for (uint32_t candidate : {kWallpaperTile, kWallpaperGrow, kWallpaperCenter}) {
        std::string candidateStyle;
        std::string candidateTile;
        if (WallpaperLayoutTexts(candidate, candidateStyle, candidateTile) &&
            candidateStyle == style && candidateTile == tile) {
            position = candidate;
            return true;
        }
    }
    return false;
}

// The proxy as a configuration sets it: on only when the machine's
// "ProxyEnable" is a number other than 0, the texts as the machine holds
// them (empty when missing).
void AddProxy(const ProxyState& proxy, std::vector<NamedValue>& values)
{
    const ValueState* enable = Find(proxy.settings, kProxyEnableValue);
    values.push_back({ConfigurationValue::kProxyEnable,
                      RegistryValue::Dword(enable && NumberOf(*enable, 0) != 0 ? 1 : 0)});
    values.push_back({ConfigurationValue::kProxyServer,
                      RegistryValue::String(TextOf(proxy.settings, kProxyServerValue))});
    values.push_back({ConfigurationValue::kProxyOverride,
                      RegistryValue::String(TextOf(proxy.settings, kProxyOverrideValue))});
    values.push_back({ConfigurationValue::kAutoConfigUrl,
                      RegistryValue::String(TextOf(proxy.settings, kAutoConfigUrlValue))});
}

// The entries of a list value, or the one text of a string value.
StringList EntriesOf(const std::vector<ValueState>& values, const char* name)
{
    StringList entries;
    const ValueState* state = Find(values, name);
    if (!state || !state->present)
        return entries;
    std::string entry;
    for (unsigned char c : state->value.data) {
        if (c != 0) {
            entry += static_cast<char>(c);
            continue;
        }
        if (entry.empty())
            break;
        entries.push_back(entry);
        entry.clear();
    }
    if (!entry.empty())
        entries.push_back(entry);
    return entries;
}

// The card's settings as its interface key holds them: its addresses
// without the "0.0.0.0" of automatic configuration, each with the mask in
// the same place; the first gateway; the servers of "NameServer"
// (separated by spaces or commas), DNS from DHCP when an automatic card has
// none of its own; the adapter it belongs to.
CardTcpip TcpipOfState(const CardState& card)
{
    const std::vector<ValueState>& v = card.interfaceValues;
    CardTcpip tcpip;
    const ValueState* dhcp = Find(v, TcpipValue::kEnableDhcp);
    tcpip.dhcp = dhcp == nullptr || NumberOf(*dhcp, 1) != 0;
    const StringList addresses = EntriesOf(v, TcpipValue::kIpAddress);
    const StringList masks = EntriesOf(v, TcpipValue::kSubnetMask);
    for (size_t i = 0; i < addresses.size(); ++i) {
        const uint32_t address = AddressNumber(addresses[i]);
        if (address != 0)
            tcpip.addresses.push_back({address, i < masks.size() ? AddressNumber(masks[i]) : 0});
    }
    tcpip.gateway = AddressNumber(TextOf(v, TcpipValue::kDefaultGateway));
    tcpip.dnsServers = ParseNameservers(TextOf(v, TcpipValue::kNameserver));
    tcpip.dnsFromDhcp = tcpip.dhcp && tcpip.dnsServers.empty();
    tcpip.suffix = TextOf(v, TcpipValue::kDomain);
    tcpip.adapterGuid = card.serviceName;
    return tcpip;
}

CardSnapshot CardOfState(const CardState& card)
{
    CardSnapshot snapshot;
    snapshot.cardNumber = card.cardNumber;
    snapshot.description = card.description;
    snapshot.values = {
        {CardValue::kNic, RegistryValue::String(CardValue::kNicMarker)},
        {CardValue::kDisabled, RegistryValue::Dword(card.enabled ? 0 : 1)},
    };
    if (card.adapter && !card.adapter->listed) {
        // Nothing of an adapter that was not listed is known but its GUID.
        snapshot.values.push_back(
            {CardValue::kAdapterGuid, RegistryValue::String(card.adapter->tcpip.adapterGuid)});
        return snapshot;
    }
    for (const KeyValueWrite& write :
         CardTcpipWrites(card.adapter ? card.adapter->tcpip : TcpipOfState(card))) {
        if (!write.remove)
            snapshot.values.push_back({write.name, write.value});
    }
    return snapshot;
}

// The adapter a card stands for: on the live adapters its GUID, else its
// interface key's name; empty when it has none.
const std::string& AdapterOf(const CardState& card)
{
    return card.adapter ? card.adapter->tcpip.adapterGuid : card.serviceName;
}

}  // namespace

ConfigurationSnapshot ConfigurationOfState(const MachineState& state, const std::string& name)
{
    ConfigurationSnapshot configuration;
    std::vector<NamedValue>& values = configuration.values;
    values.push_back({ConfigurationValue::kName, RegistryValue::String(name)});
    AddSystemFile(state, kHostsFileName, ConfigurationValue::kHostfile, values);
    AddSystemFile(state, kLmhostsFileName, ConfigurationValue::kLMHostfile, values);
    if (state.hasDesktop) {
        values.push_back({ConfigurationValue::kWallpaper,
                          RegistryValue::String(TextOf(state.desktop.values, kWallpaperValue))});
        uint32_t position = 0;
        if (PositionOf(state.desktop, position))
            values.push_back(
                {ConfigurationValue::kWallpaperPosition, RegistryValue::Dword(position)});
        if (state.desktop.hasVolume)
            values.push_back(
                {ConfigurationValue::kVolume, RegistryValue::Dword(state.desktop.volume)});
        if (state.desktop.printer.present)
            values.push_back({ConfigurationValue::kDefaultPrinter,
                              RegistryValue::String(FirstText(state.desktop.printer))});
    }
    if (state.hasProxy)
        AddProxy(state.proxy, values);
    if (state.hasStartPage && state.startPage.present)
        values.push_back(
            {ConfigurationValue::kStartPage, RegistryValue::String(FirstText(state.startPage))});
    for (const CardState& card : state.cards) {
        if (!AdapterOf(card).empty())
            configuration.cards.push_back(CardOfState(card));
    }
    return configuration;
}

NewConfigurationResult StoreStateAsConfiguration(
    CRegistry registry, RegistryRoot root, std::optional<std::string_view> typedNameCharacters,
    const std::string& name, const MachineState& state)
{
    NewConfigurationResult result;
    const std::string trimmed = Trim(name);
    if (typedNameCharacters && (trimmed.empty() || trimmed.size() > kLongestName ||
                                FilterName(trimmed, *typedNameCharacters) != trimmed)) {
        result.status = NewConfigurationStatus::BadName;
        result.message = "\"" + trimmed +
                         "\" is not a configuration name: it must not be "
                         "blank and may hold only letters, digits, spaces and !@#$&?-_.,";
        return result;
    }
    if (!typedNameCharacters && (trimmed.size() > kLongestName || !IsStorableName(trimmed))) {
        result.status = NewConfigurationStatus::BadName;
        result.message = "\"" + trimmed +
                         "\" is not a configuration name: it must not be blank, hold "
                         "control characters or be longer than " +
                         std::to_string(kLongestName) + " characters";
        return result;
    }
    const ConfigurationStore store(registry);
    if (store.FindConfigurationNumber(trimmed, root) != 0) {
        result.status = NewConfigurationStatus::NameTaken;
        result.message = "the name \"" + trimmed + "\" is already taken";
        return result;
    }
    const int number = store.AllocateConfigurationNumber(root);
    if (number == 0 ||
        !WriteConfigurationSnapshot(registry, number, root, ConfigurationOfState(state, trimmed))) {
        if (number != 0)
            store.DeleteConfiguration(number, root);
        result.status = NewConfigurationStatus::WriteFailed;
        result.message = "the configuration \"" + trimmed + "\" could not be written";
        return result;
    }
    result.number = number;
    result.message = "stored the current state as configuration \"" + trimmed + "\" (number " +
                     std::to_string(number) + ")";
    return result;
}

}  // namespace flipset
