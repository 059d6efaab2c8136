// The message that refuses a value the program could not read back: it says
// how long the value is and how long it may be, so the user can shorten it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace flipset {

// what: "The text", "The wallpaper path", ...
inline void ShowTooLongMessage(HWND owner, const std::string& what, size_t length,
                               size_t longest)
{
    const std::string text = what + " is " + std::to_string(length) +
                             " bytes long; it may be at most " + std::to_string(longest) +
                             " bytes.";
    MessageBoxA(owner, text.c_str(), "Quillon Configuration Flipset", MB_OK | MB_ICONSTOP);
}

}  // namespace flipset
