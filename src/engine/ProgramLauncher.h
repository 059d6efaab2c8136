// The Run phase: the external programs of a configuration, started one after
// the other through the shell, with a wait after each.
#pragma once

#include "engine/RunContext.h"

#include <string>

namespace flipset {

// What the Run phase needs of the platform's shell.
class Shell {
public:
    Shell() = default;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;
    virtual ~Shell() = default;

    // The platform's short (8.3) form of an existing path; empty when the
    // platform can't give one, as for a path that does not exist.
    virtual std::string ShortPathName(const std::string& path) = 0;

    // Opens the file with the shell's "open" action and shows it, passing
    // the parameters when they are not empty, and returns at once. A failure
    // that the shell showed nobody (a shell asked for no interface) comes
    // back as its reason; otherwise empty, as whether the start succeeded is
    // not reported.
    virtual std::string Open(const std::string& file, const std::string& parameters) = 0;
};

// A run list entry split into the program and its parameters.
struct RunEntryParts {
    std::string program;
    std::string parameters;
};

// "program [parameters]": the parameters are what lies between the first
// "[" and the last "]", the program what lies before that "["; both trimmed,
// text after the last "]" ignored. Without such a pair the whole entry is
// the program.
RunEntryParts SplitRunEntry(const std::string& entry);

// The short form of the path; empty for an empty path or one the platform
// can't shorten.
std::string ShortPathOf(Shell& shell, const std::string& path);

// The Run phase: starts each program of the configuration's run list, waits
// after each, and ends with the caption "<title> - Ready", also when the
// list is missing or empty. An entry whose program can't be shortened (it
// does not exist) starts nothing; its caption and wait still follow.
void RunProgramsPhase(RunContext& ctx, Shell& shell, const std::string& title);

}  // namespace flipset
