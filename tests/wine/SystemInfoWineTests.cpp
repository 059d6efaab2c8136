// The platform's version as the program sees it, with Wine told to report
// each version in turn to a probe program that carries the program's own
// manifest.

#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace flipset {
namespace {

const std::string kProbe = "flipset_version_probe.exe";
const std::string kAppDefaults = "Software\\Wine\\AppDefaults\\" + kProbe;

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Runs the probe with the arguments and returns its exit code, or -1 when it
// did not run.
int RunProbe(const std::string& arguments)
{
    std::string commandLine = "\"" + ProgramFolder() + kProbe + "\"" + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

class SystemInfo : public ::testing::Test {
protected:
    void TearDown() override { registry.DeleteKeyTree(kAppDefaults, RegistryRoot::CurrentUser); }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(SystemInfo, NetworkFeaturesAreOffOnlyOnMajorVersionSix)
{
    struct Case {
        const char* wineVersion;
        int majorVersion;
        bool networkFeatures;
    };
    // win10 reports 10 through the manifest's compatibility section; a
    // program without one is told 6.2 there.
    const Case cases[] = {{"win2k", 5, true}, {"winxp", 5, true},  {"winxp64", 5, true},
                          {"vista", 6, false}, {"win7", 6, false}, {"win8", 6, false},
                          {"win10", 10, true}};
    for (const Case& c : cases) {
        registry.WriteString(kAppDefaults, "Version", c.wineVersion, RegistryRoot::CurrentUser);
        EXPECT_EQ(RunProbe(" /major"), c.majorVersion) << c.wineVersion;
        EXPECT_EQ(RunProbe(""), c.networkFeatures ? 0 : 1) << c.wineVersion;
    }
}

}  // namespace
}  // namespace flipset
