#include "engine/DesktopSettings.h"

namespace flipset {

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kDefaultPrinterValue = "Device";

// Cleared before a new wallpaper is set, so that no value of the old one
// (such as a converted copy) survives it.
constexpr const char* kOldWallpaperValues[] = {"Wallpaper", "OriginalWallpaper",
                                               "ConvertedWallpaper",
                                               "ConvertedWallpaper Last WriteTime"};
constexpr const char* kWallpaperValue = "Wallpaper";
constexpr const char* kWallpaperStyleValue = "WallpaperStyle";
constexpr const char* kTileWallpaperValue = "TileWallpaper";

struct WallpaperLayout {
    uint32_t position;
    const char* style;
    const char* tile;
};

// Style "3" for grow is what the desktop expects; positions not listed here
// leave both values as they are.
constexpr WallpaperLayout kWallpaperLayouts[] = {
    {kWallpaperTile, "0", "1"},
    {kWallpaperGrow, "3", "0"},
    {kWallpaperCenter, "0", "0"},
};

void WriteDesktopValue(const RunContext& ctx, const char* name, const std::string& text)
{
    (void)ctx.Registry().WriteString(kDesktopKey, name, text, RegistryRoot::CurrentUser);
}

void WriteWallpaperLayout(const RunContext& ctx, uint32_t position)
{
    for (const WallpaperLayout& layout : kWallpaperLayouts) {
        if (layout.position == position) {
            WriteDesktopValue(ctx, kWallpaperStyleValue, layout.style);
            WriteDesktopValue(ctx, kTileWallpaperValue, layout.tile);
            return;
        }
    }
}

}  // namespace

std::string MixerFailureText(MixerResult result)
{
    switch (result) {
    case MixerResult::Done: return std::string();
    case MixerResult::OpenFailed: return "mixerOpen() failed";
    case MixerResult::GetLineInfoFailed: return "mixerGetLineInfo() failed";
    case MixerResult::GetLineControlsFailed: return "mixerGetLineControls() failed";
    case MixerResult::SetControlDetailsFailed: return "mixerSetControlDetails() failed";
    }
    return std::string();
}

void ApplyDesktopSettings(RunContext& ctx, DesktopPlatform& platform)
{
    for (const char* name : kOldWallpaperValues)
        (void)ctx.Registry().DeleteValue(kDesktopKey, name, RegistryRoot::CurrentUser);

    WriteWallpaperLayout(ctx, ctx.ReadDword(ConfigurationValue::kWallpaperPosition,
                                            kDefaultWallpaperPosition));

    // The platform shows the wallpaper without storing it; it is stored here,
    // even when the platform rejected it.
    const std::string wallpaper = ctx.ReadString(ConfigurationValue::kWallpaper, "");
    platform.SetWallpaper(wallpaper);
    WriteDesktopValue(ctx, kWallpaperValue, wallpaper);

    platform.RefreshDesktop();

    const MixerResult volume =
        platform.SetMasterVolume(ctx.ReadDword(ConfigurationValue::kVolume, kDefaultVolume));
    if (volume != MixerResult::Done)
        ctx.Host().ShowMessage(MixerFailureText(volume));

    // The printer text is written as stored: not trimmed, only an empty one
    // is skipped.
    const std::string printer = ctx.ReadString(ConfigurationValue::kDefaultPrinter, "");
    if (!printer.empty())
        (void)ctx.Registry().WriteString(kWindowsKey, kDefaultPrinterValue, printer,
                                         RegistryRoot::CurrentUser);
}

}  // namespace flipset
