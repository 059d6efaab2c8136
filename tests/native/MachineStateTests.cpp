// The capture of the machine's state, the last run's snapshot, the undo and
// the preview, on a workstation of stand-ins that a real run changes.
#include "state/CurrentConfiguration.h"
#include "state/MachineState.h"
#include "state/StatePreview.h"
#include "state/StateRestore.h"
#include "state/StateSnapshot.h"

#include "base/NameFilter.h"
#include "engine/ConnectionSettings.h"
#include "engine/RunContext.h"
#include "engine/RunSequence.h"
#include "engine/ServiceControl.h"
#include "network/CardTcpip.h"
#include "store/ConfigurationSchema.h"
#include "support/ConfigurationSeed.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakePlatform.h"
#include "support/FakeRunHost.h"
#include "support/FakeServiceManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace flipset {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;  // settings-root choice 0
const std::string kConfigKey = "Software\\Quillon\\Flipset\\Configurations\\1";
const std::string kHostsPath = "C:\\WINDOWS\\system32\\Drivers\\Etc\\hosts";
const std::string kLmhostsPath = "C:\\WINDOWS\\system32\\Drivers\\Etc\\lmhosts";
const std::string kInterfaceKey =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{CARD-7}";
const std::string kInternetSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::string kConnectionsKey = kInternetSettingsKey + "\\Connections";

// The proxy's record as another program left it: auto-detection on, a
// proxy typed in but off, and bytes of its own after the script's address.
ByteArray ForeignConnectionRecord()
{
    ConnectionSettings record;
    record.counter = 12;
    record.flags = ConnectionFlag::kDirect | ConnectionFlag::kAutoDetect;
    record.proxyServer = "old.example:3128";
    record.proxyBypass = "<local>";
    record.rest = {2, 0, 0, 0, 0xc0, 0xa8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    return EncodeConnectionSettings(record);
}

// A hosts file beyond the registry's read buffer of a configuration value.
std::string LargeHostsFile()
{
    std::string text;
    for (int i = 0; text.size() <= CRegistry::kBinaryBufferSize; ++i)
        text += "10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250) + " host" +
                std::to_string(i) + "\r\n";
    return text + "no line end at the very end";
}

class Workstation : public ::testing::Test {
protected:
    Workstation()
    {
        CRegistry reg = machine.registry;
        // The machine as it is before any run.
        platform.files.files[kHostsPath] = LargeHostsFile();
        reg.WriteString("Control Panel\\Desktop", "Wallpaper", "C:\\old.bmp",
                        RegistryRoot::CurrentUser);
        reg.WriteString("Control Panel\\Desktop", "OriginalWallpaper", "C:\\orig.bmp",
                        RegistryRoot::CurrentUser);
        reg.WriteString("Control Panel\\Desktop", "WallpaperStyle", "2", RegistryRoot::CurrentUser);
        reg.WriteString("Control Panel\\Desktop", "TileWallpaper", "0", RegistryRoot::CurrentUser);
        reg.WriteString("Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Device",
                        "Old,winspool,Ne00:", RegistryRoot::CurrentUser);
        platform.desktop.volume = 4000;
        machine.AddCard("0007", "Card Seven", "{CARD-7}", "PCI\\VEN_7");
        reg.WriteDword(kInterfaceKey, "EnableDHCP", 1, RegistryRoot::LocalMachine);
        reg.WriteMultiString(kInterfaceKey, "IPAddress", {"0.0.0.0"}, RegistryRoot::LocalMachine);
        platform.services.services["Spooler"].state = ServiceState::kRunning;
        platform.services.services["Themes"].state = ServiceState::kStopped;
        reg.WriteDword(kInternetSettingsKey, "ProxyEnable", 0, RegistryRoot::CurrentUser);
        reg.WriteString(kInternetSettingsKey, "ProxyServer", "old.example:3128",
                        RegistryRoot::CurrentUser);
        reg.WriteString(kInternetSettingsKey, "ProxyOverride", "<local>", RegistryRoot::CurrentUser);
        reg.WriteBinary(kConnectionsKey, "DefaultConnectionSettings", ForeignConnectionRecord(),
                        RegistryRoot::CurrentUser);

        // The configuration "Office", every area set.
        reg.WriteString(kConfigKey, "Name", "Office", kRoot);
        StorePackedList(reg, kConfigKey, "Hostfile", {"127.0.0.1 localhost\r\n10.0.0.5 mail"},
                        kRoot);
        StorePackedList(reg, kConfigKey, "LMHostfile", {"10.0.0.9 FILESRV #PRE"}, kRoot);
        reg.WriteString(kConfigKey, "Wallpaper", "C:\\office.bmp", kRoot);
        reg.WriteDword(kConfigKey, "WallpaperPosition", kWallpaperGrow, kRoot);
        reg.WriteDword(kConfigKey, "Volume", 60000, kRoot);
        reg.WriteString(kConfigKey, "DefPrinter", "Office,winspool,Ne01:", kRoot);
        reg.WriteString(kConfigKey, "IEHOME", " http://intranet/ ", kRoot);
        const std::string card = kConfigKey + "\\0007";
        reg.WriteString(card, "NIC", "true", kRoot);
        reg.WriteDword(card, "Disabled", 0, kRoot);
        reg.WriteDword(card, "DHCP", 0, kRoot);
        reg.WriteDword(card, "IP", 0x0A000005, kRoot);
        reg.WriteDword(card, "Netmask", 0xFFFFFF00, kRoot);
        reg.WriteDword(card, "Gateway", 0x0A000001, kRoot);
        reg.WriteDword(card, "DNS1", 0x0A000002, kRoot);
        reg.WriteString(card, "DOMAIN", "office.example", kRoot);
        StoreCodedList(reg, kConfigKey, "ServicesStop", {"Spooler"}, kRoot);
        StoreCodedList(reg, kConfigKey, "ServicesStart", {"Themes"}, kRoot);
        StoreCodedList(reg, kConfigKey, "Run", {"C:\\tools\\vpn.exe [/connect]"}, kRoot);
        for (const char* wait :
             {"ServiceStopTimout", "ServiceStartTimout", "BeforeRunTimout", "AfterRunTimout"})
            reg.WriteDword(kProgramSettingsKey, wait, 0, RegistryRoot::LocalMachine);

        host.selectedText = "Office";
    }

    MachineState CaptureFor(const CaptureScope& scope)
    {
        MachineState state;
        std::string error;
        EXPECT_TRUE(CaptureMachineState(statePlatform, scope, state, error)) << error;
        return state;
    }

    CaptureScope ScopeOfRun()
    {
        FakeRunHost scopeHost;
        scopeHost.selectedText = host.selectedText;
        scopeHost.options = host.options;
        RunContext ctx(machine.registry, scopeHost);
        return RunScope(ctx, platform.system);
    }

    // A run as the main window starts it, with the snapshot taken before it.
    void Run(const std::string& now = "2026-01-02 03:04:05")
    {
        host.endModalResult = 0;
        host.busy = false;
        host.caption = "Quillon Configuration Flipset";
        RunSequence sequence(machine.registry, host, platform.run);
        sequence.SetBeforeChanges([&](RunContext& ctx) {
            snapshotTaken = TakeRunSnapshot(ctx, statePlatform, platform.system, now, snapshotProblem);
        });
        sequence.RunConfiguration();
    }

    UndoOutcome Undo(const std::string& now = "2026-01-02 04:00:00")
    {
        return UndoLastRun(statePlatform, machine.devices, host, kRoot, ServiceWaits{}, now);
    }

    StringList PreviewNow()
    {
        RunContext ctx(machine.registry, host);
        return PreviewRun(ctx, CaptureFor(ScopeOfRun()));
    }

    FakeNetworkMachine machine;
    std::vector<std::string> journal;
    FakeRunPlatform platform{journal, machine.devices};
    FakeRunHost host;
    StatePlatform statePlatform{machine.registry, platform.files, platform.desktop,
                                platform.services, platform.internet};
    bool snapshotTaken = false;
    std::string snapshotProblem;
};

TEST_F(Workstation, CaptureRecordsEveryAreaWithWhatIsMissing)
{
    const MachineState state = CaptureFor(ScopeOfRun());

    ASSERT_EQ(state.files.size(), 2u);
    EXPECT_TRUE(state.files[0].exists);
    EXPECT_EQ(state.files[0].bytes, LargeHostsFile());
    EXPECT_FALSE(state.files[1].exists);

    ASSERT_TRUE(state.hasDesktop);
    const auto value = [&](const std::string& name) {
        for (const ValueState& v : state.desktop.values)
            if (v.name == name)
                return v;
        ADD_FAILURE() << name;
        return ValueState();
    };
    EXPECT_TRUE(value("OriginalWallpaper").present);
    EXPECT_FALSE(value("ConvertedWallpaper").present);
    EXPECT_TRUE(value("WallpaperStyle").present);
    EXPECT_TRUE(state.desktop.hasVolume);
    EXPECT_EQ(state.desktop.volume, 4000u);
    EXPECT_TRUE(state.desktop.printer.present);
    EXPECT_FALSE(state.startPage.present);

    ASSERT_EQ(state.cards.size(), 1u);
    EXPECT_EQ(state.cards[0].description, "Card Seven");
    EXPECT_TRUE(state.cards[0].enabled);
    ASSERT_EQ(state.cards[0].interfaceValues.size(), 6u);

    ASSERT_EQ(state.services.size(), 2u);
    EXPECT_TRUE(state.services[0].running);   // Spooler
    EXPECT_FALSE(state.services[1].running);  // Themes
}

TEST_F(Workstation, CaptureWithoutMixerHasNoVolumeAndUnreadableFileFailsIt)
{
    platform.desktop.mixer = MixerResult::OpenFailed;
    EXPECT_FALSE(CaptureFor(ScopeOfRun()).desktop.hasVolume);

    platform.files.broken.insert(kHostsPath);
    MachineState state;
    std::string error;
    EXPECT_FALSE(CaptureMachineState(statePlatform, ScopeOfRun(), state, error));
    EXPECT_NE(error.find(kHostsPath), std::string::npos);
}

TEST_F(Workstation, RunScopeFollowsTheOptionBoxes)
{
    host.options[Area::Files] = false;
    host.options[Area::Network] = false;
    host.options[Area::Services] = false;
    const MachineState state = CaptureFor(ScopeOfRun());
    EXPECT_FALSE(state.hasFiles);
    EXPECT_TRUE(state.files.empty());
    EXPECT_TRUE(state.cards.empty());
    EXPECT_TRUE(state.services.empty());
    EXPECT_TRUE(state.hasDesktop);
    EXPECT_TRUE(state.hasStartPage);
}

TEST_F(Workstation, UndoPutsBackTheStateBeforeTheRunAndASecondUndoTheStateAfterIt)
{
    const CaptureScope scope = ScopeOfRun();
    const MachineState before = CaptureFor(scope);
    Run();
    ASSERT_TRUE(snapshotTaken) << snapshotProblem;
    const MachineState afterRun = CaptureFor(scope);
    ASSERT_FALSE(DescribeChanges(before, afterRun).empty());

    host.journal.clear();
    const UndoOutcome first = Undo();
    ASSERT_EQ(first.status, UndoStatus::Restored) << first.reason;
    EXPECT_EQ(first.undone.configurationName, "Office");
    EXPECT_EQ(first.undone.time, "2026-01-02 03:04:05");
    EXPECT_TRUE(first.ownSnapshotProblem.empty());
    EXPECT_EQ(DescribeChanges(before, CaptureFor(scope)), StringList());
    // The hosts file byte for byte, whole although beyond the read limit,
    // and the lmhosts file the run created removed.
    EXPECT_EQ(platform.files.files.at(kHostsPath), LargeHostsFile());
    EXPECT_EQ(platform.files.files.count(kLmhostsPath), 0u);
    EXPECT_TRUE(host.Lines("error: ").empty());
    const std::vector<std::string> captions = host.Lines("caption: ");
    EXPECT_NE(std::find(captions.begin(), captions.end(), "Writing Hostfile"), captions.end());
    EXPECT_NE(std::find(captions.begin(), captions.end(), "Setting Card Seven"), captions.end());
    EXPECT_NE(std::find(captions.begin(), captions.end(), "Starting Service Spooler"),
              captions.end());

    const UndoOutcome second = Undo();
    ASSERT_EQ(second.status, UndoStatus::Restored);
    EXPECT_EQ(second.undone.time, "2026-01-02 04:00:00");
    EXPECT_EQ(DescribeChanges(afterRun, CaptureFor(scope)), StringList());
}

TEST_F(Workstation, TheProxyIsOnlyInScopeWhenTheConfigurationSetsItAndItsBoxIsChecked)
{
    EXPECT_FALSE(CaptureFor(ScopeOfRun()).hasProxy) << "no \"ProxyEnable\" in the configuration";
    machine.registry.WriteDword(kConfigKey, "ProxyEnable", 0, kRoot);
    const MachineState state = CaptureFor(ScopeOfRun());
    ASSERT_TRUE(state.hasProxy);
    ASSERT_EQ(state.proxy.settings.size(), 4u);
    EXPECT_EQ(state.proxy.settings[0].value, RegistryValue::Dword(0));
    EXPECT_EQ(state.proxy.settings[1].value, RegistryValue::String("old.example:3128"));
    EXPECT_EQ(state.proxy.settings[3].name, "AutoConfigURL");
    EXPECT_FALSE(state.proxy.settings[3].present);
    EXPECT_EQ(state.proxy.record.value.data, ForeignConnectionRecord());
    host.options[Area::Proxy] = false;
    EXPECT_FALSE(CaptureFor(ScopeOfRun()).hasProxy);
}

TEST_F(Workstation, TheProxyIsPreviewedAndItsUndoGivesBackValuesAndRecordByteForByte)
{
    CRegistry reg = machine.registry;
    reg.WriteDword(kConfigKey, "ProxyEnable", 1, kRoot);
    reg.WriteString(kConfigKey, "ProxyServer", "proxy.office.example:8080", kRoot);
    reg.WriteString(kConfigKey, "ProxyOverride", "<local>", kRoot);
    reg.WriteString(kConfigKey, "AutoConfigURL", "http://wpad.office.example/p.pac", kRoot);
    const CaptureScope scope = ScopeOfRun();
    const MachineState before = CaptureFor(scope);

    const StringList preview = PreviewNow();
    EXPECT_NE(std::find(preview.begin(), preview.end(),
                        "Proxy: off -> proxy.office.example:8080, bypass <local>, script "
                        "http://wpad.office.example/p.pac"),
              preview.end())
        << ::testing::PrintToString(preview);

    Run();
    ASSERT_TRUE(snapshotTaken) << snapshotProblem;
    const MachineState afterRun = CaptureFor(scope);
    EXPECT_EQ(DescribeChanges(PredictRun(RunContext(reg, host), before), afterRun), StringList())
        << "the preview predicts what the run does";
    ASSERT_FALSE(afterRun.proxy.record == before.proxy.record);

    host.journal.clear();
    journal.clear();
    ASSERT_EQ(Undo().status, UndoStatus::Restored);
    const MachineState undone = CaptureFor(scope);
    EXPECT_EQ(undone.proxy.settings, before.proxy.settings);
    EXPECT_EQ(undone.proxy.record, before.proxy.record);
    EXPECT_EQ(undone.proxy.record.value.data, ForeignConnectionRecord());
    const std::vector<std::string> captions = host.Lines("caption: ");
    EXPECT_NE(std::find(captions.begin(), captions.end(), "Proxy settings"), captions.end());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "internet settings changed"), 1);
    EXPECT_TRUE(host.Lines("error: ").empty());
}

TEST_F(Workstation, UndoReportsAServiceItCannotRestoreAndRestoresTheRest)
{
    Run();
    platform.services.services["Themes"].stopErrors = {ServiceError::kAccessDenied};
    const UndoOutcome outcome = Undo();
    ASSERT_EQ(outcome.status, UndoStatus::Restored);
    EXPECT_EQ(host.Lines("error: "),
              std::vector<std::string>{"Error stopping the service Themes with code " +
                                       StopRefusalText(ServiceError::kAccessDenied)});
    EXPECT_EQ(platform.files.files.at(kHostsPath), LargeHostsFile());
    EXPECT_EQ(platform.services.services["Spooler"].state, ServiceState::kRunning);
}

TEST_F(Workstation, ARunWhoseSnapshotCannotBeTakenRunsAsBeforeAndLeavesNothingToUndo)
{
    Run("first");
    ASSERT_TRUE(snapshotTaken);

    FakeRunHost plainHost;
    plainHost.selectedText = "Office";
    RunSequence(machine.registry, plainHost, platform.run).RunConfiguration();

    platform.files.broken.insert(kLmhostsPath);
    host.journal.clear();
    Run("second");
    EXPECT_FALSE(snapshotTaken);
    EXPECT_NE(snapshotProblem.find("lmhosts"), std::string::npos);
    EXPECT_EQ(host.journal, plainHost.journal);

    const UndoOutcome outcome = Undo();
    EXPECT_EQ(outcome.status, UndoStatus::NoSnapshot);
    EXPECT_FALSE(outcome.reason.empty());
}

TEST(RunSnapshotFormat, RoundTripKeepsEveryPart)
{
    RunSnapshot snapshot;
    snapshot.configurationName = "Home";
    snapshot.time = "2026-05-06 07:08:09";
    MachineState& s = snapshot.state;
    s.hasFiles = true;
    s.files = {{"hosts", "C:\\h", true, std::string("a\0b\r\n", 5)},
               {"lmhosts", "C:\\l", false, ""}};
    s.hasDesktop = true;
    s.desktop.values = {{"Wallpaper", true, {1, {'x', 0}}}, {"TileWallpaper", false, {}}};
    s.desktop.printer = {"Device", true, {1, {'p', 0}}};
    s.desktop.hasVolume = true;
    s.desktop.volume = 65535;
    s.hasStartPage = true;
    s.startPage = {"Start Page", false, {}};
    s.hasCards = true;
    s.cards = {{"0001", "Card", "{S}", true, {{"IPAddress", true, {7, {'1', 0, 0}}}}}};
    s.hasServices = true;
    s.services = {{"Spooler", true}, {"Themes", false}};
    s.hasProxy = true;
    s.proxy.settings = {{"ProxyEnable", true, {4, {1, 0, 0, 0}}}, {"AutoConfigURL", false, {}}};
    s.proxy.record = {"DefaultConnectionSettings", true, {3, {0x46, 0, 0, 0, 9}}};

    RunSnapshot back;
    std::string error;
    ASSERT_TRUE(DecodeSnapshot(EncodeSnapshot(snapshot), back, error)) << error;
    EXPECT_EQ(back.configurationName, "Home");
    EXPECT_EQ(back.time, snapshot.time);
    EXPECT_EQ(back.state.files, s.files);
    EXPECT_EQ(back.state.desktop.values, s.desktop.values);
    EXPECT_EQ(back.state.desktop.volume, 65535u);
    EXPECT_EQ(back.state.cards[0].interfaceValues, s.cards[0].interfaceValues);
    EXPECT_EQ(back.state.services.size(), 2u);
    EXPECT_TRUE(back.state.hasProxy);
    EXPECT_EQ(back.state.proxy.settings, s.proxy.settings);
    EXPECT_EQ(back.state.proxy.record, s.proxy.record);
    EXPECT_EQ(DescribeChanges(s, back.state), StringList());
}

// A snapshot an earlier version stored, before the proxy was an area: it
// still reads, as one without a proxy, and an undo puts back what it holds.
TEST(RunSnapshotFormat, ASnapshotOfTheFirstFormatReadsWithoutAProxy)
{
    // "Office" at 2026-01-02 03:04:05: no files, no desktop, the start page
    // "http://old/", no cards, no services.
    const std::string hex =
        "464c535301000000630000005921ef5b060000004f666669636513000000323032362d30312d30322030"
        "333a30343a30350000000000000000000000000000000000000000010a00000053746172742050616765"
        "01010000000c000000687474703a2f2f6f6c642f0000000000000000000000";
    ByteArray bytes;
    for (size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));

    RunSnapshot read;
    std::string error;
    ASSERT_TRUE(DecodeSnapshot(bytes, read, error)) << error;
    EXPECT_EQ(read.configurationName, "Office");
    EXPECT_EQ(read.time, "2026-01-02 03:04:05");
    EXPECT_TRUE(read.state.hasStartPage);
    EXPECT_EQ(read.state.startPage.value, RegistryValue::String("http://old/"));
    EXPECT_FALSE(read.state.hasProxy);
    EXPECT_EQ(ScopeOf(read.state).proxy, false);
}

TEST(RunSnapshotFormat, DamagedSnapshotsAreRefusedWhole)
{
    RunSnapshot snapshot;
    snapshot.configurationName = "Home";
    snapshot.state.hasServices = true;
    snapshot.state.services = {{"Spooler", true}};
    const ByteArray good = EncodeSnapshot(snapshot);

    // Every cut, wherever it falls.
    for (size_t size = 0; size < good.size(); ++size) {
        RunSnapshot read;
        std::string error;
        EXPECT_FALSE(DecodeSnapshot(ByteArray(good.begin(), good.begin() + size), read, error))
            << size;
        EXPECT_TRUE(read.configurationName.empty());
    }

    struct Case {
        const char* what;
        std::function<void(ByteArray&)> damage;
        const char* reason;
    };
    const Case cases[] = {
        {"a byte changed", [](ByteArray& b) { b.back() ^= 1; }, "checksum"},
        {"a byte added", [](ByteArray& b) { b.push_back(0); }, "extra bytes"},
        {"a newer format", [](ByteArray& b) { b[4] = kSnapshotFormatVersion + 1; },
         "newer version"},
        {"another magic", [](ByteArray& b) { b[0] = 'X'; }, "not a snapshot"},
    };
    for (const Case& c : cases) {
        ByteArray bytes = good;
        c.damage(bytes);
        RunSnapshot read;
        std::string error;
        EXPECT_FALSE(DecodeSnapshot(bytes, read, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
}

TEST(RunSnapshotFormat, StoredSnapshotOfTheWrongTypeOrDamagedIsRefused)
{
    MemoryRegistryBackend backend;
    CRegistry registry(backend);
    RunSnapshot snapshot;
    std::string error;
    EXPECT_EQ(LoadLastRunSnapshot(registry, kRoot, snapshot, error), SnapshotLoad::Missing);

    ASSERT_TRUE(StoreLastRunSnapshot(registry, kRoot, RunSnapshot{"Home", "now", {}}));
    EXPECT_EQ(LoadLastRunSnapshot(registry, kRoot, snapshot, error), SnapshotLoad::Loaded);

    registry.WriteString(kProgramSettingsKey, kLastRunSnapshotValue, "FLSS", kRoot);
    EXPECT_EQ(LoadLastRunSnapshot(registry, kRoot, snapshot, error), SnapshotLoad::Refused);
    EXPECT_NE(error.find("wrong type"), std::string::npos);
    std::string text;
    EXPECT_FALSE(DescribeLastRun(registry, kRoot, text));
    EXPECT_EQ(text, error);

    FakeRunHost host;
    FakeFiles files;
    std::vector<std::string> journal;
    FakeDesktop desktop(journal);
    FakeServiceManager services;
    FakeDeviceInstaller devices(registry);
    FakeInternetSettings internet(journal);
    const StatePlatform platform{registry, files, desktop, services, internet};
    const UndoOutcome outcome = UndoLastRun(platform, devices, host, kRoot, ServiceWaits{}, "t");
    EXPECT_EQ(outcome.status, UndoStatus::Refused);
    EXPECT_TRUE(host.journal.empty());
    EXPECT_TRUE(journal.empty());
}

// The preview's lines are the differences a real run makes, whatever the
// configuration and the option boxes.
struct PreviewCase {
    const char* what;
    std::function<void(CRegistry, FakeRunHost&)> change;
};

class PreviewMatchesRun : public Workstation, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(PreviewMatchesRun, LinesEqualTheDifferencesOfTheRealRun)
{
    GetParam().change(machine.registry, host);
    const CaptureScope scope = ScopeOfRun();
    const MachineState before = CaptureFor(scope);
    RunContext ctx(machine.registry, host);
    const StringList predicted = DescribeChanges(before, PredictRun(ctx, before));
    const MachineState unchanged = CaptureFor(scope);
    EXPECT_EQ(DescribeChanges(before, unchanged), StringList()) << "the preview changed something";

    Run();
    EXPECT_EQ(predicted, DescribeChanges(before, CaptureFor(scope)));
}

const std::string kCard = "Software\\Quillon\\Flipset\\Configurations\\1\\0007";

INSTANTIATE_TEST_SUITE_P(
    Configurations, PreviewMatchesRun,
    ::testing::Values(PreviewCase{"every area", [](CRegistry, FakeRunHost&) {}},
                      PreviewCase{"a card on DHCP, left disabled",
                                  [](CRegistry r, FakeRunHost&) {
                                      r.WriteDword(kCard, "DHCP", 1, kRoot);
                                      r.WriteDword(kCard, "Disabled", 1, kRoot);
                                  }},
                      PreviewCase{"no files, no printer, tiled, blank start page",
                                  [](CRegistry r, FakeRunHost&) {
                                      r.DeleteValue(kConfigKey, "Hostfile", kRoot);
                                      r.DeleteValue(kConfigKey, "LMHostfile", kRoot);
                                      r.DeleteValue(kConfigKey, "DefPrinter", kRoot);
                                      r.WriteDword(kConfigKey, "WallpaperPosition", kWallpaperTile,
                                                   kRoot);
                                      r.WriteString(kConfigKey, "IEHOME", "  ", kRoot);
                                  }},
                      PreviewCase{"an unknown position",
                                  [](CRegistry r, FakeRunHost&) {
                                      r.WriteDword(kConfigKey, "WallpaperPosition", 9, kRoot);
                                  }},
                      PreviewCase{"only the desktop",
                                  [](CRegistry, FakeRunHost& h) {
                                      h.options[Area::Files] = false;
                                      h.options[Area::Network] = false;
                                      h.options[Area::Services] = false;
                                  }},
                      PreviewCase{"a card without a connection",
                                  [](CRegistry r, FakeRunHost&) {
                                      r.DeleteKeyTree(std::string(MachineKey::kNetworkClasses),
                                                      RegistryRoot::LocalMachine);
                                  }}),
    [](const ::testing::TestParamInfo<PreviewCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST_F(Workstation, PreviewNamesChangesWhatStaysAndWhatCannotBeUndone)
{
    platform.files.files[kHostsPath] = "127.0.0.1 localhost\r\n10.0.0.1 old\r\n";
    platform.services.services["Themes"].state = ServiceState::kRunning;
    const StringList lines = PreviewNow();
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("hosts: 2 lines -> 2 lines")) << ::testing::PrintToString(lines);
    EXPECT_TRUE(has("  - 10.0.0.1 old"));
    EXPECT_TRUE(has("  + 10.0.0.5 mail"));
    EXPECT_TRUE(has("lmhosts: missing -> 1 line"));
    EXPECT_TRUE(has("Desktop Wallpaper: \"C:\\old.bmp\" -> \"C:\\office.bmp\""));
    EXPECT_TRUE(has("Desktop WallpaperStyle: \"2\" -> \"3\""));
    EXPECT_TRUE(has("Volume: 4000 -> 60000"));
    EXPECT_TRUE(has("Start page: (none) -> \"http://intranet/\""));
    EXPECT_TRUE(has("Card Seven IPAddress: 0.0.0.0 -> 10.0.0.5"));
    EXPECT_TRUE(has("Service Spooler: running -> stopped"));
    EXPECT_TRUE(has("No change: services") == false);
    EXPECT_TRUE(has("Cannot be undone: starts C:\\tools\\vpn.exe [/connect]"));
    EXPECT_FALSE(has("Service Themes: stopped -> running"));
}

TEST_F(Workstation, PreviewSaysWhichAreasWouldNotChange)
{
    RunSequence(machine.registry, host, platform.run).RunConfiguration();
    host.options[Area::Programs] = false;
    const StringList lines = PreviewNow();
    EXPECT_EQ(lines, (StringList{"No change: files", "No change: desktop", "No change: start page",
                                 "No change: network cards", "No change: services"}));
}

TEST_F(Workstation, PreviewEndsWithTheConfigurationsLocation)
{
    RunSequence(machine.registry, host, platform.run).RunConfiguration();
    host.options[Area::Programs] = false;
    machine.registry.WriteDword(kConfigKey, "LocationMode", 1, kRoot);
    machine.registry.WriteString(kConfigKey, "LocationWifi", "Office Net", kRoot);
    machine.registry.WriteString(kConfigKey, "LocationSubnet", "10.0.0.0/33", kRoot);
    EXPECT_EQ(PreviewNow().back(), "Location: ask first when Wi-Fi \"Office Net\"; never holds: "
                                   "\"LocationSubnet\" is \"10.0.0.0/33\"");
    machine.registry.WriteDword(kConfigKey, "LocationMode", 0, kRoot);
    EXPECT_EQ(PreviewNow().back(), "No change: services") << "a location that is off is none";
}

TEST_F(Workstation, ConfigurationOfTheCurrentStateChangesNothingWhenRun)
{
    CRegistry reg = machine.registry;
    platform.files.files[kHostsPath] = "127.0.0.1 localhost\n10.0.0.1 old\n";
    reg.DeleteValue("Control Panel\\Desktop", "OriginalWallpaper", RegistryRoot::CurrentUser);
    reg.WriteString("Control Panel\\Desktop", "WallpaperStyle", "0", RegistryRoot::CurrentUser);
    reg.WriteDword(kInterfaceKey, "EnableDHCP", 0, RegistryRoot::LocalMachine);
    reg.WriteMultiString(kInterfaceKey, "IPAddress", {"192.168.1.5"}, RegistryRoot::LocalMachine);
    reg.WriteMultiString(kInterfaceKey, "SubnetMask", {"255.255.255.0"},
                         RegistryRoot::LocalMachine);
    reg.WriteMultiString(kInterfaceKey, "DefaultGateway", {"192.168.1.1"},
                         RegistryRoot::LocalMachine);
    reg.WriteString(kInterfaceKey, "Nameserver", "192.168.1.2", RegistryRoot::LocalMachine);
    reg.WriteString(kInterfaceKey, "Domain", "home.example", RegistryRoot::LocalMachine);

    const CaptureScope scope = CurrentStateScope(reg);
    const MachineState now = CaptureFor(scope);
    const NewConfigurationResult stored =
        StoreStateAsConfiguration(reg, kRoot, kNameCharacters, " Now ", now);
    ASSERT_EQ(stored.status, NewConfigurationStatus::Done) << stored.message;
    EXPECT_EQ(reg.ReadString(ConfigurationKeyPath(stored.number), "Name", "", kRoot), "Now");
    // No lists, and no location: a capture is no place to switch to by itself.
    for (const char* absent : {"Run", "ServicesStop", "ServicesStart", "LocationMode"}) {
        RegistryValue value;
        EXPECT_FALSE(reg.ReadValue(ConfigurationKeyPath(stored.number), absent, value, kRoot))
            << absent;
    }

    host.selectedText = "Now";
    RunSequence(reg, host, platform.run).RunConfiguration();
    EXPECT_EQ(DescribeChanges(now, CaptureFor(scope)), StringList());
    EXPECT_TRUE(host.Lines("error: ").empty());
    EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                            [](const std::string& line) { return line.rfind("open: ", 0) == 0; }),
              0)
        << "no program started";
}

TEST_F(Workstation, ConfigurationOfTheCurrentStateNeedsAFreeAllowedName)
{
    const MachineState now = CaptureFor(CurrentStateScope(machine.registry));
    const StringList before = machine.registry.EnumSubKeys(kConfigurationsKey, kRoot);
    const struct {
        const char* name;
        NewConfigurationStatus status;
    } cases[] = {
        {"office", NewConfigurationStatus::NameTaken},
        {"   ", NewConfigurationStatus::BadName},
        {"a\\b", NewConfigurationStatus::BadName},
    };
    for (const auto& c : cases) {
        const NewConfigurationResult result =
            StoreStateAsConfiguration(machine.registry, kRoot, kNameCharacters, c.name, now);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_FALSE(result.message.empty());
    }
    EXPECT_EQ(machine.registry.EnumSubKeys(kConfigurationsKey, kRoot), before);
}

TEST_F(Workstation, SeveralAddressesAndServersArePreviewedReadablyAndUndone)
{
    CRegistry reg = machine.registry;
    const std::string card = kConfigKey + "\\0007";
    reg.WriteMultiString(card, "MoreAddresses", {"10.1.0.5/255.255.0.0"}, kRoot);
    reg.WriteMultiString(card, "DNSServers", {"10.0.0.2", "fd00::53", "10.0.0.3"}, kRoot);
    const CaptureScope scope = ScopeOfRun();
    const MachineState before = CaptureFor(scope);

    const StringList lines = PreviewNow();
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("Card Seven IPAddress: 0.0.0.0 -> 10.0.0.5, 10.1.0.5"))
        << ::testing::PrintToString(lines);
    EXPECT_TRUE(has("Card Seven SubnetMask: (none) -> 255.255.255.0, 255.255.0.0"));
    EXPECT_TRUE(has("Card Seven Nameserver: (none) -> \"10.0.0.2 10.0.0.3\""));

    Run();
    ASSERT_TRUE(snapshotTaken) << snapshotProblem;
    StringList entries;
    reg.OpenForReading(kInterfaceKey, RegistryRoot::LocalMachine).ReadMultiString("IPAddress",
                                                                                  entries);
    EXPECT_EQ(entries, (StringList{"10.0.0.5", "10.1.0.5"}));
    const UndoOutcome undone = Undo();
    ASSERT_EQ(undone.status, UndoStatus::Restored) << undone.reason;
    EXPECT_EQ(DescribeChanges(before, CaptureFor(scope)), StringList());
}

TEST_F(Workstation, ACapturedCardKeepsEveryAddressAndServerAndItsAdapter)
{
    CRegistry reg = machine.registry;
    reg.WriteDword(kInterfaceKey, "EnableDHCP", 0, RegistryRoot::LocalMachine);
    reg.WriteMultiString(kInterfaceKey, "IPAddress", {"192.168.1.5", "10.1.0.5"},
                         RegistryRoot::LocalMachine);
    reg.WriteMultiString(kInterfaceKey, "SubnetMask", {"255.255.255.0", "255.255.0.0"},
                         RegistryRoot::LocalMachine);
    reg.WriteMultiString(kInterfaceKey, "DefaultGateway", {"192.168.1.1"},
                         RegistryRoot::LocalMachine);
    reg.WriteString(kInterfaceKey, "Domain", "home.example", RegistryRoot::LocalMachine);
    struct Case {
        const char* what;
        uint32_t enableDhcp;
        const char* nameServer;
        StringList servers;  // as the configuration reads them
        bool dnsFromDhcp;
    };
    const Case cases[] = {
        {"separated by spaces", 0, "192.168.1.2 192.168.1.3", {"192.168.1.2", "192.168.1.3"},
         false},
        {"separated by commas, with 0.0.0.0 and no address left out", 0,
         "192.168.1.2,0.0.0.0,x, 192.168.1.3", {"192.168.1.2", "192.168.1.3"}, false},
        {"fixed without a server", 0, "0.0.0.0", {}, false},
        {"automatic without servers of its own", 1, "", {}, true},
        {"automatic with servers of its own", 1, "192.168.1.2", {"192.168.1.2"}, false},
    };
    for (const Case& c : cases) {
        reg.WriteDword(kInterfaceKey, "EnableDHCP", c.enableDhcp, RegistryRoot::LocalMachine);
        reg.WriteString(kInterfaceKey, "Nameserver", c.nameServer, RegistryRoot::LocalMachine);
        const MachineState now = CaptureFor(CurrentStateScope(reg));
        const std::string name = std::string("Now ") + std::to_string(&c - cases);
        const NewConfigurationResult stored =
            StoreStateAsConfiguration(reg, kRoot, kNameCharacters, name, now);
        ASSERT_EQ(stored.status, NewConfigurationStatus::Done) << stored.message;
        const CardTcpip tcpip = ReadCardTcpip(
            reg.OpenForReading(ConfigurationKeyPath(stored.number) + "\\0007", kRoot));
        EXPECT_EQ(tcpip.dhcp, c.enableDhcp != 0) << c.what;
        EXPECT_EQ(tcpip.addresses,
                  (std::vector<Ipv4WithMask>{{0xC0A80105, 0xFFFFFF00}, {0x0A010005, 0xFFFF0000}}))
            << c.what << ": kept whatever DHCP says";
        EXPECT_EQ(tcpip.gateway, 0xC0A80101u) << c.what;
        EXPECT_EQ(tcpip.dnsServers, c.servers) << c.what;
        EXPECT_EQ(tcpip.dnsFromDhcp, c.dnsFromDhcp) << c.what;
        EXPECT_EQ(tcpip.suffix, "home.example") << c.what;
        EXPECT_EQ(tcpip.adapterGuid, "{CARD-7}") << c.what;
    }

    // Run, the configuration of the fixed addresses changes nothing.
    reg.WriteDword(kInterfaceKey, "EnableDHCP", 0, RegistryRoot::LocalMachine);
    reg.WriteString(kInterfaceKey, "Nameserver", "192.168.1.2 fd00::1 192.168.1.3",
                    RegistryRoot::LocalMachine);
    const CaptureScope scope = CurrentStateScope(reg);
    const MachineState now = CaptureFor(scope);
    ASSERT_EQ(StoreStateAsConfiguration(reg, kRoot, kNameCharacters, "Fixed", now).status,
              NewConfigurationStatus::Done);
    host.selectedText = "Fixed";
    RunSequence(reg, host, platform.run).RunConfiguration();
    StringList changes;
    for (const std::string& line : DescribeChanges(now, CaptureFor(scope))) {
        if (line.rfind("Card Seven", 0) == 0)
            changes.push_back(line);
    }
    // Only the IPv6 server, which this interface key cannot hold.
    EXPECT_EQ(changes, (StringList{"Card Seven Nameserver: \"192.168.1.2 fd00::1 192.168.1.3\" -> "
                                   "\"192.168.1.2 192.168.1.3\""}));
}

}  // namespace
}  // namespace flipset
