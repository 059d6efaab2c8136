// The application: answers the command line, applies the network action
// chosen for start-up, shows the splash and runs the main window. When the
// main window closes, the program ends.
#pragma once

#include "app/Elevation.h"
#include "app/Win32ComServer.h"

#include <string>

namespace flipset {

class MainApp {
public:
    // The whole life of the program; returns the process's exit status:
    // a verb command's exit code, else 0, which carries no meaning.
    int Run(const std::string& commandLine);

private:
    // False in every interactive case, once the main window has closed, and
    // when the program ends without a window (COM registration, a COM
    // failure); true only when it was started as a COM server and must keep
    // running invisibly.
    bool InitInstance(const std::string& commandLine, const Elevation& elevation);
    void ExitInstance();
    static void RunServerMessageLoop();

    ComServer comServer_;
    bool comInitialized_ = false;
};

}  // namespace flipset
