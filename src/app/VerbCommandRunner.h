// The command-line verbs on the real machine: parses the command line,
// writes to the output the program inherited, and returns the exit code.
#pragma once

#include "app/CommandVerbs.h"
#include "app/Elevation.h"

#include <string>

namespace flipset {

// For a command line on which IsVerbCommandLine is true: does the verb and
// returns its exit code (ExitCode). A verb that needs administrator rights
// which the process lacks refuses with /quiet, else starts the program
// again through "runas" with the same arguments and an output file, waits
// for it, writes its lines to this process's output and returns its exit
// code.
int RunVerbCommand(const std::string& commandLine, const Elevation& elevation);

// The order of the main window's sorted list box, which "/list" and the
// tray's menu keep: the user's locale, letter case ignored.
bool ListBoxOrder(const std::string& a, const std::string& b);

}  // namespace flipset
