// The Files phase against the real file system: the hosts and lmhosts files
// of the prefix's system directory, and the all-or-nothing replacement.

#include "engine/SystemFiles.h"
#include "base/Win32Handles.h"
#include "engine/Win32FileSystem.h"

#include "support/ConfigurationSeed.h"
#include "support/FakeRunHost.h"
#include "support/MemoryRegistryBackend.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace flipset {
namespace {

using namespace testfiles;

const std::string kConfigurationKey = kAllConfigurationsKey + "\\3";
constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;

std::string SystemEtcFolder()
{
    char system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system, length) + "\\Drivers\\Etc";
}

// Holds a file open as another program might, without letting it be deleted
// or replaced, until destroyed.
class OpenWithoutDeleteSharing {
public:
    explicit OpenWithoutDeleteSharing(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    bool IsOpen() const { return handle_.IsValid(); }

private:
    FileHandle handle_;
};

// The configuration lives in memory; the files are the prefix's own, saved
// first and put back afterwards.
class SystemFilesWine : public ::testing::Test {
protected:
    SystemFilesWine()
    {
        registry.WriteString(kConfigurationKey, "Name", "Office", kRoot);
        host.selectedText = "Office";
    }

    void StoreList(const char* name, const StringList& strings)
    {
        StorePackedList(registry, kConfigurationKey, name, strings, kRoot);
    }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeRunHost host;
    RunContext ctx{registry, host};
    Win32FileSystem fileSystem;
    const std::string etc = SystemEtcFolder();
    SavedFile savedHosts{etc + "\\hosts"};
    SavedFile savedLmhosts{etc + "\\lmhosts"};
};

TEST_F(SystemFilesWine, TheFilesLieInDriversEtcOfTheSystemDirectory)
{
    EXPECT_EQ(fileSystem.SystemDirectory() + "\\Drivers\\Etc", etc);
    EXPECT_EQ(SystemFilePath(fileSystem, kHostsFileName), etc + "\\hosts");
    EXPECT_EQ(SystemFilePath(fileSystem, kLmhostsFileName), etc + "\\lmhosts");
}

TEST_F(SystemFilesWine, HostsAndLmhostsAreWrittenByteForByte)
{
    ASSERT_TRUE(savedHosts.Existed()) << "the prefix has a hosts file of its own";
    StoreList("Hostfile", {"127.0.0.1 localhost\r\n::1 localhost\r\n  "});
    StoreList("LMHostfile", {"a", "b"});
    std::set<std::string> expectedEntries = FolderEntries(etc);
    expectedEntries.insert("lmhosts");

    WriteSystemFile(ctx, fileSystem, SystemFilePath(fileSystem, kHostsFileName), "Hostfile");
    WriteSystemFile(ctx, fileSystem, SystemFilePath(fileSystem, kLmhostsFileName), "LMHostfile");

    EXPECT_EQ(ReadWhole(etc + "\\hosts"), "127.0.0.1 localhost\r\n::1 localhost\n");
    EXPECT_EQ(ReadWhole(etc + "\\lmhosts"), "a\nb\n");
    EXPECT_EQ(FolderEntries(etc), expectedEntries) << "no temporary file stays behind";
    EXPECT_TRUE(host.journal.empty());
}

TEST_F(SystemFilesWine, AHostsFileThatCantBeReplacedStaysWholeAndTheRunIsNotTold)
{
    const std::string hosts = etc + "\\hosts";
    ASSERT_TRUE(WriteWhole(hosts, "10.0.0.1 old-entry\r\n10.0.0.2 another\r\n"));
    StoreList("Hostfile", {"new"});
    const std::set<std::string> entries = FolderEntries(etc);
    {
        OpenWithoutDeleteSharing holder(hosts);
        ASSERT_TRUE(holder.IsOpen());
        WriteSystemFile(ctx, fileSystem, hosts, "Hostfile");
    }
    EXPECT_EQ(ReadWhole(hosts), "10.0.0.1 old-entry\r\n10.0.0.2 another\r\n");
    EXPECT_EQ(FolderEntries(etc), entries);
    EXPECT_TRUE(host.journal.empty());
}

TEST(Win32FileSystem, ReplacesTheWholeContentOrCreatesTheFile)
{
    ScratchFolder folder("flipset file system");
    Win32FileSystem fileSystem;
    const std::string existing = folder / "existing";
    ASSERT_TRUE(WriteWhole(existing, "an old content that is longer than the new one"));

    EXPECT_TRUE(fileSystem.ReplaceFileContent(existing, "new"));
    EXPECT_TRUE(fileSystem.ReplaceFileContent(folder / "missing", std::string("a\0b\n", 4)));
    EXPECT_TRUE(fileSystem.ReplaceFileContent(folder / "empty", ""));

    EXPECT_EQ(ReadWhole(existing), "new");
    EXPECT_EQ(ReadWhole(folder / "missing"), std::string("a\0b\n", 4));
    EXPECT_TRUE(Exists(folder / "empty"));
    EXPECT_EQ(ReadWhole(folder / "empty"), "");
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::set<std::string>{"empty", "existing", "missing"}));
}

TEST(Win32FileSystem, ReadsWholeFilesAtAnySizeAndTellsAMissingOne)
{
    ScratchFolder folder("flipset file reads");
    Win32FileSystem fileSystem;
    std::string large(3 * 1024 * 1024 + 7, 'x');
    large[5] = '\0';
    ASSERT_TRUE(WriteWhole(folder / "large", large));
    ASSERT_TRUE(WriteWhole(folder / "empty", ""));

    std::string bytes;
    EXPECT_EQ(fileSystem.ReadFileContent(folder / "large", bytes), FileRead::Read);
    EXPECT_EQ(bytes, large);
    EXPECT_EQ(fileSystem.ReadFileContent(folder / "empty", bytes), FileRead::Read);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(fileSystem.ReadFileContent(folder / "missing", bytes), FileRead::Missing);
    EXPECT_EQ(fileSystem.ReadFileContent(folder / "no folder\\hosts", bytes), FileRead::Missing);
    EXPECT_EQ(fileSystem.ReadFileContent(folder.Path(), bytes), FileRead::Failed)
        << "a folder is not a file";

    EXPECT_TRUE(fileSystem.RemoveFile(folder / "large"));
    EXPECT_FALSE(Exists(folder / "large"));
    EXPECT_TRUE(fileSystem.RemoveFile(folder / "missing"));
    EXPECT_FALSE(fileSystem.RemoveFile(folder.Path())) << "a folder is not removed";
}

TEST(Win32FileSystem, AFailedReplaceLeavesTheOldFileWholeAndNoTemporaryFile)
{
    ScratchFolder folder("flipset file system");
    Win32FileSystem fileSystem;
    const std::string target = folder / "hosts";
    const std::string old = "old line 1\r\nold line 2\r\n";
    ASSERT_TRUE(WriteWhole(target, old));
    CreateDirectoryA((folder / "a folder").c_str(), nullptr);
    const std::set<std::string> entries = {"a folder", "hosts"};

    {
        OpenWithoutDeleteSharing holder(target);
        ASSERT_TRUE(holder.IsOpen());
        EXPECT_FALSE(fileSystem.ReplaceFileContent(target, "new"));
    }
    EXPECT_EQ(ReadWhole(target), old);
    EXPECT_EQ(FolderEntries(folder.Path()), entries);

    // A folder in the file's place is not replaced either.
    EXPECT_FALSE(fileSystem.ReplaceFileContent(folder / "a folder", "new"));
    EXPECT_EQ(FolderEntries(folder.Path()), entries);

    // Nor is anything created in a folder that does not exist.
    EXPECT_FALSE(fileSystem.ReplaceFileContent(folder / "missing\\hosts", "new"));
    EXPECT_EQ(FolderEntries(folder.Path()), entries);
}

}  // namespace
}  // namespace flipset
