#include "engine/SystemFiles.h"

#include "support/ConfigurationSeed.h"
#include "support/FakeRunHost.h"
#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: this is stored data.
const std::string kConfigurationKey = "Software\\Quillon\\Flipset\\Configurations\\3";
const std::string kBrowserMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;  // "UserSettings" 0
const std::string kHostsPath = "C:\\WINDOWS\\system32\\Drivers\\Etc\\hosts";

// Files as a map from path to content; a replacement either succeeds whole
// or changes nothing, as the platform's does.
class FakeFileSystem : public FileSystem {
public:
    std::string systemDirectory = "C:\\WINDOWS\\system32";
    std::map<std::string, std::string> files;
    bool replaceFails = false;
    int replaceCalls = 0;

    std::string SystemDirectory() override { return systemDirectory; }
    bool ReplaceFileContent(const std::string& path, const std::string& bytes) override
    {
        ++replaceCalls;
        if (replaceFails)
            return false;
        files[path] = bytes;
        return true;
    }
    FileRead ReadFileContent(const std::string& path, std::string& bytes) override
    {
        const auto found = files.find(path);
        bytes = found == files.end() ? std::string() : found->second;
        return found == files.end() ? FileRead::Missing : FileRead::Read;
    }
    bool RemoveFile(const std::string& path) override
    {
        files.erase(path);
        return true;
    }
};

class SystemFilesTest : public ::testing::Test {
protected:
    SystemFilesTest()
    {
        registry.WriteString(kConfigurationKey, "Name", "Office", kRoot);
        host.selectedText = "Office";
    }

    void StoreList(const char* name, const StringList& strings)
    {
        StorePackedList(registry, kConfigurationKey, name, strings, kRoot);
    }

    std::string StartPage()
    {
        return registry.ReadString(kBrowserMainKey, "Start Page", "<none>",
                                   RegistryRoot::CurrentUser);
    }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeRunHost host;
    RunContext ctx{registry, host};
    FakeFileSystem fileSystem;
};

TEST(SystemFilePath, IsTheFileInDriversEtcBelowTheSystemDirectory)
{
    FakeFileSystem fileSystem;
    EXPECT_EQ(SystemFilePath(fileSystem, kHostsFileName), kHostsPath);
    EXPECT_EQ(SystemFilePath(fileSystem, kLmhostsFileName),
              "C:\\WINDOWS\\system32\\Drivers\\Etc\\lmhosts");

    // Without a system directory the folder hangs off the current drive's root.
    fileSystem.systemDirectory.clear();
    EXPECT_EQ(SystemFilePath(fileSystem, kHostsFileName), "\\Drivers\\Etc\\hosts");
}

TEST_F(SystemFilesTest, WritesEachStoredStringAndOneLineFeedWithNoOtherConversion)
{
    struct Case {
        const char* what;
        StringList stored;
        std::string content;
    };
    const Case cases[] = {
        // 19 visible characters, then CR, LF and two spaces that the trim drops.
        {"one string, trailing break trimmed",
         {"127.0.0.1 localhost\r\n  "},
         "127.0.0.1 localhost\n"},
        {"two strings", {"a", "b"}, "a\nb\n"},
        {"inner line breaks kept as stored", {"x\r\ny\nz"}, "x\r\ny\nz\n"},
        {"strings trimmed, blank ones dropped", {" a\t", "  ", "b "}, "a\nb\n"},
        {"bytes above 127 kept", {"\xE9t\xE9"}, "\xE9t\xE9\n"},
    };
    for (const Case& c : cases) {
        StoreList("Hostfile", c.stored);
        WriteSystemFile(ctx, fileSystem, kHostsPath, "Hostfile");
        EXPECT_EQ(fileSystem.files[kHostsPath], c.content) << c.what;
    }
}

TEST_F(SystemFilesTest, EachFileTakesTheValueItIsWrittenFrom)
{
    const std::string lmhostsPath = SystemFilePath(fileSystem, kLmhostsFileName);
    StoreList("Hostfile", {"hosts text"});
    StoreList("LMHostfile", {"lmhosts text"});

    WriteSystemFile(ctx, fileSystem, kHostsPath, "Hostfile");
    WriteSystemFile(ctx, fileSystem, lmhostsPath, "LMHostfile");

    EXPECT_EQ(fileSystem.files[kHostsPath], "hosts text\n");
    EXPECT_EQ(fileSystem.files[lmhostsPath], "lmhosts text\n");
}

TEST_F(SystemFilesTest, NothingToWriteLeavesTheFileUntouched)
{
    struct Case {
        const char* what;
        std::function<void()> store;
    };
    const Case cases[] = {
        {"no value", [] {}},
        {"empty value", [this] { registry.WriteBinary(kConfigurationKey, "Hostfile", {}, kRoot); }},
        {"only blank strings",
         [this] {
             StoreList("Hostfile", {" ", "\r\n", "\t"});
         }},
        {"an empty list", [this] { StoreList("Hostfile", {}); }},
        {"value over the read limit",
         [this] { StoreList("Hostfile", {std::string(CRegistry::kBinaryBufferSize, 'x')}); }},
        {"only the other file's value", [this] { StoreList("LMHostfile", {"lmhosts"}); }},
    };
    for (const Case& c : cases) {
        registry.DeleteKeyTree(kConfigurationKey, kRoot);
        registry.WriteString(kConfigurationKey, "Name", "Office", kRoot);
        c.store();
        fileSystem.files[kHostsPath] = "old hosts\r\n";
        fileSystem.replaceCalls = 0;

        WriteSystemFile(ctx, fileSystem, kHostsPath, "Hostfile");

        EXPECT_EQ(fileSystem.replaceCalls, 0) << c.what;
        EXPECT_EQ(fileSystem.files[kHostsPath], "old hosts\r\n") << c.what;
    }
}

TEST_F(SystemFilesTest, AFailedReplaceIsSilentAndKeepsTheOldFile)
{
    StoreList("Hostfile", {"new"});
    fileSystem.files[kHostsPath] = "old";
    fileSystem.replaceFails = true;

    WriteSystemFile(ctx, fileSystem, kHostsPath, "Hostfile");

    EXPECT_EQ(fileSystem.replaceCalls, 1);
    EXPECT_EQ(fileSystem.files[kHostsPath], "old");
    EXPECT_TRUE(host.journal.empty());
}

TEST_F(SystemFilesTest, StartPageIsWrittenTrimmedAndOnlyWhenNotBlank)
{
    struct Case {
        const char* what;
        const char* stored;  // null: no "IEHOME" value
        std::string startPage;
    };
    const Case cases[] = {
        {"plain address", "http://intranet/", "http://intranet/"},
        {"surrounding white space trimmed", " \thttp://intranet/ \r\n", "http://intranet/"},
        {"only spaces: untouched", "   ", "previous"},
        {"empty: untouched", "", "previous"},
        {"no value: untouched", nullptr, "previous"},
    };
    for (const Case& c : cases) {
        registry.WriteString(kBrowserMainKey, "Start Page", "previous", RegistryRoot::CurrentUser);
        registry.DeleteValue(kConfigurationKey, "IEHOME", kRoot);
        if (c.stored != nullptr)
            registry.WriteString(kConfigurationKey, "IEHOME", c.stored, kRoot);

        ApplyStartPage(ctx);

        EXPECT_EQ(StartPage(), c.startPage) << c.what;
    }
    EXPECT_TRUE(host.journal.empty());
}

}  // namespace
}  // namespace flipset
