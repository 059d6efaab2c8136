// The scripting verbs of the command line ("/apply NAME", "/list",
// "/export", "/import", "/where", "/help"), their exit codes and their usage text.
// Portable: the caller passes the text of GetCommandLineA.
//
// A command line is a verb command only when its first argument is one of
// the verb words, after "/" or "-" and in any letter case, or a misspelt
// one: a switch within two letters of a verb word that is no switch of the
// interactive start. A misspelt verb is a usage error ("unknown verb /aply
// (did you mean /apply?)"), so that a script never waits on a window. Every
// other command line (none, "/NONICCHANGE", the COM command words, anything
// the interactive start ignores) starts the program as it always has.
#pragma once

#include "base/Text.h"
#include "store/Areas.h"

#include <string>
#include <vector>

namespace flipset {

// The exit status of every verb.
enum class ExitCode : int {
    Done = 0,                 // done, and no message reported an error
    NoSuchConfiguration = 1,  // no configuration has that name
    StepFailed = 2,           // the run finished, but a step reported an error
    BadUsage = 3,             // an unknown verb, switch or area, or a missing argument
    FileFailed = 4,           // a file could not be read, understood or written
    NameTaken = 5,            // a name is already taken
    NeedsRights = 6,          // administrator rights are needed and were not given
    RunInProgress = 7,        // another run holds the machine; nothing was changed
};

enum class Verb { Apply, List, Export, Import, Help, Capture, Preview, Undo, Where };

// A verb command as parsed. With a usage error, only verb (when it was
// recognised) and usageError mean anything.
struct VerbCommand {
    Verb verb = Verb::Help;
    // What is wrong with the command line; empty when it is well formed.
    std::string usageError;

    // Apply and preview: the configuration's name, and with "/only" the
    // areas to apply instead of the options stored with the configuration.
    // Capture: the new configuration's name.
    std::string name;
    bool onlyGiven = false;
    std::vector<Area> areas;
    bool quiet = false;

    // Set only in a copy that a verb without administrator rights started
    // again through "runas": the file its output lines go to, for the copy
    // that started it to pass on (an elevated process cannot write to the
    // console of one that is not). Given as the last two arguments,
    // kOutputFileSwitch and the path; not part of the usage.
    std::string outputFile;

    // Export and import: the file; export's configuration names (none: all).
    std::string file;
    StringList names;
    bool replace = false;
};

// The arguments after the program path, split by the C runtime's rules:
// spaces and tabs separate; a quoted part may hold them; a quotation mark
// preceded by an odd number of backslashes is literal, each pair of
// backslashes before a mark stands for one; "" inside a quoted part is one
// literal mark. The program path itself ends at its closing quotation mark,
// or at the first space or tab when it is not quoted.
StringList SplitArguments(const std::string& commandLine);

// True when the command line's first argument is a verb word or a misspelt
// one, or "/tray" with anything after it: a usage error, as an unexpected
// argument of a verb is.
bool IsVerbCommandLine(const std::string& commandLine);

// True when the command line's only argument is "/tray" (or "-tray", in
// any letter case): the resident program in the notification area.
bool IsTrayCommandLine(const std::string& commandLine);

// The verb command of a command line for which IsVerbCommandLine is true.
VerbCommand ParseVerbCommand(const std::string& commandLine);

// The usage text, lines separated by "\n", with the exit codes.
std::string UsageText();

// The switch word of VerbCommand::outputFile, after "/".
inline constexpr const char* kOutputFileSwitch = "elevatedoutput";

// The command line's arguments as written, without the program path and
// the blanks after it: what a copy of the program started again is given.
std::string ArgumentText(const std::string& commandLine);

// The text as one argument in quotation marks, so that SplitArguments gives
// it back unchanged.
std::string QuotedArgument(const std::string& text);

// The arguments that send a verb's output lines to the file, to be added at
// the end: " /elevatedoutput" and the path, quoted so that SplitArguments
// gives it back unchanged.
std::string OutputFileArguments(const std::string& path);

}  // namespace flipset
