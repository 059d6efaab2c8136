// A configuration's location: conditions on the network the machine is on,
// read from the configuration's key, and which configurations' locations
// hold for what the machine shows now.
#pragma once

#include "network/InterfaceConfigurator.h"
#include "store/Registry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flipset {

using HardwareAddress = std::array<uint8_t, 6>;

// "aa-bb-cc-dd-ee-ff", also with ':' between the bytes (as other tools show
// it), in either case, with one separator throughout and white space around
// ignored. An address of zeros is refused: it is what an unresolved
// neighbour entry shows, and would hold wherever the gateway is unresolved.
std::optional<HardwareAddress> ParseHardwareAddress(std::string_view text);
// Lower case with '-'.
std::string FormatHardwareAddress(const HardwareAddress& address);

// An IPv4 subnet, its network first octet most significant.
struct Ipv4Subnet {
    uint32_t network = 0;
    unsigned prefixLength = 0;
};
bool operator==(const Ipv4Subnet& a, const Ipv4Subnet& b);

// "10.1.0.0/16": dotted IPv4, '/', a prefix length from 1 to 32, white space
// around ignored. Address bits past the prefix are dropped ("10.1.2.0/16" is
// 10.1.0.0/16). "/0" is refused: it would hold on every network.
std::optional<Ipv4Subnet> ParseSubnet(std::string_view text);
std::string FormatSubnet(const Ipv4Subnet& subnet);
bool SubnetContains(const Ipv4Subnet& subnet, uint32_t address);

// What the machine shows now, as the location conditions read it
// (NetworkObserver.h reads it).
struct NetworkObservation {
    // Every adapter the system lists; the conditions look only at those
    // connected.
    std::vector<AdapterSnapshot> adapters;
    uint32_t gateway = 0;  // the default gateway; 0: none
    // The gateway's, from the neighbour table; none while unresolved.
    std::optional<HardwareAddress> gatewayHardwareAddress;
    std::string wifi;  // the connected Wi-Fi network's name; empty: none
};

enum class LocationMode { Off, AskFirst, Switch };

// A stored value that is no condition (or no mode): the location it belongs
// to never holds, and the value is named to the user.
struct LocationFault {
    const char* valueName;
    std::string storedText;
};

struct Location {
    LocationMode mode = LocationMode::Off;
    std::optional<HardwareAddress> gateway;
    std::optional<Ipv4Subnet> subnet;
    std::string dnsSuffix;    // empty: no condition
    std::string adapterGuid;  // empty: no condition
    std::string wifi;         // empty: no condition
    std::vector<LocationFault> faults;

    size_t ConditionCount() const;
    // On, with a condition at least, and no fault: a location without
    // conditions would hold everywhere.
    bool CanHold() const;
};
bool operator==(const Location& a, const Location& b);
bool operator!=(const Location& a, const Location& b);

// Empty when the text may stand in the location value of that name (one of
// the five conditions' value names) as ReadLocation reads it: an empty or
// blank text is no condition. Otherwise what the text must be, for a
// message ("must be a hardware address such as ...").
std::string LocationTextProblem(std::string_view valueName, const std::string& text);

// The condition texts as a person reads and types them; the mode as a
// word, "off", "ask first" or "switch automatically".
const char* LocationModeText(LocationMode mode);

// A fault for a person: "\"LocationSubnet\" is \"10.1\"", "\"LocationMode\" is 7, not 0,
// 1 or 2".
std::string DescribeLocationFault(const LocationFault& fault);

// The configuration's location in one line for a person: "switch
// automatically when gateway aa-bb-cc-dd-ee-ff, subnet 10.1.0.0/16"; "none"
// for a location that is off without a fault; each fault named with its
// value as "never holds: "LocationSubnet" is "10.1""
std::string DescribeLocation(const Location& location);

// Reads the location values of a configuration key. An empty text is no
// condition; a text that is no condition, a "LocationMode" that is no
// REG_DWORD or above 2, is a fault.
Location ReadLocation(const COpenKey& configurationKey);

// Every condition holds. Only connected adapters count.
bool LocationHolds(const Location& location, const NetworkObservation& observation);

struct NamedLocation {
    std::string configuration;  // the configuration's name
    Location location;
};

// Every configuration under the root, in the order the store lists them,
// with its location as stored: also those without one (mode off) and those
// with a fault, which never hold but which a caller may name.
std::vector<NamedLocation> ReadConfigurationLocations(CRegistry registry, RegistryRoot root);

// The configurations whose locations hold with the most conditions, in the
// order given: none, the one that wins, or those tied.
std::vector<std::string> MatchLocations(const std::vector<NamedLocation>& locations,
                                        const NetworkObservation& observation);

}  // namespace flipset
