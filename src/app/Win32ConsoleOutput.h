// The output of the command-line verbs for a program of the Windows
// subsystem, which has no console of its own: the standard output handle it
// inherited (a file or a pipe), else its standard error handle, else the
// console of the process that started it, else nowhere.
#pragma once

#include "app/OutputSink.h"
#include "base/Win32Handles.h"

#include <windows.h>

#include <string>

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
    // In one write: a thousand lines' writes are a thousand system calls.
    void WriteLines(const StringList& lines) override;

private:
    void ChooseTarget();
    void Write(const std::string& text);

    bool chosen_ = false;
    HANDLE handle_ = nullptr;
    bool console_ = false;
    bool ownsHandle_ = false;
};

// The output of a verb's copy started again with administrator rights: its
// lines go, as bytes of the ANSI code page, to the file that the copy which
// started it reads back (an elevated process cannot write to the console of
// one that is not). Lines go nowhere when the file cannot be opened.
class Win32FileOutput : public OutputSink {
public:
    explicit Win32FileOutput(const std::string& path);

    void WriteLine(const std::string& line) override;
    void WriteLines(const StringList& lines) override;

private:
    FileHandle file_;
};

}  // namespace flipset
