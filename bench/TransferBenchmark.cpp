// Prints how long an export and an import of 1,000 configurations take on
// the real registry, in process: each configuration with every area filled
// as a user fills it (hosts and lmhosts texts, desktop values, three
// programs, services to stop and start, one card's settings).
//
// Then the same file imported again with replace, over the 1,000 it
// imported: every name is looked up and every configuration rewritten.
//
// It works under HKEY_CURRENT_USER and with a network card record of its
// own, and removes both when it is done, so run it in a test prefix:
//
//   scripts/bench.sh
//   build/windows/wine-run.sh build/windows/bench/flipset_transfer_benchmark.exe

#include "BenchmarkSeed.h"
#include "network/CardInventory.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "transfer/ConfigurationFile.h"
#include "transfer/ConfigurationSnapshot.h"
#include "transfer/ConfigurationTransfer.h"
#include "transfer/Win32CodePage.h"
#include "transfer/Win32FileAccess.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace flipset {
namespace {

constexpr int kConfigurations = kBenchmarkConfigurations;
constexpr int kRounds = 3;
constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
const std::string kCardRecord = NetworkCardKey(kBenchmarkCardNumber);

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Milliseconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

// Where the time goes: each part of the three operations on its own.
void PrintParts(CRegistry registry, const CodePageConverter& codePage)
{
    const ConfigurationStore store(registry);
    Stopwatch watch;
    const std::vector<NetworkCard> cards = ListNetworkCards(registry);
    std::vector<ConfigurationSnapshot> snapshots;
    for (int number = 1; number <= kConfigurations; ++number)
        snapshots.push_back(ReadConfigurationSnapshot(registry, number, kRoot, cards));
    const double reading = watch.Milliseconds();
    watch = Stopwatch();
    std::string document, fault;
    WriteConfigurationFile(snapshots, codePage, document, fault);
    const double writingDocument = watch.Milliseconds();
    watch = Stopwatch();
    std::vector<ConfigurationSnapshot> read;
    ReadConfigurationFile(document, codePage, read, fault);
    const double readingDocument = watch.Milliseconds();
    watch = Stopwatch();
    const std::vector<NamedConfiguration> named = store.ListConfigurations(kRoot);
    const double listing = watch.Milliseconds();
    watch = Stopwatch();
    for (int number = 1; number <= kConfigurations; ++number) {
        ConfigurationSnapshot before;
        ReplaceConfigurationSnapshot(registry, number, kRoot, snapshots[number - 1], before);
    }
    const double replacing = watch.Milliseconds();
    registry.DeleteKeyTree(kConfigurationsKey, kRoot);
    watch = Stopwatch();
    for (int number = 1; number <= kConfigurations; ++number)
        WriteConfigurationSnapshot(registry, number, kRoot, snapshots[number - 1]);
    const double writing = watch.Milliseconds();
    std::printf(
        "parts: registry read %.0f ms, document written %.0f ms, document read %.0f ms, "
        "names listed %.0f ms, registry rewritten in place %.0f ms, registry written %.0f ms "
        "(%zu named)\n",
        reading, writingDocument, readingDocument, listing, replacing, writing, named.size());
}

int Run()
{
    Win32RegistryBackend backend;
    CRegistry registry(backend);
    Win32CodePage codePage;
    Win32FileAccess files;
    ConfigurationTransfer transfer(registry, kRoot, codePage, files);
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "flipset-transfer-benchmark.json";

    // Wine keeps the card list as a volatile key, which takes only volatile
    // subkeys.
    HKEY card = nullptr;
    const bool cardCreated =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCardRecord.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &card, nullptr) == ERROR_SUCCESS;
    if (cardCreated)
        RegCloseKey(card);
    if (!cardCreated || !registry.WriteString(kCardRecord, "Description", kBenchmarkCardDescription,
                                              RegistryRoot::LocalMachine)) {
        std::printf("failed: the network card record could not be written\n");
        return 1;
    }
    registry.DeleteKeyTree(kConfigurationsKey, kRoot);
    const Stopwatch seeding;
    for (int number = 1; number <= kConfigurations; ++number)
        SeedBenchmarkConfiguration(registry, number, kRoot);
    std::printf("seeded %d configurations in %.0f ms\n", kConfigurations, seeding.Milliseconds());

    double bestExport = 1e9, bestImport = 1e9, bestReplace = 1e9;
    int status = 0;
    for (int round = 1; round <= kRounds && status == 0; ++round) {
        const Stopwatch exportTime;
        const TransferResult exported = transfer.Export(path, {});
        const double exportMs = exportTime.Milliseconds();
        registry.DeleteKeyTree(kConfigurationsKey, kRoot);
        const Stopwatch importTime;
        const TransferResult imported = transfer.Import(path, false);
        const double importMs = importTime.Milliseconds();
        const Stopwatch replaceTime;
        const TransferResult replaced = transfer.Import(path, true);
        const double replaceMs = replaceTime.Milliseconds();
        const size_t count = ConfigurationStore(registry).ListConfigurationNames(kRoot).size();
        WIN32_FILE_ATTRIBUTE_DATA attributes{};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes);
        std::printf(
            "round %d: export %5.0f ms   import %5.0f ms   import with replace %5.0f ms"
            "   file %lu KiB   %zu configurations\n",
            round, exportMs, importMs, replaceMs,
            static_cast<unsigned long>(attributes.nFileSizeLow / 1024), count);
        if (exported.status != TransferStatus::Done || imported.status != TransferStatus::Done ||
            replaced.status != TransferStatus::Done || count != kConfigurations) {
            const TransferResult& failed = exported.status != TransferStatus::Done   ? exported
                                           : imported.status != TransferStatus::Done ? imported
                                                                                     : replaced;
            std::printf("failed: %s\n", failed.lines.empty() ? "" : failed.lines.front().c_str());
            status = 1;
        }
        bestExport = std::min(bestExport, exportMs);
        bestImport = std::min(bestImport, importMs);
        bestReplace = std::min(bestReplace, replaceMs);
    }
    std::printf(
        "best of %d: export %.0f ms, import %.0f ms, import with replace %.0f ms"
        " (goal: under 2000 ms each)\n",
        kRounds, bestExport, bestImport, bestReplace);
    if (status == 0)
        PrintParts(registry, codePage);

    registry.DeleteKeyTree(kConfigurationsKey, kRoot);
    registry.DeleteKeyTree(kCardRecord, RegistryRoot::LocalMachine);
    DeleteFileA(path.c_str());
    return status;
}

}  // namespace
}  // namespace flipset

int main()
{
    return flipset::Run();
}
