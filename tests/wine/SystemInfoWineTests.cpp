// The platform's version as the program sees it, with Wine told to report
// each version in turn to a probe program.

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

// Runs the probe and returns its exit code, or -1 when it did not run.
int RunProbe()
{
    std::string commandLine = "\"" + ProgramFolder() + kProbe + "\"";
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
        int expected;
    };
    // win10 reports 6.2 to a program without a compatibility manifest.
    const Case cases[] = {{"win2k", 0}, {"winxp", 0}, {"winxp64", 0}, {"vista", 1},
                          {"win7", 1},  {"win8", 1},  {"win10", 1}};
    for (const Case& c : cases) {
        registry.WriteString(kAppDefaults, "Version", c.wineVersion, RegistryRoot::CurrentUser);
        EXPECT_EQ(RunProbe(), c.expected) << c.wineVersion;
    }
}

}  // namespace
}  // namespace flipset
