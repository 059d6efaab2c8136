// The configuration file's values: which value of a configuration or card
// key becomes which readable field, and the codec between a field of the
// document and the value's type and bytes. Shared by the document's reader
// and writer; callers use transfer/ConfigurationFile.h.
#pragma once

#include "store/Areas.h"
#include "store/ConfigurationSchema.h"
#include "transfer/CodePage.h"
#include "transfer/ConfigurationFile.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <string>

namespace flipset {
namespace FileValueCodec {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr uint32_t kTypeString = static_cast<uint32_t>(RegistryValueType::String);
constexpr uint32_t kTypeBinary = static_cast<uint32_t>(RegistryValueType::Binary);
constexpr uint32_t kTypeDword = static_cast<uint32_t>(RegistryValueType::Dword);

// How a known value is stored, and so how its field reads.
enum class Kind {
    Text,         // REG_SZ: the text and one 0 byte
    Marker,       // REG_SZ "true"
    Flag,         // REG_DWORD 0 or 1
    Volume,       // REG_DWORD 0 to 65535
    Position,     // REG_DWORD 0 to 2
    Address,      // REG_DWORD, first octet most significant
    FileText,     // REG_BINARY: the text and three 0 bytes
    CodedList,    // REG_BINARY: packed list of coded entries
    RunList,      // the same, each entry "program [parameters]" or "program"
    ProxyServer,  // REG_SZ as Text, with the proxy texts' rules (store/ProxyValues.h)
    ProxyBypass,
    ProxyScript,
    AddressList,      // REG_MULTI_SZ of "a.b.c.d/m.m.m.m", a card's further addresses
    ServerList,       // REG_MULTI_SZ of IPv4 and IPv6 texts, at most kMaxDnsServers
    LocationMode,     // REG_DWORD 0 to 2, by name (kLocationModeNames)
    LocationGateway,  // REG_SZ as Text, with the location conditions' rules
    LocationSubnet,   //   (LocationTextProblem, network/Location.h); empty: no
    LocationAdapter,  //   condition
    LocationWifi,
};

struct Field {
    const char* valueName;
    const char* fieldName;
    Kind kind;
};

// In the order in which a configuration's fields are written.
inline const Field kConfigurationFields[] = {
    {ConfigurationValue::kName, "name", Kind::Text},
    {ConfigurationValue::kHostfile, "hosts", Kind::FileText},
    {ConfigurationValue::kLMHostfile, "lmhosts", Kind::FileText},
    {ConfigurationValue::kWallpaper, "wallpaper", Kind::Text},
    {ConfigurationValue::kWallpaperPosition, "wallpaperPosition", Kind::Position},
    {ConfigurationValue::kVolume, "volume", Kind::Volume},
    {ConfigurationValue::kDefaultPrinter, "printer", Kind::Text},
    {ConfigurationValue::kProxyEnable, "proxyEnable", Kind::Flag},
    {ConfigurationValue::kProxyServer, "proxyServer", Kind::ProxyServer},
    {ConfigurationValue::kProxyOverride, "proxyBypass", Kind::ProxyBypass},
    {ConfigurationValue::kAutoConfigUrl, "proxyScript", Kind::ProxyScript},
    {ConfigurationValue::kStartPage, "startPage", Kind::Text},
    {ConfigurationValue::kPrograms, "programs", Kind::RunList},
    {ConfigurationValue::kServicesStop, "servicesStop", Kind::CodedList},
    {ConfigurationValue::kServicesStart, "servicesStart", Kind::CodedList},
};

// The location: the object "location", as the options have theirs.
inline const Field kLocationFields[] = {
    {ConfigurationValue::kLocationMode, "mode", Kind::LocationMode},
    {ConfigurationValue::kLocationGateway, "gateway", Kind::LocationGateway},
    {ConfigurationValue::kLocationSubnet, "subnet", Kind::LocationSubnet},
    {ConfigurationValue::kLocationDnsSuffix, "dnsSuffix", Kind::Text},
    {ConfigurationValue::kLocationAdapter, "adapter", Kind::LocationAdapter},
    {ConfigurationValue::kLocationWifi, "wifi", Kind::LocationWifi},
};
// "LocationMode" 0, 1, 2.
inline const char* const kLocationModeNames[] = {"off", "askFirst", "switch"};

// The options: one flag per area, named by the area's word.
struct OptionFieldTable {
    Field fields[kAreaCount]{};
    constexpr OptionFieldTable()
    {
        for (size_t i = 0; i < kAreaCount; ++i)
            fields[i] = {kAreas[i].optionValue, kAreas[i].word, Kind::Flag};
    }
};
inline constexpr OptionFieldTable kOptionFieldTable;
inline constexpr const Field (&kOptionFields)[kAreaCount] = kOptionFieldTable.fields;

inline const Field kCardFields[] = {
    {CardValue::kNic, "marked", Kind::Marker},
    {CardValue::kDisabled, "disabled", Kind::Flag},
    {CardValue::kDhcp, "dhcp", Kind::Flag},
    {CardValue::kIp, "address", Kind::Address},
    {CardValue::kNetmask, "netmask", Kind::Address},
    {CardValue::kMoreAddresses, "moreAddresses", Kind::AddressList},
    {CardValue::kGateway, "gateway", Kind::Address},
    {CardValue::kDns1, "dns", Kind::Address},
    {CardValue::kDnsServers, "dnsServers", Kind::ServerList},
    {CardValue::kDnsFromDhcp, "dnsFromDhcp", Kind::Flag},
    {CardValue::kDomain, "domain", Kind::Text},
    {CardValue::kAdapterGuid, "adapterGuid", Kind::Text},
};

inline const char* const kPositionNames[] = {"tile", "grow", "center"};

std::string HexOf(const ByteArray& bytes);
bool BytesOfHex(const std::string& hex, ByteArray& bytes);

// Turns a field of the document into the value it stands for; false with
// the reason when the field is not acceptable. J is Json or OrderedJson.
class FieldEncoder {
public:
    explicit FieldEncoder(const CodePageConverter& codePage) : codePage_(codePage) {}

    template <class J>
    bool Encode(Kind kind, const J& field, RegistryValue& value, std::string& reason) const;

    // A text of the document in the code page: no 0 character, at most
    // limit bytes.
    template <class J>
    bool AnsiText(const J& field, size_t limit, std::string& text, std::string& reason) const;

private:
    template <class J>
    bool EncodeList(Kind kind, const J& field, RegistryValue& value, std::string& reason) const;
    template <class J>
    bool ListEntry(const J& field, std::string& entry, std::string& reason) const;
    template <class J>
    bool RunEntry(const J& field, std::string& entry, std::string& reason) const;
    template <class J>
    bool EncodeAddressList(Kind kind, const J& field, RegistryValue& value,
                           std::string& reason) const;

    const CodePageConverter& codePage_;
};

// The field for a value when the value is stored exactly as the program
// stores it; false when it has to be carried as it is.
bool DecodeField(Kind kind, const RegistryValue& value, const CodePageConverter& codePage,
                 OrderedJson& field);

}  // namespace FileValueCodec
}  // namespace flipset
