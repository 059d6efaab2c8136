// The shell of the Run phase on Windows.
#pragma once

#include "engine/ProgramLauncher.h"

namespace flipset {

class Win32Shell : public Shell {
public:
    // GetShortPathNameA with a buffer of 260 characters.
    std::string ShortPathName(const std::string& path) override;

    // ShellExecuteA with no owner window, no working directory and SW_SHOW.
    void Open(const std::string& file, const std::string& parameters) override;
};

}  // namespace flipset
