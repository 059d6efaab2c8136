#include "engine/Win32ServiceManager.h"

#include "base/Win32Handles.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace flipset {

namespace {

// The portable service control counts on the platform's own numbers.
static_assert(ServiceState::kStopped == SERVICE_STOPPED);
static_assert(ServiceState::kStartPending == SERVICE_START_PENDING);
static_assert(ServiceState::kStopPending == SERVICE_STOP_PENDING);
static_assert(ServiceState::kRunning == SERVICE_RUNNING);
static_assert(ServiceState::kContinuePending == SERVICE_CONTINUE_PENDING);
static_assert(ServiceState::kPausePending == SERVICE_PAUSE_PENDING);
static_assert(ServiceState::kPaused == SERVICE_PAUSED);

static_assert(ServiceError::kSuccess == static_cast<DWORD>(ERROR_SUCCESS));
static_assert(ServiceError::kAccessDenied == static_cast<DWORD>(ERROR_ACCESS_DENIED));
static_assert(ServiceError::kInvalidHandle == static_cast<DWORD>(ERROR_INVALID_HANDLE));
static_assert(ServiceError::kInvalidName == static_cast<DWORD>(ERROR_INVALID_NAME));
static_assert(ServiceError::kMoreData == static_cast<DWORD>(ERROR_MORE_DATA));
static_assert(ServiceError::kDependentServicesRunning ==
              static_cast<DWORD>(ERROR_DEPENDENT_SERVICES_RUNNING));
static_assert(ServiceError::kInvalidServiceControl ==
              static_cast<DWORD>(ERROR_INVALID_SERVICE_CONTROL));
static_assert(ServiceError::kServiceRequestTimeout ==
              static_cast<DWORD>(ERROR_SERVICE_REQUEST_TIMEOUT));
static_assert(ServiceError::kServiceAlreadyRunning ==
              static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING));
static_assert(ServiceError::kServiceDoesNotExist ==
              static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
static_assert(ServiceError::kServiceCannotAcceptControl ==
              static_cast<DWORD>(ERROR_SERVICE_CANNOT_ACCEPT_CTRL));
static_assert(ServiceError::kServiceNotActive == static_cast<DWORD>(ERROR_SERVICE_NOT_ACTIVE));

DWORD ControlCode(ServiceControlCode control)
{
    switch (control) {
    case ServiceControlCode::Stop:
        return SERVICE_CONTROL_STOP;
    case ServiceControlCode::Interrogate:
        return SERVICE_CONTROL_INTERROGATE;
    }
    return SERVICE_CONTROL_INTERROGATE;
}

class Win32Service : public ServiceHandle {
public:
    explicit Win32Service(ScHandle handle) : handle_(std::move(handle)) {}

    uint32_t Control(ServiceControlCode control, uint32_t* state) override
    {
        // Zeroed, so that a status the platform leaves alone reads as none.
        SERVICE_STATUS status{};
        const BOOL accepted = ControlService(handle_.Get(), ControlCode(control), &status);
        const DWORD error = accepted ? ERROR_SUCCESS : GetLastError();
        *state = status.dwCurrentState;
        return error;
    }

    uint32_t Start() override
    {
        return StartServiceA(handle_.Get(), 0, nullptr) ? ERROR_SUCCESS : GetLastError();
    }

private:
    ScHandle handle_;
};

class Win32Manager : public ManagerHandle {
public:
    explicit Win32Manager(ScHandle handle) : handle_(std::move(handle)) {}

    std::unique_ptr<ServiceHandle> OpenNamedService(const std::string& name,
                                                    uint32_t* error) override
    {
        ScHandle service(OpenServiceA(handle_.Get(), name.c_str(), SERVICE_ALL_ACCESS));
        if (!service.Get()) {
            *error = GetLastError();
            return nullptr;
        }
        *error = ERROR_SUCCESS;
        return std::make_unique<Win32Service>(std::move(service));
    }

    uint32_t EnumWin32Services(uint32_t bufferSize, StringList& names,
                               uint32_t* bytesNeeded) override
    {
        // Whole records, so that the entries the platform writes are aligned;
        // the platform is told the size asked for.
        const size_t records =
            (bufferSize + sizeof(ENUM_SERVICE_STATUSA) - 1) / sizeof(ENUM_SERVICE_STATUSA);
        std::vector<ENUM_SERVICE_STATUSA> buffer(records > 0 ? records : 1);
        DWORD needed = 0;
        DWORD returned = 0;
        const BOOL succeeded =
            EnumServicesStatusA(handle_.Get(), SERVICE_WIN32, SERVICE_STATE_ALL, buffer.data(),
                                bufferSize, &needed, &returned, nullptr);
        const DWORD error = succeeded ? ERROR_SUCCESS : GetLastError();
        *bytesNeeded = needed;
        for (DWORD i = 0; i < returned && i < buffer.size(); ++i) {
            if (buffer[i].lpServiceName)
                names.push_back(buffer[i].lpServiceName);
        }
        return error;
    }

private:
    ScHandle handle_;
};

}  // namespace

std::unique_ptr<ManagerHandle> Win32ServiceManager::OpenManager(ManagerAccess access)
{
    const DWORD rights =
        access == ManagerAccess::Enumerate ? SC_MANAGER_ENUMERATE_SERVICE : SC_MANAGER_ALL_ACCESS;
    ScHandle manager(OpenSCManagerA(nullptr, nullptr, rights));
    if (!manager.Get())
        return nullptr;
    return std::make_unique<Win32Manager>(std::move(manager));
}

uint32_t Win32ServiceManager::EnumEntryRecordSize() const
{
    return sizeof(ENUM_SERVICE_STATUSA);
}

}  // namespace flipset
