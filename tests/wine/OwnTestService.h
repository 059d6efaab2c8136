// A service of our own in the prefix's service control manager, for the
// tests that let a run start or stop one.
#pragma once

#include "wine/TestFiles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace flipset {

struct ServiceHandleCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceHandleCloser>;

// A stopped service of our own (the test service, stopping at once when
// asked), installed for a test's life under the prefix and the process id.
class OwnTestService {
public:
    explicit OwnTestService(const std::string& prefix)
        : name_(prefix + std::to_string(GetCurrentProcessId()))
    {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        const std::string command =
            "\"" + testfiles::OwnFolder() + "\\flipset_test_service.exe\" stop-at-once";
        ServiceHandle service(CreateServiceA(manager.get(), name_.c_str(), name_.c_str(),
                                             SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                             SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                             command.c_str(), nullptr, nullptr, nullptr, nullptr,
                                             nullptr));
    }
    ~OwnTestService()
    {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ServiceHandle service(OpenServiceA(manager.get(), name_.c_str(), SERVICE_ALL_ACCESS));
        if (!service)
            return;
        SERVICE_STATUS status{};
        ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
        for (int i = 0; i < 100 && QueryServiceStatus(service.get(), &status) &&
                        status.dwCurrentState != SERVICE_STOPPED;
             ++i)
            Sleep(50);
        DeleteService(service.get());
    }
    const std::string& Name() const { return name_; }
    DWORD State() const
    {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ServiceHandle service(OpenServiceA(manager.get(), name_.c_str(), SERVICE_ALL_ACCESS));
        SERVICE_STATUS status{};
        if (!service || !QueryServiceStatus(service.get(), &status))
            return 0;
        return status.dwCurrentState;
    }

private:
    std::string name_;
};

}  // namespace flipset
