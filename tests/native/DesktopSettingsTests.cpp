#include "engine/DesktopSettings.h"

#include "support/FakeRunHost.h"
#include "support/RecordingRegistryBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: this is stored data.
const std::string kConfigurationKey = "Software\\Quillon\\Flipset\\Configurations\\3";
const std::string kDesktopKey = "Control Panel\\Desktop";
const std::string kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;  // "UserSettings" 0
constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

// Records what the phase hands to the platform in the journal it shares with
// the registry, so the order of both can be checked together.
class FakeDesktopPlatform : public DesktopPlatform {
public:
    explicit FakeDesktopPlatform(std::vector<std::string>& journal) : journal_(journal) {}

    MixerResult volumeResult = MixerResult::Done;

    void SetWallpaper(const std::string& path) override
    {
        journal_.push_back("platform wallpaper: " + path);
    }
    void RefreshDesktop() override { journal_.push_back("platform refresh"); }
    MixerResult SetMasterVolume(uint32_t volume) override
    {
        journal_.push_back("platform volume: " + std::to_string(volume));
        return volumeResult;
    }
    MixerResult GetMasterVolume(uint32_t& volume) override
    {
        volume = 0;
        return volumeResult;
    }

private:
    std::vector<std::string>& journal_;
};

class DesktopSettingsTest : public ::testing::Test {
protected:
    DesktopSettingsTest()
    {
        registry.WriteString(kConfigurationKey, "Name", "Office", kRoot);
        host.selectedText = "Office";
        host.onMessageBox = [this](const std::string& text) { journal.push_back("box: " + text); };
        journal.clear();
    }

    // Runs the phase with a fresh journal.
    void Apply()
    {
        journal.clear();
        ApplyDesktopSettings(ctx, platform);
    }

    std::string DesktopValue(const char* name) const
    {
        return registry.ReadString(kDesktopKey, name, "<none>", kUser);
    }
    // The journal lines that begin with the prefix, without it.
    std::vector<std::string> Lines(const std::string& prefix) const
    {
        std::vector<std::string> lines;
        for (const std::string& line : journal) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                lines.push_back(line.substr(prefix.size()));
        }
        return lines;
    }
    std::string Device() const
    {
        return registry.ReadString(kWindowsKey, "Device", "<none>", kUser);
    }

    std::vector<std::string> journal;
    RecordingRegistryBackend backend{journal};
    CRegistry registry{backend};
    FakeRunHost host;
    RunContext ctx{registry, host};
    FakeDesktopPlatform platform{journal};
};

TEST_F(DesktopSettingsTest, AConfigurationWithoutDesktopValuesTilesNoWallpaperAtHalfVolume)
{
    for (const char* name : {"Wallpaper", "OriginalWallpaper", "ConvertedWallpaper",
                             "ConvertedWallpaper Last WriteTime"})
        registry.WriteString(kDesktopKey, name, "C:\\old.bmp", kUser);
    registry.WriteString(kWindowsKey, "Device", "Old printer,winspool,Ne00:", kUser);

    Apply();

    const std::vector<std::string> expected = {
        "delete HKCU\\Control Panel\\Desktop\\Wallpaper",
        "delete HKCU\\Control Panel\\Desktop\\OriginalWallpaper",
        "delete HKCU\\Control Panel\\Desktop\\ConvertedWallpaper",
        "delete HKCU\\Control Panel\\Desktop\\ConvertedWallpaper Last WriteTime",
        "set HKCU\\Control Panel\\Desktop\\WallpaperStyle = 0",
        "set HKCU\\Control Panel\\Desktop\\TileWallpaper = 1",
        "platform wallpaper: ",
        "set HKCU\\Control Panel\\Desktop\\Wallpaper = ",
        "platform refresh",
        "platform volume: 32767",
    };
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(DesktopValue("OriginalWallpaper"), "<none>");
    EXPECT_EQ(DesktopValue("ConvertedWallpaper Last WriteTime"), "<none>");
    EXPECT_EQ(Device(), "Old printer,winspool,Ne00:");
}

TEST_F(DesktopSettingsTest, AFullConfigurationIsAppliedInOrderEndingWithThePrinter)
{
    registry.WriteDword(kConfigurationKey, "WallpaperPosition", 2, kRoot);
    registry.WriteString(kConfigurationKey, "Wallpaper", "C:\\Pictures\\sea.bmp", kRoot);
    registry.WriteDword(kConfigurationKey, "Volume", 40000, kRoot);
    registry.WriteString(kConfigurationKey, "DefPrinter", "Laser,winspool,Ne01:", kRoot);

    Apply();

    const std::vector<std::string> expected = {
        "delete HKCU\\Control Panel\\Desktop\\Wallpaper",
        "delete HKCU\\Control Panel\\Desktop\\OriginalWallpaper",
        "delete HKCU\\Control Panel\\Desktop\\ConvertedWallpaper",
        "delete HKCU\\Control Panel\\Desktop\\ConvertedWallpaper Last WriteTime",
        "set HKCU\\Control Panel\\Desktop\\WallpaperStyle = 0",
        "set HKCU\\Control Panel\\Desktop\\TileWallpaper = 0",
        "platform wallpaper: C:\\Pictures\\sea.bmp",
        "set HKCU\\Control Panel\\Desktop\\Wallpaper = C:\\Pictures\\sea.bmp",
        "platform refresh",
        "platform volume: 40000",
        "set HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Device = "
        "Laser,winspool,Ne01:",
    };
    EXPECT_EQ(journal, expected);
    EXPECT_TRUE(host.journal.empty());
}

TEST_F(DesktopSettingsTest, PositionSetsStyleAndTileOrLeavesThemAlone)
{
    struct Case {
        uint32_t position;
        const char* style;
        const char* tile;
    };
    const Case cases[] = {
        {0, "0", "1"},  // tile
        {1, "3", "0"},  // grow
        {2, "0", "0"},  // center
        {3, "old style", "old tile"},
        {5, "old style", "old tile"},
        {0xFFFFFFFF, "old style", "old tile"},
    };
    for (const Case& c : cases) {
        registry.WriteString(kDesktopKey, "WallpaperStyle", "old style", kUser);
        registry.WriteString(kDesktopKey, "TileWallpaper", "old tile", kUser);
        registry.WriteDword(kConfigurationKey, "WallpaperPosition", c.position, kRoot);

        Apply();

        EXPECT_EQ(DesktopValue("WallpaperStyle"), c.style) << c.position;
        EXPECT_EQ(DesktopValue("TileWallpaper"), c.tile) << c.position;
    }
}

TEST_F(DesktopSettingsTest, VolumeIsPassedOnUnchanged)
{
    for (uint32_t volume : {0u, 1u, 65535u, 65536u, 0xFFFFFFFFu}) {
        registry.WriteDword(kConfigurationKey, "Volume", volume, kRoot);
        Apply();
        EXPECT_EQ(Lines("platform volume: "), std::vector<std::string>{std::to_string(volume)});
    }
}

TEST_F(DesktopSettingsTest, AMixerFailureIsShownOnceAndThePrinterStillFollows)
{
    struct Case {
        MixerResult result;
        const char* text;
    };
    const Case cases[] = {
        {MixerResult::OpenFailed, "mixerOpen() failed"},
        {MixerResult::GetLineInfoFailed, "mixerGetLineInfo() failed"},
        {MixerResult::GetLineControlsFailed, "mixerGetLineControls() failed"},
        {MixerResult::SetControlDetailsFailed, "mixerSetControlDetails() failed"},
    };
    registry.WriteString(kConfigurationKey, "DefPrinter", "Laser,winspool,Ne01:", kRoot);
    for (const Case& c : cases) {
        host.journal.clear();
        platform.volumeResult = c.result;

        Apply();

        // An OK box without an icon, then the printer.
        EXPECT_EQ(host.Lines("message: "), std::vector<std::string>{c.text});
        EXPECT_TRUE(host.Lines("error: ").empty());
        const std::vector<std::string> tail(journal.end() - 3, journal.end());
        const std::vector<std::string> expected = {
            "platform volume: 32767", std::string("box: ") + c.text,
            "set HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows\\Device = "
            "Laser,winspool,Ne01:"};
        EXPECT_EQ(tail, expected);
    }
}

TEST_F(DesktopSettingsTest, PrinterIsWrittenAsStoredUnlessEmpty)
{
    struct Case {
        const char* what;
        const char* stored;  // null: no "DefPrinter" value
        const char* device;
    };
    const Case cases[] = {
        {"a single space, not trimmed", " ", " "},
        {"surrounding spaces kept", " Laser,winspool,Ne01: ", " Laser,winspool,Ne01: "},
        {"empty: untouched", "", "previous"},
        {"no value: untouched", nullptr, "previous"},
    };
    for (const Case& c : cases) {
        registry.WriteString(kWindowsKey, "Device", "previous", kUser);
        registry.DeleteValue(kConfigurationKey, "DefPrinter", kRoot);
        if (c.stored != nullptr)
            registry.WriteString(kConfigurationKey, "DefPrinter", c.stored, kRoot);

        Apply();

        EXPECT_EQ(Device(), c.device) << c.what;
    }
}

}  // namespace
}  // namespace flipset
