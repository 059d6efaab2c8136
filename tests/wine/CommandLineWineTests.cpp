// flipset.exe's command-line verbs as a script meets them: started with its
// output redirected to a file, on the real registry, hosts file and service
// control manager, checked by exit code, output and what changed. A quiet
// run must end by itself without ever showing a window.

#include "app/OutputSink.h"
#include "app/Win32RunTurnLock.h"
#include "resource.h"
#include "store/Areas.h"
#include "store/ConfigurationStore.h"
#include "store/Win32RegistryBackend.h"
#include "support/ConfigurationSeed.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"
#include "wine/FlipsetProcess.h"
#include "wine/OwnTestService.h"
#include "wine/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace flipset {
namespace {

using ui::Ui;
using ui::UiScript;


class CommandLineVerbs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProgramData(registry);
        // The program sees Windows XP, so its network features are on.
        registry.WriteString(kAppDefaults, "Version", "winxp", kUser);
        registry.WriteDword(kSettingsKey, "BeforeRunTimout", 200, kMachine);
        registry.WriteDword(kSettingsKey, "AfterRunTimout", 200, kMachine);
        registry.WriteDword(kSettingsKey, "ServiceStartTimout", 200, kMachine);
        DeleteFileA(outputPath.c_str());
    }
    void TearDown() override
    {
        ClearProgramData(registry);
        registry.DeleteKeyTree(kAppDefaults, kUser);
        DeleteFileA(outputPath.c_str());
    }

    FlipsetRun RunQuietly(const std::string& arguments)
    {
        const FlipsetRun run = RunFlipsetToEnd(arguments, outputPath);
        EXPECT_TRUE(run.started) << arguments;
        return run;
    }

    std::string AddOffice()
    {
        ConfigurationStore(registry).SetConfigurationName(1, "Home office", kMachine);
        return ConfigurationKeyPath(1);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
    const std::string outputPath = testfiles::OwnFolder() + "\\flipset_verb_output.txt";
};

TEST_F(CommandLineVerbs, QuietApplyRunsTheListedAreasWithoutAnyWindowAndExitsWithZero)
{
    testfiles::SavedFile hosts(testfiles::SystemFilesFolder() + "hosts");
    testfiles::SavedFile lmhosts(testfiles::SystemFilesFolder() + "lmhosts");
    OwnTestService service("FlipsetVerb");
    const std::string recorder = testfiles::OwnFolder() + "\\flipset_record_args.exe";
    const std::string record = testfiles::OwnFolder() + "\\flipset_record_args.txt";
    DeleteFileA(record.c_str());
    const std::string key = AddOffice();
    StorePackedList(registry, key, "Hostfile", {"10.9.8.7 verbhost"}, kMachine);
    StoreCodedList(registry, key, "ServicesStart", {service.Name()}, kMachine);
    StoreCodedList(registry, key, "Run", {recorder + " [/from-verb]"}, kMachine);

    const FlipsetRun result =
        RunQuietly(" /apply \"home office\" -ONLY files,services,programs /quiet");

    ASSERT_TRUE(result.ended) << "a quiet run ends by itself";
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.windowsSeen, 0);
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"),
              "10.9.8.7 verbhost\n");
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
    std::string arguments;
    for (int i = 0; i < 100 && arguments.empty(); ++i, Sleep(100))
        arguments = testfiles::ReadWhole(record);
    EXPECT_NE(arguments.find("/from-verb"), std::string::npos) << arguments;
    DeleteFileA(record.c_str());
    const std::vector<uint32_t> expected{1, 0, 0, 1, 1, 0};
    for (const AreaDescriptor& area : kAreas)
        EXPECT_EQ(registry.ReadDword(key, area.optionValue, 99, kMachine),
                  expected[AreaIndex(area.area)])
            << area.optionValue;
    EXPECT_EQ(registry.ReadDword(kSettingsKey, "Version", 0, kMachine), 0u)
        << "no first-run question";
}

TEST_F(CommandLineVerbs, QuietApplyWithFailingStepsWritesTheirMessagesAndExitsWithTwo)
{
    const std::string key = AddOffice();
    StoreCodedList(registry, key, "ServicesStart", {"FlipsetVerbNotInstalled"}, kMachine);

    // The stored options: every area, the desktop's mixer included (these
    // tests have no sound server, so it has no device).
    const FlipsetRun result = RunQuietly(" /apply \"Home office\" /quiet");

    ASSERT_TRUE(result.ended) << "no message box waits for a person";
    EXPECT_EQ(result.exitCode, 2u) << result.output;
    EXPECT_EQ(
        SplitOutputLines(result.output),
        (std::vector<std::string>{"error: mixerOpen() failed",
                                  "error: Error starting the service FlipsetVerbNotInstalled"}));
    EXPECT_EQ(result.windowsSeen, 0);
}

TEST_F(CommandLineVerbs, UsageErrorsAndUnknownNamesChangeNothing)
{
    testfiles::SavedFile hosts(testfiles::SystemFilesFolder() + "hosts");
    const std::string before = testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts");
    const std::string key = AddOffice();
    StorePackedList(registry, key, "Hostfile", {"10.9.8.7 verbhost"}, kMachine);

    struct Case {
        const char* arguments;
        DWORD exitCode;
        const char* firstLine;
    };
    const Case cases[] = {
        {" /apply Nobody /quiet", 1, "error: no configuration is named \"Nobody\""},
        {" /apply", 3, "error: /apply needs the name of a configuration"},
        {" -Apply \"Home office\" /only files,sound /quiet", 3, "error: unknown area \"sound\""},
        {" /list extra", 3, "error: unexpected argument \"extra\""},
        {" /aply \"Home office\" /quiet", 3, "error: unknown verb /aply (did you mean /apply?)"},
        {" -Exprot x.json", 3, "error: unknown verb -Exprot (did you mean -export?)"},
        {" /tray /quiet", 3, "error: unexpected argument \"/quiet\""},
        {" /?", 0, "Usage:"},
    };
    for (const Case& c : cases) {
        const FlipsetRun result = RunQuietly(c.arguments);
        ASSERT_TRUE(result.ended) << c.arguments;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments;
        const std::vector<std::string> lines = SplitOutputLines(result.output);
        ASSERT_FALSE(lines.empty()) << c.arguments;
        EXPECT_EQ(lines[0], c.firstLine) << c.arguments;
        if (c.exitCode == 3) {
            EXPECT_NE(result.output.find("Exit codes:"), std::string::npos) << "the usage follows";
        }
        EXPECT_EQ(result.windowsSeen, 0) << c.arguments;
    }
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"), before);
    EXPECT_EQ(registry.ReadDword(key, "dofiles", 99, kMachine), 99u) << "no options stored";
}

// The test holds the program's run mutex as a run in progress in another
// process would: a run waits a short time for it, then says so and changes
// nothing; one that is still waiting when the other run ends goes ahead.
TEST_F(CommandLineVerbs, ARunWaitsForTheRunInProgressOrSaysThatOneIsInProgress)
{
    testfiles::SavedFile hosts(testfiles::SystemFilesFolder() + "hosts");
    const std::string before = testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts");
    const std::string key = AddOffice();
    StorePackedList(registry, key, "Hostfile", {"10.9.8.7 turnhost"}, kMachine);
    HANDLE otherRun = CreateMutexA(nullptr, TRUE, kRunTurnMutexName);
    ASSERT_NE(otherRun, nullptr);

    const ULONGLONG start = GetTickCount64();
    const FlipsetRun refused = RunQuietly(" /apply \"Home office\" /only files /quiet");
    const ULONGLONG waited = GetTickCount64() - start;
    ASSERT_TRUE(refused.ended);
    EXPECT_EQ(refused.exitCode, 7u) << refused.output;
    EXPECT_EQ(SplitOutputLines(refused.output),
              std::vector<std::string>{"error: another run of Flipset is changing this computer, "
                                       "and nothing was changed: try again when it has finished"});
    EXPECT_GE(waited, 2900u) << "it waited for the run in progress first";
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"), before);
    const FlipsetRun undo = RunQuietly(" /undo /quiet");
    EXPECT_EQ(undo.exitCode, 7u) << undo.output;

    FlipsetProcess waiting(" /apply \"Home office\" /only files /quiet", outputPath);
    ASSERT_TRUE(waiting.Started());
    Sleep(1000);
    EXPECT_FALSE(waiting.WaitForExit(0)) << "it waits while the other run holds the machine";
    ReleaseMutex(otherRun);
    CloseHandle(otherRun);
    ASSERT_TRUE(waiting.WaitForExit(30000));
    EXPECT_EQ(waiting.ExitCode(), 0u) << testfiles::ReadWhole(outputPath);
    EXPECT_EQ(testfiles::ReadWhole(testfiles::SystemFilesFolder() + "hosts"),
              "10.9.8.7 turnhost\n");
}

TEST_F(CommandLineVerbs, ApplyWithoutQuietShowsItsProgressAndItsMessagesInWindows)
{
    AddOffice();

    FlipsetProcess program(" /apply \"Home office\" /only desktop", outputPath);
    ASSERT_TRUE(program.Started());
    std::string progressClass;
    bool hasProgressText = false;
    ui::MessageBoxInfo mixer;
    UiScript script(30000);
    script.Then([&](Ui& ui) {
        HWND window = ui.WaitForWindow(kTitle, "#32770");
        hasProgressText = ui.Control(window, IDC_RUN_PROGRESS_TEXT) != nullptr;
        mixer = ui.AnswerMessageBox(IDOK);
        ui.WaitUntilGone(window);
    });
    EXPECT_TRUE(script.Drive(program.Id()));
    ASSERT_TRUE(program.WaitForExit(30000)) << "the run ends the program";

    EXPECT_TRUE(hasProgressText);
    EXPECT_EQ(mixer.text, "mixerOpen() failed");
    EXPECT_EQ(mixer.caption, kTitle);
    EXPECT_EQ(program.ExitCode(), 2u);
    EXPECT_EQ(SplitOutputLines(testfiles::ReadWhole(outputPath)),
              std::vector<std::string>{"error: mixerOpen() failed"});
}

// The order of the main window's sorted list box, as this platform sorts.
std::vector<std::string> ListBoxOrder(const std::vector<std::string>& names)
{
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100,
                                100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (const std::string& name : names)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    std::vector<std::string> sorted;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        sorted.push_back(text);
    }
    DestroyWindow(list);
    return sorted;
}

TEST_F(CommandLineVerbs, ListWritesTheNamesOfTheSelectedRootInTheMainWindowsOrder)
{
    const std::vector<std::string> names{"beta",     "Alpha", "_under", "10 Downing",  "2nd floor",
                                         "a-b",      "ab",    "Zeta",   "home office", "a.c",
                                         "Home-Lab", "#1",    "x?y"};
    ConfigurationStore store(registry);
    for (size_t i = 0; i < names.size(); ++i)
        store.SetConfigurationName(static_cast<int>(i) + 1, names[i], kUser);
    store.SetConfigurationName(1, "Shared only", kMachine);
    registry.WriteDword(kSettingsKey, "UserSettings", 1, kMachine);

    const FlipsetRun result = RunQuietly(" /LIST");

    ASSERT_TRUE(result.ended);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(SplitOutputLines(result.output), ListBoxOrder(names));
    EXPECT_EQ(result.windowsSeen, 0);
}

// --- /export and /import -----------------------------------------------------

const std::string kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
// Card numbers that no prefix's own cards use.
const std::string kTestCard = "77";

class TransferVerbs : public CommandLineVerbs {
protected:
    void SetUp() override
    {
        CommandLineVerbs::SetUp();
        // Wine keeps the card list as a volatile key, which takes only
        // volatile subkeys.
        HKEY card = nullptr;
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kCards + "\\" + kTestCard).c_str(), 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &card, nullptr),
            ERROR_SUCCESS);
        RegCloseKey(card);
        ASSERT_TRUE(registry.WriteString(kCards + "\\" + kTestCard, "Description",
                                         "Flipset Test Adapter", kMachine));
        DeleteFileA(file.c_str());
    }
    void TearDown() override
    {
        registry.DeleteKeyTree(kCards + "\\" + kTestCard, kMachine);
        DeleteFileA(file.c_str());
        CommandLineVerbs::TearDown();
    }

    // Every value and key below the key, with its type and bytes.
    std::map<std::string, RegistryValue> Dump(const std::string& key) const
    {
        std::map<std::string, RegistryValue> values;
        for (const std::string& name : registry.EnumValueNames(key, kMachine))
            registry.ReadValue(key, name, values[key + "\\" + name], kMachine);
        for (const std::string& subkey : registry.EnumSubKeys(key, kMachine)) {
            values[key + "\\" + subkey + "\\"] = {};
            for (auto& entry : Dump(key + "\\" + subkey))
                values.insert(entry);
        }
        return values;
    }
    void Set(const std::string& key, const std::string& name, uint32_t type,
             const std::string& bytes) const
    {
        registry.WriteValue(key, name, {type, ByteArray(bytes.begin(), bytes.end())}, kMachine);
    }
    void WriteFile(const std::string& configurations) const
    {
        ASSERT_TRUE(
            testfiles::WriteWhole(file,
                                  "{\"format\": \"Flipset configurations\", \"version\": 1,\n"
                                  "\"configurations\": [" +
                                      configurations + "]}\n"));
    }
    std::string Quoted(const std::string& text) const { return " \"" + text + "\""; }

    const std::string file = testfiles::OwnFolder() + "\\flipset verb transfer.json";
};

TEST_F(TransferVerbs, ExportDeleteImportGivesBackEveryValueByteForByte)
{
    const std::string office = AddOffice();
    registry.WriteDword(office, "dofiles", 1, kMachine);
    registry.WriteDword(office, "donetwork", 0, kMachine);
    StorePackedList(registry, office, "Hostfile", {"127.0.0.1 localhost", "# caf\xE9 \x80\xFF"},
                    kMachine);
    registry.WriteString(office, "Wallpaper",
                         "C:\\M\xFC"
                         "hle.bmp",
                         kMachine);
    registry.WriteDword(office, "WallpaperPosition", 2, kMachine);
    registry.WriteDword(office, "Volume", 65535, kMachine);
    registry.WriteString(office, "IEHOME", "http://intranet/\xE4", kMachine);
    registry.WriteDword(office, "doproxy", 1, kMachine);
    registry.WriteDword(office, "ProxyEnable", 1, kMachine);
    registry.WriteString(office, "ProxyServer", "http=p.example:80;https=p.example:443", kMachine);
    registry.WriteString(office, "ProxyOverride", "<local>; *.b\xFCro.example", kMachine);
    registry.WriteString(office, "AutoConfigURL", "http://wpad.example/proxy.pac", kMachine);
    StoreCodedList(registry, office, "Run", {"C:\\tools\\sync.exe [/s \xA7]", "notepad.exe"},
                   kMachine);
    StoreCodedList(registry, office, "ServicesStop", {"Spooler"}, kMachine);
    Set(office, "Unknown", REG_QWORD, std::string("\x80\x81\xFE\xFF\0\1\2\3", 8));
    Set(office, "Expand", REG_EXPAND_SZ, std::string("%TEMP%\\\xE9\0", 9));
    Set(office, "Volume2", REG_BINARY, std::string("\xFF", 1));
    const std::string card = office + "\\" + kTestCard;
    registry.WriteString(card, "NIC", "true", kMachine);
    registry.WriteDword(card, "DHCP", 0, kMachine);
    registry.WriteDword(card, "IP", 0xC0A80114, kMachine);
    registry.WriteString(card, "DOMAIN", "office.example", kMachine);
    Set(card, "Extra", REG_MULTI_SZ, std::string("a\0\xF6\0\0", 5));
    ConfigurationStore(registry).SetConfigurationName(2, "Home", kMachine);
    const auto before = Dump(kAllConfigurationsKey);

    const FlipsetRun exported = RunQuietly(" /export" + Quoted(file));
    ASSERT_TRUE(exported.ended);
    EXPECT_EQ(exported.exitCode, 0u) << exported.output;
    EXPECT_EQ(exported.windowsSeen, 0);
    // The proxy as readable fields, not carried bytes.
    const std::string document = testfiles::ReadWhole(file);
    EXPECT_NE(document.find("\"proxyServer\": \"http=p.example:80;https=p.example:443\""),
              std::string::npos)
        << document;
    registry.DeleteKeyTree(kAllConfigurationsKey, kMachine);

    const FlipsetRun imported = RunQuietly(" -IMPORT" + Quoted(file));
    ASSERT_TRUE(imported.ended);
    EXPECT_EQ(imported.exitCode, 0u) << imported.output;
    EXPECT_EQ(imported.windowsSeen, 0);
    EXPECT_EQ(Dump(kAllConfigurationsKey), before);

    // Only the named one, found ignoring case.
    const FlipsetRun one = RunQuietly(" /export" + Quoted(file) + " \"HOME\"");
    EXPECT_EQ(one.exitCode, 0u) << one.output;
    registry.DeleteKeyTree(kAllConfigurationsKey, kMachine);
    EXPECT_EQ(RunQuietly(" /import" + Quoted(file)).exitCode, 0u);
    EXPECT_EQ(ConfigurationStore(registry).ListConfigurationNames(kMachine), StringList{"Home"});
}

TEST_F(TransferVerbs, AMalformedFileChangesNothingAndNamesTheFileAndThePlace)
{
    AddOffice();
    registry.WriteDword(ConfigurationKeyPath(1), "Volume", 5, kMachine);
    const auto before = Dump(kAllConfigurationsKey);
    const std::string valid = "{\"name\": \"New\", \"volume\": 1}, ";
    struct Case {
        const char* what;
        std::string content;  // the configurations after a valid one; "" for a raw file
        std::string raw;
        const char* place;
        DWORD exitCode = 4;
    };
    const Case cases[] = {
        {"truncated", "",
         "{\"format\": \"Flipset configurations\", \"version\": 1,\n\"configurations\": "
         "[{\"name\": \"X\"",
         "line 2"},
        {"another version", "",
         "{\"format\": \"Flipset configurations\", \"version\": 2, \"configurations\": []}",
         "version"},
        {"a wrong type", "{\"name\": \"Loud\", \"volume\": \"loud\"}", "", "\"volume\""},
        {"an over-long text",
         "{\"name\": \"Long\", \"wallpaper\": \"" + std::string(1024, 'w') + "\"}", "",
         "\"wallpaper\""},
        {"a bad address",
         "{\"name\": \"Card\", \"cards\": [{\"description\": \"Flipset Test Adapter\", "
         "\"address\": \"10.0.0.256\"}]}",
         "", "\"address\""},
        {"a duplicate name", "{\"name\": \" new \"}", "", "\" new \""},
        {"an unknown field", "{\"name\": \"Colour\", \"colour\": 1}", "", "\"colour\""},
        {"a name already taken, in another case", "{\"name\": \"HOME OFFICE\"}", "", "HOME OFFICE",
         5},
        {"a file in the ANSI code page", "", "{\"format\": \"M\xFChle\"}",
         "line 1, column 14: the file is not UTF-8: the byte \\xFC is no UTF-8 character here"},
    };
    for (const Case& c : cases) {
        if (c.raw.empty())
            WriteFile(valid + c.content);
        else
            ASSERT_TRUE(testfiles::WriteWhole(file, c.raw));
        const FlipsetRun result = RunQuietly(" /import" + Quoted(file));
        ASSERT_TRUE(result.ended) << c.what;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.output;
        const std::vector<std::string> lines = SplitOutputLines(result.output);
        ASSERT_FALSE(lines.empty()) << c.what;
        EXPECT_EQ(lines[0].rfind("error: ", 0), 0u) << c.what << ": " << lines[0];
        EXPECT_NE(lines[0].find("flipset verb transfer.json"), std::string::npos)
            << c.what << ": " << lines[0];
        EXPECT_NE(lines[0].find(c.place), std::string::npos) << c.what << ": " << lines[0];
        EXPECT_EQ(Dump(kAllConfigurationsKey), before) << c.what;
        EXPECT_EQ(result.windowsSeen, 0) << c.what;
    }

    DeleteFileA(file.c_str());
    const FlipsetRun missing = RunQuietly(" /import" + Quoted(file));
    EXPECT_EQ(missing.exitCode, 4u) << missing.output;
    const FlipsetRun unwritable = RunQuietly(" /export \"C:\\no such folder\\x.json\"");
    EXPECT_EQ(unwritable.exitCode, 4u) << unwritable.output;
    const FlipsetRun unknownName = RunQuietly(" /export" + Quoted(file) + " Nobody");
    EXPECT_EQ(unknownName.exitCode, 1u) << unknownName.output;
    EXPECT_FALSE(testfiles::Exists(file)) << "no file for an unknown name";
    EXPECT_EQ(Dump(kAllConfigurationsKey), before);
}

TEST_F(TransferVerbs, ATakenNameStopsTheImportUnlessReplaceReplacesItUnderItsNumber)
{
    const std::string office = AddOffice();
    registry.WriteDword(office, "Volume", 5, kMachine);
    registry.WriteString(office, "Wallpaper", "C:\\old.bmp", kMachine);
    ConfigurationStore(registry).SetConfigurationName(2, "Other", kMachine);
    WriteFile("{\"name\": \"Fresh\"}, {\"name\": \"Home office\", \"volume\": 7}");
    const auto before = Dump(kAllConfigurationsKey);

    const FlipsetRun refused = RunQuietly(" /import" + Quoted(file));
    EXPECT_EQ(refused.exitCode, 5u) << refused.output;
    EXPECT_NE(refused.output.find("Home office"), std::string::npos) << refused.output;
    EXPECT_EQ(Dump(kAllConfigurationsKey), before) << "nothing written, Fresh neither";

    const FlipsetRun replaced = RunQuietly(" /import" + Quoted(file) + " /REPLACE");
    EXPECT_EQ(replaced.exitCode, 0u) << replaced.output;
    // The report's lines go out in one write, each still a line of its own.
    EXPECT_EQ(replaced.output,
              "imported configuration \"Fresh\" as number 3\r\n"
              "replaced configuration \"Home office\" as number 1\r\n");
    EXPECT_EQ(registry.ReadString(office, "Name", "", kMachine), "Home office");
    EXPECT_EQ(registry.ReadDword(office, "Volume", 0, kMachine), 7u);
    EXPECT_EQ(registry.ReadString(office, "Wallpaper", "gone", kMachine), "gone")
        << "the file's values replace the old ones as a whole";
    EXPECT_EQ(ConfigurationStore(registry).FindConfigurationNumber("Fresh", kMachine), 3);
    EXPECT_EQ(ConfigurationStore(registry).FindConfigurationNumber("Other", kMachine), 2);
}

TEST_F(TransferVerbs, CardsAreMatchedByDescriptionAndAnUnmatchedCardIsNamed)
{
    WriteFile(
        "{\"name\": \"Travel\", \"cards\": ["
        "{\"description\": \"FLIPSET TEST adapter\", \"cardNumber\": \"5\", \"dhcp\": true},"
        "{\"description\": \"Flipset Absent Adapter\", \"cardNumber\": \"6\", \"disabled\": "
        "true}]}");

    const FlipsetRun result = RunQuietly(" /import" + Quoted(file));

    ASSERT_TRUE(result.ended);
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_NE(result.output.find("Flipset Absent Adapter"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("error:"), std::string::npos) << result.output;
    const int number = ConfigurationStore(registry).FindConfigurationNumber("Travel", kMachine);
    ASSERT_GE(number, 1);
    const std::string key = ConfigurationKeyPath(number);
    EXPECT_EQ(registry.EnumSubKeys(key, kMachine), StringList{kTestCard});
    EXPECT_EQ(registry.ReadDword(key + "\\" + kTestCard, "DHCP", 99, kMachine), 1u);
}

}  // namespace
}  // namespace flipset
