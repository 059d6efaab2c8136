// The command-line verbs on the real machine: parses the command line,
// writes to the output the program inherited, and returns the exit code.
#pragma once

#include "app/CommandVerbs.h"

#include <string>

namespace flipset {

// For a command line on which IsVerbCommandLine is true: does the verb and
// returns its exit code (ExitCode).
int RunVerbCommand(const std::string& commandLine);

}  // namespace flipset
