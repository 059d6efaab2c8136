// Prints how long flipset.exe takes to export, import and import with
// replace 1,000 configurations, beside Wine's own reg.exe doing the same
// registry work on the same key in the same prefix: "reg export", "reg
// import" into an empty key, and "reg delete" followed by "reg import".
// Both are whole processes started the same way, their output discarded;
// a last row gives the price of starting each.
// Each figure is the median of 3 rounds, the six runs of a round one after
// the other, so that a busy moment of the machine falls on both sides.
//
// The configurations are those of BenchmarkSeed.h, under the configuration
// root that flipset.exe reads, with a card record of the benchmark's own;
// both are removed at the end, so run it in a test prefix:
//
//   scripts/bench.sh
//   build/windows/wine-run.sh build/windows/bench/flipset_reg_benchmark.exe FLIPSET.EXE

#include "BenchmarkSeed.h"
#include "network/CardInventory.h"
#include "store/ProgramSettings.h"
#include "store/Win32RegistryBackend.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace flipset {
namespace {

constexpr int kRounds = 3;

double Now()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs the command line to its end with its output discarded; false when it
// could not be started or did not end with 0.
bool RunToEnd(const std::string& commandLine)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(nul);
    if (!started)
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0;
}

// Seconds taken by the command lines run one after the other; negative
// when one failed.
double Timed(const std::vector<std::string>& commandLines)
{
    const double start = Now();
    for (const std::string& line : commandLines) {
        if (!RunToEnd(line)) {
            std::printf("failed: %s\n", line.c_str());
            return -1;
        }
    }
    return Now() - start;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

double Median(std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

int Run(const std::string& flipset)
{
    Win32RegistryBackend backend;
    CRegistry registry(backend);
    const RegistryRoot root = ConfigurationRoot(ProgramSettings::ReadSettingsRootChoice(registry));
    const std::string key = std::string(root == RegistryRoot::LocalMachine ? "HKLM" : "HKCU") +
                            "\\" + kConfigurationsKey;
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string json = std::string(folder) + "flipset-reg-benchmark.json";
    const std::string reg = std::string(folder) + "flipset-reg-benchmark.reg";
    const std::string flipsetExe = Quoted(flipset);

    // Wine keeps the card list as a volatile key, which takes only volatile
    // subkeys.
    const std::string cardRecord = NetworkCardKey(kBenchmarkCardNumber);
    HKEY card = nullptr;
    const bool cardCreated =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, cardRecord.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &card, nullptr) == ERROR_SUCCESS;
    if (cardCreated)
        RegCloseKey(card);
    if (!cardCreated || !registry.WriteString(cardRecord, "Description",
                                              kBenchmarkCardDescription,
                                              RegistryRoot::LocalMachine)) {
        std::printf("failed: the network card record could not be written\n");
        return 1;
    }
    registry.DeleteKeyTree(kConfigurationsKey, root);
    for (int number = 1; number <= kBenchmarkConfigurations; ++number)
        SeedBenchmarkConfiguration(registry, number, root);
    std::printf("%d configurations under %s\n", kBenchmarkConfigurations, key.c_str());

    struct Work {
        const char* flipsetName;
        const char* regName;
        std::vector<double> flipset;
        std::vector<double> reg;
    };
    Work works[] = {{"/export", "reg export", {}, {}},
                    {"/import into an empty store", "reg import", {}, {}},
                    {"/import /replace over the same", "reg delete + reg import", {}, {}},
                    {"/help (a process start, no registry work)", "reg query", {}, {}}};
    const auto empty = [&] { registry.DeleteKeyTree(kConfigurationsKey, root); };
    bool failed = false;
    for (int round = 1; round <= kRounds && !failed; ++round) {
        works[0].flipset.push_back(Timed({flipsetExe + " /export " + Quoted(json)}));
        works[0].reg.push_back(Timed({"reg export " + Quoted(key) + " " + Quoted(reg) + " /y"}));
        empty();
        works[1].flipset.push_back(Timed({flipsetExe + " /import " + Quoted(json)}));
        empty();
        works[1].reg.push_back(Timed({"reg import " + Quoted(reg)}));
        works[2].flipset.push_back(Timed({flipsetExe + " /import " + Quoted(json) + " /replace"}));
        works[2].reg.push_back(
            Timed({"reg delete " + Quoted(key) + " /f", "reg import " + Quoted(reg)}));
        works[3].flipset.push_back(Timed({flipsetExe + " /help"}));
        works[3].reg.push_back(Timed({"reg query " + Quoted(key + "\\1")}));
        std::printf("round %d:", round);
        for (const Work& work : works) {
            std::printf(" %.2f/%.2f s", work.flipset.back(), work.reg.back());
            failed = failed || work.flipset.back() < 0 || work.reg.back() < 0;
        }
        std::printf("  (Flipset/reg.exe: export, import, replace, start)\n");
    }
    const size_t count = ConfigurationStore(registry).ListConfigurationNames(root).size();
    if (count != static_cast<size_t>(kBenchmarkConfigurations)) {
        std::printf("failed: %zu configurations at the end\n", count);
        failed = true;
    }
    if (!failed) {
        std::printf("\n| work | Flipset | reg.exe | ratio |\n|---|---|---|---|\n");
        for (const Work& work : works) {
            const double mine = Median(work.flipset);
            const double theirs = Median(work.reg);
            std::printf("| `%s` | %.2f s | `%s` %.2f s | %.2f |\n", work.flipsetName, mine,
                        work.regName, theirs, mine / theirs);
        }
    }
    registry.DeleteKeyTree(kConfigurationsKey, root);
    registry.DeleteKeyTree(cardRecord, RegistryRoot::LocalMachine);
    DeleteFileA(json.c_str());
    DeleteFileA(reg.c_str());
    return failed ? 1 : 0;
}

}  // namespace
}  // namespace flipset

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("usage: flipset_reg_benchmark FLIPSET.EXE\n");
        return 2;
    }
    return flipset::Run(argv[1]);
}
