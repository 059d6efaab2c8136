// The run sequence against a fake main window and fake platform services:
// what a user sees in the title bar and in message boxes, in which order the
// areas are applied, and what a run leaves in the registry.

#include "engine/RunSequence.h"
#include "store/ConfigurationStore.h"
#include "support/ConfigurationSeed.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakePlatform.h"
#include "support/FakeRunHost.h"
#include "support/FakeServiceManager.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace flipset {
namespace {

const std::string kHostsPath = "C:\\WINDOWS\\system32\\Drivers\\Etc\\hosts";
const std::string kStartPageKey = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string kTitle = "Quillon Configuration Flipset";

class RunSequenceTest : public ::testing::Test {
protected:
    // A configuration with the given name, below the root of the host's
    // settings-root choice.
    std::string AddConfiguration(int number, const std::string& name)
    {
        store.SetConfigurationName(number, name, Root());
        return ConfigurationKeyPath(number);
    }
    void WriteList(int number, const char* value, const StringList& entries, bool coded)
    {
        if (coded)
            StoreCodedList(registry, ConfigurationKeyPath(number), value, entries, Root());
        else
            StorePackedList(registry, ConfigurationKeyPath(number), value, entries, Root());
    }
    uint32_t Stored(int number, Area option)
    {
        return registry.ReadDword(ConfigurationKeyPath(number), Describe(option).optionValue, 99,
                                  Root());
    }
    void SetWait(const char* name, uint32_t milliseconds)
    {
        registry.WriteDword("Software\\Quillon\\Flipset", name, milliseconds,
                            RegistryRoot::LocalMachine);
    }
    void CheckAll(bool on)
    {
        for (const AreaDescriptor& area : kAreas)
            host.options[area.area] = on;
    }
    RegistryRoot Root() const { return ConfigurationRoot(host.settingsRootChoice); }

    FakeNetworkMachine machine;
    CRegistry& registry = machine.registry;
    ConfigurationStore store{registry};
    FakeRunHost host;
    FakeRunPlatform platform{host.journal, machine.devices};
    RunSequence sequence{registry, host, platform.run};
};

TEST_F(RunSequenceTest, AppliesEveryAreaInOrderAndClosesTheWindow)
{
    const std::string key = AddConfiguration(3, "Office");
    WriteList(3, "Hostfile", {"127.0.0.1 localhost"}, false);
    WriteList(3, "LMHostfile", {"10.0.0.1 server"}, false);
    registry.WriteString(key, "Wallpaper", "C:\\office.bmp", Root());
    registry.WriteString(key, "IEHOME", "http://intranet/", Root());
    machine.AddCard("7", "Office LAN", "{SERVICE-7}", "PCI\\LAN\\7");
    registry.WriteDword(key + "\\7", "Disabled", 0, Root());
    platform.services.Add("Spooler", ServiceState::kStopped);
    platform.services.Add("Fax", ServiceState::kRunning);
    WriteList(3, "ServicesStop", {"Spooler"}, true);
    WriteList(3, "ServicesStart", {"Fax"}, true);
    platform.shell.existing.insert("C:\\tools\\sync.exe");
    WriteList(3, "Run", {"C:\\tools\\sync.exe [/quiet]"}, true);
    host.selectedText = "  office ";

    sequence.RunConfiguration();

    EXPECT_EQ(
        host.Lines("caption: "),
        (std::vector<std::string>{
            "Writing Hostfile", "Writing LMHostfile", "Desktop settings", "Setting Office LAN",
            "Stopping Service Spooler", "Starting Service Fax", "Waiting BeforeRunTimeout",
            "Waiting BeforeRunTimeout Completed", "Running C:\\tools\\sync.exe [/quiet]",
            "Waiting InRunTimeout", "Waiting InRunTimeout Completed", kTitle + " - Ready"}));
    EXPECT_EQ(host.Lines("error: "), std::vector<std::string>{});
    EXPECT_EQ(host.Lines("open: "), std::vector<std::string>{"C:\\tools\\sync.exe | /quiet"});
    EXPECT_EQ(platform.files.files[kHostsPath], "127.0.0.1 localhost\n");
    EXPECT_EQ(registry.ReadString(kStartPageKey, "Start Page", "", RegistryRoot::CurrentUser),
              "http://intranet/");
    // Before-run wait, the wait after the program, the after-run wait: the
    // defaults when the program settings hold none.
    ASSERT_GE(host.waits.size(), 3u);
    EXPECT_EQ(std::vector<uint32_t>(host.waits.end() - 3, host.waits.end()),
              (std::vector<uint32_t>{10000, 1000, 1000}));
    for (const AreaDescriptor& area : kAreas)
        EXPECT_EQ(Stored(3, area.area), 1u) << area.optionValue;
    EXPECT_EQ(host.journal.back(), "end: 1");
    EXPECT_FALSE(host.busy);
    EXPECT_FALSE(host.buttonsEnabled[RunButton::Run]) << "the window closes with its buttons off";
    EXPECT_EQ(host.waitCursorDepth, 0);
}

TEST_F(RunSequenceTest, WithEveryOptionOffOnlyTheStartPageAndTheWaitsRemain)
{
    const std::string key = AddConfiguration(1, "Home");
    WriteList(1, "Hostfile", {"x"}, false);
    registry.WriteString(key, "IEHOME", "http://home/", Root());
    WriteList(1, "Run", {"C:\\a.exe"}, true);
    platform.shell.existing.insert("C:\\a.exe");
    host.selectedText = "Home";
    CheckAll(false);

    sequence.RunConfiguration();

    EXPECT_EQ(host.Lines("caption: "),
              (std::vector<std::string>{"Waiting BeforeRunTimeout",
                                        "Waiting BeforeRunTimeout Completed"}));
    EXPECT_EQ(host.waits, (std::vector<uint32_t>{10000, 1000}));
    EXPECT_TRUE(platform.files.files.empty());
    EXPECT_EQ(registry.ReadString(kStartPageKey, "Start Page", "", RegistryRoot::CurrentUser),
              "http://home/");
    for (const AreaDescriptor& area : kAreas)
        EXPECT_EQ(Stored(1, area.area), 0u) << area.optionValue;
    EXPECT_EQ(host.endModalResult, 1);
}

TEST_F(RunSequenceTest, TheProxyComesAfterTheDesktopWhenItsBoxIsChecked)
{
    const std::string key = AddConfiguration(2, "Office");
    registry.WriteDword(key, "ProxyEnable", 1, Root());
    registry.WriteString(key, "ProxyServer", "proxy.office.example:8080", Root());
    host.selectedText = "Office";
    host.options[Area::Files] = false;
    const std::string settingsKey =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

    for (const bool proxyChecked : {false, true}) {
        host.journal.clear();
        host.options[Area::Proxy] = proxyChecked;
        sequence.RunConfiguration();
        const std::vector<std::string> captions = host.Lines("caption: ");
        ASSERT_GE(captions.size(), 2u);
        EXPECT_EQ(captions[0], "Desktop settings");
        EXPECT_EQ(captions[1], proxyChecked ? "Proxy settings" : "Waiting BeforeRunTimeout");
        EXPECT_EQ(
            registry.ReadString(settingsKey, "ProxyServer", "<none>", RegistryRoot::CurrentUser),
            proxyChecked ? "proxy.office.example:8080" : "<none>");
        EXPECT_EQ(Stored(2, Area::Proxy), proxyChecked ? 1u : 0u);
    }
}

TEST_F(RunSequenceTest, ASelectionThatNamesNoConfigurationStopsTheRunAndKeepsTheWindow)
{
    AddConfiguration(1, "Home");
    for (const std::string selection : {"", "   ", "Elsewhere"}) {
        FakeRunHost fresh;
        fresh.selectedText = selection;
        RunSequence run(registry, fresh, platform.run);
        run.RunConfiguration();
        EXPECT_EQ(
            fresh.journal,
            std::vector<std::string>{"error: Error. Unable to find the selected configuration."})
            << "'" << selection << "'";
        EXPECT_FALSE(fresh.busy);
        EXPECT_EQ(fresh.buttonRestores, 1);
        EXPECT_EQ(fresh.endModalResult, 0);
        EXPECT_EQ(fresh.waitCursorDepth, 0);
    }
    EXPECT_EQ(Stored(1, Area::Files), 99u) << "nothing is written";
    StringList keys = registry.EnumSubKeys("Software\\Quillon\\Flipset\\Configurations", Root());
    EXPECT_EQ(keys, StringList{"1"});
}

// A desktop whose wallpaper call fails by throwing, as an allocation might.
class ThrowingDesktop : public FakeDesktop {
public:
    using FakeDesktop::FakeDesktop;
    void SetWallpaper(const std::string&) override { throw std::runtime_error("wallpaper"); }
};

TEST_F(RunSequenceTest, APhaseThatThrowsLeavesTheWindowUsable)
{
    const std::string key = AddConfiguration(1, "Home");
    registry.WriteString(key, "Wallpaper", "C:\\home.bmp", Root());
    host.selectedText = "Home";
    ThrowingDesktop throwing{host.journal};
    const RunPlatform failing = platform.WithDesktop(throwing);
    RunSequence run(registry, host, failing);

    EXPECT_THROW(run.RunConfiguration(), std::runtime_error);
    EXPECT_FALSE(host.busy);
    for (RunButton button : kRunButtons)
        EXPECT_TRUE(host.buttonsEnabled[button]) << static_cast<int>(button);
    EXPECT_EQ(host.waitCursorDepth, 0);
    EXPECT_EQ(host.caption, kTitle) << "the title is put back";
    EXPECT_EQ(host.endModalResult, 0) << "the window stays open";

    // Nothing is left that would refuse the next run.
    host.journal.clear();
    sequence.RunConfiguration();
    EXPECT_EQ(host.journal.back(), "end: 1");
}

TEST_F(RunSequenceTest, ARunWhileBusyReturnsAtOnce)
{
    AddConfiguration(1, "Home");
    host.selectedText = "Home";
    host.busy = true;
    sequence.RunConfiguration();
    EXPECT_TRUE(host.journal.empty());
    EXPECT_TRUE(host.busy);
    EXPECT_TRUE(host.buttonsEnabled[RunButton::Run]);
    EXPECT_EQ(host.waitCursorDepth, 0);
}

TEST_F(RunSequenceTest, ASecondRunDuringAWaitChangesNothing)
{
    AddConfiguration(1, "Home");
    host.selectedText = "Home";
    CheckAll(false);
    sequence.RunConfiguration();
    const std::vector<std::string> alone = host.journal;

    FakeRunHost again;
    again.selectedText = "Home";
    again.options = host.options;
    RunSequence run(registry, again, platform.run);
    again.onWait = [&](uint32_t) { run.RunConfiguration(); };
    run.RunConfiguration();
    EXPECT_EQ(again.journal, alone);
}

TEST_F(RunSequenceTest, OnMajorVersionSixTheNetworkPhaseIsSkippedAndStoredOff)
{
    const std::string key = AddConfiguration(2, "Lab");
    machine.AddCard("7", "Lab LAN", "{SERVICE-7}", "PCI\\LAN\\7");
    registry.WriteDword(key + "\\7", "Disabled", 0, Root());
    host.selectedText = "Lab";
    platform.system.majorVersion = 6;

    sequence.RunConfiguration();

    EXPECT_EQ(Stored(2, Area::Network), 0u);
    EXPECT_EQ(Stored(2, Area::Files), 1u);
    for (const std::string& caption : host.Lines("caption: "))
        EXPECT_EQ(caption.find("Setting"), std::string::npos) << caption;
    EXPECT_EQ(machine.devices.ListRequests(), 0);
}

TEST_F(RunSequenceTest, EachPhaseReadsItsOptionWhenItBegins)
{
    AddConfiguration(1, "Home");
    WriteList(1, "Run", {"C:\\a.exe"}, true);
    platform.shell.existing.insert("C:\\a.exe");
    host.selectedText = "Home";
    // Unchecked during the before-run wait: the programs are not started,
    // although the option was stored as checked.
    host.onWait = [&](uint32_t) { host.options[Area::Programs] = false; };

    sequence.RunConfiguration();

    EXPECT_EQ(Stored(1, Area::Programs), 1u);
    EXPECT_TRUE(host.Lines("open: ").empty());
    EXPECT_TRUE(host.Lines("caption: Running").empty());
}

TEST_F(RunSequenceTest, EveryReadResolvesTheSelectionAfresh)
{
    AddConfiguration(1, "First");
    AddConfiguration(2, "Second");
    WriteList(1, "Run", {"C:\\first.exe"}, true);
    WriteList(2, "Run", {"C:\\second.exe"}, true);
    platform.shell.existing = {"C:\\first.exe", "C:\\second.exe"};
    host.selectedText = "First";
    // The user selects another configuration during the before-run wait.
    host.onWait = [&](uint32_t milliseconds) {
        if (milliseconds == 10000)
            host.selectedText = "Second";
    };

    sequence.RunConfiguration();

    EXPECT_EQ(Stored(1, Area::Files), 1u);
    EXPECT_EQ(Stored(2, Area::Files), 99u);
    EXPECT_EQ(host.Lines("open: "), std::vector<std::string>{"C:\\second.exe | "});
}

TEST_F(RunSequenceTest, TheWaitsComeFromTheMachinesProgramSettings)
{
    struct Case {
        uint32_t beforeRun;
        std::vector<uint32_t> waits;  // before-run, after the program, after-run
    };
    const Case cases[] = {{3000, {3000, 3000, 1000}}, {0, {0, 0, 1000}}};
    for (const Case& c : cases) {
        AddConfiguration(1, "Home");
        WriteList(1, "Run", {"C:\\a.exe"}, true);
        platform.shell.existing = {"C:\\a.exe"};
        SetWait("BeforeRunTimout", c.beforeRun);
        FakeRunHost fresh;
        fresh.selectedText = "Home";
        fresh.options = {{Area::Programs, true}};
        RunSequence run(registry, fresh, platform.run);
        run.RunConfiguration();
        EXPECT_EQ(fresh.waits, c.waits) << c.beforeRun;
    }
    SetWait("AfterRunTimout", 2500);
    host.selectedText = "Home";
    CheckAll(false);
    sequence.RunConfiguration();
    EXPECT_EQ(host.waits.back(), 2500u);
}

TEST_F(RunSequenceTest, PerUserSettingsRunAConfigurationOfTheCurrentUser)
{
    host.settingsRootChoice = 1;
    AddConfiguration(4, "Mine");
    store.SetConfigurationName(4, "Shared", RegistryRoot::LocalMachine);
    host.selectedText = "Mine";
    CheckAll(false);
    sequence.RunConfiguration();
    EXPECT_EQ(host.endModalResult, 1);
    EXPECT_EQ(registry.ReadDword(ConfigurationKeyPath(4), "dofiles", 99, RegistryRoot::CurrentUser),
              0u);
    EXPECT_EQ(
        registry.ReadDword(ConfigurationKeyPath(4), "dofiles", 99, RegistryRoot::LocalMachine),
        99u);
}

}  // namespace
}  // namespace flipset
