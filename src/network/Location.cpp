#include "network/Location.h"

#include "base/Text.h"
#include "network/InterfaceConfigurator.h"
#include "network/IpAddressText.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"

#include <algorithm>

namespace flipset {
namespace {

// "{8-4-4-4-12 hexadecimal digits}", as adapters are named.
bool IsBracedGuid(std::string_view text)
{
    static constexpr std::string_view kShape = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (text.size() != kShape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == 'x' ? HexDigitValue(text[i]) < 0 : text[i] != kShape[i])
            return false;
    }
    return true;
}

// The longest name a Wi-Fi network has, in bytes.
constexpr size_t kMaxWifiName = 32;

}  // namespace

std::optional<HardwareAddress> ParseHardwareAddress(std::string_view text)
{
    const std::string trimmed = Trim(text);
    // Six pairs of digits and five separators.
    if (trimmed.size() != 17)
        return std::nullopt;
    const char separator = trimmed[2];
    if (separator != '-' && separator != ':')
        return std::nullopt;
    HardwareAddress address{};
    for (size_t byte = 0; byte < address.size(); ++byte) {
        const size_t at = byte * 3;
        if (byte > 0 && trimmed[at - 1] != separator)
            return std::nullopt;
        const int high = HexDigitValue(trimmed[at]);
        const int low = HexDigitValue(trimmed[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        address[byte] = static_cast<uint8_t>(high << 4 | low);
    }
    if (address == HardwareAddress{})
        return std::nullopt;
    return address;
}

std::string FormatHardwareAddress(const HardwareAddress& address)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t byte = 0; byte < address.size(); ++byte) {
        if (byte > 0)
            text += '-';
        text += kDigits[address[byte] >> 4];
        text += kDigits[address[byte] & 0x0F];
    }
    return text;
}

bool operator==(const Ipv4Subnet& a, const Ipv4Subnet& b)
{
    return a.network == b.network && a.prefixLength == b.prefixLength;
}

std::optional<Ipv4Subnet> ParseSubnet(std::string_view text)
{
    const std::string trimmed = Trim(text);
    const size_t slash = trimmed.find('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const std::optional<uint32_t> address =
        ParseIpv4Number(std::string_view(trimmed).substr(0, slash));
    const std::string_view length = std::string_view(trimmed).substr(slash + 1);
    if (!address || length.empty() || length.size() > 2 || length[0] == '0' ||
        !std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const unsigned prefixLength = static_cast<unsigned>(std::stoul(std::string(length)));
    if (prefixLength > 32)
        return std::nullopt;
    return Ipv4Subnet{*address & MaskFromPrefixLength(prefixLength), prefixLength};
}

std::string FormatSubnet(const Ipv4Subnet& subnet)
{
    return DottedAddress(subnet.network) + "/" + std::to_string(subnet.prefixLength);
}

bool SubnetContains(const Ipv4Subnet& subnet, uint32_t address)
{
    return (address & MaskFromPrefixLength(subnet.prefixLength)) == subnet.network;
}

size_t Location::ConditionCount() const
{
    return (gateway ? 1 : 0) + (subnet ? 1 : 0) + (dnsSuffix.empty() ? 0 : 1) +
           (adapterGuid.empty() ? 0 : 1) + (wifi.empty() ? 0 : 1);
}

bool Location::CanHold() const
{
    return mode != LocationMode::Off && faults.empty() && ConditionCount() > 0;
}

bool operator==(const Location& a, const Location& b)
{
    const auto sameFaults = [](const std::vector<LocationFault>& x,
                               const std::vector<LocationFault>& y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                          [](const LocationFault& f, const LocationFault& g) {
                              return std::string_view(f.valueName) == g.valueName &&
                                     f.storedText == g.storedText;
                          });
    };
    return a.mode == b.mode && a.gateway == b.gateway && a.subnet == b.subnet &&
           a.dnsSuffix == b.dnsSuffix && a.adapterGuid == b.adapterGuid && a.wifi == b.wifi &&
           sameFaults(a.faults, b.faults);
}

bool operator!=(const Location& a, const Location& b)
{
    return !(a == b);
}

std::string LocationTextProblem(std::string_view valueName, const std::string& text)
{
    namespace Value = ConfigurationValue;
    if (valueName == Value::kLocationWifi) {
        return text.size() <= kMaxWifiName
                   ? std::string()
                   : "is " + std::to_string(text.size()) +
                         " bytes long; a Wi-Fi network's name has at most " +
                         std::to_string(kMaxWifiName);
    }
    const std::string trimmed = Trim(text);
    if (trimmed.empty())
        return {};
    if (valueName == Value::kLocationGateway && !ParseHardwareAddress(trimmed))
        return "must be a hardware address such as \"aa-bb-cc-dd-ee-ff\", not all zeros";
    if (valueName == Value::kLocationSubnet && !ParseSubnet(trimmed))
        return "must be a subnet such as \"10.1.0.0/16\", its prefix length from 1 to 32";
    if (valueName == Value::kLocationAdapter && !IsBracedGuid(trimmed))
        return "must be an adapter GUID such as \"{4D36E972-E325-11CE-BFC1-08002BE10318}\"";
    return {};
}

const char* LocationModeText(LocationMode mode)
{
    switch (mode) {
    case LocationMode::AskFirst:
        return "ask first";
    case LocationMode::Switch:
        return "switch automatically";
    case LocationMode::Off:
        break;
    }
    return "off";
}

std::string DescribeLocationFault(const LocationFault& fault)
{
    const std::string name = std::string("\"") + fault.valueName + "\"";
    if (std::string_view(fault.valueName) == ConfigurationValue::kLocationMode) {
        return fault.storedText.empty() ? name + " is not a number (REG_DWORD)"
                                        : name + " is " + fault.storedText + ", not 0, 1 or 2";
    }
    return name + " is \"" + fault.storedText + "\"";
}

std::string DescribeLocation(const Location& location)
{
    std::string text;
    if (location.mode != LocationMode::Off) {
        StringList conditions;
        if (location.gateway)
            conditions.push_back("gateway " + FormatHardwareAddress(*location.gateway));
        if (location.subnet)
            conditions.push_back("subnet " + FormatSubnet(*location.subnet));
        if (!location.dnsSuffix.empty())
            conditions.push_back("DNS suffix " + location.dnsSuffix);
        if (!location.adapterGuid.empty())
            conditions.push_back("adapter " + location.adapterGuid);
        if (!location.wifi.empty())
            conditions.push_back("Wi-Fi \"" + location.wifi + "\"");
        text = LocationModeText(location.mode);
        for (size_t i = 0; i < conditions.size(); ++i)
            text += (i == 0 ? " when " : ", ") + conditions[i];
        if (conditions.empty() && location.faults.empty())
            text += ", without a condition: never";
    }
    for (size_t i = 0; i < location.faults.size(); ++i) {
        text += (i == 0 ? (text.empty() ? "never holds: " : "; never holds: ") : ", ") +
                DescribeLocationFault(location.faults[i]);
    }
    return text.empty() ? "none" : text;
}

Location ReadLocation(const COpenKey& configurationKey)
{
    namespace Value = ConfigurationValue;
    Location location;
    RegistryValue modeValue;
    if (!configurationKey.ReadValue(Value::kLocationMode, modeValue))
        return location;
    uint32_t mode = 0;
    const bool isDword = modeValue.AsDword(mode);
    if (!isDword || mode > kLocationSwitch) {
        location.faults.push_back({Value::kLocationMode, isDword ? std::to_string(mode) : ""});
        return location;
    }
    if (mode == kLocationOff)
        return location;
    location.mode = mode == kLocationAskFirst ? LocationMode::AskFirst : LocationMode::Switch;

    const auto read = [&](const char* name) { return configurationKey.ReadString(name, ""); };
    const auto fault = [&](const char* name, const std::string& text) {
        location.faults.push_back({name, text});
    };
    // A text that breaks its rule (LocationTextProblem) is a fault.
    const auto condition = [&](const char* name) {
        const std::string text = read(name);
        if (LocationTextProblem(name, text).empty())
            return text;
        fault(name, text);
        return std::string();
    };
    location.gateway = ParseHardwareAddress(condition(Value::kLocationGateway));
    location.subnet = ParseSubnet(condition(Value::kLocationSubnet));
    location.dnsSuffix = Trim(condition(Value::kLocationDnsSuffix));
    location.adapterGuid = Trim(condition(Value::kLocationAdapter));
    // A network's name is taken as stored: spaces may belong to it.
    location.wifi = condition(Value::kLocationWifi);
    return location;
}

bool LocationHolds(const Location& location, const NetworkObservation& observation)
{
    if (!location.CanHold())
        return false;
    const auto anyAdapter = [&](auto predicate) {
        return std::any_of(observation.adapters.begin(), observation.adapters.end(),
                           [&](const AdapterSnapshot& adapter) {
                               return adapter.connected && predicate(adapter);
                           });
    };
    if (location.gateway && location.gateway != observation.gatewayHardwareAddress)
        return false;
    if (location.subnet && !anyAdapter([&](const AdapterSnapshot& adapter) {
            return std::any_of(adapter.addresses.begin(), adapter.addresses.end(),
                               [&](const Ipv4WithMask& address) {
                                   return SubnetContains(*location.subnet, address.address);
                               });
        }))
        return false;
    if (!location.dnsSuffix.empty() && !anyAdapter([&](const AdapterSnapshot& adapter) {
            return EqualsNoCase(adapter.dnsSuffix, location.dnsSuffix);
        }))
        return false;
    if (!location.adapterGuid.empty() && !anyAdapter([&](const AdapterSnapshot& adapter) {
            return EqualsNoCase(adapter.guid, location.adapterGuid);
        }))
        return false;
    if (!location.wifi.empty() && observation.wifi != location.wifi)
        return false;
    return true;
}

std::vector<NamedLocation> ReadConfigurationLocations(CRegistry registry, RegistryRoot root)
{
    std::vector<NamedLocation> locations;
    for (const NamedConfiguration& configuration :
         ConfigurationStore(registry).ListConfigurations(root)) {
        locations.push_back(
            {configuration.name, ReadLocation(registry.OpenForReading(
                                     ConfigurationKeyPath(configuration.number), root))});
    }
    return locations;
}

std::vector<std::string> MatchLocations(const std::vector<NamedLocation>& locations,
                                        const NetworkObservation& observation)
{
    std::vector<std::string> best;
    size_t bestCount = 0;
    for (const NamedLocation& named : locations) {
        if (!LocationHolds(named.location, observation))
            continue;
        const size_t count = named.location.ConditionCount();
        if (count > bestCount) {
            best.clear();
            bestCount = count;
        }
        if (count == bestCount)
            best.push_back(named.configuration);
    }
    return best;
}

}  // namespace flipset
