// The message that refuses a value the program could not read back: it says
// how long the value is and how long it may be, so the user can shorten it.
#pragma once

#include "ui/LoadText.h"
#include "ui/ShowMessage.h"
#include "resource.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace flipset {

// whatId: the text that names the value (IDS_WHAT_TEXT, IDS_WHAT_WALLPAPER_PATH, ...).
inline void ShowTooLongMessage(HWND owner, UINT whatId, size_t length, size_t longest)
{
    const std::string text = FormatText(
        IDS_TOO_LONG, {LoadText(whatId), std::to_string(length), std::to_string(longest)});
    ShowMessage(owner, text, MB_OK | MB_ICONSTOP);
}

}  // namespace flipset
