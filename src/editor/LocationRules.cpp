#include "editor/LocationRules.h"

#include "base/Text.h"
#include "network/InterfaceConfigurator.h"
#include "store/ConfigurationSchema.h"

#include <tuple>
#include <utility>

namespace flipset {

namespace {

constexpr uint32_t kLoopbackNetwork = 0x7F000000;  // 127.0.0.0/8

bool IsLoopback(uint32_t address)
{
    return (address & 0xFF000000u) == kLoopbackNetwork;
}

// The prefix length of a mask whose ones run from the top; none otherwise.
bool PrefixLengthOf(uint32_t mask, unsigned& length)
{
    for (length = 1; length <= 32; ++length) {
        if (MaskFromPrefixLength(length) == mask)
            return true;
    }
    return false;
}

// The first address of a connected adapter that the predicate takes, with
// its adapter; nulls when none.
template <class Predicate>
std::pair<const AdapterSnapshot*, const Ipv4WithMask*> FindAddress(
    const NetworkObservation& observation, Predicate takes)
{
    for (const AdapterSnapshot& adapter : observation.adapters) {
        if (!adapter.connected)
            continue;
        for (const Ipv4WithMask& address : adapter.addresses) {
            if (takes(address))
                return {&adapter, &address};
        }
    }
    return {nullptr, nullptr};
}

}  // namespace

LocationTexts CurrentNetworkTexts(const NetworkObservation& observation)
{
    auto [adapter, address] = FindAddress(observation, [&](const Ipv4WithMask& a) {
        return observation.gateway != 0 && (a.address & a.mask) == (observation.gateway & a.mask);
    });
    if (!adapter) {
        std::tie(adapter, address) =
            FindAddress(observation, [](const Ipv4WithMask& a) { return !IsLoopback(a.address); });
    }
    LocationTexts texts;
    if (adapter) {
        unsigned length = 0;
        if (PrefixLengthOf(address->mask, length))
            texts.subnet = FormatSubnet({address->address & address->mask, length});
        texts.dnsSuffix = adapter->dnsSuffix;
        texts.adapter = adapter->guid;
    }
    if (observation.gatewayHardwareAddress)
        texts.gateway = FormatHardwareAddress(*observation.gatewayHardwareAddress);
    texts.wifi = observation.wifi;
    return texts;
}

LocationInputProblem CheckLocationTexts(const LocationTexts& texts, LocationMode mode)
{
    namespace Value = ConfigurationValue;
    const std::pair<const char*, const std::string*> fields[] = {
        {Value::kLocationGateway, &texts.gateway},     {Value::kLocationSubnet, &texts.subnet},
        {Value::kLocationDnsSuffix, &texts.dnsSuffix}, {Value::kLocationAdapter, &texts.adapter},
        {Value::kLocationWifi, &texts.wifi},
    };
    bool anyCondition = false;
    for (const auto& [name, text] : fields) {
        std::string reason = LocationTextProblem(name, *text);
        if (!reason.empty())
            return {LocationInputProblem::Kind::BadText, name, *text, std::move(reason)};
        // As ReadLocation takes them: a Wi-Fi name whole, the others trimmed.
        anyCondition =
            anyCondition || !(name == Value::kLocationWifi ? *text : Trim(*text)).empty();
    }
    if (mode != LocationMode::Off && !anyCondition)
        return {LocationInputProblem::Kind::NoCondition, nullptr, {}, {}};
    return {};
}

}  // namespace flipset
