#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace flipset {
namespace {

TEST(SplitCommandLine, EverySeparatorEndsATokenAndEmptyTokensAreKept)
{
    struct Case {
        const char* what;
        std::string commandLine;
        StringList expected;
    };
    const Case cases[] = {
        {"empty line", "", {""}},
        {"program only", "flipset.exe", {"flipset.exe"}},
        {"one space", "a b", {"a", "b"}},
        {"two spaces", "a  b", {"a", "", "b"}},
        {"trailing space", "a ", {"a", ""}},
        {"leading space", " a", {"", "a"}},
        {"tab", "a\tb", {"a", "b"}},
        {"control bytes",
         std::string("a\x01"
                     "b\x1f"
                     "c\r\nd"),
         {"a", "b", "c", "", "d"}},
        {"byte 127 is no separator",
         "a\x7f"
         "b",
         {"a\x7f"
          "b"}},
        {"bytes 128 and 255",
         "a\x80"
         "b\xff"
         "c",
         {"a", "b", "c"}},
        {"accented letter", "C:\\Programme\\M\xfcller\\f.exe", {"C:\\Programme\\M", "ller\\f.exe"}},
        {"quotes mean nothing",
         "\"C:\\Program Files\\f.exe\" /x",
         {"\"C:\\Program", "Files\\f.exe\"", "/x"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.commandLine), c.expected) << c.what;
}

TEST(HasCommandLineSwitch, ComparesEachArgumentCutToTheSwitchIgnoringCase)
{
    struct Case {
        const char* what;
        StringList tokens;
        const char* switchText;
        bool expected;
    };
    const Case cases[] = {
        {"exact", {"f.exe", "/NONICCHANGE"}, "/NONICCHANGE", true},
        {"small letters", {"f.exe", "/nonicchange"}, "/NONICCHANGE", true},
        {"followed by more letters", {"f.exe", "/NONICCHANGEXYZ"}, "/NONICCHANGE", true},
        {"not the first argument", {"f.exe", "/x", "", "/NoNicChange"}, "/NONICCHANGE", true},
        {"shorter argument", {"f.exe", "/NONIC"}, "/NONICCHANGE", false},
        {"other dash", {"f.exe", "-NONICCHANGE"}, "/NONICCHANGE", false},
        {"inside an argument", {"f.exe", "x/NONICCHANGE"}, "/NONICCHANGE", false},
        {"token 0 is never examined", {"/NONICCHANGE"}, "/NONICCHANGE", false},
        {"token 0 with arguments", {"/NONICCHANGE", "/x"}, "/NONICCHANGE", false},
        {"no tokens", {}, "/NONICCHANGE", false},
        {"empty switch", {"f.exe", ""}, "", false},
        {"empty switch, any argument", {"f.exe", "/x"}, "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasCommandLineSwitch(c.tokens, c.switchText), c.expected) << c.what;
}

// A program path with a space or a byte above 127 splits into pieces; a
// piece that begins with the switch text counts as the switch.
TEST(HasCommandLineSwitch, APieceOfTheProgramPathCanBeTheSwitch)
{
    for (const char* path :
         {"C:\\Tools /nonicchange\\flipset.exe", "C:\\Caf\xe9/NONICCHANGE\\flipset.exe"})
        EXPECT_TRUE(HasCommandLineSwitch(SplitCommandLine(path), "/NONICCHANGE")) << path;
}

TEST(FindComCommand, RecognisesACommandWordOnlyAtTheEndOfTheLine)
{
    struct Case {
        const char* commandLine;
        ComCommand expected;
    };
    const Case cases[] = {
        {"flipset.exe /RegServer", ComCommand::RegServer},
        {"flipset.exe -regserver", ComCommand::RegServer},
        {"flipset.exe /UnregServer", ComCommand::UnregServer},
        {"flipset.exe -unregserver", ComCommand::UnregServer},
        {"flipset.exe /UNREGSERVER", ComCommand::UnregServer},
        {"x /y /RegServer", ComCommand::RegServer},
        {"C:\\my-tools\\flipset.exe -RegServer", ComCommand::RegServer},
        {"\"C:\\a b\\flipset.exe\" /RegServer", ComCommand::RegServer},
        {"flipset.exe /RegServer extra", ComCommand::None},
        {"flipset.exe /RegServer ", ComCommand::None},
        {"flipset.exe /RegServer\"", ComCommand::None},
        {"flipset.exe RegServer", ComCommand::None},
        {"flipset.exe / RegServer", ComCommand::None},
        {"flipset.exe /RegServ", ComCommand::None},
        {"flipset.exe /RegServerX", ComCommand::None},
        {"flipset.exe", ComCommand::None},
        {"", ComCommand::None},
        {"/", ComCommand::None},
        // The mark before the word may follow another mark.
        {"flipset.exe //RegServer", ComCommand::RegServer},
        {"flipset.exe -/UnregServer", ComCommand::UnregServer},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindComCommand(c.commandLine), c.expected) << c.commandLine;
}

TEST(IsStartedAsComServer, RecognisesTheRuntimesFlagsAsWholeArguments)
{
    struct Case {
        const char* what;
        StringList tokens;
        bool expected;
    };
    const Case cases[] = {
        {"embedding", {"f.exe", "-Embedding"}, true},
        {"embedding after slash, any case", {"f.exe", "/EMBEDDING"}, true},
        {"automation", {"f.exe", "/Automation"}, true},
        {"automation, small letters", {"f.exe", "-automation"}, true},
        {"after other arguments", {"f.exe", "/x", "file", "-Embedding"}, true},
        {"no arguments", {"f.exe"}, false},
        {"token 0 is the program", {"-Embedding"}, false},
        {"without a mark", {"f.exe", "Embedding"}, false},
        {"longer", {"f.exe", "/Embeddings"}, false},
        {"shorter", {"f.exe", "/Embed"}, false},
        {"registration is not a server start", {"f.exe", "/RegServer"}, false},
        {"empty argument", {"f.exe", ""}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsStartedAsComServer(c.tokens), c.expected) << c.what;
}

}  // namespace
}  // namespace flipset
