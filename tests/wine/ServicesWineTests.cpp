// Service control against the platform's own service control manager. The
// services are instances of our test service program (flipset_test_service,
// beside this program), installed for each test under a unique name and
// removed again afterwards.
#include "engine/ServiceControl.h"

#include "base/Win32Handles.h"
#include "coder/QNHexCoder.h"
#include "engine/Win32ServiceManager.h"
#include "support/FakeRunHost.h"
#include "support/MemoryRegistryBackend.h"
#include "wine/TestConstants.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace flipset {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kNamePrefix = "FlipsetTest";
constexpr const char* kServiceProgram = "flipset_test_service.exe";
constexpr DWORD kStateDeadlineMs = 15000;

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

SERVICE_STATUS_PROCESS StatusOf(SC_HANDLE service)
{
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                         sizeof status, &needed);
    return status;
}

bool WaitForState(SC_HANDLE service, DWORD state, DWORD deadlineMs)
{
    const DWORD start = GetTickCount();
    while (StatusOf(service).dwCurrentState != state) {
        if (GetTickCount() - start > deadlineMs)
            return false;
        Sleep(20);
    }
    return true;
}

// Stops the service, ending its process when it does not stop, and deletes
// it. Wine does not notice that a service's process has ended, but removes a
// deleted service as soon as its last handle is closed.
void Remove(SC_HANDLE manager, const std::string& name)
{
    ScHandle service(OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS));
    if (!service.Get())
        return;
    if (StatusOf(service.Get()).dwCurrentState != SERVICE_STOPPED) {
        SERVICE_STATUS status{};
        const bool stopping = ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
        if (!stopping || !WaitForState(service.Get(), SERVICE_STOPPED, 5000)) {
            const DWORD processId = StatusOf(service.Get()).dwProcessId;
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
            if (process) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    }
    DeleteService(service.Get());
}

// One instance of the test service, installed when constructed and removed
// when destroyed.
class TestService {
public:
    // behaviour: the first argument of the test service program.
    explicit TestService(const std::string& behaviour, const TestService* dependsOn = nullptr)
        : name_(UniqueName(behaviour))
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        const std::string command = "\"" + ProgramFolder() + kServiceProgram + "\" " + behaviour;
        // A list of names, each with its 0 byte, and one 0 byte more.
        std::string dependencies;
        if (dependsOn)
            dependencies = dependsOn->Name() + std::string(1, '\0');
        ScHandle service(CreateServiceA(
            manager.Get(), name_.c_str(), name_.c_str(), SERVICE_ALL_ACCESS,
            SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(),
            nullptr, nullptr, dependsOn ? dependencies.c_str() : nullptr, nullptr, nullptr));
        installed_ = service.Get() != nullptr;
    }
    TestService(const TestService&) = delete;
    TestService& operator=(const TestService&) = delete;
    ~TestService()
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        Remove(manager.Get(), name_);
    }

    const std::string& Name() const { return name_; }
    bool Installed() const { return installed_; }

    // Starts the service and waits until it runs.
    bool Start() const
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ScHandle service(OpenServiceA(manager.Get(), name_.c_str(), SERVICE_ALL_ACCESS));
        return StartServiceA(service.Get(), 0, nullptr) &&
               WaitForState(service.Get(), SERVICE_RUNNING, kStateDeadlineMs);
    }

    DWORD State() const
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ScHandle service(OpenServiceA(manager.Get(), name_.c_str(), SERVICE_ALL_ACCESS));
        return StatusOf(service.Get()).dwCurrentState;
    }

    bool WaitUntil(DWORD state) const
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ScHandle service(OpenServiceA(manager.Get(), name_.c_str(), SERVICE_ALL_ACCESS));
        return WaitForState(service.Get(), state, kStateDeadlineMs);
    }

private:
    static std::string UniqueName(const std::string& behaviour)
    {
        static int serial = 0;
        return kNamePrefix + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(++serial) + "_" + behaviour;
    }

    std::string name_;
    bool installed_ = false;
};

// Removes the test services that an interrupted earlier run left behind.
class LeftoverServices : public ::testing::Environment {
public:
    void SetUp() override
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        Win32ServiceManager services;
        StringList names;
        EnumerateServices(services, names);
        for (const std::string& name : names) {
            if (name.compare(0, std::strlen(kNamePrefix), kNamePrefix) == 0)
                Remove(manager.Get(), name);
        }
    }
};
const auto* const kLeftoverServices = ::testing::AddGlobalTestEnvironment(new LeftoverServices);

// The window's waits really pass, so that the services progress meanwhile.
class SleepingRunHost : public FakeRunHost {
public:
    SleepingRunHost()
    {
        onWait = [](uint32_t milliseconds) { Sleep(milliseconds); };
    }
};

class ServicesWineTest : public ::testing::Test {
protected:
    Win32ServiceManager services;
    SleepingRunHost host;
    std::string reason = "unchanged";
};

TEST_F(ServicesWineTest, QueryServiceStateReportsRunningAndStopped)
{
    TestService service("stop-at-once");
    ASSERT_TRUE(service.Installed());

    EXPECT_EQ(QueryServiceState(services, service.Name()), ServiceState::kStopped);
    ASSERT_TRUE(service.Start());
    EXPECT_EQ(QueryServiceState(services, service.Name()), ServiceState::kRunning);
    EXPECT_EQ(QueryServiceState(services, "FlipsetTestNotInstalled"), ServiceState::kStopped);
}

TEST_F(ServicesWineTest, StopOfAStoppedServiceSucceedsWithoutAnything)
{
    TestService service("stop-at-once");
    ASSERT_TRUE(service.Installed());

    EXPECT_TRUE(StopNamedService(services, host, service.Name(), reason, 100));

    EXPECT_EQ(reason, "unchanged");
    EXPECT_TRUE(host.journal.empty());
}

TEST_F(ServicesWineTest, StopOfAServiceThatDoesNotExistFails)
{
    EXPECT_FALSE(StopNamedService(services, host, "FlipsetTestNotInstalled", reason, 100));
    EXPECT_EQ(reason, "Service does not exist");
}

TEST_F(ServicesWineTest, StopOfARunningServiceWaitsUntilItHasStopped)
{
    TestService service("stop-at-once");
    ASSERT_TRUE(service.Installed());
    ASSERT_TRUE(service.Start());

    EXPECT_TRUE(StopNamedService(services, host, service.Name(), reason, 100));

    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_TRUE(host.Lines("error: ").empty());
}

// The service takes 2.5 s: the platform refuses the interrogation while the
// stop is pending, and the poll shows the pending state until it ends.
TEST_F(ServicesWineTest, SlowStopIsPolledWithTheStoppingCaption)
{
    TestService service("stop-slowly");
    ASSERT_TRUE(service.Installed());
    ASSERT_TRUE(service.Start());

    EXPECT_TRUE(StopNamedService(services, host, service.Name(), reason, 250));

    const Lines captions = host.Lines("caption: ");
    EXPECT_FALSE(captions.empty());
    EXPECT_TRUE(std::all_of(captions.begin(), captions.end(), [](const std::string& caption) {
        return caption == "The service is stopping.";
    }));
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));
}

TEST_F(ServicesWineTest, StopThatNeverEndsIsGivenUpAfter101PollsWithAnEmptyReason)
{
    TestService service("stop-never");
    ASSERT_TRUE(service.Installed());
    ASSERT_TRUE(service.Start());

    EXPECT_FALSE(StopNamedService(services, host, service.Name(), reason, 0));

    EXPECT_EQ(reason, "");
    EXPECT_EQ(host.Lines("caption: "), Lines(101, "The service is stopping."));
    EXPECT_EQ(host.waits, std::vector<uint32_t>(100, 0));
}

TEST_F(ServicesWineTest, StopThatTheServiceDoesNotAcceptFails)
{
    TestService service("refuse-stop");
    ASSERT_TRUE(service.Installed());
    ASSERT_TRUE(service.Start());

    EXPECT_FALSE(StopNamedService(services, host, service.Name(), reason, 100));

    EXPECT_EQ(reason, "Invalid Service Control.");
    EXPECT_EQ(host.waits, std::vector<uint32_t>{100});
    EXPECT_EQ(QueryServiceState(services, service.Name()), ServiceState::kRunning);
}

// Windows refuses to stop a service that a running service depends on; Wine
// 8 stops it all the same, and then there is nothing to check here.
TEST_F(ServicesWineTest, StopOfAServiceThatARunningServiceDependsOnFails)
{
    TestService base("stop-at-once");
    TestService dependent("stop-at-once", &base);
    ASSERT_TRUE(base.Installed());
    ASSERT_TRUE(dependent.Installed());
    ASSERT_TRUE(base.Start());
    ASSERT_TRUE(dependent.Start());

    const bool stopped = StopNamedService(services, host, base.Name(), reason, 100);
    if (stopped && base.State() == SERVICE_STOPPED)
        GTEST_SKIP() << "the platform stops a service that a running service depends on";

    EXPECT_FALSE(stopped);
    EXPECT_EQ(reason,
              "Dependent Services are still Running. Add these services to the list before "
              "this service.");
    EXPECT_EQ(base.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(ServicesWineTest, StartSucceedsForAStoppedAndForARunningService)
{
    TestService service("stop-at-once");
    ASSERT_TRUE(service.Installed());

    EXPECT_TRUE(StartNamedService(services, service.Name()));
    EXPECT_TRUE(service.WaitUntil(SERVICE_RUNNING));
    EXPECT_TRUE(StartNamedService(services, service.Name()));
    EXPECT_FALSE(StartNamedService(services, "FlipsetTestNotInstalled"));
}

TEST_F(ServicesWineTest, EnumerateServicesListsInstalledServicesByName)
{
    TestService first("stop-at-once");
    TestService second("refuse-stop");
    ASSERT_TRUE(first.Installed());
    ASSERT_TRUE(second.Installed());
    StringList names;

    EXPECT_TRUE(EnumerateServices(services, names));

    auto listed = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    EXPECT_TRUE(listed(first.Name()));
    EXPECT_TRUE(listed(second.Name()));
    EXPECT_TRUE(listed("Spooler"));
}

// The whole phase over a configuration in memory and the real services.
TEST_F(ServicesWineTest, PhaseStopsAndStartsTheListedServices)
{
    TestService running("stop-at-once");
    TestService stopped("stop-at-once");
    ASSERT_TRUE(running.Installed());
    ASSERT_TRUE(stopped.Installed());
    ASSERT_TRUE(running.Start());

    MemoryRegistryBackend backend;
    CRegistry registry(backend);
    const std::string configuration = kAllConfigurationsKey + "\\1";
    registry.WriteString(configuration, "Name", "Office", RegistryRoot::LocalMachine);
    registry.WriteDword(kSettingsKey, "ServiceStopTimout", 50, RegistryRoot::LocalMachine);
    registry.WriteDword(kSettingsKey, "ServiceStartTimout", 60, RegistryRoot::LocalMachine);
    CQNHexCoder coder;
    coder.SetKey("5A0C93E1");
    ByteArray bytes;
    CRegistry::PackStringList(
        {coder.CodeValue(running.Name()), coder.CodeValue("FlipsetTestNotInstalled")}, bytes);
    registry.WriteBinary(configuration, "ServicesStop", bytes, RegistryRoot::LocalMachine);
    CRegistry::PackStringList({coder.CodeValue(stopped.Name())}, bytes);
    registry.WriteBinary(configuration, "ServicesStart", bytes, RegistryRoot::LocalMachine);
    host.selectedText = "Office";

    RunContext ctx(registry, host);
    RunServicesPhase(ctx, services);

    // The stop may be polled while it is pending; those captions are left out.
    Lines shown;
    for (const std::string& line : host.journal) {
        if (line != "caption: The service is stopping." && line != "wait: 50")
            shown.push_back(line);
    }
    EXPECT_EQ(shown, (Lines{
                         "caption: Stopping Service " + running.Name(),
                         "caption: Stopping Service FlipsetTestNotInstalled",
                         "error: Error stopping the service FlipsetTestNotInstalled with code "
                         "Service does not exist",
                         "caption: Starting Service " + stopped.Name(),
                         "wait: 60",
                     }));
    EXPECT_EQ(running.State(), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_TRUE(stopped.WaitUntil(SERVICE_RUNNING));
}

}  // namespace
}  // namespace flipset
