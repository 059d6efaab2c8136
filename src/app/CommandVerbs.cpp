#include "app/CommandVerbs.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace flipset {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

struct VerbWord {
    const char* word;
    Verb verb;
};
constexpr VerbWord kVerbWords[] = {
    {"apply", Verb::Apply},     {"list", Verb::List},       {"export", Verb::Export},
    {"import", Verb::Import},   {"help", Verb::Help},       {"?", Verb::Help},
    {"capture", Verb::Capture}, {"preview", Verb::Preview}, {"undo", Verb::Undo},
    {"where", Verb::Where},
};

bool IsSwitchMark(char c)
{
    return c == '/' || c == '-';
}

// True when the argument is the word after "/" or "-", in any letter case.
bool IsSwitch(const std::string& argument, std::string_view word)
{
    return argument.size() > 1 && IsSwitchMark(argument[0]) &&
           EqualsNoCase(std::string_view(argument).substr(1), word);
}

bool FindVerb(const std::string& argument, Verb& verb)
{
    for (const VerbWord& entry : kVerbWords) {
        if (IsSwitch(argument, entry.word)) {
            verb = entry.verb;
            return true;
        }
    }
    return false;
}

// The switches of the interactive start, with either mark and in any letter
// case: never taken for a misspelt verb.
constexpr const char* kStartupSwitches[] = {"NONICCHANGE", "RegServer",  "UnregServer",
                                            "Embedding",   "Automation", "tray"};

// The least number of letters to insert, delete or replace to turn one word
// into the other, letter case ignored.
size_t EditDistance(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    std::vector<size_t> previous(b.size() + 1);
    std::vector<size_t> current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t replace = previous[j - 1] + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, replace});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// The verb word that a switch of letters only, which is no verb, misspells:
// the nearest within two letters (the first of the nearest in the table),
// or nullptr. "?" is never suggested: every one-letter switch is within two
// letters of it.
const char* MisspeltVerb(const std::string& argument)
{
    if (argument.size() < 2 || !IsSwitchMark(argument[0]))
        return nullptr;
    for (const char* word : kStartupSwitches) {
        if (IsSwitch(argument, word))
            return nullptr;
    }
    const std::string_view typed = std::string_view(argument).substr(1);
    if (!std::all_of(typed.begin(), typed.end(),
                     [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }))
        return nullptr;
    const char* nearest = nullptr;
    size_t nearestDistance = 3;
    for (const VerbWord& entry : kVerbWords) {
        const size_t distance = EditDistance(typed, entry.word);
        if (std::string_view(entry.word) != "?" && distance < nearestDistance) {
            nearest = entry.word;
            nearestDistance = distance;
        }
    }
    return nearest;
}

// Skips the program path: up to its closing quotation mark when it begins
// with one, else up to the first space or tab.
size_t SkipProgramPath(const std::string& line)
{
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        return close == std::string::npos ? line.size() : close + 1;
    }
    size_t at = 0;
    while (at < line.size() && !IsBlank(line[at]))
        ++at;
    return at;
}

// The areas of "/only": comma-separated area words in any letter case.
bool ParseAreas(const std::string& text, std::vector<Area>& areas, std::string& error)
{
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string word = Trim(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        bool known = false;
        for (const AreaDescriptor& area : kAreas) {
            if (EqualsNoCase(word, area.word)) {
                areas.push_back(area.area);
                known = true;
            }
        }
        if (!known) {
            error = word.empty() ? "an empty area in \"" + text + "\""
                                 : "unknown area \"" + word + "\"";
            return false;
        }
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// "/apply NAME [/only AREAS] [/quiet]", and "/preview" without "/quiet".
void ParseApply(const StringList& args, VerbCommand& command)
{
    const bool quietAllowed = command.verb == Verb::Apply;
    const std::string verbWord = quietAllowed ? "/apply" : "/preview";
    size_t i = 1;
    const auto isOwnSwitch = [](const std::string& a) {
        return IsSwitch(a, "only") || IsSwitch(a, "quiet");
    };
    if (i >= args.size() || Trim(args[i]).empty() || isOwnSwitch(args[i])) {
        command.usageError = verbWord + " needs the name of a configuration";
        return;
    }
    command.name = args[i++];
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (quietAllowed && IsSwitch(a, "quiet")) {
            command.quiet = true;
        } else if (IsSwitch(a, "only")) {
            if (command.onlyGiven) {
                command.usageError = "/only is given twice";
                return;
            }
            if (++i >= args.size()) {
                command.usageError = "/only needs a list of areas";
                return;
            }
            command.onlyGiven = true;
            if (!ParseAreas(args[i], command.areas, command.usageError))
                return;
        } else {
            command.usageError = "unexpected argument \"" + a + "\"";
            return;
        }
    }
}

void ParseExport(const StringList& args, VerbCommand& command)
{
    if (args.size() < 2 || args[1].empty()) {
        command.usageError = "/export needs a file";
        return;
    }
    command.file = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        // No name holds a "/" (the name filter keeps it out), while "-" may
        // begin one.
        if (!args[i].empty() && args[i][0] == '/') {
            command.usageError = "unknown switch \"" + args[i] + "\"";
            return;
        }
        if (Trim(args[i]).empty()) {
            command.usageError = "an empty configuration name";
            return;
        }
        command.names.push_back(args[i]);
    }
}

void ParseImport(const StringList& args, VerbCommand& command)
{
    if (args.size() < 2 || args[1].empty() || IsSwitch(args[1], "replace") ||
        IsSwitch(args[1], "quiet")) {
        command.usageError = "/import needs a file";
        return;
    }
    command.file = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        if (IsSwitch(args[i], "replace")) {
            command.replace = true;
        } else if (IsSwitch(args[i], "quiet")) {
            command.quiet = true;
        } else {
            command.usageError = "unexpected argument \"" + args[i] + "\"";
            return;
        }
    }
}

void ParseCapture(const StringList& args, VerbCommand& command)
{
    if (args.size() < 2 || Trim(args[1]).empty() || args[1][0] == '/') {
        command.usageError = "/capture needs the name of the new configuration";
        return;
    }
    command.name = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        if (!IsSwitch(args[i], "quiet")) {
            command.usageError = "unexpected argument \"" + args[i] + "\"";
            return;
        }
        command.quiet = true;
    }
}

void ParseUndo(const StringList& args, VerbCommand& command)
{
    for (size_t i = 1; i < args.size(); ++i) {
        if (!IsSwitch(args[i], "quiet")) {
            command.usageError = "unexpected argument \"" + args[i] + "\"";
            return;
        }
        command.quiet = true;
    }
}

}  // namespace

StringList SplitArguments(const std::string& commandLine)
{
    StringList arguments;
    size_t at = SkipProgramPath(commandLine);
    for (;;) {
        while (at < commandLine.size() && IsBlank(commandLine[at]))
            ++at;
        if (at >= commandLine.size())
            return arguments;
        std::string argument;
        bool quoted = false;
        while (at < commandLine.size() && (quoted || !IsBlank(commandLine[at]))) {
            size_t backslashes = 0;
            while (at < commandLine.size() && commandLine[at] == '\\') {
                ++backslashes;
                ++at;
            }
            if (at < commandLine.size() && commandLine[at] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && at + 1 < commandLine.size() && commandLine[at + 1] == '"') {
                    argument += '"';
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, '\\');
                if (backslashes == 0 && at < commandLine.size() &&
                    (quoted || !IsBlank(commandLine[at]))) {
                    argument += commandLine[at];
                    ++at;
                }
            }
        }
        arguments.push_back(argument);
    }
}

bool IsTrayCommandLine(const std::string& commandLine)
{
    const StringList arguments = SplitArguments(commandLine);
    return arguments.size() == 1 && IsSwitch(arguments[0], "tray");
}

bool IsVerbCommandLine(const std::string& commandLine)
{
    const StringList arguments = SplitArguments(commandLine);
    Verb verb;
    // "/tray" with anything after it is refused as a verb's unexpected
    // argument is, rather than starting the tray and ignoring it.
    return !arguments.empty() &&
           (FindVerb(arguments[0], verb) || MisspeltVerb(arguments[0]) != nullptr ||
            (arguments.size() > 1 && IsSwitch(arguments[0], "tray")));
}

VerbCommand ParseVerbCommand(const std::string& commandLine)
{
    StringList args = SplitArguments(commandLine);
    VerbCommand command;
    // The tray takes no argument, not even the output file of a copy started
    // again (it is never started again): whatever follows it is unexpected.
    if (args.size() > 1 && IsSwitch(args[0], "tray")) {
        command.usageError = "unexpected argument \"" + args[1] + "\"";
        return command;
    }
    // The output file of a copy started again comes last, after whatever
    // the user gave.
    if (args.size() >= 3 && IsSwitch(args[args.size() - 2], kOutputFileSwitch) &&
        !args.back().empty()) {
        command.outputFile = args.back();
        args.resize(args.size() - 2);
    }
    if (args.empty() || !FindVerb(args[0], command.verb)) {
        const char* meant = args.empty() ? nullptr : MisspeltVerb(args[0]);
        if (args.empty())
            command.usageError = "no verb";
        else if (meant)
            command.usageError =
                "unknown verb " + args[0] + " (did you mean " + args[0][0] + meant + "?)";
        else
            command.usageError = "unknown verb \"" + args[0] + "\"";
        return command;
    }
    switch (command.verb) {
    case Verb::Apply:
    case Verb::Preview:
        ParseApply(args, command);
        break;
    case Verb::Capture:
        ParseCapture(args, command);
        break;
    case Verb::Undo:
        ParseUndo(args, command);
        break;
    case Verb::Export:
        ParseExport(args, command);
        break;
    case Verb::Import:
        ParseImport(args, command);
        break;
    case Verb::List:
    case Verb::Where:
    case Verb::Help:
        if (args.size() > 1)
            command.usageError = "unexpected argument \"" + args[1] + "\"";
        break;
    }
    return command;
}

// The area words, comma-separated, as "/only" takes them.
std::string AreaWords()
{
    std::string words;
    for (const AreaDescriptor& area : kAreas)
        words += (words.empty() ? "" : ",") + std::string(area.word);
    return words;
}

std::string UsageText()
{
    return "Usage:\n"
           "  flipset /apply NAME [/only AREAS] [/quiet]\n"
           "      Runs the configuration NAME as Run in the main window does, with the\n"
           "      options stored with it or, with /only, the AREAS listed, comma-separated,\n"
           "      from " +
           AreaWords() +
           ". /quiet shows no window and\n"
           "      no message box: every message is written to the output instead.\n"
           "  flipset /preview NAME [/only AREAS]\n"
           "      Writes what /apply would change, area by area, as \"before -> after\"\n"
           "      lines, what it would not change and what an undo cannot take back.\n"
           "      Changes nothing.\n"
           "  flipset /undo [/quiet]\n"
           "      Puts back the state from before the last run (of /apply or the main\n"
           "      window), as far as a run changed it; programs it started are not\n"
           "      undone. An undo can itself be undone.\n"
           "  flipset /capture NAME [/quiet]\n"
           "      Stores the current system files, desktop, proxy, start page and\n"
           "      network cards as the new configuration NAME.\n"
           "  flipset /where\n"
           "      Writes what the machine shows now of the network it is on (each\n"
           "      connected adapter with its GUID, addresses, subnets and DNS suffix,\n"
           "      the default gateway and its hardware address, the Wi-Fi network) and\n"
           "      which configuration's location holds there. Changes nothing.\n"
           "  flipset /list\n"
           "      Writes the configuration names, one a line.\n"
           "  flipset /export FILE [NAME ...]\n"
           "      Writes every configuration, or only the named ones, to FILE.\n"
           "  flipset /import FILE [/replace] [/quiet]\n"
           "      Adds the configurations of FILE. A name that already exists stops the\n"
           "      import, unless /replace is given: then that configuration is replaced.\n"
           "  flipset /tray\n"
           "      Keeps Flipset resident as an icon in the notification area, with a menu\n"
           "      of the configurations, and runs a configuration when the machine enters\n"
           "      its location. Takes no other argument.\n"
           "  flipset /help   or   flipset /?\n"
           "      Writes this text.\n"
           "Verbs and switches begin with / or - in any letter case. Put a name with\n"
           "spaces in quotation marks.\n"
           "On Windows 10 and later /apply and /undo need administrator rights, and so\n"
           "do /import and /capture where configurations are shared by all users.\n"
           "Without them the command asks for them and runs again with them, unless\n"
           "/quiet is given: then it changes nothing and exits with 6.\n"
           "Exit codes:\n"
           "  0  done, and no message reported an error\n"
           "  1  no configuration has that name; for /undo: no usable snapshot of a run;\n"
           "     for /where: no configuration's location holds, or several tie\n"
           "  2  the run finished, but at least one step reported an error\n"
           "  3  bad usage: an unknown verb, switch or area, or a missing argument\n"
           "  4  a file could not be read, understood or written; nothing was changed\n"
           "  5  a name is already taken; nothing was changed\n"
           "  6  administrator rights are needed and were not given; nothing was changed\n"
           "  7  another run (of /apply, /undo, the main window or the tray) was in\n"
           "     progress and did not end within 3 seconds; nothing was changed\n";
}

std::string ArgumentText(const std::string& commandLine)
{
    size_t at = SkipProgramPath(commandLine);
    while (at < commandLine.size() && IsBlank(commandLine[at]))
        ++at;
    return commandLine.substr(at);
}

std::string QuotedArgument(const std::string& text)
{
    // Backslashes count only before a quotation mark: those before the
    // closing one are doubled, and a mark inside is escaped.
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string OutputFileArguments(const std::string& path)
{
    return std::string(" /") + kOutputFileSwitch + " " + QuotedArgument(path);
}

}  // namespace flipset
