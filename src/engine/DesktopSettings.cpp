#include "engine/DesktopSettings.h"

namespace flipset {

namespace {

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
    std::string style;
    std::string tile;
    if (!WallpaperLayoutTexts(position, style, tile))
        return;
    WriteDesktopValue(ctx, kWallpaperStyleValue, style);
    WriteDesktopValue(ctx, kTileWallpaperValue, tile);
}

}  // namespace

bool WallpaperLayoutTexts(uint32_t position, std::string& style, std::string& tile)
{
    for (const WallpaperLayout& layout : kWallpaperLayouts) {
        if (layout.position == position) {
            style = layout.style;
            tile = layout.tile;
            return true;
        }
    }
    return false;
}

std::string MixerFailureText(MixerResult result)
{
    switch (result) {
    case MixerResult::Done:
        return std::string();
    case MixerResult::OpenFailed:
        return "mixerOpen() failed";
    case MixerResult::GetLineInfoFailed:
        return "mixerGetLineInfo() failed";
    case MixerResult::GetLineControlsFailed:
        return "mixerGetLineControls() failed";
    case MixerResult::SetControlDetailsFailed:
        return "mixerSetControlDetails() failed";
    case MixerResult::GetControlDetailsFailed:
        return "mixerGetControlDetails() failed";
    }
    return std::string();
}

void ApplyDesktopSettings(RunContext& ctx, DesktopPlatform& platform)
{
    for (const char* name : kOldWallpaperValues)
        (void)ctx.Registry().DeleteValue(kDesktopKey, name, RegistryRoot::CurrentUser);

    WriteWallpaperLayout(
        ctx, ctx.ReadDword(ConfigurationValue::kWallpaperPosition, kDefaultWallpaperPosition));

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
