// The rules of the Location dialog: the conditions as the user types them,
// what "Use the current network" fills in, and what OK refuses.
#pragma once

#include "network/Location.h"

#include <string>

namespace flipset {

// The five condition texts as the dialog's boxes hold them; an empty text
// is no condition.
struct LocationTexts {
    std::string gateway;
    std::string subnet;
    std::string dnsSuffix;
    std::string adapter;
    std::string wifi;
};

// The conditions of the network the machine is on: the adapter that leads
// to the default gateway (the connected one with an address in the
// gateway's subnet; without a gateway, the first connected one with an
// address outside the loopback range), its subnet, DNS suffix and GUID, the
// gateway's hardware address when it is known, and the Wi-Fi network. A
// part that cannot be told is empty.
LocationTexts CurrentNetworkTexts(const NetworkObservation& observation);

// What OK refuses: the first text that breaks its rule (in the dialog's
// order), or a location switched on without any condition, which would
// never hold.
struct LocationInputProblem {
    enum class Kind { None, BadText, NoCondition };
    Kind kind = Kind::None;
    const char* valueName = nullptr;  // BadText: the value whose text it is
    std::string text;                 // BadText: the text as typed
    std::string reason;               // BadText: what it must be
};
LocationInputProblem CheckLocationTexts(const LocationTexts& texts, LocationMode mode);

}  // namespace flipset
