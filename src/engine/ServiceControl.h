// Service control: stopping, starting, querying and listing the machine's
// services, and the services phase of a run (stop list, then start list).
//
// The rules live here, over ServiceManager, an interface as thin as the
// service control manager calls it stands for: the Win32 implementation only
// makes the calls and hands back the platform's error codes and states.
#pragma once

#include "base/Text.h"
#include "engine/RunContext.h"
#include "engine/RunHost.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace flipset {

// Service states, numbered as the platform numbers them.
namespace ServiceState {
constexpr uint32_t kNone = 0;  // a status the platform did not fill in
constexpr uint32_t kStopped = 1;
constexpr uint32_t kStartPending = 2;
constexpr uint32_t kStopPending = 3;
constexpr uint32_t kRunning = 4;
constexpr uint32_t kContinuePending = 5;
constexpr uint32_t kPausePending = 6;
constexpr uint32_t kPaused = 7;
}  // namespace ServiceState

// The platform's system error codes that service control tells apart.
namespace ServiceError {
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kAccessDenied = 5;                   // ERROR_ACCESS_DENIED
constexpr uint32_t kInvalidHandle = 6;                  // ERROR_INVALID_HANDLE
constexpr uint32_t kInvalidName = 123;                  // ERROR_INVALID_NAME
constexpr uint32_t kMoreData = 234;                     // ERROR_MORE_DATA
constexpr uint32_t kDependentServicesRunning = 1051;    // ERROR_DEPENDENT_SERVICES_RUNNING
constexpr uint32_t kInvalidServiceControl = 1052;       // ERROR_INVALID_SERVICE_CONTROL
constexpr uint32_t kServiceRequestTimeout = 1053;       // ERROR_SERVICE_REQUEST_TIMEOUT
constexpr uint32_t kServiceAlreadyRunning = 1056;       // ERROR_SERVICE_ALREADY_RUNNING
constexpr uint32_t kServiceDoesNotExist = 1060;         // ERROR_SERVICE_DOES_NOT_EXIST
constexpr uint32_t kServiceCannotAcceptControl = 1061;  // ERROR_SERVICE_CANNOT_ACCEPT_CTRL
constexpr uint32_t kServiceNotActive = 1062;            // ERROR_SERVICE_NOT_ACTIVE
}  // namespace ServiceError

// The access with which the service control manager is opened.
enum class ManagerAccess {
    Control,    // SC_MANAGER_ALL_ACCESS: stop, start, query
    Enumerate,  // SC_MANAGER_ENUMERATE_SERVICE: list the services
};

enum class ServiceControlCode {
    Stop,         // SERVICE_CONTROL_STOP
    Interrogate,  // SERVICE_CONTROL_INTERROGATE
};

// An open service (OpenServiceA with SERVICE_ALL_ACCESS). Destroying the
// object closes the handle.
class ServiceHandle {
public:
    ServiceHandle() = default;
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    virtual ~ServiceHandle() = default;

    // ControlService: 0 when the control was accepted, else the platform's
    // error. *state is the current state of the status the platform filled
    // in, which it does on success and on 1052, 1061 and 1062; kNone when it
    // filled in nothing.
    virtual uint32_t Control(ServiceControlCode control, uint32_t* state) = 0;

    // StartServiceA without arguments: 0 when accepted, else the error.
    virtual uint32_t Start() = 0;
};

// An open service control manager. Destroying the object closes the handle.
class ManagerHandle {
public:
    ManagerHandle() = default;
    ManagerHandle(const ManagerHandle&) = delete;
    ManagerHandle& operator=(const ManagerHandle&) = delete;
    virtual ~ManagerHandle() = default;

    // OpenServiceA: the service, or null with *error set.
    virtual std::unique_ptr<ServiceHandle> OpenNamedService(const std::string& name,
                                                            uint32_t* error) = 0;

    // EnumServicesStatusA over the Win32 services in every state, from the
    // first, into a buffer of bufferSize bytes: 0 on success, else the error
    // (kMoreData when the buffer is too small). The names of the entries that
    // the request returned are appended to names; *bytesNeeded is what the
    // platform reported as still needed.
    virtual uint32_t EnumWin32Services(uint32_t bufferSize, StringList& names,
                                       uint32_t* bytesNeeded) = 0;
};

// The machine's service control manager.
class ServiceManager {
public:
    ServiceManager() = default;
    ServiceManager(const ServiceManager&) = delete;
    ServiceManager& operator=(const ServiceManager&) = delete;
    virtual ~ServiceManager() = default;

    // OpenSCManagerA on the local machine's default database; null when it
    // can't be opened.
    virtual std::unique_ptr<ManagerHandle> OpenManager(ManagerAccess access) = 0;

    // The size in bytes of one entry record of the enumeration, without the
    // texts it points to.
    virtual uint32_t EnumEntryRecordSize() const = 0;
};

// Why a service could not be opened for a stop.
std::string OpenServiceFailureText(uint32_t error);
// Why a refused stop request failed (never asked for 1062, which counts as
// stopped).
std::string StopRefusalText(uint32_t error);
// The caption shown for a state while a stop is polled (never asked for 1).
std::string ServiceStateText(uint32_t state);

// True when the service is stopped, or was already; false otherwise with the
// failure text in reason. A service that cannot be opened is a failure, not
// "already stopped". The poll's captions and waits go to the host.
bool StopNamedService(ServiceManager& services, RunHost& host, const std::string& name,
                      std::string& reason, uint32_t timeout);

// True when the service was started or was already running. The state the
// service reaches is not checked.
bool StartNamedService(ServiceManager& services, const std::string& name);

// The service's state (ServiceState); kStopped when it cannot be opened.
uint32_t QueryServiceState(ServiceManager& services, const std::string& name);
// The same through a manager that is already open.
uint32_t QueryOpenServiceState(ManagerHandle& manager, const std::string& name);
// The states of several services, in their order, through one manager.
std::vector<uint32_t> QueryServiceStates(ServiceManager& services, const StringList& names);

// Fills the list with the names of the installed Win32 services, in the
// platform's order. True when the list is not empty; for an empty list,
// whether the platform's first answer was a success.
bool EnumerateServices(ServiceManager& services, StringList& names);

// The services phase of a run: the stop list, then the start list, each
// entry with its caption, its message on failure and its wait.
void RunServicesPhase(RunContext& ctx, ServiceManager& services);

}  // namespace flipset
