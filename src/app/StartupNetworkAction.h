// The network action chosen for start-up ("startupoption"): enable or
// disable every network card before any window shows.
#pragma once

#include "app/Elevation.h"
#include "base/Text.h"
#include "engine/RunHost.h"
#include "engine/SystemInfo.h"
#include "network/AdapterControl.h"
#include "store/Registry.h"

namespace flipset {

// The command-line switch that suppresses the action.
constexpr const char* kNoNicChangeSwitch = "/NONICCHANGE";

// Does the action unless the platform is of major version 6 or the command
// line (its tokens) carries kNoNicChangeSwitch. Returns when every card has
// been handled: true, or false when an action was due but the process lacks
// the administrator rights it needs, and it touched no card.
bool ApplyStartupNetworkAction(CRegistry registry, DeviceInstaller& devices, MessageSink& messages,
                               const SystemInfo& system, const Elevation& elevation,
                               const StringList& commandLineTokens);

}  // namespace flipset
