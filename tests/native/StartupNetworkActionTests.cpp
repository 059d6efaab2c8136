#include "app/CommandLine.h"
#include "app/StartupNetworkAction.h"
#include "support/FakeDeviceInstaller.h"
#include "support/FakeElevation.h"
#include "support/FakePlatform.h"
#include "support/FakeRunHost.h"

#include <gtest/gtest.h>

namespace flipset {
namespace {

// One enabled and one disabled card; the start-up option decides what
// happens to them before any window shows.
TEST(StartupNetworkAction, FollowsTheStoredOptionUnlessSwitchedOff)
{
    struct Case {
        const char* what;
        int option;  // -1: no value stored
        const char* commandLine;
        bool majorVersion6;
        bool firstEnabled;
        bool secondEnabled;
    };
    const Case cases[] = {
        {"no option stored", -1, "flipset.exe", false, true, false},
        {"do nothing", 0, "flipset.exe", false, true, false},
        {"enable all", 1, "flipset.exe", false, true, true},
        {"disable all", 2, "flipset.exe", false, false, false},
        {"unknown option", 3, "flipset.exe", false, true, false},
        {"switch", 2, "flipset.exe /NONICCHANGE", false, true, false},
        {"switch in small letters", 2, "flipset.exe /nonicchange", false, true, false},
        {"switch with more letters", 2, "flipset.exe /NONICCHANGEPLEASE", false, true, false},
        {"switch as the program path only", 2, "/NONICCHANGE", false, false, false},
        {"other argument", 2, "flipset.exe /NONIC", false, false, false},
        {"major version 6", 2, "flipset.exe", true, true, false},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        machine.AddCard("1", "Wired", "{WIRED}", "PCI\\WIRED", true);
        machine.AddCard("2", "Wireless", "{WIRELESS}", "PCI\\WIRELESS", false);
        if (c.option >= 0)
            machine.registry.WriteDword("Software\\Quillon\\Flipset", "startupoption",
                                        static_cast<uint32_t>(c.option),
                                        RegistryRoot::LocalMachine);
        FakeRunHost messages;
        FakeSystem system;
        system.majorVersion = c.majorVersion6 ? 6 : 5;

        EXPECT_TRUE(ApplyStartupNetworkAction(machine.registry, machine.devices, messages, system,
                                              FakeElevation(), SplitCommandLine(c.commandLine)))
            << c.what;

        EXPECT_EQ(machine.devices.devices[0].enabled, c.firstEnabled) << c.what;
        EXPECT_EQ(machine.devices.devices[1].enabled, c.secondEnabled) << c.what;
        EXPECT_TRUE(messages.journal.empty()) << c.what;
    }
}

TEST(StartupNetworkAction, TheOptionIsReadUnderTheChosenRoot)
{
    FakeNetworkMachine machine;
    machine.AddCard("1", "Wired", "{WIRED}", "PCI\\WIRED", true);
    machine.registry.WriteDword("Software\\Quillon\\Flipset", "UserSettings", 1,
                                RegistryRoot::LocalMachine);
    machine.registry.WriteDword("Software\\Quillon\\Flipset", "startupoption", 1,
                                RegistryRoot::LocalMachine);
    machine.registry.WriteDword("Software\\Quillon\\Flipset", "startupoption", 2,
                                RegistryRoot::CurrentUser);
    FakeRunHost messages;
    FakeSystem system;
    ApplyStartupNetworkAction(machine.registry, machine.devices, messages, system,
                              FakeElevation(), SplitCommandLine("flipset.exe"));
    EXPECT_FALSE(machine.devices.devices[0].enabled);
}

// Switching cards needs administrator rights on 10 and later: without them
// a due action touches no card and says so; with nothing due, nothing is said.
TEST(StartupNetworkAction, WithoutRightsOnTenADueActionTouchesNoCard)
{
    struct Case {
        int option;
        uint32_t majorVersion;
        bool elevated;
        bool done;
        bool enabledAfter;
    };
    const Case cases[] = {
        {2, 10, false, false, true}, {1, 10, false, false, false}, {0, 10, false, true, false},
        {2, 10, true, true, false},  {2, 5, false, true, false},
    };
    for (const Case& c : cases) {
        FakeNetworkMachine machine;
        machine.AddCard("1", "Wired", "{WIRED}", "PCI\\WIRED", c.option == 2);
        machine.registry.WriteDword("Software\\Quillon\\Flipset", "startupoption",
                                    static_cast<uint32_t>(c.option), RegistryRoot::LocalMachine);
        FakeRunHost messages;
        FakeSystem system;
        system.majorVersion = c.majorVersion;
        EXPECT_EQ(ApplyStartupNetworkAction(machine.registry, machine.devices, messages, system,
                                            FakeElevation(c.elevated),
                                            SplitCommandLine("flipset.exe")),
                  c.done)
            << c.option << " on " << c.majorVersion << ", elevated " << c.elevated;
        EXPECT_EQ(machine.devices.devices[0].enabled, c.enabledAfter)
            << c.option << " on " << c.majorVersion << ", elevated " << c.elevated;
    }
}

}  // namespace
}  // namespace flipset
