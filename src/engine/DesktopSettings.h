// The Desktop phase: the wallpaper and its layout, a desktop refresh, the
// speakers' master volume and the current user's default printer.
#pragma once

#include "engine/RunContext.h"

#include <cstdint>
#include <string>

namespace flipset {

// How setting the master volume ended: done, or the mixer step that failed.
enum class MixerResult {
    Done,
    OpenFailed,
    GetLineInfoFailed,
    GetLineControlsFailed,
    SetControlDetailsFailed,
    GetControlDetailsFailed,
};

// The text shown for a failed mixer step; empty for Done.
std::string MixerFailureText(MixerResult result);

// What the Desktop phase needs of the platform's desktop and mixer.
class DesktopPlatform {
public:
    DesktopPlatform() = default;
    DesktopPlatform(const DesktopPlatform&) = delete;
    DesktopPlatform& operator=(const DesktopPlatform&) = delete;
    virtual ~DesktopPlatform() = default;

    // Shows the wallpaper at once and tells the other programs, without
    // storing the setting; an empty path removes the wallpaper. Whether the
    // platform accepted it is not reported.
    virtual void SetWallpaper(const std::string& path) = 0;

    // Makes the desktop's icon view redraw itself, as a press of F5 would;
    // does nothing when there is no such view.
    virtual void RefreshDesktop() = 0;

    // Sets the speakers' master volume, the level passed on unchanged.
    virtual MixerResult SetMasterVolume(uint32_t volume) = 0;

    // The speakers' master volume as the mixer holds it now.
    virtual MixerResult GetMasterVolume(uint32_t& volume) = 0;
};

// The current user's desktop values that the phase writes.
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kWallpaperValue = "Wallpaper";
constexpr const char* kWallpaperStyleValue = "WallpaperStyle";
constexpr const char* kTileWallpaperValue = "TileWallpaper";
// Cleared before a new wallpaper is set, so that no value of the old one
// (such as a converted copy) survives it; the wallpaper itself is first.
constexpr const char* kOldWallpaperValues[] = {
    "Wallpaper", "OriginalWallpaper", "ConvertedWallpaper", "ConvertedWallpaper Last WriteTime"};
// The current user's default printer entry.
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kDefaultPrinterValue = "Device";

// The "WallpaperStyle" and "TileWallpaper" texts of a stored position;
// false for a position that leaves both values as they are.
bool WallpaperLayoutTexts(uint32_t position, std::string& style, std::string& tile);

// The Desktop phase. Reads the configuration's wallpaper, position, volume
// and printer and applies them in this order: the old wallpaper values
// deleted, the layout, the wallpaper, the refresh, the volume (a mixer
// failure is shown and the phase goes on), the printer.
void ApplyDesktopSettings(RunContext& ctx, DesktopPlatform& platform);

}  // namespace flipset
