// The start-up pieces that only the real platform can check: the version
// resource, the program's own path and the COM start step against the real
// HKEY_CLASSES_ROOT and COM runtime.

#include "app/ComRegistration.h"
#include "app/Win32ComServer.h"
#include "app/Win32ProductVersion.h"
#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"
#include "wine/TestConstants.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>

#include <string>
#include <thread>

namespace flipset {
namespace {

// ---- Product version and program path ----

bool HasOwnVersionResource()
{
    return FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO),
                         MAKEINTRESOURCEA(16)) != nullptr;  // RT_VERSION
}

std::string ModulePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(ProductVersionWine, FilesWithoutAVersionResourceAreUnknown)
{
    for (const char* path : {"C:\\windows\\win.ini", "C:\\windows\\no such file.exe", ""})
        EXPECT_EQ(GetProductVersionText(path), "Unknown") << path;
}

TEST(ProductVersionWine, ASystemLibraryHasAProductVersion)
{
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string path = std::string(system) + "\\kernel32.dll";
    const std::string text = GetProductVersionText(path);
    EXPECT_NE(text, "Unknown") << path;
    EXPECT_FALSE(text.empty()) << path;
}

TEST(ProductVersionWine, ExecutablePathIsTheProgramInCapitals)
{
    const std::string path = ExecutablePath();
    std::string expected = ModulePath();
    CharUpperBuffA(&expected[0], static_cast<DWORD>(expected.size()));
    EXPECT_EQ(path, expected);
    EXPECT_EQ(path.substr(path.size() - 4), ".EXE");
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ProductVersionWine, TheProgramsOwnVersionIsTheBuildsVersion)
{
    if (!HasOwnVersionResource())
        GTEST_SKIP() << "no version resource linked into this test program";
    EXPECT_EQ(GetProductVersionText(ExecutablePath()), FLIPSET_VERSION_TEXT);
    EXPECT_EQ(ProgramVersionNumber(), FLIPSET_VERSION_NUMBER);
}

// ---- COM start step ----

// Spelled out here rather than taken from the code: the registration is
// stored data that other programs read.
const std::string kOwnKey = "AppID\\{24F24F96-8B70-4270-92F5-2D3339E77252}";
const std::string kExecutableKey = "AppID\\Flipset.EXE";
const std::string kNeighbourKey = "AppID\\{F1F5E7C0-0000-4000-8000-000000000001}";

// COM is initialised on this thread when a further CoInitialize only counts
// up (S_FALSE). COM's state belongs to the thread, so each case runs on a
// fresh thread of its own (OnFreshThread) and other tests of this program
// cannot disturb it.
bool ComIsInitialised()
{
    const HRESULT result = CoInitialize(nullptr);
    if (SUCCEEDED(result))
        CoUninitialize();
    return result == S_FALSE;
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The key's default value as the platform's own call for it reads it.
std::string DefaultValue(const std::string& path)
{
    char text[256] = {};
    LONG size = sizeof(text);
    if (RegQueryValueA(HKEY_CLASSES_ROOT, path.c_str(), text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

template <typename Body>
void OnFreshThread(Body body)
{
    std::thread thread([&body] {
        body();
        EXPECT_FALSE(ComIsInitialised()) << "the start step left COM initialised";
    });
    thread.join();
}

class ComServerWine : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    void Clean() const
    {
        registry.DeleteKeyTree(kOwnKey, RegistryRoot::ClassesRoot);
        registry.DeleteKeyTree(kExecutableKey, RegistryRoot::ClassesRoot);
        registry.DeleteKeyTree(kNeighbourKey, RegistryRoot::ClassesRoot);
    }
    std::string Text(const std::string& path, const std::string& name) const
    {
        return registry.ReadString(path, name, "<missing>", RegistryRoot::ClassesRoot);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(ComServerWine, RegServerWritesTheApplicationIdAndEndsTheStart)
{
    OnFreshThread([&] {
        for (const char* commandLine : {"x.exe /RegServer", "\"C:\\a b\\x.exe\" -regserver"}) {
            SCOPED_TRACE(commandLine);
            Clean();
            ComServer server;
            EXPECT_FALSE(server.Start(commandLine));
            EXPECT_FALSE(server.IsServing());
            EXPECT_FALSE(ComIsInitialised());

            EXPECT_EQ(DefaultValue(kOwnKey), "Flipset");
            EXPECT_EQ(Text(kExecutableKey, "AppID"), "{24F24F96-8B70-4270-92F5-2D3339E77252}");
        }
    });
}

TEST_F(ComServerWine, UnregServerRemovesBothKeysAndNothingElse)
{
    OnFreshThread([&] {
        registry.WriteString(kNeighbourKey, "", "another program", RegistryRoot::ClassesRoot);
        ASSERT_FALSE(ComServer().Start("x.exe /RegServer"));
        ASSERT_TRUE(KeyExists(kOwnKey));

        ComServer server;
        EXPECT_FALSE(server.Start("x.exe -UNREGSERVER"));
        EXPECT_FALSE(ComIsInitialised());

        EXPECT_FALSE(KeyExists(kOwnKey));
        EXPECT_FALSE(KeyExists(kExecutableKey));
        EXPECT_TRUE(KeyExists("AppID"));
        EXPECT_EQ(DefaultValue(kNeighbourKey), "another program");

        // Again, with nothing registered.
        EXPECT_FALSE(ComServer().Start("x.exe /UnregServer"));
        EXPECT_TRUE(KeyExists("AppID"));
    });
}

TEST_F(ComServerWine, OtherCommandLinesStartNormallyUntilStopped)
{
    OnFreshThread([&] {
        for (const char* commandLine :
             {"x.exe", "x.exe /RegServer extra", "x.exe /RegServer ", "x.exe -Embedding"}) {
            SCOPED_TRACE(commandLine);
            ComServer server;
            EXPECT_TRUE(server.Start(commandLine));
            EXPECT_TRUE(server.IsServing());
            EXPECT_TRUE(ComIsInitialised());
            EXPECT_FALSE(KeyExists(kOwnKey));
            EXPECT_FALSE(KeyExists(kExecutableKey));

            server.Stop();
            EXPECT_FALSE(server.IsServing());
            EXPECT_FALSE(ComIsInitialised());
            server.Stop();
            EXPECT_FALSE(ComIsInitialised());
        }
    });
}

TEST_F(ComServerWine, TheDestructorUninitialisesCom)
{
    OnFreshThread([&] {
        {
            ComServer server;
            ASSERT_TRUE(server.Start("x.exe"));
        }
        EXPECT_FALSE(ComIsInitialised());
    });
}

}  // namespace
}  // namespace flipset
