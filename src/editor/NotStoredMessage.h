// The message of an editor whose write the registry refused (for example a
// configuration shared by all users, written without administrator rights):
// it names what was not stored and says that the user's input is kept. The
// editor then stays open on that input, as it does for a value too long to
// store, so an OK never loses an edit silently.
#pragma once

#include "ui/LoadText.h"
#include "ui/ShowMessage.h"
#include "resource.h"

#include <windows.h>

namespace flipset {

// whatId: the text that names what was not stored (IDS_WHAT_PROXY_SETTINGS,
// IDS_WHAT_START_PAGE, ...).
inline void ShowNotStoredMessage(HWND owner, UINT whatId)
{
    ShowMessage(owner, FormatText(IDS_NOT_STORED, {LoadText(whatId)}), MB_OK | MB_ICONSTOP);
}

}  // namespace flipset
