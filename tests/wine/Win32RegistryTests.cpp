// Checks of the Win32 registry backend that only the real platform can make.

#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace flipset {
namespace {

const std::string kScratch = "Software\\Flipset Win32 Registry Tests";

class Win32Registry : public ::testing::Test {
protected:
    void TearDown() override
    {
        registry.DeleteKeyTree(kScratch, RegistryRoot::CurrentUser);
        registry.DeleteKeyTree(kScratch, RegistryRoot::ClassesRoot);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(Win32Registry, EveryOperationClosesTheKeysItOpens)
{
    auto exerciseAll = [this] {
        const RegistryRoot root = RegistryRoot::CurrentUser;
        ByteArray bytes;
        StringList names;
        registry.WriteString(kScratch + "\\a", "s", "text", root);
        registry.ReadString(kScratch + "\\a", "s", "", root);
        registry.ReadString(kScratch + "\\missing", "s", "", root);
        registry.WriteDword(kScratch + "\\a", "d", 1, root);
        registry.ReadDword(kScratch + "\\a", "d", 0, root);
        registry.ReadDword(kScratch + "\\a", "s", 0, root);  // too large: fails
        registry.WriteBinary(kScratch + "\\a", "b", {1, 2, 3}, root);
        registry.ReadBinary(kScratch + "\\a", "b", bytes, root);
        registry.WriteMultiString(kScratch + "\\a", "m", {"x"}, root);
        registry.WriteMultiString(kScratch + "\\a", "m", {}, root);
        registry.DeleteValue(kScratch + "\\a", "s", root);
        names = registry.EnumSubKeys(kScratch, root);
        names = registry.EnumValueNames(kScratch + "\\a", root);
        registry.OpenKeyForWrite(kScratch + "\\b", root);
        registry.DeleteKeyTree(kScratch, root);
    };
    exerciseAll();  // let the platform settle its own one-time handles
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 200; ++i)
        exerciseAll();
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}

TEST_F(Win32Registry, ClassesRootIsTheRealOne)
{
    registry.WriteString(kScratch, "v", "classes", RegistryRoot::ClassesRoot);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, kScratch.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    char text[32] = {};
    DWORD size = sizeof(text);
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(text, "classes");
}

}  // namespace
}  // namespace flipset
