// The output of the command-line verbs for a program of the Windows
// subsystem, which has no console of its own: the standard output handle it
// inherited (a file or a pipe), else its standard error handle, else the
// console of the process that started it, else nowhere.
#pragma once

#include "app/OutputSink.h"

#include <windows.h>

namespace flipset {

class Win32ConsoleOutput : public OutputSink {
public:
    Win32ConsoleOutput() = default;
    Win32ConsoleOutput(const Win32ConsoleOutput&) = delete;
    Win32ConsoleOutput& operator=(const Win32ConsoleOutput&) = delete;
    ~Win32ConsoleOutput() override;

    // Lines go to a file or pipe as bytes of the ANSI code page, to a
    // console as text. The target is chosen at the first line, so that a
    // verb that writes nothing attaches to no console.
    void WriteLine(const std::string& line) override;

private:
    void ChooseTarget();

    bool chosen_ = false;
    HANDLE handle_ = nullptr;
    bool console_ = false;
    bool ownsHandle_ = false;
};

}  // namespace flipset
