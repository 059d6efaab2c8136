// The desktop and the mixer of the Desktop phase on Windows.
#pragma once

#include "engine/DesktopSettings.h"

namespace flipset {

class Win32Desktop : public DesktopPlatform {
public:
    // SystemParametersInfoA(SPI_SETDESKWALLPAPER) with SPIF_SENDWININICHANGE
    // alone: the change is broadcast but not stored by the platform.
    void SetWallpaper(const std::string& path) override;

    // Posts an F5 press and release to the list view of the shell's desktop
    // window ("Progman" / "SHELLDLL_DefView" / "SysListView32").
    void RefreshDesktop() override;

    // Sets the volume control of the speakers' destination line on mixer
    // device 0, one value for all channels.
    MixerResult SetMasterVolume(uint32_t volume) override;

    // Reads that control's value (of the first channel).
    MixerResult GetMasterVolume(uint32_t& volume) override;
};

}  // namespace flipset
