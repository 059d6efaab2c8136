#include "engine/Win32Desktop.h"

#include "base/UniqueHandle.h"

#include <windows.h>
#include <mmsystem.h>

namespace flipset {

namespace {

struct MixerHandleTraits {
    using Handle = HMIXER;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return mixerClose(handle) == MMSYSERR_NOERROR; }
};

// An open mixer device, closed when destroyed.
class MixerDevice {
public:
    bool Open(UINT deviceId)
    {
        return mixerOpen(handle_.Receive(), deviceId, 0, 0, MIXER_OBJECTF_MIXER) ==
               MMSYSERR_NOERROR;
    }

    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(handle_.Get()); }

private:
    UniqueHandle<MixerHandleTraits> handle_;
};

// The key data of a key release: only the transition state (bit 31) set.
constexpr LPARAM kKeyReleaseData = static_cast<LPARAM>(0x80000000u);

}  // namespace

void Win32Desktop::SetWallpaper(const std::string& path)
{
    std::string text = path;  // the call takes a writable pointer
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &text[0], SPIF_SENDWININICHANGE);
}

void Win32Desktop::RefreshDesktop()
{
    HWND programManager = FindWindowA("Progman", "Program Manager");
    if (programManager == nullptr)
        return;
    HWND shellView = FindWindowExA(programManager, nullptr, "SHELLDLL_DefView", "");
    if (shellView == nullptr)
        return;
    HWND icons = FindWindowExA(shellView, nullptr, "SysListView32", "");
    if (icons == nullptr)
        return;
    PostMessageA(icons, WM_KEYDOWN, VK_F5, 0);
    PostMessageA(icons, WM_KEYUP, VK_F5, kKeyReleaseData);
}

namespace {

// Opens the first mixer and finds the speakers' volume control.
MixerResult FindVolumeControl(MixerDevice& mixer, MIXERCONTROLA& control)
{
    if (!mixer.Open(0))
        return MixerResult::OpenFailed;

    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (mixerGetLineInfoA(mixer.Object(), &line,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return MixerResult::GetLineInfoFailed;

    control = {};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(mixer.Object(), &controls,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return MixerResult::GetLineControlsFailed;
    return MixerResult::Done;
}

// The details of one channel, so that every channel is set or read as one.
MIXERCONTROLDETAILS OneChannelDetails(const MIXERCONTROLA& control,
                                      MIXERCONTROLDETAILS_UNSIGNED& level)
{
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof level;
    details.paDetails = &level;
    return details;
}

}  // namespace

MixerResult Win32Desktop::SetMasterVolume(uint32_t volume)
{
    MixerDevice mixer;
    MIXERCONTROLA control;
    const MixerResult found = FindVolumeControl(mixer, control);
    if (found != MixerResult::Done)
        return found;

    // Not scaled or clamped to the control's range.
    MIXERCONTROLDETAILS_UNSIGNED level = {};
    level.dwValue = volume;
    MIXERCONTROLDETAILS details = OneChannelDetails(control, level);
    if (mixerSetControlDetails(mixer.Object(), &details,
                               MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return MixerResult::SetControlDetailsFailed;
    return MixerResult::Done;
}

MixerResult Win32Desktop::GetMasterVolume(uint32_t& volume)
{
    MixerDevice mixer;
    MIXERCONTROLA control;
    const MixerResult found = FindVolumeControl(mixer, control);
    if (found != MixerResult::Done)
        return found;

    MIXERCONTROLDETAILS_UNSIGNED level = {};
    MIXERCONTROLDETAILS details = OneChannelDetails(control, level);
    if (mixerGetControlDetailsA(mixer.Object(), &details,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return MixerResult::GetControlDetailsFailed;
    volume = level.dwValue;
    return MixerResult::Done;
}

}  // namespace flipset
