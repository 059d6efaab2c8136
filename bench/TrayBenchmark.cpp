// Prints what the resident tray costs and how soon it acts, on the real
// flipset.exe /tray (stripped, as shipped, beside this program) inside the
// test network: what one poll reads (the observation, and the locations of
// the configurations, which the tray reads every few polls), the tray's
// processor time over 60 s idle and its resident set as Linux counts them,
// beside a peer that holds an icon and a timer and does nothing else
// (flipset_tray_peer), and the time from a move of the gateway to the start
// of the run (the tray's /apply process appearing). Run inside the test
// network, with its display (scripts/bench.sh does):
//
//   x86_64-w64-mingw32-strip -o build/windows/bench/flipset.exe
//       build/windows/src/flipset.exe
//   FLIPSET_TEST_NETWORK_DISPLAY=1 tests/wine/network/test-network.sh
//       build/windows/wineprefix-network
//       build/windows/tests/wine/flipset_netsh_stand_in.exe
//       build/windows/bench/flipset_tray_benchmark.exe
//   (each command on one line)

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

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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

// A Linux process as its /proc shows it, read through Wine's Z: drive:
// Wine gives 0 as the processor time of another process, so the tray is
// measured as Linux sees it.
struct LinuxProcess {
    std::string folder;  // "Z:\\proc\\PID"
};

std::string ReadWholeFile(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

// The Linux process whose command line holds every one of the words (the
// Windows process, not a script that names the program).
LinuxProcess FindLinuxProcess(const std::vector<std::string>& words)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    LinuxProcess found;
    do {
        const std::string name = entry.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string folder = "Z:\\proc\\" + name;
        const std::string commandLine = ReadWholeFile(folder + "\\cmdline");
        if (commandLine.find(".sh") == std::string::npos &&
            std::all_of(words.begin(), words.end(), [&](const std::string& word) {
                return commandLine.find(word) != std::string::npos;
            }))
            found.folder = folder;
    } while (found.folder.empty() && FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

// User and system time, in seconds (the clock ticks of /proc/PID/stat).
double ProcessorSeconds(const LinuxProcess& process)
{
    const std::string stat = ReadWholeFile(process.folder + "\\stat");
    // The fields after the command's name, which ends with the last ')'.
    const size_t end = stat.rfind(')');
    if (end == std::string::npos)
        return 0;
    std::vector<std::string> fields;
    size_t at = end + 2;
    while (at < stat.size()) {
        const size_t space = stat.find(' ', at);
        fields.push_back(stat.substr(at, space - at));
        if (space == std::string::npos)
            break;
        at = space + 1;
    }
    // utime and stime are fields 14 and 15 of the whole line: 11 and 12
    // after the name.
    if (fields.size() < 13)
        return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) / 100.0;
}

// "VmRSS" and "VmHWM" of /proc/PID/status, in MB.
double StatusMegabytes(const LinuxProcess& process, const std::string& field)
{
    const std::string status = ReadWholeFile(process.folder + "\\status");
    const size_t at = status.find(field + ":");
    if (at == std::string::npos)
        return 0;
    return std::stod(status.substr(at + field.size() + 1)) / 1024.0;
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

// The peer's window class (TrayPeer.cpp).
constexpr const char* kTrayPeerClass = "FlipsetTrayPeer";

std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

bool Start(std::string commandLine, PROCESS_INFORMATION& process)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("%s did not start: %lu\n", commandLine.c_str(), GetLastError());
        return false;
    }
    CloseHandle(process.hThread);
    return true;
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
    std::printf("the first observation (adapters, routes, neighbours, Wi-Fi): %.2f ms\n",
                Milliseconds([&] { observer.Observe(); }, 1));
    std::printf("each one after it: %.2f ms\n", Milliseconds([&] { observer.Observe(); }, 20));
    // What the tray's polls read for locations told by their gateways.
    const ObservationNeeds gateway{false, true, false};
    std::printf("each one of the gateway alone, as the tray's polls here: %.2f ms\n",
                Milliseconds([&] { observer.Observe(gateway); }, 30));
    std::printf("the locations of %d configurations: %.2f ms\n", kConfigurations,
                Milliseconds([&] { ReadConfigurationLocations(registry, kRoot); }, 20));

    // The program as the packages ship it (scripts/bench.sh strips it
    // there), and the peer beside it, idle over the same minute.
    PROCESS_INFORMATION peer{};
    PROCESS_INFORMATION tray{};
    if (!Start("\"" + OwnFolder() + "\\flipset_tray_peer.exe\"", peer) ||
        !Start("\"" + OwnFolder() + "\\flipset.exe\" /tray", tray))
        return 1;
    Sleep(5000);  // their start and first polls

    // By their whole paths: other builds' programs may run beside them.
    const LinuxProcess trayProcess = FindLinuxProcess({OwnFolder() + "\\flipset.exe", "/tray"});
    const LinuxProcess peerProcess = FindLinuxProcess({OwnFolder() + "\\flipset_tray_peer.exe"});
    if (trayProcess.folder.empty() || peerProcess.folder.empty()) {
        std::printf("the tray's or the peer's Linux process was not found\n");
        return 1;
    }
    const double trayBefore = ProcessorSeconds(trayProcess);
    const double peerBefore = ProcessorSeconds(peerProcess);
    Sleep(kIdleMilliseconds);
    const double idle = ProcessorSeconds(trayProcess) - trayBefore;
    const double peerIdle = ProcessorSeconds(peerProcess) - peerBefore;
    const auto percent = [](double seconds) {
        return 100.0 * seconds * 1000.0 / kIdleMilliseconds;
    };
    std::printf(
        "idle for %lu s: processor %.2f s (%.3f %% of a core; goal under 0.2 %%); "
        "the peer doing no work: %.2f s (%.3f %%)\n",
        kIdleMilliseconds / 1000, idle, percent(idle), peerIdle, percent(peerIdle));
    std::printf(
        "resident set of the tray's process: %.1f MB (peak %.1f MB; goal under 15 MB); "
        "of the peer with its icon and timer: %.1f MB\n",
        StatusMegabytes(trayProcess, "VmRSS"), StatusMegabytes(trayProcess, "VmHWM"),
        StatusMegabytes(peerProcess, "VmRSS"));
    if (const HWND window = FindWindowA(kTrayPeerClass, nullptr))
        PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(peer.hProcess, 10000);
    CloseHandle(peer.hProcess);

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
