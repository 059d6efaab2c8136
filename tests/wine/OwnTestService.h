// A service of our own in the prefix's service control manager, for the
// tests that let a run start or stop one.
#pragma once

#include "base/Win32Handles.h"
#include "wine/TestFiles.h"

#include <windows.h>

#include <string>

namespace flipset {

// A stopped service of our own (the test service, stopping at once when
// asked), installed for a test's life under the prefix and the process id.
class OwnTestService {
public:
    explicit OwnTestService(const std::string& prefix)
        : name_(prefix + std::to_string(GetCurrentProcessId()))
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        const std::string command =
            "\"" + testfiles::OwnFolder() + "\\flipset_test_service.exe\" stop-at-once";
        ScHandle service(CreateServiceA(manager.Get(), name_.c_str(), name_.c_str(),
                                        SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                        SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, command.c_str(),
                                        nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    ~OwnTestService()
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ScHandle service(OpenServiceA(manager.Get(), name_.c_str(), SERVICE_ALL_ACCESS));
        if (!service)
            return;
        SERVICE_STATUS status{};
        ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
        for (int i = 0; i < 100 && QueryServiceStatus(service.Get(), &status) &&
                        status.dwCurrentState != SERVICE_STOPPED;
             ++i)
            Sleep(50);
        DeleteService(service.Get());
    }
    const std::string& Name() const { return name_; }
    DWORD State() const
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ScHandle service(OpenServiceA(manager.Get(), name_.c_str(), SERVICE_ALL_ACCESS));
        SERVICE_STATUS status{};
        if (!service || !QueryServiceStatus(service.Get(), &status))
            return 0;
        return status.dwCurrentState;
    }

private:
    std::string name_;
};

}  // namespace flipset
