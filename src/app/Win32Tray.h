// "flipset /tray": the resident program with its icon in the notification
// area, over TrayController. One a session: a second start finds the first
// (its mutex, then its window, which it tells), and ends at once.
#pragma once

#include <string>

namespace flipset {

// The window class of the tray's hidden window, which owns the icon.
inline constexpr const char* kTrayWindowClass = "QuillonFlipsetTray";
// The message that the icon's events come back as.
inline constexpr unsigned kTrayIconMessage = 0x8000 + 1;  // WM_APP + 1

// Runs the tray until its Exit; returns the process's exit status, 0.
int RunTray();

}  // namespace flipset
