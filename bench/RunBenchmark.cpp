// Prints what a run costs beyond its waits, on the real registry, files,
// desktop, mixer and service control manager: the capture and snapshot of
// the state before it (a configuration with 2 cards and 10 services), each
// phase, the whole run, and the undo that puts the machine back. Every wait
// is 0 and the host shows no message box: a message is only counted.
//
//   build/windows/wine-run.sh build/windows/bench/flipset_run_benchmark.exe

#include "app/RunSnapshotHook.h"
#include "app/Win32Platform.h"
#include "engine/RunContext.h"
#include "engine/ServiceControl.h"
#include "engine/SystemInfo.h"
#include "network/CardInventory.h"
#include "network/TcpipSettings.h"
#include "state/StateRestore.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace flipset {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;
constexpr int kCaptureRounds = 20;

double Milliseconds()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Every option on, no box, no wait: the time between captions is a phase's.
class TimingHost : public ListRunHost {
public:
    std::string name;
    std::vector<std::pair<std::string, double>> marks;
    int messages = 0;
    int waits = 0;

    std::string SelectedListText() const override { return name; }
    bool IsOptionChecked(Area option) const override
    {
        return option != Area::Programs;
    }
    uint32_t SettingsRootChoice() const override { return 0; }
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override
    {
        caption_ = caption;
        marks.emplace_back(caption, Milliseconds());
    }
    void DisableButton(RunButton) override {}
    void RestoreButtons() override {}
    bool IsBusy() const override { return busy_; }
    void SetBusy(bool busy) override { busy_ = busy; }
    void ShowError(const std::string& text) override { Count(text); }
    void ShowMessage(const std::string& text) override { Count(text); }
    void BeginWaitCursor() override {}
    void RestoreWaitCursor() override {}
    void EndWaitCursor() override {}
    void WaitWithMessages(uint32_t) override { ++waits; }
    void EndModal(int) override {}

private:
    void Count(const std::string& text)
    {
        ++messages;
        std::printf("  (message: %s)\n", text.c_str());
    }
    std::string caption_ = "Flipset";
    bool busy_ = false;
};

constexpr const char* kAdapterClass = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

// What the benchmark adds to the machine, removed again at its end.
struct Seeded {
    StringList keys;
};

// Two cards of the machine's card list (added when it has fewer), each with
// a device connection so that the card loop reports nothing; ten stopped
// services for the stop list.
std::string SeedConfiguration(Win32Platform& platform, Seeded& seeded)
{
    CRegistry registry = platform.Registry();
    std::vector<NetworkCard> cards = ListNetworkCards(registry);
    for (int i = static_cast<int>(cards.size()); i < 2; ++i) {
        const std::string number = "90" + std::to_string(i);
        registry.WriteString(NetworkCardKey(number), "Description", "Bench card " + number, kRoot);
        registry.WriteString(NetworkCardKey(number), "ServiceName", "{BENCH-" + number + "}",
                             kRoot);
        cards.push_back({number, "Bench card " + number});
        seeded.keys.push_back(NetworkCardKey(number));
        seeded.keys.push_back(TcpipInterfaceKey("{BENCH-" + number + "}"));
    }
    const std::string key = ConfigurationKeyPath(1);
    ConfigurationStore(registry).SetConfigurationName(1, "Bench", kRoot);
    for (int i = 0; i < 2; ++i) {
        const std::string serviceName = GetCardServiceName(registry, cards[i].number);
        const std::string connection = NetworkConnectionKey(kAdapterClass, serviceName);
        if (GetCardPnpInstanceId(registry, cards[i].number).empty()) {
            registry.WriteString(connection, "PnpInstanceID", "BENCH\\CARD" + std::to_string(i),
                                 kRoot);
            seeded.keys.push_back(connection);
        }
        const std::string card = key + "\\" + cards[i].number;
        registry.WriteString(card, "NIC", "true", kRoot);
        registry.WriteDword(card, "Disabled", 0, kRoot);
        registry.WriteDword(card, "DHCP", 0, kRoot);
        registry.WriteDword(card, "IP", 0x0A000010 + i, kRoot);
        registry.WriteDword(card, "Netmask", 0xFFFFFF00, kRoot);
    }
    StringList all;
    EnumerateServices(platform.services, all);
    StringList stopped;
    for (const std::string& name : all) {
        if (stopped.size() < 10 &&
            QueryServiceState(platform.services, name) == ServiceState::kStopped)
            stopped.push_back(name);
    }
    registry.WriteBinary(key, "ServicesStop", CRegistry::PackCodedList(stopped), kRoot);
    ByteArray bytes;
    CRegistry::PackStringList({"127.0.0.1 localhost\n10.0.0.16 bench"}, bytes);
    registry.WriteBinary(key, "Hostfile", bytes, kRoot);
    registry.WriteString(key, "Wallpaper", "", kRoot);
    for (const char* wait :
         {"BeforeRunTimout", "AfterRunTimout", "ServiceStartTimout", "ServiceStopTimout"})
        registry.WriteDword(kProgramSettingsKey, wait, 0, kRoot);
    std::printf("configuration: 2 cards, %zu stopped services in the stop list\n", stopped.size());
    return "Bench";
}

// The cards are captured as where the network features are on, whatever
// version the prefix reports, so that their capture is part of the figure.
class NetworkFeaturesOn : public SystemInfo {
public:
    uint32_t MajorVersion() const override { return 5; }
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Main()
{
    Win32Platform platform;
    CRegistry registry = platform.Registry();
    TimingHost host;
    Seeded seeded;
    host.name = SeedConfiguration(platform, seeded);
    const StatePlatform state = StatePlatformOf(registry, platform.run);
    const NetworkFeaturesOn cardsOn;

    std::vector<double> captures;
    for (int round = 0; round < kCaptureRounds; ++round) {
        const double start = Milliseconds();
        RunContext ctx(registry, host);
        std::string problem;
        if (!TakeRunSnapshot(ctx, state, cardsOn, CurrentTimeText(), problem))
            std::printf("snapshot failed: %s\n", problem.c_str());
        captures.push_back(Milliseconds() - start);
    }
    std::printf("capture and snapshot: median %.2f ms, worst %.2f ms (%d rounds)\n",
                Median(captures), *std::max_element(captures.begin(), captures.end()),
                kCaptureRounds);

    // Each part of the capture on its own.
    {
        RunContext ctx(registry, host);
        const CaptureScope whole = RunScope(ctx, cardsOn);
        struct Part {
            const char* name;
            CaptureScope scope;
        } parts[] = {
            {"files", {}}, {"desktop", {}}, {"start page", {}}, {"cards", {}}, {"services", {}}};
        parts[0].scope.files = true;
        parts[1].scope.desktop = true;
        parts[2].scope.startPage = true;
        parts[3].scope.cards = true;
        parts[3].scope.cardList = whole.cardList;
        parts[4].scope.services = true;
        parts[4].scope.serviceNames = whole.serviceNames;
        for (const Part& part : parts) {
            std::vector<double> times;
            for (int round = 0; round < kCaptureRounds; ++round) {
                MachineState captured;
                std::string error;
                const double partStart = Milliseconds();
                CaptureMachineState(state, part.scope, captured, error);
                times.push_back(Milliseconds() - partStart);
            }
            std::printf("  capture of the %-26s median %8.2f ms\n", part.name, Median(times));
        }
        MachineState captured;
        std::string error;
        CaptureMachineState(state, whole, captured, error);
        RunSnapshot snapshot{"Bench", CurrentTimeText(), captured};
        std::vector<double> times;
        for (int round = 0; round < kCaptureRounds; ++round) {
            const double partStart = Milliseconds();
            StoreLastRunSnapshot(registry, kRoot, snapshot);
            times.push_back(Milliseconds() - partStart);
        }
        std::printf("  %-41s median %8.2f ms\n", "storing the snapshot", Median(times));
    }

    RunSequence sequence(registry, host, platform.run);
    double snapshotEnd = 0;
    const double start = Milliseconds();
    RunSequence::BeforeChanges timed = [&](RunContext& ctx) {
        std::string problem;
        TakeRunSnapshot(ctx, state, cardsOn, CurrentTimeText(), problem);
        snapshotEnd = Milliseconds();
    };
    sequence.SetBeforeChanges(timed);
    sequence.RunConfiguration();
    const double end = Milliseconds();

    std::printf("run, every wait 0 (%d waits skipped, %d messages):\n", host.waits, host.messages);
    std::printf("  %-40s %8.2f ms\n", "capture and snapshot", snapshotEnd - start);
    double from = snapshotEnd;
    std::string phase = "options stored";
    for (const auto& mark : host.marks) {
        std::printf("  %-40s %8.2f ms\n", phase.c_str(), mark.second - from);
        phase = mark.first;
        from = mark.second;
    }
    std::printf("  %-40s %8.2f ms\n", phase.c_str(), end - from);
    std::printf("  %-40s %8.2f ms\n", "total beyond the waits", end - start);

    host.marks.clear();
    const double undoStart = Milliseconds();
    const UndoOutcome undo =
        UndoLastRun(state, platform.devices, host, kRoot, ServiceWaits{}, CurrentTimeText());
    std::printf("undo: %.2f ms (%s)\n", Milliseconds() - undoStart,
                undo.status == UndoStatus::Restored ? "restored" : undo.reason.c_str());

    registry.DeleteKeyTree("Software\\Quillon", kRoot);
    for (const std::string& key : seeded.keys)
        registry.DeleteKeyTree(key, kRoot);
    return 0;
}

}  // namespace
}  // namespace flipset

int main()
{
    return flipset::Main();
}
