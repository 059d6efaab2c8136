#include "engine/ServiceControl.h"

#include "store/ConfigurationSchema.h"
#include "store/ProgramSettings.h"

namespace flipset {

namespace {

// A stop that never reports the stopped state is given up after this many
// polls past the first.
constexpr int kMaxStopPolls = 100;

struct CodeText {
    uint32_t code;
    const char* text;
};

// The texts are shown to the user as they are, misspelling included.
constexpr CodeText kOpenServiceFailureTexts[] = {
    {ServiceError::kAccessDenied, "Acceess Denied"},
    {ServiceError::kInvalidHandle, "Invalid Handle"},
    {ServiceError::kInvalidName, "Invalid Name"},
    {ServiceError::kServiceDoesNotExist, "Service does not exist"},
};
constexpr const char* kOpenServiceOtherFailure = "No Handle to the Service available";
constexpr const char* kNoManagerText = "No Handle to the ServiceManager";

constexpr CodeText kStopRefusalTexts[] = {
    {ServiceError::kAccessDenied, "Access Denied."},
    {ServiceError::kDependentServicesRunning,
     "Dependent Services are still Running. Add these services to the list before this "
     "service."},
    {ServiceError::kInvalidServiceControl, "Invalid Service Control."},
    {ServiceError::kServiceRequestTimeout, "Service Request Timeout."},
    {ServiceError::kServiceCannotAcceptControl, "Service can not accept control."},
};
constexpr const char* kStopRefusalOther = "Unknown Error.";

constexpr CodeText kServiceStateTexts[] = {
    {ServiceState::kStartPending, "The service is starting."},
    {ServiceState::kStopPending, "The service is stopping."},
    {ServiceState::kRunning, "The service is running."},
    {ServiceState::kContinuePending, "The service continue is pending."},
    {ServiceState::kPausePending, "The service pause is pending."},
    {ServiceState::kPaused, "Paused"},
};
constexpr const char* kOtherStateText = "Other error";

template <size_t N>
std::string TextFor(const CodeText (&table)[N], uint32_t code, const char* otherText)
{
    for (const CodeText& entry : table) {
        if (entry.code == code)
            return entry.text;
    }
    return otherText;
}

}  // namespace

std::string OpenServiceFailureText(uint32_t error)
{
    return TextFor(kOpenServiceFailureTexts, error, kOpenServiceOtherFailure);
}

std::string StopRefusalText(uint32_t error)
{
    return TextFor(kStopRefusalTexts, error, kStopRefusalOther);
}

std::string ServiceStateText(uint32_t state)
{
    return TextFor(kServiceStateTexts, state, kOtherStateText);
}

uint32_t QueryServiceState(ServiceManager& services, const std::string& name)
{
    std::unique_ptr<ManagerHandle> manager = services.OpenManager(ManagerAccess::Control);
    if (!manager)
        return ServiceState::kStopped;
    return QueryOpenServiceState(*manager, name);
}

std::vector<uint32_t> QueryServiceStates(ServiceManager& services, const StringList& names)
{
    std::vector<uint32_t> states(names.size(), ServiceState::kStopped);
    std::unique_ptr<ManagerHandle> manager = services.OpenManager(ManagerAccess::Control);
    if (!manager)
        return states;
    for (size_t i = 0; i < names.size(); ++i)
        states[i] = QueryOpenServiceState(*manager, names[i]);
    return states;
}

uint32_t QueryOpenServiceState(ManagerHandle& manager, const std::string& name)
{
    uint32_t openError = ServiceError::kSuccess;
    std::unique_ptr<ServiceHandle> service = manager.OpenNamedService(name, &openError);
    if (!service)
        return ServiceState::kStopped;

    uint32_t state = ServiceState::kNone;
    const uint32_t error = service->Control(ServiceControlCode::Interrogate, &state);
    switch (error) {
    case ServiceError::kSuccess:
        return state;
    case ServiceError::kDependentServicesRunning:
        return ServiceState::kRunning;
    // The platform refuses the interrogation while a service is stopping or
    // starting, and from one that takes no controls, but it still reports the
    // service's latest status: a pending stop must not read as stopped.
    case ServiceError::kServiceCannotAcceptControl:
    case ServiceError::kInvalidServiceControl:
        return state == ServiceState::kNone ? ServiceState::kStopped : state;
    default:
        return ServiceState::kStopped;
    }
}

bool StopNamedService(ServiceManager& services, RunHost& host, const std::string& name,
                      std::string& reason, uint32_t timeout)
{
    // The manager and the service are opened before the state is asked for,
    // so that a service that cannot be opened is reported instead of being
    // taken for a stopped one.
    std::unique_ptr<ManagerHandle> manager = services.OpenManager(ManagerAccess::Control);
    if (!manager) {
        reason = kNoManagerText;
        return false;
    }
    uint32_t openError = ServiceError::kSuccess;
    std::unique_ptr<ServiceHandle> service = manager->OpenNamedService(name, &openError);
    if (!service) {
        reason = OpenServiceFailureText(openError);
        return false;
    }
    if (QueryServiceState(services, name) == ServiceState::kStopped)
        return true;
    reason.clear();

    uint32_t state = ServiceState::kNone;
    const uint32_t refusal = service->Control(ServiceControlCode::Stop, &state);
    if (refusal != ServiceError::kSuccess) {
        // One more try after a pause: a service that was busy starting may
        // take the request now. Its answer is not needed; the state is.
        host.WaitWithMessages(timeout);
        service->Control(ServiceControlCode::Stop, &state);
        service.reset();
        manager.reset();
        if (refusal == ServiceError::kServiceNotActive)
            return true;
        if (QueryServiceState(services, name) == ServiceState::kStopped)
            return true;
        reason = StopRefusalText(refusal);
        return false;
    }

    // The first poll follows the request at once; a service that never
    // reports the stopped state is asked kMaxStopPolls + 1 times.
    for (int polls = 0;;) {
        const uint32_t current = QueryServiceState(services, name);
        if (current == ServiceState::kStopped)
            return true;
        host.SetCaption(ServiceStateText(current));
        if (++polls > kMaxStopPolls)
            return false;
        host.WaitWithMessages(timeout);
    }
}

bool StartNamedService(ServiceManager& services, const std::string& name)
{
    std::unique_ptr<ManagerHandle> manager = services.OpenManager(ManagerAccess::Control);
    if (!manager)
        return false;
    uint32_t openError = ServiceError::kSuccess;
    std::unique_ptr<ServiceHandle> service = manager->OpenNamedService(name, &openError);
    if (!service)
        return false;
    const uint32_t error = service->Start();
    return error == ServiceError::kSuccess || error == ServiceError::kServiceAlreadyRunning;
}

bool EnumerateServices(ServiceManager& services, StringList& names)
{
    names.clear();
    std::unique_ptr<ManagerHandle> manager = services.OpenManager(ManagerAccess::Enumerate);
    if (!manager)
        return false;

    // The first request only learns the size: one entry record has no room
    // for the texts of even one service.
    const uint32_t recordSize = services.EnumEntryRecordSize();
    uint32_t bytesNeeded = 0;
    const bool firstSucceeded =
        manager->EnumWin32Services(recordSize, names, &bytesNeeded) == ServiceError::kSuccess;
    if (!firstSucceeded) {
        names.clear();
        uint32_t stillNeeded = 0;
        manager->EnumWin32Services(bytesNeeded + recordSize, names, &stillNeeded);
    }
    return !names.empty() || firstSucceeded;
}

namespace {

// Calls handleEntry with each decoded entry of a coded service list; a
// missing list does nothing. Each entry is guarded on its own: an exception
// abandons that entry (and its wait) and the next entry follows.
template <typename HandleEntry>
void ForEachListedService(const RunContext& ctx, const char* valueName, HandleEntry handleEntry)
{
    StringList entries;
    if (!ctx.ReadCodedList(valueName, entries))
        return;
    for (const std::string& entry : entries) {
        try {
            handleEntry(entry);
        } catch (...) {
        }
    }
}

void StopListedServices(RunContext& ctx, ServiceManager& services)
{
    RunHost& host = ctx.Host();
    const uint32_t stopWait = ctx.ReadWait(ProgramSettings::kServiceStopWait);
    ForEachListedService(ctx, ConfigurationValue::kServicesStop, [&](const std::string& name) {
        host.SetCaption("Stopping Service " + name);
        std::string reason;
        if (!StopNamedService(services, host, name, reason, stopWait))
            host.ShowError("Error stopping the service " + name + " with code " + reason);
        host.WaitWithMessages(stopWait);
    });
}

void StartListedServices(RunContext& ctx, ServiceManager& services)
{
    RunHost& host = ctx.Host();
    const uint32_t startWait = ctx.ReadWait(ProgramSettings::kServiceStartWait);
    ForEachListedService(ctx, ConfigurationValue::kServicesStart, [&](const std::string& name) {
        host.SetCaption("Starting Service " + name);
        if (!StartNamedService(services, name))
            host.ShowError("Error starting the service " + name);
        host.WaitWithMessages(startWait);
    });
}

}  // namespace

void RunServicesPhase(RunContext& ctx, ServiceManager& services)
{
    // Outside the entries only the settings and the lists are read; should
    // even that fail, the phase ends and the run goes on with its next step.
    try {
        StopListedServices(ctx, services);
    } catch (...) {
    }
    try {
        StartListedServices(ctx, services);
    } catch (...) {
    }
}

}  // namespace flipset
