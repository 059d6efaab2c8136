#include "app/WhereCommand.h"

#include "network/Location.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"

namespace flipset {

namespace {

// "10.1.2.3/16" where the mask is a prefix, else "10.1.2.3/255.255.0.255".
std::string AddressText(uint32_t address, uint32_t mask)
{
    for (unsigned length = 0; length <= 32; ++length) {
        if (MaskFromPrefixLength(length) == mask)
            return DottedAddress(address) + "/" + std::to_string(length);
    }
    return DottedAddress(address) + "/" + DottedAddress(mask);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string ConditionCountText(size_t count)
{
    return std::to_string(count) + (count == 1 ? " condition" : " conditions");
}

}  // namespace

std::vector<std::string> DescribeObservation(const NetworkObservation& observation)
{
    std::vector<std::string> lines;
    bool anyConnected = false;
    for (const AdapterSnapshot& adapter : observation.adapters) {
        if (!adapter.connected)
            continue;
        anyConnected = true;
        lines.push_back("adapter " + adapter.guid +
                        (adapter.name.empty() ? "" : " " + adapter.name));
        for (const Ipv4WithMask& address : adapter.addresses) {
            lines.push_back("  address " + AddressText(address.address, address.mask) +
                            ", subnet " +
                            AddressText(address.address & address.mask, address.mask));
        }
        lines.push_back("  DNS suffix " +
                        (adapter.dnsSuffix.empty() ? std::string("none") : adapter.dnsSuffix));
    }
    if (!anyConnected)
        lines.push_back("adapter: none connected");
    if (observation.gateway == 0) {
        lines.push_back("default gateway: none");
    } else {
        lines.push_back("default gateway " + DottedAddress(observation.gateway) +
                        ", hardware address " +
                        (observation.gatewayHardwareAddress
                             ? FormatHardwareAddress(*observation.gatewayHardwareAddress)
                             : std::string("unknown")));
    }
    lines.push_back("Wi-Fi network: " +
                    (observation.wifi.empty() ? std::string("none") : Quoted(observation.wifi)));
    return lines;
}

ExitCode RunWhereCommand(CRegistry registry, NetworkObserver& observer, OutputSink& output)
{
    const RegistryRoot root = ConfigurationRoot(ProgramSettings::ReadSettingsRootChoice(registry));
    const std::vector<NamedLocation> locations = ReadConfigurationLocations(registry, root);
    const NetworkObservation observation = observer.Observe();
    for (const std::string& line : DescribeObservation(observation))
        output.WriteLine(line);
    for (const NamedLocation& named : locations) {
        for (const LocationFault& fault : named.location.faults) {
            output.WriteLine("warning: the location of " + Quoted(named.configuration) +
                             " never holds: " + DescribeLocationFault(fault));
        }
    }
    const std::vector<std::string> match = MatchLocations(locations, observation);
    if (match.empty()) {
        output.WriteLine("location: none holds");
        return ExitCode::NoSuchConfiguration;
    }
    size_t conditions = 0;
    for (const NamedLocation& named : locations) {
        if (named.configuration == match.front())
            conditions = named.location.ConditionCount();
    }
    if (match.size() == 1) {
        output.WriteLine("location: " + Quoted(match.front()) + " holds, with " +
                         ConditionCountText(conditions));
        return ExitCode::Done;
    }
    std::string tied;
    for (size_t i = 0; i < match.size(); ++i)
        tied += (i == 0 ? "" : i + 1 == match.size() ? " and " : ", ") + Quoted(match[i]);
    output.WriteLine("location: a tie between " + tied + ", with " +
                     ConditionCountText(conditions) + " each: none of them runs by itself");
    return ExitCode::NoSuchConfiguration;
}

}  // namespace flipset
