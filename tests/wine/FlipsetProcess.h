// flipset.exe started by an end-to-end test, and the program data such a
// test starts from.
#pragma once

#include "TestFiles.h"
#include "store/Registry.h"

#include <windows.h>

#include <string>

namespace flipset {

// The program's own keys under both roots removed: a first start.
inline void ClearProgramData(CRegistry registry)
{
    registry.DeleteKeyTree(RegistryRoot::LocalMachine, "Software\\Quillon");
    registry.DeleteKeyTree(RegistryRoot::CurrentUser, "Software\\Quillon");
}

// A started flipset.exe (built beside the tests: build/windows/src); ended
// by force if a test leaves it running.
class FlipsetProcess {
public:
    explicit FlipsetProcess(const std::string& arguments)
    {
        std::string commandLine = CommandLine(arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
    }
    // Started with its standard output and error handles on a new file at
    // outputPath, as a script's redirect gives them.
    FlipsetProcess(const std::string& arguments, const std::string& outputPath)
    {
        std::string commandLine = CommandLine(arguments);
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        const HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                          &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE)
            return;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
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
    static std::string CommandLine(const std::string& arguments)
    {
        return "\"" + testfiles::OwnFolder() + "\\..\\..\\src\\flipset.exe\"" + arguments;
    }

    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

}  // namespace flipset
