// The proxy as a run of flipset.exe sets it on the real registry, and as
// other programs then read it: WinINet (the Internet Settings values) and
// WinHTTP (the connection record alone), each asked by a probe program of
// its own, started after the run. Nothing connects through the proxy.

#include "engine/ConnectionSettings.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "wine/FlipsetProcess.h"
#include "wine/SavedValue.h"
#include "wine/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: the system's own names.
const std::string kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::string kConnections = kInternetSettings + "\\Connections";
const char* const kSettingNames[] = {"ProxyEnable", "ProxyServer", "ProxyOverride",
                                     "AutoConfigURL"};
const char* const kRecordName = "DefaultConnectionSettings";

// The record as another program left it: auto-detection on, a proxy typed
// in but off, and bytes of its own after the script's address.
ConnectionSettings EarlierRecord()
{
    ConnectionSettings record;
    record.counter = 7;
    record.flags = ConnectionFlag::kDirect | ConnectionFlag::kAutoDetect;
    record.proxyServer = "old.example:3128";
    record.proxyBypass = "<local>";
    record.rest = {2, 0, 0, 0, 0xc0, 0xa8, 0, 1, 0, 0, 0, 0, 0x5a, 0xa5, 0, 0};
    return record;
}

class ProxyRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData(registry);
        registry.WriteString(kAppDefaults, "Version", "winxp", kUser);
        for (const char* wait : {"BeforeRunTimout", "AfterRunTimout"})
            registry.WriteDword(kSettingsKey, wait, 0, kMachine);
        for (const char* name : kSettingNames)
            saved.push_back(std::make_unique<SavedValue>(registry, kInternetSettings, name));
        saved.push_back(std::make_unique<SavedValue>(registry, kConnections, kRecordName));

        // The machine before the run: no proxy, a record of another program's.
        registry.WriteDword(kInternetSettings, "ProxyEnable", 0, kUser);
        registry.WriteString(kInternetSettings, "ProxyServer", "old.example:3128", kUser);
        registry.WriteString(kInternetSettings, "ProxyOverride", "<local>", kUser);
        registry.DeleteValue(kInternetSettings, "AutoConfigURL", kUser);
        registry.WriteBinary(kConnections, kRecordName, EncodeConnectionSettings(EarlierRecord()),
                             kUser);

        const ConfigurationStore store(registry);
        store.SetConfigurationName(1, "Office", kMachine);
        store.SetConfigurationName(2, "Home", kMachine);
        const std::string office = ConfigurationKeyPath(1);
        registry.WriteDword(office, "ProxyEnable", 1, kMachine);
        registry.WriteString(office, "ProxyServer", "proxy.office.example:8080", kMachine);
        registry.WriteString(office, "ProxyOverride", "<local>;*.office.example", kMachine);
        registry.WriteString(office, "AutoConfigURL", "", kMachine);
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
        EXPECT_EQ(run.exitCode, 0u) << arguments << ": " << run.output;
        return run;
    }
    // The first line a probe printed, from a process started now.
    std::string Probe(const char* program)
    {
        const FlipsetRun run =
            RunFlipsetToEnd("", outputPath, ProgramPath{testfiles::OwnFolder() + "\\" + program});
        EXPECT_TRUE(run.ended) << program;
        EXPECT_EQ(run.exitCode, 0u) << program << ": " << run.output;
        return run.output.substr(0, run.output.find_first_of("\r\n"));
    }
    std::string WinInet() { return Probe("flipset_wininet_proxy_probe.exe"); }
    std::string WinHttp() { return Probe("flipset_winhttp_proxy_probe.exe"); }

    // The four values and the record, as stored: missing ones as missing.
    std::vector<std::pair<bool, RegistryValue>> ProxyValues()
    {
        std::vector<std::pair<bool, RegistryValue>> values;
        for (const char* name : kSettingNames) {
            values.emplace_back();
            values.back().first =
                registry.ReadValue(kInternetSettings, name, values.back().second, kUser);
        }
        values.emplace_back();
        values.back().first =
            registry.ReadValue(kConnections, kRecordName, values.back().second, kUser);
        return values;
    }
    ConnectionSettings Record()
    {
        ByteArray bytes;
        EXPECT_TRUE(registry.ReadBinary(kConnections, kRecordName, bytes, kUser));
        ConnectionSettings record;
        EXPECT_TRUE(DecodeConnectionSettings(bytes, record));
        return record;
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    std::vector<std::unique_ptr<SavedValue>> saved;
    const std::string outputPath = testfiles::OwnFolder() + "\\flipset_proxy_output.txt";
};

TEST_F(ProxyRuns, ARunSetsTheProxyThatWinInetAndWinHttpReportToAnotherProcess)
{
    ASSERT_EQ(WinInet(), "access=1 proxy= bypass=") << "no proxy before the run";

    const FlipsetRun run = Flipset(" /apply Office /only proxy /quiet");
    EXPECT_EQ(run.output, "");

    EXPECT_EQ(WinInet(),
              "access=3 proxy=proxy.office.example:8080 bypass=<local>;*.office.example");
    // WinHTTP reads the record: auto-detection is still on, as it was.
    EXPECT_EQ(
        WinHttp(),
        "autodetect=1 proxy=proxy.office.example:8080 bypass=<local>;*.office.example script=");
    const ConnectionSettings record = Record();
    EXPECT_EQ(record.version, 0x46u);
    EXPECT_EQ(record.counter, 8u);
    EXPECT_EQ(record.flags,
              ConnectionFlag::kDirect | ConnectionFlag::kProxy | ConnectionFlag::kAutoDetect);
    EXPECT_EQ(record.rest, EarlierRecord().rest);
    RegistryValue script;
    EXPECT_FALSE(registry.ReadValue(kInternetSettings, "AutoConfigURL", script, kUser));
}

TEST_F(ProxyRuns, UndoGivesBackTheEarlierValuesAndRecordByteForByte)
{
    const auto before = ProxyValues();
    Flipset(" /apply Office /only proxy /quiet");
    ASSERT_NE(ProxyValues(), before);

    const FlipsetRun undo = Flipset(" /undo /quiet");
    EXPECT_NE(undo.output.find("undid the run of \"Office\""), std::string::npos) << undo.output;

    EXPECT_EQ(ProxyValues(), before);
    EXPECT_EQ(WinInet(), "access=1 proxy= bypass=");
}

TEST_F(ProxyRuns, AConfigurationWithoutProxyValuesLeavesAnExistingProxyAsItIs)
{
    Flipset(" /apply Office /only proxy /quiet");
    const auto set = ProxyValues();

    Flipset(" /apply Home /only proxy /quiet");

    EXPECT_EQ(ProxyValues(), set);
    EXPECT_EQ(WinInet(),
              "access=3 proxy=proxy.office.example:8080 bypass=<local>;*.office.example");
}

}  // namespace
}  // namespace flipset
