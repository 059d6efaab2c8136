// The Desktop phase against the real desktop, mixer and registry of the
// prefix. Every machine setting a test changes is saved first and put back.

#include "engine/DesktopSettings.h"
#include "engine/Win32Desktop.h"
#include "store/Win32RegistryBackend.h"

#include "support/FakeRunHost.h"
#include "support/MemoryRegistryBackend.h"

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
        const std::string program = "Software\\Quillon";
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
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &handle, nullptr) != ERROR_SUCCESS)
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
        for (const char* name : {"Wallpaper", "OriginalWallpaper", "ConvertedWallpaper",
                                 "ConvertedWallpaper Last WriteTime", "WallpaperStyle",
                                 "TileWallpaper"})
            values_.push_back(std::make_unique<SavedUserValue>(kDesktopKey, name));
        values_.push_back(std::make_unique<SavedUserValue>(kWindowsKey, "Device"));
    }

private:
    std::vector<std::unique_ptr<SavedUserValue>> values_;
};

bool PrefixHasNoMixer()
{
    return mixerGetNumDevs() == 0;
}

TEST(Win32Desktop, WithoutAMixerDeviceTheVolumeFailsAtOpen)
{
    if (!PrefixHasNoMixer())
        GTEST_SKIP() << "this prefix has a mixer device";
    EXPECT_EQ(Win32Desktop().SetMasterVolume(32767), MixerResult::OpenFailed);
    uint32_t volume = 0;
    EXPECT_EQ(Win32Desktop().GetMasterVolume(volume), MixerResult::OpenFailed);
}

TEST(DesktopWine, ThePhaseWritesTheSettingsAndReportsTheMissingMixerOnce)
{
    SavedDesktopSettings saved;
    ProgramKeysInMemoryBackend backend;
    CRegistry registry(backend);
    const std::string configuration = "Software\\Quillon\\Flipset\\Configurations\\1";
    const RegistryRoot root = RegistryRoot::LocalMachine;
    registry.WriteString(configuration, "Name", "Office", root);
    registry.WriteDword(configuration, "WallpaperPosition", 1, root);
    // The platform rejects a picture that does not exist; it is stored all the same.
    registry.WriteString(configuration, "Wallpaper", "C:\\flipset-missing-picture.bmp", root);
    registry.WriteDword(configuration, "Volume", 65535, root);
    registry.WriteString(configuration, "DefPrinter", "Flipset Test,winspool,Ne00:", root);
    registry.WriteString(kDesktopKey, "OriginalWallpaper", "C:\\old.bmp",
                         RegistryRoot::CurrentUser);
    FakeRunHost host;
    host.selectedText = "Office";
    RunContext ctx(registry, host);
    Win32Desktop desktop;

    ApplyDesktopSettings(ctx, desktop);

    if (PrefixHasNoMixer()) {
        EXPECT_EQ(host.journal, std::vector<std::string>{"message: mixerOpen() failed"});
    }
    const RegistryRoot user = RegistryRoot::CurrentUser;
    EXPECT_EQ(registry.ReadString(kDesktopKey, "WallpaperStyle", "", user), "3");
    EXPECT_EQ(registry.ReadString(kDesktopKey, "TileWallpaper", "", user), "0");
    EXPECT_EQ(registry.ReadString(kDesktopKey, "Wallpaper", "", user),
              "C:\\flipset-missing-picture.bmp");
    EXPECT_EQ(registry.ReadString(kDesktopKey, "OriginalWallpaper", "<none>", user), "<none>");
    EXPECT_EQ(registry.ReadString(kWindowsKey, "Device", "", user), "Flipset Test,winspool,Ne00:");
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
        HWND window = CreateWindowExA(0, className, title, parent ? WS_CHILD : WS_POPUP, 0, 0,
                                      10, 10, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
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
