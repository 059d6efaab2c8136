// The verb commands as the command line spells them: which lines are verb
// commands at all (every other line keeps the interactive start), how
// arguments are split, and what each verb accepts.

#include "app/CommandVerbs.h"

#include <gtest/gtest.h>

#include <string>

namespace flipset {
namespace {

TEST(SplitArguments, FollowsTheRuntimeRulesForQuotesAndBackslashes)
{
    struct Case {
        const char* what;
        std::string commandLine;
        StringList expected;
    };
    const Case cases[] = {
        {"program only", "flipset.exe", {}},
        {"quoted program with a space", "\"C:\\Program Files\\flipset.exe\" /list", {"/list"}},
        {"quoted program, argument glued on", "\"C:\\f.exe\"/list", {"/list"}},
        {"spaces and tabs", "f.exe  /apply\t Office ", {"/apply", "Office"}},
        {"quoted name", "f.exe /apply \"Home office\" /quiet", {"/apply", "Home office", "/quiet"}},
        {"quotes inside an argument", "f.exe a\"b c\"d", {"ab cd"}},
        {"empty quoted argument", "f.exe \"\" x", {"", "x"}},
        {"backslashes before no quote", "f.exe C:\\dir\\\\x", {"C:\\dir\\\\x"}},
        {"escaped quote", "f.exe a\\\"b", {"a\"b"}},
        {"backslash pair before a quote", "f.exe \"C:\\dir\\\\\" x", {"C:\\dir\\", "x"}},
        {"doubled quote inside quotes", "f.exe \"a\"\"b\"", {"a\"b"}},
        {"unclosed quote runs to the end", "f.exe \"a b", {"a b"}},
        {"bytes above 127 stay", "f.exe /apply M\xfcller", {"/apply", "M\xfcller"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitArguments(c.commandLine), c.expected) << c.what;
}

TEST(IsVerbCommandLine, OnlyAVerbWordAsTheFirstArgumentMakesAVerbCommand)
{
    struct Case {
        const char* commandLine;
        bool expected;
    };
    const Case cases[] = {
        // The interactive start, unchanged.
        {"flipset.exe", false},
        {"flipset.exe /NONICCHANGE", false},
        {"flipset.exe -RegServer", false},
        {"flipset.exe /regserver", false},
        {"flipset.exe /UnregServer", false},
        {"flipset.exe -Embedding", false},
        {"flipset.exe /unknown", false},
        {"flipset.exe /x", false},
        {"flipset.exe /lis?", false},
        {"flipset.exe /nonicchange", false},
        {"flipset.exe -AUTOMATION", false},
        {"flipset.exe /Embedding", false},
        {"flipset.exe /unregserver", false},
        {"flipset.exe applx", false},
        {"flipset.exe /listing", false},
        {"flipset.exe list", false},
        {"flipset.exe /NONICCHANGE /list", false},
        {"flipset.exe \"/apply x\"", false},
        // Verbs, with either mark and in any letter case.
        {"flipset.exe /apply Office", true},
        {"flipset.exe -APPLY", true},
        {"flipset.exe /List", true},
        {"flipset.exe -export f.json", true},
        {"flipset.exe /Import f.json", true},
        {"flipset.exe /help", true},
        {"flipset.exe /?", true},
        {"flipset.exe -?", true},
        {"\"C:\\Program Files\\flipset.exe\" /list /RegServer", true},
        // Misspelt verbs, within two letters: a usage error rather than a
        // window that a script would wait on.
        {"flipset.exe /aply Office", true},
        {"flipset.exe -LSIT", true},
        {"flipset.exe /listen", true},
        {"flipset.exe /exprot f.json", true},
        {"flipset.exe /captur x", true},
        {"flipset.exe /he", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsVerbCommandLine(c.commandLine), c.expected) << c.commandLine;
}

// The tray is no verb: it has windows and a message loop of its own. It
// takes no argument, and one after it is a usage error, never a tray that
// ignores it.
TEST(IsTrayCommandLine, OnlyTrayAloneStartsTheTrayAndAnythingAfterItIsAVerbLine)
{
    struct Case {
        const char* commandLine;
        bool tray;
        bool verb;
    };
    const Case cases[] = {
        {"flipset.exe /tray", true, false},
        {"\"C:\\Program Files\\Flipset\\flipset.exe\" /tray", true, false},
        {"flipset.exe -TRAY", true, false},
        {"flipset.exe /tray  ", true, false},
        {"flipset.exe", false, false},
        {"flipset.exe /trayx", false, false},
        {"flipset.exe tray", false, false},
        {"flipset.exe \"/tray x\"", false, false},
        {"flipset.exe /tary", false, false},  // a start switch, never a misspelt verb
        {"flipset.exe /apply /tray", false, true},
        {"flipset.exe /tray /quiet", false, true},
        {"flipset.exe -Tray anything", false, true},
        {"flipset.exe /tray \"\"", false, true},
        {"flipset.exe /tray /tray", false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsTrayCommandLine(c.commandLine), c.tray) << c.commandLine;
        EXPECT_EQ(IsVerbCommandLine(c.commandLine), c.verb) << c.commandLine;
    }
}

TEST(ParseVerbCommand, AMisspeltVerbNamesTheNearestVerbWithTheMarkTyped)
{
    const struct {
        const char* commandLine;
        const char* usageError;
    } cases[] = {
        {"f.exe /aply Office", "unknown verb /aply (did you mean /apply?)"},
        {"f.exe -Imprt f.json", "unknown verb -Imprt (did you mean -import?)"},
        {"f.exe /prevew x", "unknown verb /prevew (did you mean /preview?)"},
        {"f.exe /und", "unknown verb /und (did you mean /undo?)"},
        {"f.exe /hlep", "unknown verb /hlep (did you mean /help?)"},
        {"f.exe -Here", "unknown verb -Here (did you mean -where?)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseVerbCommand(c.commandLine).usageError, c.usageError) << c.commandLine;
}

TEST(ParseVerbCommand, WellFormedCommands)
{
    VerbCommand apply =
        ParseVerbCommand("f.exe -Apply \"Home office\" /ONLY Files,programs -quiet");
    EXPECT_EQ(apply.usageError, "");
    EXPECT_EQ(apply.verb, Verb::Apply);
    EXPECT_EQ(apply.name, "Home office");
    EXPECT_TRUE(apply.onlyGiven);
    EXPECT_EQ(apply.areas, (std::vector<Area>{Area::Files, Area::Programs}));
    EXPECT_TRUE(apply.quiet);

    VerbCommand plain = ParseVerbCommand("f.exe /apply Office");
    EXPECT_EQ(plain.usageError, "");
    EXPECT_FALSE(plain.onlyGiven);
    EXPECT_FALSE(plain.quiet);

    VerbCommand every = ParseVerbCommand("f.exe /apply x /only network,desktop,services,FILES");
    EXPECT_EQ(every.areas,
              (std::vector<Area>{Area::Network, Area::Desktop, Area::Services, Area::Files}));

    VerbCommand exportSome = ParseVerbCommand("f.exe /export \"C:\\my files\\a.json\" Office -x");
    EXPECT_EQ(exportSome.usageError, "");
    EXPECT_EQ(exportSome.verb, Verb::Export);
    EXPECT_EQ(exportSome.file, "C:\\my files\\a.json");
    EXPECT_EQ(exportSome.names, (StringList{"Office", "-x"})) << "a name may begin with -";

    VerbCommand exportAll = ParseVerbCommand("f.exe /export a.json");
    EXPECT_EQ(exportAll.usageError, "");
    EXPECT_TRUE(exportAll.names.empty());

    VerbCommand import = ParseVerbCommand("f.exe /import a.json -REPLACE");
    EXPECT_EQ(import.usageError, "");
    EXPECT_EQ(import.verb, Verb::Import);
    EXPECT_EQ(import.file, "a.json");
    EXPECT_TRUE(import.replace);
    EXPECT_FALSE(import.quiet);
    EXPECT_FALSE(ParseVerbCommand("f.exe /import a.json").replace);
    VerbCommand quietImport = ParseVerbCommand("f.exe /import a.json /quiet /replace");
    EXPECT_EQ(quietImport.usageError, "");
    EXPECT_TRUE(quietImport.quiet);
    EXPECT_TRUE(quietImport.replace);

    VerbCommand preview = ParseVerbCommand("f.exe /Preview \"Home office\" /only desktop");
    EXPECT_EQ(preview.usageError, "");
    EXPECT_EQ(preview.verb, Verb::Preview);
    EXPECT_EQ(preview.name, "Home office");
    EXPECT_EQ(preview.areas, (std::vector<Area>{Area::Desktop}));

    VerbCommand capture = ParseVerbCommand("f.exe -capture \"Now here\"");
    EXPECT_EQ(capture.usageError, "");
    EXPECT_EQ(capture.verb, Verb::Capture);
    EXPECT_EQ(capture.name, "Now here");
    EXPECT_FALSE(capture.quiet);
    EXPECT_TRUE(ParseVerbCommand("f.exe /capture x -Quiet").quiet);

    VerbCommand undo = ParseVerbCommand("f.exe /UNDO -quiet");
    EXPECT_EQ(undo.usageError, "");
    EXPECT_EQ(undo.verb, Verb::Undo);
    EXPECT_TRUE(undo.quiet);
    EXPECT_FALSE(ParseVerbCommand("f.exe /undo").quiet);

    EXPECT_EQ(ParseVerbCommand("f.exe /list").verb, Verb::List);
    EXPECT_EQ(ParseVerbCommand("f.exe -WHERE").verb, Verb::Where);
    EXPECT_EQ(ParseVerbCommand("f.exe /help").verb, Verb::Help);
    EXPECT_EQ(ParseVerbCommand("f.exe /?").verb, Verb::Help);
}

TEST(ParseVerbCommand, BadUsageSaysWhatIsWrong)
{
    struct Case {
        const char* commandLine;
        const char* expected;
    };
    const Case cases[] = {
        {"f.exe /apply", "/apply needs the name of a configuration"},
        {"f.exe /apply \"  \"", "/apply needs the name of a configuration"},
        {"f.exe /apply /quiet", "/apply needs the name of a configuration"},
        {"f.exe /apply -only files", "/apply needs the name of a configuration"},
        {"f.exe /apply x /only", "/only needs a list of areas"},
        {"f.exe /apply x /only files,sound", "unknown area \"sound\""},
        {"f.exe /apply x /only files,", "an empty area in \"files,\""},
        {"f.exe /apply x /only files /only desktop", "/only is given twice"},
        {"f.exe /apply x /fast", "unexpected argument \"/fast\""},
        {"f.exe /apply x y", "unexpected argument \"y\""},
        {"f.exe /list x", "unexpected argument \"x\""},
        {"f.exe /where /quiet", "unexpected argument \"/quiet\""},
        {"f.exe /help me", "unexpected argument \"me\""},
        {"f.exe /export", "/export needs a file"},
        {"f.exe /export \"\"", "/export needs a file"},
        {"f.exe /export a.json /replace", "unknown switch \"/replace\""},
        {"f.exe /export a.json \"\"", "an empty configuration name"},
        {"f.exe /import", "/import needs a file"},
        {"f.exe /import /replace", "/import needs a file"},
        {"f.exe /import a.json b.json", "unexpected argument \"b.json\""},
        {"f.exe /import /quiet", "/import needs a file"},
        {"f.exe /preview", "/preview needs the name of a configuration"},
        {"f.exe /preview x /quiet", "unexpected argument \"/quiet\""},
        {"f.exe /capture", "/capture needs the name of the new configuration"},
        {"f.exe /capture /quiet", "/capture needs the name of the new configuration"},
        {"f.exe /capture x y", "unexpected argument \"y\""},
        {"f.exe /capture x /quiet y", "unexpected argument \"y\""},
        // The output file of a copy started again only as the last two
        // arguments, and only with a path.
        {"f.exe /list /elevatedoutput", "unexpected argument \"/elevatedoutput\""},
        {"f.exe /list /elevatedoutput \"\"", "unexpected argument \"/elevatedoutput\""},
        {"f.exe /undo /elevatedoutput a.txt /quiet", "unexpected argument \"/elevatedoutput\""},
        {"f.exe /undo x", "unexpected argument \"x\""},
        {"f.exe /tray /quiet", "unexpected argument \"/quiet\""},
        {"f.exe -TRAY Office", "unexpected argument \"Office\""},
        {"f.exe /tray \"\"", "unexpected argument \"\""},
        // The tray is never started again, so the output file is no switch of its.
        {"f.exe /tray /elevatedoutput a.txt", "unexpected argument \"/elevatedoutput\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseVerbCommand(c.commandLine).usageError, c.expected) << c.commandLine;
}

TEST(UsageText, NamesEveryVerbAndEveryExitCode)
{
    const std::string usage = UsageText();
    for (const char* text :
         {"/apply NAME [/only AREAS] [/quiet]", "/list", "/export FILE [NAME ...]",
          "/import FILE [/replace]", "/?", "/preview NAME [/only AREAS]", "/undo [/quiet]",
          "/capture NAME [/quiet]", "/import FILE [/replace] [/quiet]", "/tray",
          "files,network,desktop,programs,services"})
        EXPECT_NE(usage.find(text), std::string::npos) << text;
    EXPECT_EQ(usage.find(kOutputFileSwitch), std::string::npos) << "an internal switch";
    for (int code = 0; code <= 7; ++code)
        EXPECT_NE(usage.find("  " + std::to_string(code) + "  "), std::string::npos) << code;
}

// A verb started again elevated gets the arguments as the user wrote them
// and the output file after them, and reads both back unchanged.
TEST(ArgumentText, TheCopyStartedAgainParsesTheSameCommandAndTheOutputFile)
{
    struct Case {
        const char* commandLine;
        const char* arguments;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\f.exe\"  /apply \"Home office\" /only files -quiet",
         "/apply \"Home office\" /only files -quiet"},
        {"f.exe\t/import \"C:\\a b\\\" x\\\"\" /replace", "/import \"C:\\a b\\\" x\\\"\" /replace"},
        {"f.exe /capture New", "/capture New"},
    };
    const std::string paths[] = {"C:\\Users\\A B\\Temp\\fls1.tmp", "C:\\dir\\", "a\"b"};
    for (const Case& c : cases) {
        EXPECT_EQ(ArgumentText(c.commandLine), c.arguments) << c.commandLine;
        const VerbCommand original = ParseVerbCommand(c.commandLine);
        for (const std::string& path : paths) {
            const VerbCommand copy = ParseVerbCommand("f.exe " + ArgumentText(c.commandLine) +
                                                      OutputFileArguments(path));
            EXPECT_EQ(copy.outputFile, path) << c.commandLine;
            EXPECT_EQ(copy.usageError, original.usageError) << c.commandLine;
            EXPECT_EQ(copy.verb, original.verb) << c.commandLine;
            EXPECT_EQ(copy.name, original.name) << c.commandLine;
            EXPECT_EQ(copy.file, original.file) << c.commandLine;
            EXPECT_EQ(copy.quiet, original.quiet) << c.commandLine;
            EXPECT_EQ(copy.replace, original.replace) << c.commandLine;
            EXPECT_EQ(copy.areas, original.areas) << c.commandLine;
        }
    }
}

}  // namespace
}  // namespace flipset
