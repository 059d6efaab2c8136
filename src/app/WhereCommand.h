// "/where": what the machine shows now of the network it is on, and which
// configuration's location holds there. Portable, over a NetworkObserver;
// it only reads.
#pragma once

#include "app/CommandVerbs.h"
#include "app/OutputSink.h"
#include "network/NetworkObserver.h"
#include "store/Registry.h"

#include <string>
#include <vector>

namespace flipset {

// The lines that describe an observation: each connected adapter with its
// GUID and name, each IPv4 address with its subnet, its DNS suffix; the
// default gateway and its hardware address; the Wi-Fi network.
std::vector<std::string> DescribeObservation(const NetworkObservation& observation);

// "/where" under the configuration root that the stored "UserSettings"
// selects: the observation's lines, a warning for each location that
// never holds because a stored value is no condition (naming the value and
// what it holds), and the match. Done when one configuration's location
// holds with the most conditions (the one detection would enter);
// NoSuchConfiguration when none holds, or several tie.
ExitCode RunWhereCommand(CRegistry registry, NetworkObserver& observer, OutputSink& output);

}  // namespace flipset
