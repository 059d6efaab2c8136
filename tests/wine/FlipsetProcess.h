// flipset.exe started by an end-to-end test, and the program data such a
// test starts from.
#pragma once

#include "wine/TestFiles.h"
#include "store/Registry.h"

#include <windows.h>

#include <string>

namespace flipset {

// The program's own keys under both roots removed: a first start.
inline void ClearProgramData(CRegistry registry)
{
    registry.DeleteKeyTree("Software\\Quillon", RegistryRoot::LocalMachine);
    registry.DeleteKeyTree("Software\\Quillon", RegistryRoot::CurrentUser);
}

// A started flipset.exe (built beside the tests: build/windows/src); ended
// by force if a test leaves it running.
class FlipsetProcess {
public:
    explicit FlipsetProcess(const std::string& arguments)
    {
        std::string commandLine =
            "\"" + testfiles::OwnFolder() + "\\..\\..\\src\\flipset.exe\"" + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
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

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

}  // namespace flipset
