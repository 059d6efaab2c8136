// "/apply" and "/list" against the in-memory registry and the fake platform:
// which configuration and which areas a run gets, what it writes to the
// output and shows to a person, and the exit code it ends with.

#include "app/ApplyCommand.h"
#include "app/StateCommands.h"
#include "state/StateRestore.h"
#include "store/ConfigurationStore.h"
#include "support/ConfigurationSeed.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeInterfaceConfigurator.h"
#include "support/FakePlatform.h"
#include "support/FakeServiceManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>

namespace flipset {
namespace {

const std::string kSettingsKey = "Software\\Quillon\\Flipset";
const std::string kHostsPath = "C:\\WINDOWS\\system32\\Drivers\\Etc\\hosts";

class RecordingOutput : public OutputSink {
public:
    std::vector<std::string> lines;
    void WriteLine(const std::string& line) override { lines.push_back(line); }
};

class RecordingPresenter : public RunPresenter {
public:
    std::vector<std::string> journal;
    std::function<void()> onWait;  // another program acts during a wait
    void ShowCaption(const std::string& caption) override
    {
        journal.push_back("caption: " + caption);
    }
    void ShowError(const std::string& text) override { journal.push_back("error box: " + text); }
    void ShowMessage(const std::string& text) override
    {
        journal.push_back("message box: " + text);
    }
    void Wait(uint32_t milliseconds) override
    {
        journal.push_back("wait: " + std::to_string(milliseconds));
        if (onWait)
            onWait();
    }
};

// A machine without a working mixer: the run reports it as a plain message.
class NoMixerDesktop : public FakeDesktop {
public:
    using FakeDesktop::FakeDesktop;
    MixerResult SetMasterVolume(uint32_t) override { return MixerResult::OpenFailed; }
};

class ApplyCommandTest : public ::testing::Test {
protected:
    std::string Add(int number, const std::string& name,
                    RegistryRoot root = RegistryRoot::LocalMachine)
    {
        ConfigurationStore(registry).SetConfigurationName(number, name, root);
        return ConfigurationKeyPath(number);
    }
    void StoreOptions(const std::string& key, std::array<uint32_t, kAreaCount> values,
                      RegistryRoot root = RegistryRoot::LocalMachine)
    {
        for (const AreaDescriptor& area : kAreas)
            registry.WriteDword(key, area.optionValue, values[AreaIndex(area.area)], root);
    }
    std::array<uint32_t, kAreaCount> Stored(const std::string& key,
                                            RegistryRoot root = RegistryRoot::LocalMachine)
    {
        std::array<uint32_t, kAreaCount> values{};
        for (const AreaDescriptor& area : kAreas)
            values[AreaIndex(area.area)] = registry.ReadDword(key, area.optionValue, 99, root);
        return values;
    }
    // Plans and, when a configuration was found, runs.
    ExitCode Apply(const std::string& commandLine)
    {
        const VerbCommand command = ParseVerbCommand(commandLine);
        EXPECT_EQ(command.usageError, "");
        ApplyPlan plan;
        if (!PlanApply(registry, platform.system, command, output, plan))
            return ExitCode::NoSuchConfiguration;
        return RunApply(registry, platform.run, plan, output, presenter);
    }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (const std::string& line : presenter.journal)
            if (line.rfind("caption: ", 0) == 0)
                captions.push_back(line.substr(9));
        return captions;
    }

    FakeNetworkMachine machine;
    CRegistry& registry = machine.registry;
    std::vector<std::string> journal;
    FakeRunPlatform platform{journal, machine.devices};
    RecordingOutput output;
    RecordingPresenter presenter;
};

TEST_F(ApplyCommandTest, RunsWithTheStoredOptionsAndReportsNothingWhenAllGoesWell)
{
    const std::string key = Add(2, "Office");
    registry.WriteString(key, "Hostfile", std::string("10.0.0.1 server\0", 16),
                         RegistryRoot::LocalMachine);
    StoreOptions(key, {1, 0, 0, 0, 0, 0});

    EXPECT_EQ(Apply("f.exe /apply \" office \""), ExitCode::Done);

    EXPECT_EQ(Captions(), (std::vector<std::string>{"Writing Hostfile", "Writing LMHostfile",
                                                    "Waiting BeforeRunTimeout",
                                                    "Waiting BeforeRunTimeout Completed"}));
    EXPECT_NE(std::find(presenter.journal.begin(), presenter.journal.end(), "wait: 10000"),
              presenter.journal.end());
    EXPECT_EQ(platform.files.files[kHostsPath], "10.0.0.1 server\n");
    EXPECT_EQ(output.lines, std::vector<std::string>{});
    EXPECT_EQ(Stored(key), (std::array<uint32_t, kAreaCount>{1, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(journal.empty()) << "desktop and programs were off";
}

TEST_F(ApplyCommandTest, OnlyRunsTheListedAreasAndStoresThemAsRunDoes)
{
    const std::string key = Add(1, "Office");
    StoreOptions(key, {1, 1, 1, 1, 1, 1});

    EXPECT_EQ(Apply("f.exe /apply Office /only desktop,services"), ExitCode::Done);

    EXPECT_EQ(Captions().front(), "Desktop settings");
    EXPECT_TRUE(platform.files.files.empty());
    EXPECT_EQ(Stored(key), (std::array<uint32_t, kAreaCount>{0, 0, 1, 0, 1, 0}));
}

TEST_F(ApplyCommandTest, NetworkAreaIsOffWhereTheNetworkFeaturesAre)
{
    platform.system.majorVersion = 6;
    const std::string key = Add(1, "Office");
    ApplyPlan plan;
    ASSERT_TRUE(PlanApply(registry, platform.system,
                          ParseVerbCommand("f.exe /apply Office /only network"), output, plan));
    EXPECT_FALSE(plan.options.Has(Area::Network));
    ASSERT_TRUE(PlanApply(registry, platform.system, ParseVerbCommand("f.exe /apply Office"),
                          output, plan));
    EXPECT_FALSE(plan.options.Has(Area::Network));
    EXPECT_TRUE(plan.options.Has(Area::Files)) << "a missing option reads as on";
}

TEST_F(ApplyCommandTest, FindsConfigurationsUnderTheRootThatUserSettingsSelects)
{
    const std::string userKey = Add(1, "Mine", RegistryRoot::CurrentUser);
    Add(1, "Shared");
    registry.WriteDword(kSettingsKey, "UserSettings", 1, RegistryRoot::LocalMachine);

    ApplyPlan plan;
    EXPECT_TRUE(
        PlanApply(registry, platform.system, ParseVerbCommand("f.exe /apply MINE"), output, plan));
    EXPECT_EQ(plan.settingsRootChoice, 1u);
    EXPECT_FALSE(PlanApply(registry, platform.system, ParseVerbCommand("f.exe /apply Shared"),
                           output, plan));
}

TEST_F(ApplyCommandTest, AnUnknownNameChangesNothingAndSaysSo)
{
    const std::string key = Add(1, "Office");
    StoreOptions(key, {1, 1, 1, 1, 1, 1});

    EXPECT_EQ(Apply("f.exe /apply Home /only files"), ExitCode::NoSuchConfiguration);

    EXPECT_EQ(output.lines, std::vector<std::string>{"error: no configuration is named \"Home\""});
    EXPECT_TRUE(presenter.journal.empty()) << "no window, no box";
    EXPECT_TRUE(platform.files.files.empty());
    EXPECT_EQ(Stored(key), (std::array<uint32_t, kAreaCount>{1, 1, 1, 1, 1, 1}));
}

TEST_F(ApplyCommandTest, EveryMessageOfTheRunIsAnErrorLineAndMakesTheRunFail)
{
    NoMixerDesktop noMixer{journal};
    const RunPlatform failing = platform.WithDesktop(noMixer);
    const std::string key = Add(1, "Office");
    platform.services.Add("Fax", ServiceState::kStopped).startError = 1058;
    StoreCodedList(registry, key, "ServicesStart", {"Fax"}, RegistryRoot::LocalMachine);
    ApplyPlan plan;
    ASSERT_TRUE(PlanApply(registry, platform.system,
                          ParseVerbCommand("f.exe /apply Office /only desktop,services"), output,
                          plan));

    EXPECT_EQ(RunApply(registry, failing, plan, output, presenter), ExitCode::StepFailed);

    EXPECT_EQ(output.lines, (std::vector<std::string>{"error: mixerOpen() failed",
                                                      "error: Error starting the service Fax"}));
    for (const char* box :
         {"message box: mixerOpen() failed", "error box: Error starting the service Fax"})
        EXPECT_NE(std::find(presenter.journal.begin(), presenter.journal.end(), box),
                  presenter.journal.end())
            << box;
    EXPECT_EQ(Captions().back(), "Waiting BeforeRunTimeout Completed") << "the run went on";
}

TEST_F(ApplyCommandTest, AConfigurationGoneBeforeTheRunIsNoSuchConfiguration)
{
    Add(1, "Office");
    ApplyPlan plan;
    ASSERT_TRUE(PlanApply(registry, platform.system, ParseVerbCommand("f.exe /apply Office"),
                          output, plan));
    ConfigurationStore(registry).DeleteConfiguration(1, RegistryRoot::LocalMachine);

    EXPECT_EQ(RunApply(registry, platform.run, plan, output, presenter),
              ExitCode::NoSuchConfiguration);
    EXPECT_EQ(output.lines,
              std::vector<std::string>{"error: Error. Unable to find the selected configuration."});
}

TEST_F(ApplyCommandTest, TheRunKeepsToTheConfigurationItFoundWhenNamesChangeDuringIt)
{
    const std::string office = Add(1, "Office");
    const std::string home = Add(2, "Home");
    StoreOptions(office, {0, 0, 0, 1, 0});
    StoreCodedList(registry, office, "Run", {"C:\\office.exe"}, RegistryRoot::LocalMachine);
    StoreCodedList(registry, home, "Run", {"C:\\home.exe"}, RegistryRoot::LocalMachine);
    platform.shell.existing = {"C:\\office.exe", "C:\\home.exe"};
    // Another program swaps the two names during the before-run wait.
    presenter.onWait = [&] {
        ConfigurationStore store(registry);
        store.SetConfigurationName(1, "Home", RegistryRoot::LocalMachine);
        store.SetConfigurationName(2, "Office", RegistryRoot::LocalMachine);
    };

    EXPECT_EQ(Apply("f.exe /apply Office"), ExitCode::Done);

    EXPECT_EQ(journal, std::vector<std::string>{"open: C:\\office.exe | "});
}

TEST(ListConfigurations, WritesTheNamesOfTheSelectedRootInTheListOrder)
{
    FakeNetworkMachine machine;
    ConfigurationStore store(machine.registry);
    for (const char* name : {"beta", "Alpha", "  gamma ", "alpha"})
        store.SetConfigurationName(store.AllocateConfigurationNumber(RegistryRoot::CurrentUser),
                                   name, RegistryRoot::CurrentUser);
    store.SetConfigurationName(1, "Shared", RegistryRoot::LocalMachine);
    machine.registry.WriteDword(kSettingsKey, "UserSettings", 1, RegistryRoot::LocalMachine);
    RecordingOutput output;
    const auto caseless = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    };

    EXPECT_EQ(ListConfigurations(machine.registry, caseless, output), ExitCode::Done);

    EXPECT_EQ(output.lines, (std::vector<std::string>{"Alpha", "alpha", "beta", "gamma"}))
        << "trimmed, ordered, equal names in enumeration order";
}

TEST(OutputLine, EveryLineBreakBecomesOneSpace)
{
    EXPECT_EQ(OutputLine("a\r\nb\nc\rd"), "a b c d");
    EXPECT_EQ(OutputLine("one"), "one");
    RecordingOutput output;
    WriteErrorLine(output, "Invalid interface\nfound");
    EXPECT_EQ(output.lines, std::vector<std::string>{"error: Invalid interface found"});
}

// The lines a copy started elevated wrote to its file come back one by one.
TEST(SplitOutputLines, GivesBackTheLinesAsWritten)
{
    struct Case {
        const char* text;
        StringList lines;
    };
    const Case cases[] = {
        {"", {}},
        {"one\r\n", {"one"}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\r\n\r\nthree", {"one", "", "three"}},
        {"unix\nends\n", {"unix", "ends"}},
        {"a\rb\r\n", {"a\rb"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitOutputLines(c.text), c.lines) << c.text;
}

const std::string kLmhostsPath = "C:\\WINDOWS\\system32\\Drivers\\Etc\\lmhosts";

TEST_F(ApplyCommandTest, UndoPutsBackWhatTheLastApplyChangedAndCanItselfBeUndone)
{
    const std::string key = Add(2, "Office");
    StorePackedList(registry, key, "Hostfile", {"10.0.0.1 server"}, RegistryRoot::LocalMachine);
    StoreOptions(key, {1, 0, 0, 0, 0, 0});
    platform.files.files[kHostsPath] = "127.0.0.1 localhost\r\n";

    ASSERT_EQ(Apply("f.exe /apply Office"), ExitCode::Done);
    EXPECT_EQ(output.lines, std::vector<std::string>{});
    presenter.journal.clear();

    EXPECT_EQ(RunUndoCommand(registry, platform.run, output, presenter), ExitCode::Done);
    EXPECT_EQ(platform.files.files[kHostsPath], "127.0.0.1 localhost\r\n");
    EXPECT_EQ(platform.files.files.count(kLmhostsPath), 0u);
    ASSERT_EQ(output.lines.size(), 2u);
    EXPECT_EQ(output.lines[0].rfind("undid the run of \"Office\" at ", 0), 0u) << output.lines[0];
    EXPECT_EQ(output.lines[1], kProgramsNotUndone);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Writing Hostfile", "Writing LMHostfile"}));

    EXPECT_EQ(RunUndoCommand(registry, platform.run, output, presenter), ExitCode::Done);
    EXPECT_EQ(platform.files.files[kHostsPath], "10.0.0.1 server\n");
}

TEST_F(ApplyCommandTest, UndoWithoutAUsableSnapshotIsNoSuchConfigurationAndChangesNothing)
{
    EXPECT_EQ(RunUndoCommand(registry, platform.run, output, presenter),
              ExitCode::NoSuchConfiguration);
    ASSERT_EQ(output.lines.size(), 1u);
    EXPECT_EQ(output.lines[0].rfind("error: nothing to undo: there is no snapshot", 0), 0u);

    registry.WriteBinary(kSettingsKey, "LastRunSnapshot", {'F', 'L', 'S', 'S', 1, 0, 0, 0, 9},
                         RegistryRoot::LocalMachine);
    output.lines.clear();
    EXPECT_EQ(RunUndoCommand(registry, platform.run, output, presenter),
              ExitCode::NoSuchConfiguration);
    EXPECT_EQ(output.lines, std::vector<std::string>{
                                "error: nothing to undo: the stored snapshot cannot be used: "
                                "it is not a snapshot"});
    EXPECT_TRUE(presenter.journal.empty());
    EXPECT_TRUE(platform.files.files.empty());
}

TEST_F(ApplyCommandTest, ARunWhoseSnapshotCannotBeStoredGoesOnAndSaysUndoIsUnavailable)
{
    const std::string key = Add(2, "Office");
    StorePackedList(registry, key, "Hostfile", {"10.0.0.1 server"}, RegistryRoot::LocalMachine);
    StoreOptions(key, {1, 0, 0, 0, 0, 0});
    platform.files.broken.insert(kLmhostsPath);

    EXPECT_EQ(Apply("f.exe /apply Office"), ExitCode::Done);
    EXPECT_EQ(platform.files.files[kHostsPath], "10.0.0.1 server\n");
    ASSERT_EQ(output.lines.size(), 1u);
    EXPECT_EQ(output.lines[0].rfind("warning: the state before the run could not be stored", 0),
              0u);
    output.lines.clear();
    EXPECT_EQ(RunUndoCommand(registry, platform.run, output, presenter),
              ExitCode::NoSuchConfiguration);
}

TEST_F(ApplyCommandTest, CaptureStoresANewConfigurationUnderAFreeName)
{
    Add(2, "Office");
    platform.files.files[kHostsPath] = "127.0.0.1 localhost\n";
    const struct {
        const char* commandLine;
        ExitCode code;
    } cases[] = {
        {"f.exe /capture office", ExitCode::NameTaken},
        {"f.exe /capture \"a\x01b\"", ExitCode::BadUsage},
        {"f.exe /capture \"Now\"", ExitCode::Done},
        {"f.exe /capture now", ExitCode::NameTaken},
        // Any name the store holds, not only what the dialog lets a person type.
        {"f.exe /capture \"B\xFCro \x80 a/b\"", ExitCode::Done},
    };
    for (const auto& c : cases) {
        output.lines.clear();
        EXPECT_EQ(RunCaptureCommand(registry, platform.run, ParseVerbCommand(c.commandLine), output),
                  c.code)
            << c.commandLine;
        ASSERT_EQ(output.lines.size(), 1u);
    }
    EXPECT_EQ(
        ConfigurationStore(registry).ListConfigurationNames(RegistryRoot::LocalMachine).size(), 3u);
    ByteArray hosts;
    EXPECT_TRUE(registry.ReadBinary(ConfigurationKeyPath(1), "Hostfile", hosts,
                                    RegistryRoot::LocalMachine));
}

TEST_F(ApplyCommandTest, PreviewWritesTheChangesAndChangesNothing)
{
    const std::string key = Add(2, "Office");
    StorePackedList(registry, key, "Hostfile", {"10.0.0.1 server"}, RegistryRoot::LocalMachine);
    StoreCodedList(registry, key, "Run", {"C:\\vpn.exe"}, RegistryRoot::LocalMachine);
    StoreOptions(key, {0, 0, 0, 0, 0, 0});

    const VerbCommand command = ParseVerbCommand("f.exe /preview Office /only files,programs");
    ApplyPlan plan;
    ASSERT_TRUE(PlanApply(registry, platform.system, command, output, plan));
    EXPECT_EQ(RunPreviewCommand(registry, platform.run, plan, output), ExitCode::Done);
    EXPECT_EQ(output.lines, (std::vector<std::string>{
                                "hosts: missing -> 1 line", "  + 10.0.0.1 server",
                                "No change: start page", "Cannot be undone: starts C:\\vpn.exe"}));
    EXPECT_TRUE(platform.files.files.empty());
    EXPECT_EQ(Stored(key), (std::array<uint32_t, kAreaCount>{0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(presenter.journal.empty());
    EXPECT_TRUE(journal.empty());
}

// Which state a preview reads of a card goes by the major version, as the
// run's card loop does: its interface key below 10, its live adapter from 10
// on.
TEST_F(ApplyCommandTest, PreviewOnTenComparesTheCardWithItsAdapterAndOnFiveWithItsInterfaceKey)
{
    machine.AddCard("0007", "Card Seven", "{CARD-7}", "PCI\\VEN_7");
    const std::string card = Add(1, "Office") + "\\0007";
    registry.WriteDword(card, "Disabled", 0, RegistryRoot::LocalMachine);
    registry.WriteDword(card, "DHCP", 0, RegistryRoot::LocalMachine);
    registry.WriteDword(card, "IP", 0x0A000005, RegistryRoot::LocalMachine);
    registry.WriteDword(card, "Netmask", 0xFFFFFF00, RegistryRoot::LocalMachine);
    FakeInterfaceConfigurator interfaces;
    AdapterSnapshot adapter;
    adapter.guid = "{CARD-7}";
    adapter.dhcp = true;
    interfaces.adapters = {adapter};
    const RunPlatform run = platform.WithInterfaces(interfaces);
    for (uint32_t major : {5u, 10u}) {
        platform.system.majorVersion = major;
        output.lines.clear();
        ApplyPlan plan;
        ASSERT_TRUE(PlanApply(registry, platform.system,
                              ParseVerbCommand("f.exe /preview Office /only network"), output,
                              plan));
        EXPECT_EQ(RunPreviewCommand(registry, run, plan, output), ExitCode::Done);
        const bool onAdapter =
            std::find(output.lines.begin(), output.lines.end(),
                      "Card Seven addresses: DHCP -> 10.0.0.5/255.255.255.0") != output.lines.end();
        const bool ofInterfaceKey =
            std::find(output.lines.begin(), output.lines.end(),
                      "Card Seven IPAddress: (none) -> 10.0.0.5") != output.lines.end();
        EXPECT_EQ(onAdapter, major == 10) << major << ::testing::PrintToString(output.lines);
        EXPECT_EQ(ofInterfaceKey, major == 5) << major << ::testing::PrintToString(output.lines);
    }
    EXPECT_EQ(interfaces.listCalls, 1) << "the adapters are listed on 10 only";
}

}  // namespace
}  // namespace flipset
