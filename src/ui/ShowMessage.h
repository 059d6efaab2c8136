// Every message box of the program: under the program's title, so the
// title is loaded in one place.
#pragma once

#include <windows.h>

#include <string>

namespace flipset {

// A modal message box over owner (nullptr: none) with the buttons and icon
// of flags (MB_OK | MB_ICONSTOP, MB_YESNO | MB_ICONQUESTION, ...); returns
// the button pressed (IDOK, IDYES, ...).
int ShowMessage(HWND owner, const std::string& text, UINT flags);

}  // namespace flipset
