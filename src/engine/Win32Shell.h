// The shell of the Run phase on Windows.
#pragma once

#include "engine/ProgramLauncher.h"

namespace flipset {

class Win32Shell : public Shell {
public:
    // Without an interface the shell shows no window of its own (no "Open
    // with", no error box) and Open reports its failures instead: for runs
    // that nobody watches.
    enum class Interface { Shown, None };
    explicit Win32Shell(Interface shellInterface = Interface::Shown)
        : interface_(shellInterface)
    {
    }

    // GetShortPathNameA with a buffer of 260 characters.
    std::string ShortPathName(const std::string& path) override;

    // ShellExecuteA with no owner window, no working directory and SW_SHOW;
    // without an interface ShellExecuteExA with SEE_MASK_FLAG_NO_UI.
    std::string Open(const std::string& file, const std::string& parameters) override;

private:
    Interface interface_;
};

}  // namespace flipset
