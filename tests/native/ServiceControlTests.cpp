#include "engine/ServiceControl.h"

#include "support/ConfigurationSeed.h"
#include "support/FakeRunHost.h"
#include "support/FakeServiceManager.h"
#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace flipset {
namespace {

using Lines = std::vector<std::string>;

// Spelled out here rather than taken from the code: these are stored data.
constexpr const char* kSettingsKey = "Software\\Quillon\\Flipset";
constexpr const char* kConfigurationKey = "Software\\Quillon\\Flipset\\Configurations\\1";

// A run of the services phase over a configuration "Office" that the host's
// list has selected, with the fake service control manager.
struct Phase {
    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeRunHost host;
    FakeServiceManager services;

    Phase()
    {
        registry.WriteString(kConfigurationKey, "Name", "Office", RegistryRoot::LocalMachine);
        host.selectedText = "Office";
    }

    void SetWait(const char* name, uint32_t milliseconds)
    {
        registry.WriteDword(kSettingsKey, name, milliseconds, RegistryRoot::LocalMachine);
    }
    void SetCodedList(const char* value, const StringList& codedEntries)
    {
        StorePackedList(registry, kConfigurationKey, value, codedEntries,
                        RegistryRoot::LocalMachine);
    }
    void SetList(const char* value, const StringList& names)
    {
        StoreCodedList(registry, kConfigurationKey, value, names, RegistryRoot::LocalMachine);
    }
    void SetStopList(const StringList& names) { SetList("ServicesStop", names); }
    void SetStartList(const StringList& names) { SetList("ServicesStart", names); }

    void RunPhase()
    {
        RunContext ctx(registry, host);
        EXPECT_NO_THROW(RunServicesPhase(ctx, services));
        EXPECT_EQ(services.openHandles, 0) << "every handle is closed";
    }

    // The interrogations made after the first stop request of the service.
    int PollsAfterStop(const std::string& name) const
    {
        auto stop = std::find(services.calls.begin(), services.calls.end(), "stop " + name);
        return static_cast<int>(std::count(stop, services.calls.end(), "interrogate " + name));
    }
};

class ServicesPhaseTest : public ::testing::Test, protected Phase {};

TEST_F(ServicesPhaseTest, StopsThenStartsEachEntryWithItsCaptionMessageAndWait)
{
    SetWait("ServiceStopTimout", 200);
    SetWait("ServiceStartTimout", 300);
    services.Add("Spooler", ServiceState::kRunning);
    services.Add("Alpha", ServiceState::kStopped);
    services.Add("Beta", ServiceState::kStopped).startError = 1058;  // disabled
    SetStopList({"Spooler", "Missing"});
    SetStartList({"Alpha", "Beta"});

    RunPhase();

    EXPECT_EQ(host.journal, (Lines{
                                "caption: Stopping Service Spooler",
                                "wait: 200",
                                "caption: Stopping Service Missing",
                                "error: Error stopping the service Missing with code Service "
                                "does not exist",
                                "wait: 200",
                                "caption: Starting Service Alpha",
                                "wait: 300",
                                "caption: Starting Service Beta",
                                "error: Error starting the service Beta",
                                "wait: 300",
                            }));
    EXPECT_EQ(services.services["Spooler"].state, ServiceState::kStopped);
    EXPECT_EQ(services.services["Alpha"].state, ServiceState::kRunning);
}

TEST_F(ServicesPhaseTest, WaitsDefaultToOneSecond)
{
    services.Add("Spooler", ServiceState::kStopped);
    SetStopList({"Spooler"});
    SetStartList({"Spooler"});

    RunPhase();

    EXPECT_EQ(host.waits, (std::vector<uint32_t>{1000, 1000}));
}

TEST_F(ServicesPhaseTest, EachListIsSkippedWhenMissingAndTheOtherStillRuns)
{
    SetWait("ServiceStopTimout", 200);
    SetWait("ServiceStartTimout", 300);
    services.Add("Spooler", ServiceState::kStopped);

    RunPhase();
    EXPECT_TRUE(host.journal.empty());
    EXPECT_TRUE(services.calls.empty());

    SetStartList({"Spooler"});
    RunPhase();
    EXPECT_EQ(host.journal, (Lines{"caption: Starting Service Spooler", "wait: 300"}));

    host.journal.clear();
    registry.DeleteValue(kConfigurationKey, "ServicesStart", RegistryRoot::LocalMachine);
    SetStopList({"Spooler"});
    RunPhase();
    EXPECT_EQ(host.journal, (Lines{"caption: Stopping Service Spooler", "wait: 200"}));
}

TEST_F(ServicesPhaseTest, ListsOfAnotherConfigurationAreNotRead)
{
    services.Add("Spooler", ServiceState::kRunning);
    SetStopList({"Spooler"});
    host.selectedText = "Home";

    RunPhase();

    EXPECT_TRUE(host.journal.empty());
    EXPECT_EQ(services.services["Spooler"].state, ServiceState::kRunning);
}

TEST_F(ServicesPhaseTest, AlreadyStoppedServiceGetsNoStopRequestNoMessageAndOneWait)
{
    services.Add("Spooler", ServiceState::kStopped);
    SetStopList({"Spooler"});

    RunPhase();

    EXPECT_EQ(host.journal, (Lines{"caption: Stopping Service Spooler", "wait: 1000"}));
    EXPECT_EQ(services.Count("stop Spooler"), 0);
}

TEST_F(ServicesPhaseTest, EntryThatDecodesToNothingIsProcessedWithTheEmptyName)
{
    SetWait("ServiceStopTimout", 200);
    SetCodedList("ServicesStop", {"NOT A CODED ENTRY"});

    RunPhase();

    EXPECT_EQ(host.journal,
              (Lines{"caption: Stopping Service ",
                     "error: Error stopping the service  with code Service does not exist",
                     "wait: 200"}));
    EXPECT_EQ(services.Count("open "), 1);
}

// An entry that fails unexpectedly is abandoned, wait included; the entries
// after it, in both lists, are handled as usual.
TEST_F(ServicesPhaseTest, ExceptionAbandonsOnlyItsOwnEntry)
{
    SetWait("ServiceStopTimout", 200);
    SetWait("ServiceStartTimout", 300);
    services.Add("Broken", ServiceState::kRunning);
    services.Add("Spooler", ServiceState::kRunning);
    services.Add("Alpha", ServiceState::kStopped);
    services.onCall = [](const std::string& call) {
        if (call == "open Broken")
            throw std::runtime_error("platform failure");
    };
    SetStopList({"Broken", "Spooler"});
    SetStartList({"Broken", "Alpha"});

    RunPhase();

    EXPECT_EQ(host.journal, (Lines{
                                "caption: Stopping Service Broken",
                                "caption: Stopping Service Spooler",
                                "wait: 200",
                                "caption: Starting Service Broken",
                                "caption: Starting Service Alpha",
                                "wait: 300",
                            }));
    EXPECT_EQ(services.services["Spooler"].state, ServiceState::kStopped);
    EXPECT_EQ(services.services["Alpha"].state, ServiceState::kRunning);
}

TEST_F(ServicesPhaseTest, ExceptionFromTheWindowAbandonsOnlyItsOwnEntry)
{
    services.Add("Spooler", ServiceState::kStopped);
    services.Add("Alpha", ServiceState::kStopped);
    int waitsSeen = 0;
    host.onWait = [&](uint32_t) {
        if (++waitsSeen == 1)
            throw std::runtime_error("window gone");
    };
    SetStopList({"Spooler", "Missing"});

    RunPhase();

    EXPECT_EQ(host.Lines("caption: "),
              (Lines{"Stopping Service Spooler", "Stopping Service Missing"}));
    EXPECT_EQ(host.Lines("error: "),
              (Lines{"Error stopping the service Missing with code Service does not exist"}));
}

TEST_F(ServicesPhaseTest, ServiceThatCannotBeOpenedIsReportedWithTheReason)
{
    struct Case {
        const char* what;
        bool managerOpens;
        bool installed;
        uint32_t openError;
        const char* reason;
    };
    const Case cases[] = {
        {"no manager", false, true, 0, "No Handle to the ServiceManager"},
        {"access denied", true, true, 5, "Acceess Denied"},
        {"invalid handle", true, true, 6, "Invalid Handle"},
        {"invalid name", true, true, 123, "Invalid Name"},
        {"not installed", true, false, 0, "Service does not exist"},
        {"marked for deletion", true, true, 1072, "No Handle to the Service available"},
    };
    for (const Case& c : cases) {
        Phase p;
        p.services.managerOpens = c.managerOpens;
        if (c.installed)
            p.services.Add("Spooler", ServiceState::kStopped).openError = c.openError;
        p.SetStopList({"Spooler"});

        p.RunPhase();

        EXPECT_EQ(
            p.host.journal,
            (Lines{"caption: Stopping Service Spooler",
                   std::string("error: Error stopping the service Spooler with code ") + c.reason,
                   "wait: 1000"}))
            << c.what;
        EXPECT_EQ(p.services.Count("stop Spooler"), 0) << c.what;
    }
}

// A stop request that is refused is repeated once after one stop timeout;
// the service's state then decides, and the refusal names the reason.
TEST_F(ServicesPhaseTest, RefusedStopIsRetriedOnceAndReportedWithItsText)
{
    struct Case {
        uint32_t refusal;
        const char* reason;  // null: counts as stopped, no message
    };
    const Case cases[] = {
        {5, "Access Denied."},
        {1051,
         "Dependent Services are still Running. Add these services to the list before this "
         "service."},
        {1052, "Invalid Service Control."},
        {1053, "Service Request Timeout."},
        {1061, "Service can not accept control."},
        {1062, nullptr},
        {87, "Unknown Error."},
    };
    for (const Case& c : cases) {
        Phase p;
        p.SetWait("ServiceStopTimout", 250);
        p.services.Add("Spooler", ServiceState::kRunning).stopErrors = {c.refusal};
        p.SetStopList({"Spooler"});

        p.RunPhase();

        Lines expected = {"caption: Stopping Service Spooler", "wait: 250"};
        if (c.reason)
            expected.push_back(std::string("error: Error stopping the service Spooler with code ") +
                               c.reason);
        expected.push_back("wait: 250");
        EXPECT_EQ(p.host.journal, expected) << c.refusal;
        EXPECT_EQ(p.services.services["Spooler"].stopRequests, 2) << c.refusal;
    }
}

TEST_F(ServicesPhaseTest, RefusedStopSucceedsWhenTheServiceStoppedMeanwhile)
{
    struct Case {
        const char* what;
        std::vector<uint32_t> stopErrors;
        bool stopsDuringTheWait;
    };
    const Case cases[] = {
        {"second request accepted", {1061, 0}, false},
        {"stopped on its own", {1051}, true},
    };
    for (const Case& c : cases) {
        Phase p;
        p.services.Add("Spooler", ServiceState::kRunning).stopErrors = c.stopErrors;
        p.host.onWait = [&](uint32_t) {
            if (c.stopsDuringTheWait)
                p.services.services["Spooler"].state = ServiceState::kStopped;
        };
        p.SetStopList({"Spooler"});

        p.RunPhase();

        // The retry's wait and the entry's, no message.
        EXPECT_EQ(p.host.journal,
                  (Lines{"caption: Stopping Service Spooler", "wait: 1000", "wait: 1000"}))
            << c.what;
    }
}

// A service that keeps its stop pending is asked 101 times, with the stop
// timeout between the questions, and reported with an empty reason.
TEST_F(ServicesPhaseTest, StopThatNeverCompletesIsPolled101TimesWith100Waits)
{
    for (uint32_t timeout : {0u, 1000u}) {
        Phase p;
        p.SetWait("ServiceStopTimout", timeout);
        p.services.Add("Stuck", ServiceState::kRunning).stateAfterStop = ServiceState::kStopPending;
        p.SetStopList({"Stuck"});

        p.RunPhase();

        EXPECT_EQ(p.PollsAfterStop("Stuck"), 101) << timeout;
        // 100 between the polls, and the entry's own.
        EXPECT_EQ(p.host.waits, std::vector<uint32_t>(101, timeout)) << timeout;
        const Lines captions = p.host.Lines("caption: ");
        ASSERT_EQ(captions.size(), 102u) << timeout;
        EXPECT_EQ(captions.front(), "Stopping Service Stuck");
        EXPECT_TRUE(std::all_of(captions.begin() + 1, captions.end(), [](const std::string& c) {
            return c == "The service is stopping.";
        })) << timeout;
        EXPECT_EQ(p.host.Lines("error: "), (Lines{"Error stopping the service Stuck with code "}))
            << timeout;
    }
}

// A service that takes 2.5 s to stop: the platform refuses the
// interrogation while the stop is pending, and the poll goes on until the
// service reports the stopped state.
TEST_F(ServicesPhaseTest, PendingStopIsPolledUntilTheServiceStops)
{
    services.Add("Slow", ServiceState::kRunning).stateAfterStop = ServiceState::kStopPending;
    uint32_t elapsed = 0;
    host.onWait = [&](uint32_t milliseconds) {
        elapsed += milliseconds;
        if (elapsed >= 2500)
            services.services["Slow"].state = ServiceState::kStopped;
    };
    SetStopList({"Slow"});

    RunPhase();

    EXPECT_EQ(host.journal, (Lines{
                                "caption: Stopping Service Slow",
                                "caption: The service is stopping.",
                                "wait: 1000",
                                "caption: The service is stopping.",
                                "wait: 1000",
                                "caption: The service is stopping.",
                                "wait: 1000",
                                "wait: 1000",
                            }));
    EXPECT_EQ(PollsAfterStop("Slow"), 4);
}

TEST_F(ServicesPhaseTest, PollShowsTheTextOfTheReportedState)
{
    struct Case {
        uint32_t state;
        const char* caption;
    };
    const Case cases[] = {
        {2, "The service is starting."},
        {3, "The service is stopping."},
        {4, "The service is running."},
        {5, "The service continue is pending."},
        {6, "The service pause is pending."},
        {7, "Paused"},
        {8, "Other error"},
        {0, "Other error"},
    };
    for (const Case& c : cases) {
        Phase p;
        FakeServiceManager::Service& spooler = p.services.Add("Spooler", ServiceState::kRunning);
        spooler.interrogateAnswer = {{0, ServiceState::kRunning}};
        // The stop request leaves the state of the case, the next wait stops it.
        p.services.onCall = [&](const std::string& call) {
            if (call == "stop Spooler")
                spooler.interrogateAnswer = {{0, c.state}};
        };
        p.host.onWait = [&](uint32_t) {
            spooler.interrogateAnswer = {{1062, ServiceState::kStopped}};
        };
        p.SetStopList({"Spooler"});

        p.RunPhase();

        EXPECT_EQ(p.host.Lines("caption: "), (Lines{"Stopping Service Spooler", c.caption}))
            << c.state;
        EXPECT_TRUE(p.host.Lines("error: ").empty()) << c.state;
    }
}

TEST(ServiceControl, StopOfAStoppedServiceLeavesTheReasonAsItWas)
{
    FakeServiceManager services;
    FakeRunHost host;
    services.Add("Spooler", ServiceState::kStopped);
    std::string reason = "earlier";

    EXPECT_TRUE(StopNamedService(services, host, "Spooler", reason, 1000));

    EXPECT_EQ(reason, "earlier");
    EXPECT_TRUE(host.journal.empty());
    EXPECT_EQ(services.openHandles, 0);
}

TEST(ServiceControl, QueryServiceStateTakesTheStatusOfARefusedInterrogation)
{
    struct Case {
        const char* what;
        uint32_t error;
        uint32_t statusState;
        uint32_t expected;
    };
    const Case cases[] = {
        {"answered", 0, 4, 4},
        {"answered paused", 0, 7, 7},
        {"dependent services running", 1051, 0, 4},
        {"stop pending", 1061, 3, 3},
        {"start pending", 1061, 2, 2},
        {"cannot accept, no status", 1061, 0, 1},
        {"takes no controls", 1052, 4, 4},
        {"takes no controls, no status", 1052, 0, 1},
        {"not active", 1062, 1, 1},
        {"not active, running in the status", 1062, 4, 1},
        {"access denied", 5, 4, 1},
        {"request timeout", 1053, 4, 1},
    };
    for (const Case& c : cases) {
        FakeServiceManager services;
        services.Add("Spooler", ServiceState::kRunning).interrogateAnswer = {
            {c.error, c.statusState}};
        EXPECT_EQ(QueryServiceState(services, "Spooler"), c.expected) << c.what;
        EXPECT_EQ(services.openHandles, 0) << c.what;
    }
}

TEST(ServiceControl, QueryServiceStateIsStoppedWhenTheServiceCannotBeOpened)
{
    FakeServiceManager services;
    EXPECT_EQ(QueryServiceState(services, "Missing"), ServiceState::kStopped);

    services.Add("Spooler", ServiceState::kRunning);
    services.managerOpens = false;
    EXPECT_EQ(QueryServiceState(services, "Spooler"), ServiceState::kStopped);
}

TEST(ServiceControl, QueryServiceStatesAnswersInOrderThroughOneManager)
{
    FakeServiceManager services;
    services.Add("Spooler", ServiceState::kRunning);
    services.Add("Themes", ServiceState::kStopped);
    EXPECT_EQ(QueryServiceStates(services, {"Themes", "Missing", "Spooler"}),
              (std::vector<uint32_t>{ServiceState::kStopped, ServiceState::kStopped,
                                     ServiceState::kRunning}));
    EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(), "open manager"), 1);
    EXPECT_EQ(services.openHandles, 0);

    services.managerOpens = false;
    EXPECT_EQ(QueryServiceStates(services, {"Spooler"}),
              std::vector<uint32_t>{ServiceState::kStopped});
}

TEST(ServiceControl, StartNamedServiceAcceptsAnAlreadyRunningService)
{
    struct Case {
        const char* what;
        bool managerOpens;
        bool installed;
        uint32_t startError;
        bool expected;
    };
    const Case cases[] = {
        {"started", true, true, 0, true},         {"already running", true, true, 1056, true},
        {"disabled", true, true, 1058, false},    {"access denied", true, true, 5, false},
        {"not installed", true, false, 0, false}, {"no manager", false, true, 0, false},
    };
    for (const Case& c : cases) {
        FakeServiceManager services;
        services.managerOpens = c.managerOpens;
        if (c.installed)
            services.Add("Spooler", ServiceState::kStopped).startError = c.startError;
        EXPECT_EQ(StartNamedService(services, "Spooler"), c.expected) << c.what;
        EXPECT_EQ(services.openHandles, 0) << c.what;
    }
}

// The first request learns the size with a buffer of one entry record; the
// second one gets what the platform asked for and one record more.
TEST(ServiceControl, EnumerateServicesAsksTwiceWhenTheFirstRequestFails)
{
    FakeServiceManager services;
    services.listed = {"Spooler", "BITS", "FlipsetTest"};
    StringList names = {"stale"};

    EXPECT_TRUE(EnumerateServices(services, names));

    EXPECT_EQ(names, (StringList{"Spooler", "BITS", "FlipsetTest"}));
    const uint32_t record = FakeServiceManager::kEntryRecordSize;
    const uint32_t needed = 3 * record + 8 + 5 + 12;
    EXPECT_EQ(services.enumBufferSizes, (std::vector<uint32_t>{record, needed + record}));
    EXPECT_EQ(services.calls.front(), "open manager to enumerate");
    EXPECT_EQ(services.openHandles, 0);
}

TEST(ServiceControl, EnumerateServicesResultForAnEmptyListIsTheFirstRequestsSuccess)
{
    struct Case {
        const char* what;
        StringList listed;
        std::vector<uint32_t> enumErrors;
        bool expected;
        size_t requests;
    };
    const Case cases[] = {
        {"nothing installed", {}, {}, true, 1},
        {"first request refused", {}, {5}, false, 2},
        {"both requests refused", {"Spooler"}, {5, 5}, false, 2},
        {"second request too small", {"Spooler"}, {234, 234}, false, 2},
    };
    for (const Case& c : cases) {
        FakeServiceManager services;
        services.listed = c.listed;
        services.enumErrors = c.enumErrors;
        StringList names = {"stale"};

        EXPECT_EQ(EnumerateServices(services, names), c.expected) << c.what;

        EXPECT_EQ(names.empty(), !c.expected || c.listed.empty()) << c.what;
        EXPECT_EQ(services.enumBufferSizes.size(), c.requests) << c.what;
    }
}

TEST(ServiceControl, EnumerateServicesWithoutAManagerGivesAnEmptyList)
{
    FakeServiceManager services;
    services.managerOpens = false;
    services.listed = {"Spooler"};
    StringList names = {"stale"};

    EXPECT_FALSE(EnumerateServices(services, names));
    EXPECT_TRUE(names.empty());
}

}  // namespace
}  // namespace flipset
