// The release packages as an administrator and a user meet them: the MSI
// installed, upgraded and removed silently with msiexec, and the portable
// zip unpacked into a folder with a space in its name. The packages are made
// beside this program (make-test-packages.sh); the prefix is the package
// tests' own.

#include "resource.h"
#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"
#include "wine/FlipsetProcess.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "wine/ui/UiDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the package: they are what
// Windows and other programs see.
const std::string kUpgradeCode = "{99623A65-DB9A-4139-AB6A-E0854AB5EBE8}";
const std::string kShortcutName = "Quillon Configuration Flipset.lnk";
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kOwnAppIdKey = "AppID\\{24F24F96-8B70-4270-92F5-2D3339E77252}";
const std::string kExecutableAppIdKey = "AppID\\Flipset.EXE";
constexpr DWORD kNoExitCode = 0xFFFFFFFF;

std::string PackagePath(const std::string& version, const char* kind)
{
    return testfiles::OwnFolder() + "\\packages\\Flipset-" + version + "-x64." + kind;
}

// Runs a command line and returns its exit code, or kNoExitCode when it
// did not start or end within two minutes.
DWORD RunToExit(std::string commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return kNoExitCode;
    DWORD code = kNoExitCode;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

DWORD Msiexec(const std::string& arguments)
{
    return RunToExit("msiexec.exe " + arguments);
}

// The product codes of every installed Flipset package: what Programs and
// Features lists.
std::vector<std::string> InstalledProducts()
{
    std::vector<std::string> products;
    char code[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsA(kUpgradeCode.c_str(), 0, i, code) == ERROR_SUCCESS;
         ++i)
        products.push_back(code);
    return products;
}

std::string KnownFolder(int csidl)
{
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return path;
}

std::string InstallFolder()
{
    return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Flipset";
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The Start menu shortcut: a per-machine package puts it among every user's
// programs; Wine's installer puts it among the installing user's.
std::string ShortcutPath()
{
    for (const int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        const std::string path = KnownFolder(csidl) + "\\" + kShortcutName;
        if (Exists(path))
            return path;
    }
    return {};
}

std::string ShortcutTarget(const std::string& shortcut)
{
    std::string target;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        const std::wstring wide(shortcut.begin(), shortcut.end());
        char path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

bool SameFile(std::string a, std::string b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

class Package : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        RemoveEveryInstalledFlipset();
        ClearProgramData(registry);
    }
    void TearDown() override
    {
        RemoveEveryInstalledFlipset();
        ClearProgramData(registry);
        CoUninitialize();
    }

    static void RemoveEveryInstalledFlipset()
    {
        for (const std::string& product : InstalledProducts())
            Msiexec("/x " + product + " /qn");
    }

    void StoreConfiguration(int number, const std::string& name)
    {
        registry.WriteString(kSettingsKey + "\\Configurations\\" + std::to_string(number), "Name",
                             name, kMachine);
    }
    std::string StoredConfigurationName(int number)
    {
        return registry.ReadString(kSettingsKey + "\\Configurations\\" + std::to_string(number),
                                   "Name", "(missing)", kMachine);
    }

    // Starts the program as a user who has answered the first-run question,
    // and reports whether its main window opened after the splash; closes it.
    void ExpectMainWindowOpens(const std::string& program)
    {
        registry.WriteDword(kSettingsKey, "Version", FLIPSET_VERSION_NUMBER, kMachine);
        FlipsetProcess started(ProgramPath{program}, "");
        ASSERT_TRUE(started.Started()) << program;
        ui::UiScript script(30000);  // the splash, and Wine starting up on a busy machine
        script.Then([&](ui::Ui& ui) {
            HWND window = ui.WaitForWindow(kTitle, "#32770");
            ui.Click(window, IDC_MAIN_CLOSE);
            ui.WaitUntilGone(window);
        });
        EXPECT_TRUE(script.Drive(started.Id())) << program;
        EXPECT_TRUE(started.WaitForExit(30000)) << program;
    }

    // What flipset.exe /list writes, through a file; empty when it fails.
    std::string ListedBy(const std::string& program)
    {
        const std::string output = testfiles::OwnFolder() + "\\listed.txt";
        const FlipsetRun listed = RunFlipsetToEnd(" /list", output, ProgramPath{program}, 30000);
        EXPECT_EQ(listed.exitCode, 0u)
            << program << " /list" << (listed.started ? "" : ": not started");
        return listed.output;
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(Package, ASilentInstallPutsTheProgramItsShortcutEntryAndRegistrationInPlace)
{
    ASSERT_EQ(Msiexec("/i \"" + PackagePath(FLIPSET_VERSION_DOTTED, "msi") + "\" /qn"), 0u);

    const std::string program = InstallFolder() + "\\flipset.exe";
    for (const char* file : {"flipset.exe", "README.txt", "LICENSE.txt"})
        EXPECT_TRUE(Exists(InstallFolder() + "\\" + file)) << file;
    const std::string shortcut = ShortcutPath();
    ASSERT_FALSE(shortcut.empty()) << "no Start menu shortcut";
    EXPECT_TRUE(SameFile(ShortcutTarget(shortcut), program)) << ShortcutTarget(shortcut);

    const std::vector<std::string> products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    const std::string entry = kUninstallKey + products[0];
    EXPECT_EQ(registry.ReadString(entry, "DisplayName", "", kMachine), kTitle);
    EXPECT_EQ(registry.ReadString(entry, "DisplayVersion", "", kMachine), FLIPSET_VERSION_DOTTED);
    EXPECT_EQ(registry.ReadString(entry, "Publisher", "", kMachine), "Quillon");
    EXPECT_TRUE(SameFile(registry.ReadString(entry, "DisplayIcon", "", kMachine), program + ",0"));
    const std::string location = registry.ReadString(entry, "InstallLocation", "", kMachine);
    EXPECT_TRUE(SameFile(location, InstallFolder() + "\\")) << location;

    EXPECT_EQ(registry.ReadString(kOwnAppIdKey, "", "", kClasses), "Flipset");
    EXPECT_EQ(registry.ReadString(kExecutableAppIdKey, "AppID", "", kClasses),
              "{24F24F96-8B70-4270-92F5-2D3339E77252}");

    ExpectMainWindowOpens(program);
    StoreConfiguration(1, "Office");
    EXPECT_NE(ListedBy(program).find("Office"), std::string::npos);
}

TEST_F(Package, AnUpgradeReplacesTheOlderPackageAndKeepsTheConfigurations)
{
    ASSERT_EQ(Msiexec("/i \"" + PackagePath(FLIPSET_OLDER_VERSION, "msi") + "\" /qn"), 0u);
    ASSERT_EQ(InstalledProducts().size(), 1u);
    StoreConfiguration(1, "Office");
    StoreConfiguration(2, "Home");

    ASSERT_EQ(Msiexec("/i \"" + PackagePath(FLIPSET_VERSION_DOTTED, "msi") + "\" /qn"), 0u);

    const std::vector<std::string> products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u) << "one entry in Programs and Features";
    EXPECT_EQ(registry.ReadString(kUninstallKey + products[0], "DisplayVersion", "", kMachine),
              FLIPSET_VERSION_DOTTED);
    EXPECT_TRUE(Exists(InstallFolder() + "\\flipset.exe"));
    EXPECT_EQ(StoredConfigurationName(1), "Office");
    EXPECT_EQ(StoredConfigurationName(2), "Home");
}

TEST_F(Package, ASilentUninstallRemovesTheProgramAndKeepsTheConfigurations)
{
    const std::string package = PackagePath(FLIPSET_VERSION_DOTTED, "msi");
    ASSERT_EQ(Msiexec("/i \"" + package + "\" /qn"), 0u);
    const std::vector<std::string> products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    StoreConfiguration(1, "Office");

    ASSERT_EQ(Msiexec("/x \"" + package + "\" /qn"), 0u);

    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_FALSE(Exists(InstallFolder())) << "the folder is gone with its files";
    EXPECT_EQ(ShortcutPath(), "");
    EXPECT_EQ(registry.ReadString(kUninstallKey + products[0], "DisplayName", "gone", kMachine),
              "gone");
    EXPECT_EQ(registry.ReadString(kOwnAppIdKey, "", "gone", kClasses), "gone");
    EXPECT_EQ(registry.ReadString(kExecutableAppIdKey, "AppID", "gone", kClasses), "gone");
    EXPECT_EQ(StoredConfigurationName(1), "Office");
}

TEST_F(Package, CONFIGFILEImportsAConfigurationFileAfterTheInstallation)
{
    const std::string package = PackagePath(FLIPSET_VERSION_DOTTED, "msi");
    const std::string file = testfiles::OwnFolder() + "\\Office configuration.json";
    ASSERT_EQ(Msiexec("/i \"" + package + "\" /qn"), 0u);
    StoreConfiguration(1, "Office");
    ASSERT_EQ(RunToExit("\"" + InstallFolder() + "\\flipset.exe\" /export \"" + file + "\" Office"),
              0u);
    ASSERT_EQ(Msiexec("/x \"" + package + "\" /qn"), 0u);
    ClearProgramData(registry);

    ASSERT_EQ(Msiexec("/i \"" + package + "\" /qn CONFIGFILE=\"" + file + "\""), 0u);

    EXPECT_EQ(StoredConfigurationName(1), "Office");
    DeleteFileA(file.c_str());

    // The import stored the shared choice: the first start shows the
    // configuration without asking, so no user's answer hides it.
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "UserSettings", 99, kMachine), 0u);
    FlipsetProcess started(ProgramPath{InstallFolder() + "\\flipset.exe"}, "");
    ASSERT_TRUE(started.Started());
    std::vector<std::string> listed;
    bool questionShown = true;
    ui::UiScript script(30000);  // the splash, and Wine starting up on a busy machine
    script.Then([&](ui::Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        questionShown = ui.IsMessageBox(window);
        listed = ui.ListItems(window, IDC_MAIN_CONFIGURATIONS);
        ui.Click(window, IDC_MAIN_CLOSE);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(script.Drive(started.Id()));
    EXPECT_TRUE(started.WaitForExit(30000));
    EXPECT_FALSE(questionShown) << "no first-run question";
    EXPECT_EQ(listed, std::vector<std::string>{"Office"});
}

// The installing user's tray at logon: the Run value of the tray's "Start
// with Windows", only when asked for, and removed with the product.
TEST_F(Package, TRAYATLOGONStartsTheTrayAtLogonAndTheUninstallRemovesIt)
{
    const std::string package = PackagePath(FLIPSET_VERSION_DOTTED, "msi");
    const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    registry.DeleteValue(runKey, "Flipset", kUser);
    ASSERT_EQ(Msiexec("/i \"" + package + "\" /qn"), 0u);
    EXPECT_EQ(registry.ReadString(runKey, "Flipset", "none", kUser), "none") << "not asked for";
    ASSERT_EQ(Msiexec("/x \"" + package + "\" /qn"), 0u);

    ASSERT_EQ(Msiexec("/i \"" + package + "\" /qn TRAYATLOGON=1"), 0u);
    EXPECT_TRUE(SameFile(registry.ReadString(runKey, "Flipset", "", kUser),
                         "\"" + InstallFolder() + "\\flipset.exe\" /tray"))
        << registry.ReadString(runKey, "Flipset", "", kUser);
    ASSERT_EQ(Msiexec("/x \"" + package + "\" /qn"), 0u);
    EXPECT_EQ(registry.ReadString(runKey, "Flipset", "gone", kUser), "gone");
}

TEST_F(Package, ThePortableProgramRunsFromAFolderWithASpaceInItsName)
{
    const std::string folder = testfiles::OwnFolder() + "\\packages\\Portable Flipset";
    for (const char* file : {"flipset.exe", "README.txt", "LICENSE.txt"})
        EXPECT_TRUE(Exists(folder + "\\" + file)) << file;

    ExpectMainWindowOpens(folder + "\\flipset.exe");
    StoreConfiguration(1, "Office");
    EXPECT_NE(ListedBy(folder + "\\flipset.exe").find("Office"), std::string::npos);
}

}  // namespace
}  // namespace flipset
