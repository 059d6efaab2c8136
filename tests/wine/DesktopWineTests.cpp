// The Desktop phase against the real desktop, mixer and registry of the
// prefix. Every machine setting a test changes is saved first and put back.

#include "engine/DesktopSettings.h"
#include "engine/Win32Desktop.h"
#include "state/MachineState.h"
#include "state/StateRestore.h"
#include "store/Win32RegistryBackend.h"

#include "support/FakeDeviceInstaller.h"
#include "support/FakePlatform.h"
#include "support/FakeRunHost.h"
#include "support/FakeServiceManager.h"
#include "support/MemoryRegistryBackend.h"
#include "wine/TestConstants.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <memory>
#include <vector>

namespace flipset {
namespace {

const std::string kDesktopKey = "Control Panel\\Desktop";
const std::string kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// The program's own keys live in memory, so a test's configuration never
// meets the prefix's; every other key is the real registry.
class ProgramKeysInMemoryBackend : public RegistryBackend {
public:
    std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                         long* status) override
    {
        return For(path).OpenKey(root, path, status);
    }
    std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                           const std::string& className, long* status) override
    {
        return For(path).CreateKey(root, path, className, status);
    }
    long DeleteKey(RegistryRoot root, const std::string& path) override
    {
        return For(path).DeleteKey(root, path);
    }

private:
    RegistryBackend& For(const std::string& path)
    {
        const std::string program = kProgramKey;
        return EqualsNoCase(path.substr(0, program.size()), program)
                   ? static_cast<RegistryBackend&>(memory_)
                   : static_cast<RegistryBackend&>(real_);
    }

    MemoryRegistryBackend memory_;
    Win32RegistryBackend real_;
};

// A value of the current user's registry, kept when the object is made and
// put back (or deleted, when there was none) when it is destroyed.
class SavedUserValue {
public:
    SavedUserValue(std::string key, std::string name) : key_(std::move(key)), name_(std::move(name))
    {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        if (RegQueryValueExA(handle, name_.c_str(), nullptr, &type_, nullptr, &size) ==
            ERROR_SUCCESS) {
            data_.resize(size);
            existed_ = RegQueryValueExA(handle, name_.c_str(), nullptr, &type_, data_.data(),
                                        &size) == ERROR_SUCCESS;
            data_.resize(size);
        }
        RegCloseKey(handle);
    }
    SavedUserValue(const SavedUserValue&) = delete;
    SavedUserValue& operator=(const SavedUserValue&) = delete;
    ~SavedUserValue()
    {
        HKEY handle = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &handle, nullptr) != ERROR_SUCCESS)
            return;
        if (existed_)
            RegSetValueExA(handle, name_.c_str(), 0, type_, data_.data(),
                           static_cast<DWORD>(data_.size()));
        else
            RegDeleteValueA(handle, name_.c_str());
        RegCloseKey(handle);
    }

private:
    std::string key_;
    std::string name_;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
    bool existed_ = false;
};

// Every value the Desktop phase may change.
class SavedDesktopSettings {
public:
    SavedDesktopSettings()
    {
        for (const char* name :
             {"Wallpaper", "OriginalWallpaper", "ConvertedWallpaper",
              "ConvertedWallpaper Last WriteTime", "WallpaperStyle", "TileWallpaper"})
            values_.push_back(std::make_unique<SavedUserValue>(kDesktopKey, name));
        values_.push_back(std::make_unique<SavedUserValue>(kWindowsKey, "Device"));
    }

private:
    std::vector<std::unique_ptr<SavedUserValue>> values_;
};

// The master volume as this process's mixer reads it back: the volume is
// kept per process, so only the process that set it sees the new level.
::testing::AssertionResult ReadMasterVolume(uint32_t* volume)
{
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
        return ::testing::AssertionFailure() << "mixerOpen failed";
    const HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(mixer);
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    MIXERCONTROLA control = {};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    MIXERCONTROLDETAILS_UNSIGNED level = {};
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.cChannels = 1;
    details.cbDetails = sizeof level;
    details.paDetails = &level;
    const char* failed = nullptr;
    if (mixerGetLineInfoA(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR) {
        failed = "mixerGetLineInfoA";
    } else {
        controls.dwLineID = line.dwLineID;
        if (mixerGetLineControlsA(object, &controls,
                                  MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
            MMSYSERR_NOERROR) {
            failed = "mixerGetLineControlsA";
        } else {
            details.dwControlID = control.dwControlID;
            if (mixerGetControlDetailsA(object, &details,
                                        MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
                MMSYSERR_NOERROR)
                failed = "mixerGetControlDetailsA";
        }
    }
    mixerClose(mixer);
    if (failed != nullptr)
        return ::testing::AssertionFailure() << failed << " failed";
    *volume = level.dwValue;
    return ::testing::AssertionSuccess();
}

// A configuration with every desktop value, in the program's keys in memory.
class DesktopPhaseWine : public ::testing::Test {
protected:
    void SeedConfiguration(uint32_t volume)
    {
        registry_.WriteString(kConfiguration, "Name", "Office", kRoot);
        registry_.WriteDword(kConfiguration, "WallpaperPosition", 1, kRoot);
        // The platform rejects a picture that does not exist; it is stored all the same.
        registry_.WriteString(kConfiguration, "Wallpaper", "C:\\flipset-missing-picture.bmp",
                              kRoot);
        registry_.WriteDword(kConfiguration, "Volume", volume, kRoot);
        registry_.WriteString(kConfiguration, "DefPrinter", "Flipset Test,winspool,Ne00:", kRoot);
        registry_.WriteString(kDesktopKey, "OriginalWallpaper", "C:\\old.bmp",
                              RegistryRoot::CurrentUser);
        host_.selectedText = "Office";
    }

    void RunPhase()
    {
        RunContext ctx(registry_, host_);
        Win32Desktop desktop;
        ApplyDesktopSettings(ctx, desktop);
    }

    void ExpectTheSettingsWritten()
    {
        const RegistryRoot user = RegistryRoot::CurrentUser;
        EXPECT_EQ(registry_.ReadString(kDesktopKey, "WallpaperStyle", "", user), "3");
        EXPECT_EQ(registry_.ReadString(kDesktopKey, "TileWallpaper", "", user), "0");
        EXPECT_EQ(registry_.ReadString(kDesktopKey, "Wallpaper", "", user),
                  "C:\\flipset-missing-picture.bmp");
        EXPECT_EQ(registry_.ReadString(kDesktopKey, "OriginalWallpaper", "<none>", user), "<none>");
        EXPECT_EQ(registry_.ReadString(kWindowsKey, "Device", "", user),
                  "Flipset Test,winspool,Ne00:");
    }

    const std::string kConfiguration = kAllConfigurationsKey + "\\1";
    static constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;

    SavedDesktopSettings saved_;
    ProgramKeysInMemoryBackend backend_;
    CRegistry registry_{backend_};
    FakeRunHost host_;
};

// These run in a prefix whose sound server works (the tests' fixture starts
// one): without a device they fail rather than skip.
class WithMixerDevice : public DesktopPhaseWine {
protected:
    void SetUp() override
    {
        ASSERT_GT(mixerGetNumDevs(), 0u)
            << "no mixer device: the tests' fixture starts a sound server for the prefix";
    }
};

TEST_F(WithMixerDevice, SetMasterVolumeSetsTheLevelGiven)
{
    for (uint32_t volume : {0u, 1u, 12345u, 32767u, 65534u, 65535u}) {
        ASSERT_EQ(Win32Desktop().SetMasterVolume(volume), MixerResult::Done) << volume;
        uint32_t read = 0;
        ASSERT_TRUE(ReadMasterVolume(&read));
        EXPECT_EQ(read, volume);
    }
}

TEST_F(WithMixerDevice, ThePhaseWritesTheSettingsAndSetsTheVolume)
{
    SeedConfiguration(16384);
    ASSERT_EQ(Win32Desktop().SetMasterVolume(65535), MixerResult::Done);

    RunPhase();

    EXPECT_EQ(host_.journal, std::vector<std::string>{});
    uint32_t volume = 0;
    ASSERT_TRUE(ReadMasterVolume(&volume));
    EXPECT_EQ(volume, 16384u);
    ExpectTheSettingsWritten();
}

// Wine keeps the level per process, so it is read back here, where it was
// set and captured.
TEST_F(WithMixerDevice, TheVolumeIsCapturedAndPutBack)
{
    Win32Desktop desktop;
    ASSERT_EQ(desktop.SetMasterVolume(12000), MixerResult::Done);
    uint32_t read = 0;
    ASSERT_EQ(desktop.GetMasterVolume(read), MixerResult::Done);
    EXPECT_EQ(read, 12000u);

    FakeFiles files;
    FakeServiceManager services;
    std::vector<std::string> journal;
    FakeInternetSettings internet(journal);
    const StatePlatform platform{registry_, files, desktop, services, internet};
    CaptureScope scope;
    scope.desktop = true;
    MachineState state;
    std::string error;
    ASSERT_TRUE(CaptureMachineState(platform, scope, state, error)) << error;
    ASSERT_TRUE(state.desktop.hasVolume);
    EXPECT_EQ(state.desktop.volume, 12000u);

    ASSERT_EQ(desktop.SetMasterVolume(50000), MixerResult::Done);
    FakeDeviceInstaller devices(registry_);
    RestoreMachineState(state, platform, devices, host_, ServiceWaits{});
    EXPECT_EQ(host_.Lines("message: "), std::vector<std::string>{});
    ASSERT_TRUE(ReadMasterVolume(&read));
    EXPECT_EQ(read, 12000u);
}

// These run in a process that cannot reach the sound server (their own
// ctest entry): the mixer has no device.
class WithoutMixerDevice : public DesktopPhaseWine {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mixerGetNumDevs(), 0u)
            << "a mixer device: run these with FLIPSET_WINE_NO_SOUND=1";
    }
};

TEST_F(WithoutMixerDevice, SetMasterVolumeFailsAtOpen)
{
    EXPECT_EQ(Win32Desktop().SetMasterVolume(32767), MixerResult::OpenFailed);
    uint32_t volume = 0;
    EXPECT_EQ(Win32Desktop().GetMasterVolume(volume), MixerResult::OpenFailed);
}

TEST_F(WithoutMixerDevice, ThePhaseReportsTheMissingMixerOnceAndGoesOn)
{
    SeedConfiguration(65535);

    RunPhase();

    EXPECT_EQ(host_.journal, std::vector<std::string>{"message: mixerOpen() failed"});
    ExpectTheSettingsWritten();
}

// The phase stores the wallpaper itself; the platform only shows it.
TEST(Win32Desktop, SettingTheWallpaperDoesNotStoreIt)
{
    SavedDesktopSettings saved;
    Win32RegistryBackend backend;
    CRegistry registry(backend);
    const RegistryRoot user = RegistryRoot::CurrentUser;
    registry.WriteString(kDesktopKey, "Wallpaper", "flipset marker", user);

    Win32Desktop().SetWallpaper("");

    EXPECT_EQ(registry.ReadString(kDesktopKey, "Wallpaper", "", user), "flipset marker");
}

// Top-level and child windows of this thread, destroyed with the object.
class TestWindows {
public:
    TestWindows()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        for (const char* name : {"Progman", "SHELLDLL_DefView", "SysListView32"}) {
            windowClass.lpszClassName = name;
            RegisterClassA(&windowClass);  // fails harmlessly for a class that exists
        }
    }
    TestWindows(const TestWindows&) = delete;
    TestWindows& operator=(const TestWindows&) = delete;
    ~TestWindows()
    {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            DestroyWindow(*it);
    }

    HWND Create(const char* className, const char* title, HWND parent)
    {
        HWND window = CreateWindowExA(0, className, title, parent ? WS_CHILD : WS_POPUP, 0, 0, 10,
                                      10, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window != nullptr)
            windows_.push_back(window);
        return window;
    }

private:
    std::vector<HWND> windows_;
};

TEST(Win32Desktop, RefreshPostsAnF5PressToTheDesktopIconView)
{
    if (FindWindowA("Progman", "Program Manager") != nullptr)
        GTEST_SKIP() << "a real desktop window runs in this prefix";
    Win32Desktop().RefreshDesktop();  // no desktop window: nothing to do

    TestWindows windows;
    HWND programManager = windows.Create("Progman", "Program Manager", nullptr);
    HWND titledView = windows.Create("SHELLDLL_DefView", "titled", programManager);
    HWND shellView = windows.Create("SHELLDLL_DefView", "", programManager);
    HWND icons = windows.Create("SysListView32", "", shellView);
    ASSERT_TRUE(programManager && titledView && shellView && icons);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);

    Win32Desktop().RefreshDesktop();

    ASSERT_TRUE(PeekMessageA(&message, icons, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(VK_F5));
    EXPECT_EQ(message.lParam, 0);
    ASSERT_TRUE(PeekMessageA(&message, icons, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(VK_F5));
    EXPECT_EQ(static_cast<uint64_t>(message.lParam), 0x80000000u);
    EXPECT_FALSE(PeekMessageA(&message, icons, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, titledView, 0, 0, PM_REMOVE));
}

}  // namespace
}  // namespace flipset
