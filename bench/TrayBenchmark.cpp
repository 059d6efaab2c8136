// Prints what the resident tray costs and how soon it acts, on the real
// flipset.exe /tray inside the test network: what one poll reads (the
// observation, and the locations of the configurations, which the tray
// reads every few polls), the tray's processor time over 60 s idle and its
// working set, and the time from a move of the gateway to the start of the
// run (the tray's /apply process appearing). Run inside the test network,
// with its display (scripts/bench.sh does):
//
//   FLIPSET_TEST_NETWORK_DISPLAY=1 tests/wine/network/test-network.sh
//       build/windows/wineprefix-network
//       build/windows/tests/wine/flipset_netsh_stand_in.exe
//       build/windows/bench/flipset_tray_benchmark.exe
//   (one command line)

#include "app/Win32Tray.h"
#include "network/Location.h"
#include "network/Win32InterfaceConfigurator.h"
#include "network/Win32NetworkObserver.h"
#include "store/Areas.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/ProcessCount.h"
#include "support/TestNetwork.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace flipset {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;
constexpr const char* kProgramKey = "Software\\Quillon\\Flipset";
constexpr int kConfigurations = 10;
constexpr DWORD kIdleMilliseconds = 60000;

// Configuration n's gateway: none of them the one the script starts with.
std::string GatewayOf(int n)
{
    char mac[32];
    std::snprintf(mac, sizeof(mac), "02:f1:1b:5e:cc:%02x", n);
    return mac;
}

// Configurations whose runs change nothing (every area off): only their
// start is timed.
void Seed(CRegistry registry)
{
    for (int n = 1; n <= kConfigurations; ++n) {
        ConfigurationStore(registry).SetConfigurationName(n, "Place " + std::to_string(n), kRoot);
        const std::string key = ConfigurationKeyPath(n);
        for (const AreaDescriptor& area : kAreas)
            registry.WriteDword(key, area.optionValue, 0, kRoot);
        registry.WriteString(key, ConfigurationValue::kLocationGateway,
                             testnetwork::ObserverForm(GatewayOf(n)), kRoot);
        registry.WriteDword(key, ConfigurationValue::kLocationMode, kLocationSwitch, kRoot);
    }
}

double Milliseconds(const std::function<void()>& work, int times)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < times; ++i)
        work();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart) / times;
}

double ProcessorSeconds(HANDLE process)
{
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(process, &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Waits up to the milliseconds; the time the condition took to hold, or -1.
long long WaitFor(DWORD milliseconds, const std::function<bool()>& condition)
{
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < milliseconds) {
        if (condition())
            return static_cast<long long>(GetTickCount64() - start);
        Sleep(20);
    }
    return -1;
}

std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

int Run()
{
    if (testnetwork::GatewayMac().empty()) {
        std::printf("not inside the test network (tests/wine/network/test-network.sh)\n");
        return 1;
    }
    Win32RegistryBackend backend;
    const CRegistry registry(backend);
    registry.DeleteKeyTree(kProgramKey, kRoot);
    Seed(registry);

    Win32InterfaceConfigurator interfaces;
    Win32NetworkObserver observer(interfaces);
    testnetwork::ResolveGateway();
    std::printf("one observation (adapters, routes, neighbours, Wi-Fi): %.2f ms\n",
                Milliseconds([&] { observer.Observe(); }, 20));
    std::printf("the locations of %d configurations: %.2f ms\n", kConfigurations,
                Milliseconds([&] { ReadConfigurationLocations(registry, kRoot); }, 20));

    std::string commandLine = "\"" + OwnFolder() + "\\..\\src\\flipset.exe\" /tray";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION tray{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &tray)) {
        std::printf("flipset.exe /tray did not start: %lu\n", GetLastError());
        return 1;
    }
    CloseHandle(tray.hThread);
    Sleep(5000);  // its start and first polls

    const double before = ProcessorSeconds(tray.hProcess);
    Sleep(kIdleMilliseconds);
    const double idle = ProcessorSeconds(tray.hProcess) - before;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    K32GetProcessMemoryInfo(tray.hProcess, &memory, sizeof(memory));
    std::printf(
        "idle for %lu s: processor %.3f s (%.3f %% of a core; goal under 0.2 %%), "
        "working set %.1f MB (peak %.1f MB; goal under 15 MB)\n",
        kIdleMilliseconds / 1000, idle, 100.0 * idle * 1000.0 / kIdleMilliseconds,
        memory.WorkingSetSize / 1048576.0, memory.PeakWorkingSetSize / 1048576.0);

    long long worst = 0;
    for (int round = 1; round <= 4; ++round) {
        if (!testnetwork::MoveGateway(GatewayOf(round))) {
            std::printf("the gateway did not move\n");
            break;
        }
        const long long started =
            WaitFor(15000, [&] { return FlipsetProcessesBut(tray.dwProcessId) > 0; });
        std::printf("move %d: from the gateway's move to the start of the run: %lld ms\n", round,
                    started);
        worst = started < 0 ? 99999 : std::max(worst, started);
        WaitFor(30000, [&] { return FlipsetProcessesBut(tray.dwProcessId) == 0; });
    }
    std::printf("slowest start of a run after a move: %lld ms (goal under 5000 ms)\n", worst);

    if (const HWND window = FindWindowA(kTrayWindowClass, nullptr))
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(tray.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(tray.hProcess, 1);
    CloseHandle(tray.hProcess);
    testnetwork::MoveGateway(testnetwork::Environment("FLIPSET_TEST_GATEWAY_MAC"));
    registry.DeleteKeyTree(kProgramKey, kRoot);
    return 0;
}

}  // namespace
}  // namespace flipset

int main()
{
    return flipset::Run();
}
