#include "engine/Win32InternetSettings.h"

#include <windows.h>
#include <wininet.h>

namespace flipset {

void Win32InternetSettings::SettingsChanged()
{
    // The programs that read the settings again take the new proxy; a
    // failure here (Wine has no refresh without a handle) changes nothing
    // that the phase wrote.
    (void)InternetSetOptionA(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    (void)InternetSetOptionA(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

}  // namespace flipset
