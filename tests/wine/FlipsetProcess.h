// flipset.exe started by an end-to-end test, or run to its end as a script
// runs it, and the program data such a test starts from.
#pragma once

#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "wine/ui/UiDriver.h"
#include "store/Registry.h"

#include <windows.h>

#include <iostream>
#include <string>

namespace flipset {

// The program's own keys under both roots removed: a first start.
inline void ClearProgramData(CRegistry registry)
{
    registry.DeleteKeyTree(kProgramKey, kMachine);
    registry.DeleteKeyTree(kProgramKey, kUser);
}

// Where the program to start is: by default the flipset.exe built beside
// the tests (build/windows/src), or an installed or unpacked copy.
struct ProgramPath {
    std::string path = testfiles::OwnFolder() + "\\..\\..\\src\\flipset.exe";
};

// A started flipset.exe; ended by force if a test leaves it running.
class FlipsetProcess {
public:
    explicit FlipsetProcess(const std::string& arguments) : FlipsetProcess(ProgramPath{}, arguments)
    {
    }
    // Started with its standard output and error handles on a new file at
    // outputPath, as a script's redirect gives them.
    FlipsetProcess(const std::string& arguments, const std::string& outputPath)
        : FlipsetProcess(ProgramPath{}, arguments, outputPath)
    {
    }
    FlipsetProcess(const ProgramPath& program, const std::string& arguments,
                   const std::string& outputPath = "")
    {
        std::string commandLine = "\"" + program.path + "\"" + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        HANDLE output = INVALID_HANDLE_VALUE;
        if (!outputPath.empty()) {
            SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
            output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (output == INVALID_HANDLE_VALUE)
                return;
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = output;
            startup.hStdError = output;
        }
        const BOOL inheritHandles = output != INVALID_HANDLE_VALUE ? TRUE : FALSE;
        started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, inheritHandles, 0,
                                  nullptr, nullptr, &startup, &process_) != FALSE;
        if (!started_) {
            // Wine, busy with other test programs, has refused a process
            // start right after the previous program ended; the start is
            // tried once more, and the refusal is shown.
            std::cerr << "starting " << commandLine << " failed with " << GetLastError()
                      << "; trying once more\n";
            Sleep(500);
            started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, inheritHandles, 0,
                                      nullptr, nullptr, &startup, &process_) != FALSE;
        }
        if (output != INVALID_HANDLE_VALUE)
            CloseHandle(output);
    }
    FlipsetProcess(const FlipsetProcess&) = delete;
    FlipsetProcess& operator=(const FlipsetProcess&) = delete;
    ~FlipsetProcess()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    bool WaitForExit(DWORD milliseconds) const
    {
        return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    // The exit code of the ended process; STILL_ACTIVE while it runs.
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// What a run of flipset.exe to its end left.
struct FlipsetRun {
    bool started = false;
    bool ended = false;  // by itself, in time
    DWORD exitCode = STILL_ACTIVE;
    std::string output;   // its standard output and error
    int windowsSeen = 0;  // its visible top-level windows, counted every 20 ms
};

// Runs flipset.exe with the arguments and its output on a new file at
// outputPath, as a script's redirect gives it, watching for windows until
// it ends by itself; one still running after timeout is ended by force.
inline FlipsetRun RunFlipsetToEnd(const std::string& arguments, const std::string& outputPath,
                                  const ProgramPath& program = ProgramPath{}, DWORD timeout = 60000)
{
    FlipsetRun run;
    {
        FlipsetProcess process(program, arguments, outputPath);
        run.started = process.Started();
        if (!run.started)
            return run;
        const ui::Ui ui(process.Id());
        const ULONGLONG deadline = GetTickCount64() + timeout;
        while (!run.ended && GetTickCount64() < deadline) {
            run.windowsSeen += static_cast<int>(ui.Windows().size());
            run.ended = process.WaitForExit(20);
        }
        run.exitCode = process.ExitCode();
    }
    run.output = testfiles::ReadWhole(outputPath);
    return run;
}

}  // namespace flipset
