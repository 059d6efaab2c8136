// The Proxy phase's word to the running programs on Windows.
#pragma once

#include "engine/ProxySettings.h"

namespace flipset {

class Win32InternetSettings : public InternetSettingsNotifier {
public:
    // InternetSetOptionA with no handle: INTERNET_OPTION_SETTINGS_CHANGED,
    // then INTERNET_OPTION_REFRESH. Each is tried whatever the other did.
    void SettingsChanged() override;
};

}  // namespace flipset
