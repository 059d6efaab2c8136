// Undo, preview and capture as a script meets them: flipset.exe started with
// its output on a file, on the real registry, system files and service
// control manager, and the machine checked after each step.

#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/ConfigurationSeed.h"
#include "wine/FlipsetProcess.h"
#include "wine/OwnTestService.h"
#include "wine/SavedValue.h"
#include "wine/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace flipset {
namespace {

const std::string kDesktopKey = "Control Panel\\Desktop";
const std::string kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const std::string kBrowserKey = "Software\\Microsoft\\Internet Explorer\\Main";

class StateVerbs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData(registry);
        registry.WriteString(kAppDefaults, "Version", "winxp", kUser);
        for (const char* wait :
             {"BeforeRunTimout", "AfterRunTimout", "ServiceStartTimout", "ServiceStopTimout"})
            registry.WriteDword(kSettingsKey, wait, 0, kMachine);
        for (const char* name :
             {"Wallpaper", "OriginalWallpaper", "ConvertedWallpaper",
              "ConvertedWallpaper Last WriteTime", "WallpaperStyle", "TileWallpaper"})
            saved.push_back(std::make_unique<SavedValue>(registry, kDesktopKey, name));
        saved.push_back(std::make_unique<SavedValue>(registry, kWindowsKey, "Device"));
        saved.push_back(std::make_unique<SavedValue>(registry, kBrowserKey, "Start Page"));
    }
    void TearDown() override
    {
        ClearProgramData(registry);
        registry.DeleteKeyTree(kAppDefaults, kUser);
        DeleteFileA(outputPath.c_str());
    }

    FlipsetRun Flipset(const std::string& arguments)
    {
        const FlipsetRun run = RunFlipsetToEnd(arguments, outputPath);
        EXPECT_TRUE(run.started) << arguments;
        EXPECT_TRUE(run.ended) << arguments;
        return run;
    }

    std::string Text(const std::string& key, const char* name)
    {
        return registry.ReadString(key, name, "(none)", kUser);
    }

    std::string DesktopState()
    {
        std::string state;
        for (const char* name :
             {"Wallpaper", "OriginalWallpaper", "WallpaperStyle", "TileWallpaper"})
            state += std::string(name) + "=" + Text(kDesktopKey, name) + ";";
        return state + "printer=" + Text(kWindowsKey, "Device") +
               ";start=" + Text(kBrowserKey, "Start Page");
    }

    static DWORD AwaitState(const OwnTestService& service, DWORD wanted)
    {
        for (int i = 0; i < 100 && service.State() != wanted; ++i)
            Sleep(50);
        return service.State();
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    std::vector<std::unique_ptr<SavedValue>> saved;
    const std::string hostsPath = testfiles::SystemFilesFolder() + "hosts";
    const std::string lmhostsPath = testfiles::SystemFilesFolder() + "lmhosts";
    testfiles::SavedFile hosts{hostsPath};
    testfiles::SavedFile lmhosts{lmhostsPath};
    const std::string outputPath = testfiles::OwnFolder() + "\\flipset_state_output.txt";
};

// A hosts file beyond what a configuration value can hold, ending without a
// line feed.
std::string LargeHostsFile()
{
    std::string text = "127.0.0.1 localhost\r\n";
    for (int i = 0; text.size() < 40000; ++i)
        text += "10.2." + std::to_string(i / 200) + "." + std::to_string(i % 200) + " before" +
                std::to_string(i) + "\r\n";
    return text + "# end";
}

TEST_F(StateVerbs, UndoPutsTheMachineBackAndASecondUndoReturnsToTheRun)
{
    OwnTestService service("FlipsetUndo");
    ASSERT_NE(service.State(), 0u);
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ScHandle handle(OpenServiceA(manager.Get(), service.Name().c_str(), SERVICE_ALL_ACCESS));
        ASSERT_TRUE(StartServiceA(handle.Get(), 0, nullptr));
    }
    ASSERT_EQ(AwaitState(service, SERVICE_RUNNING), static_cast<DWORD>(SERVICE_RUNNING));

    const std::string before = LargeHostsFile();
    ASSERT_TRUE(testfiles::WriteWhole(hostsPath, before));
    DeleteFileA(lmhostsPath.c_str());
    registry.WriteString(kDesktopKey, "Wallpaper", "C:\\before.bmp", kUser);
    registry.WriteString(kDesktopKey, "WallpaperStyle", "2", kUser);
    registry.WriteString(kDesktopKey, "TileWallpaper", "0", kUser);
    registry.WriteString(kBrowserKey, "Start Page", "http://before.example/", kUser);
    registry.WriteString(kWindowsKey, "Device", "Before,winspool,Ne00:", kUser);
    const std::string desktopBefore = DesktopState();

    ConfigurationStore(registry).SetConfigurationName(1, "Home office", kMachine);
    const std::string key = ConfigurationKeyPath(1);
    StorePackedList(registry, key, "Hostfile", {"10.9.8.7 runhost"}, kMachine);
    StorePackedList(registry, key, "LMHostfile", {"10.9.8.8 RUNLM #PRE"}, kMachine);
    registry.WriteString(key, "Wallpaper", "C:\\after.bmp", kMachine);
    registry.WriteDword(key, "WallpaperPosition", 2, kMachine);
    registry.WriteString(key, "DefPrinter", "After,winspool,Ne01:", kMachine);
    registry.WriteString(key, "IEHOME", "http://after.example/", kMachine);
    StoreCodedList(registry, key, "ServicesStop", {service.Name()}, kMachine);

    const FlipsetRun run = Flipset(" /apply \"Home office\" /only files,desktop,services /quiet");
    ASSERT_EQ(AwaitState(service, SERVICE_STOPPED), static_cast<DWORD>(SERVICE_STOPPED))
        << run.output;
    ASSERT_EQ(testfiles::ReadWhole(hostsPath), "10.9.8.7 runhost\n");
    const std::string desktopAfterRun = DesktopState();
    ASSERT_NE(desktopAfterRun, desktopBefore);

    const FlipsetRun undo = Flipset(" /undo /quiet");
    EXPECT_EQ(undo.exitCode, 0u) << undo.output;
    EXPECT_NE(undo.output.find("undid the run of \"Home office\""), std::string::npos)
        << undo.output;
    EXPECT_NE(undo.output.find("Programs that the run started are not undone."), std::string::npos);
    EXPECT_EQ(testfiles::ReadWhole(hostsPath), before) << "byte for byte, beyond the read limit";
    EXPECT_FALSE(testfiles::Exists(lmhostsPath));
    EXPECT_EQ(DesktopState(), desktopBefore);
    EXPECT_EQ(AwaitState(service, SERVICE_RUNNING), static_cast<DWORD>(SERVICE_RUNNING));

    const FlipsetRun again = Flipset(" /undo /quiet");
    EXPECT_EQ(again.exitCode, 0u) << again.output;
    EXPECT_EQ(testfiles::ReadWhole(hostsPath), "10.9.8.7 runhost\n");
    EXPECT_EQ(testfiles::ReadWhole(lmhostsPath), "10.9.8.8 RUNLM #PRE\n");
    EXPECT_EQ(DesktopState(), desktopAfterRun);
    EXPECT_EQ(AwaitState(service, SERVICE_STOPPED), static_cast<DWORD>(SERVICE_STOPPED));
}

TEST_F(StateVerbs, UndoWithoutASnapshotExitsWithOne)
{
    const FlipsetRun undo = Flipset(" /undo /quiet");
    EXPECT_EQ(undo.exitCode, 1u);
    EXPECT_NE(undo.output.find("error: nothing to undo"), std::string::npos) << undo.output;
}

TEST_F(StateVerbs, PreviewListsEveryAreaAndChangesNothing)
{
    OwnTestService service("FlipsetPreview");
    ASSERT_TRUE(testfiles::WriteWhole(hostsPath, "127.0.0.1 localhost\n10.0.0.1 old\n"));
    DeleteFileA(lmhostsPath.c_str());
    registry.WriteString(kDesktopKey, "Wallpaper", "C:\\before.bmp", kUser);
    registry.DeleteValue(kBrowserKey, "Start Page", kUser);
    const std::string desktopBefore = DesktopState();

    ConfigurationStore(registry).SetConfigurationName(1, "Home office", kMachine);
    const std::string key = ConfigurationKeyPath(1);
    StorePackedList(registry, key, "Hostfile", {"127.0.0.1 localhost\n10.0.0.5 new"}, kMachine);
    StorePackedList(registry, key, "LMHostfile", {"10.9.8.8 RUNLM"}, kMachine);
    registry.WriteString(key, "Wallpaper", "C:\\after.bmp", kMachine);
    registry.WriteString(key, "IEHOME", "http://after.example/", kMachine);
    StoreCodedList(registry, key, "ServicesStart", {service.Name()}, kMachine);
    StoreCodedList(registry, key, "Run", {"C:\\tools\\vpn.exe"}, kMachine);

    const FlipsetRun preview = Flipset(" /preview \"home office\"");
    EXPECT_EQ(preview.exitCode, 0u) << preview.output;
    for (const char* line :
         {"hosts: 2 lines -> 2 lines\r\n", "  - 10.0.0.1 old\r\n", "  + 10.0.0.5 new\r\n",
          "lmhosts: missing -> 1 line\r\n",
          "Desktop Wallpaper: \"C:\\before.bmp\" -> \"C:\\after.bmp\"\r\n",
          "Start page: (none) -> \"http://after.example/\"\r\n", "No change: network cards\r\n",
          "Cannot be undone: starts C:\\tools\\vpn.exe\r\n"})
        EXPECT_NE(preview.output.find(line), std::string::npos) << line << preview.output;
    EXPECT_NE(preview.output.find("Service " + service.Name() + ": stopped -> running"),
              std::string::npos)
        << preview.output;

    EXPECT_EQ(testfiles::ReadWhole(hostsPath), "127.0.0.1 localhost\n10.0.0.1 old\n");
    EXPECT_FALSE(testfiles::Exists(lmhostsPath));
    EXPECT_EQ(DesktopState(), desktopBefore);
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));
    RegistryValue snapshot;
    EXPECT_FALSE(registry.ReadValue(kSettingsKey, "LastRunSnapshot", snapshot, kMachine));
}

TEST_F(StateVerbs, ApplyingACapturedConfigurationChangesNothing)
{
    ASSERT_TRUE(testfiles::WriteWhole(hostsPath, "127.0.0.1 localhost\n10.0.0.1 here\n"));
    ASSERT_TRUE(testfiles::WriteWhole(lmhostsPath, "10.0.0.2 LMHERE #PRE\n"));
    for (const char* name :
         {"OriginalWallpaper", "ConvertedWallpaper", "ConvertedWallpaper Last WriteTime"})
        registry.DeleteValue(kDesktopKey, name, kUser);
    registry.WriteString(kDesktopKey, "Wallpaper", "C:\\here.bmp", kUser);
    registry.WriteString(kDesktopKey, "WallpaperStyle", "0", kUser);
    registry.WriteString(kDesktopKey, "TileWallpaper", "0", kUser);
    registry.WriteString(kBrowserKey, "Start Page", "http://here.example/", kUser);
    const std::string desktopBefore = DesktopState();

    const FlipsetRun capture = Flipset(" /capture \"Right now\"");
    ASSERT_EQ(capture.exitCode, 0u) << capture.output;
    EXPECT_EQ(Flipset(" /capture \"right NOW\"").exitCode, 5u);

    Flipset(" /apply \"Right now\" /only files,desktop /quiet");
    EXPECT_EQ(testfiles::ReadWhole(hostsPath), "127.0.0.1 localhost\n10.0.0.1 here\n");
    EXPECT_EQ(testfiles::ReadWhole(lmhostsPath), "10.0.0.2 LMHERE #PRE\n");
    EXPECT_EQ(DesktopState(), desktopBefore);
}

}  // namespace
}  // namespace flipset
