// What the Windows test programs share about the program under test: its
// title, where it keeps its data, the registry roots and the build's version.
// Spelled out here rather than taken from the code, so that a test notices
// when the program's texts or stored layout change.
#pragma once

#include "FlipsetVersion.h"
#include "store/RegistryBackend.h"

#include <cstdint>
#include <string>

namespace flipset {

// The main window's caption, which every message box of the program shares.
inline const std::string kTitle = "Quillon Configuration Flipset";

// Every key of the program's own lies under this one: the tests delete it
// under both roots to start from a clean machine.
inline const std::string kProgramKey = "Software\\Quillon";
// The program settings, and the key that holds one subkey per configuration.
inline const std::string kSettingsKey = "Software\\Quillon\\Flipset";
inline const std::string kAllConfigurationsKey = "Software\\Quillon\\Flipset\\Configurations";
// Wine's settings for flipset.exe alone (the Windows version it reports).
inline const std::string kAppDefaults = "Software\\Wine\\AppDefaults\\flipset.exe";

inline constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
inline constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
inline constexpr RegistryRoot kClasses = RegistryRoot::ClassesRoot;

// The number this build stores as "Version" once the first-run question has
// been answered.
inline constexpr uint32_t kThisVersion = FLIPSET_VERSION_NUMBER;

}  // namespace flipset
