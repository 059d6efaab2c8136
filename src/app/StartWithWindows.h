// "Start with Windows" of the tray's menu: the current user's Run value
// that starts the tray at logon, as the installer's TRAYATLOGON=1 writes it
// too. Portable, over the registry.
#pragma once

#include "store/Registry.h"

#include <string>

namespace flipset {

// HKEY_CURRENT_USER\<kStartWithWindowsKey>, value kStartWithWindowsValue.
inline constexpr const char* kStartWithWindowsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kStartWithWindowsValue = "Flipset";

// "\"PATH\" /tray": the program path quoted, as the system's start splits
// a path with spaces.
std::string StartWithWindowsCommand(const std::string& programPath);

// True when the value exists, whatever program it names: the menu shows
// what logon will do, and choosing the entry again removes it.
bool StartsWithWindows(CRegistry registry);

// Writes the value for this program, or removes it; false when the
// registry refused.
bool SetStartWithWindows(CRegistry registry, bool start, const std::string& programPath);

}  // namespace flipset
