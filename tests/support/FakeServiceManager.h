// A stand-in for the service control manager. Each service is scripted: how
// opening it fails, its state, how it answers stop, interrogate and start.
// The fake answers an interrogation as the platform does (1062 for a stopped
// service, 1061 while a stop or start is pending, each with the status filled
// in), records every call in order, and counts open handles so that a test
// can check that each one was closed.
#pragma once

#include "engine/ServiceControl.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace flipset {

class FakeServiceManager : public ServiceManager {
public:
    struct ControlAnswer {
        uint32_t error;
        uint32_t state;  // in the status the platform fills in
    };

    struct Service {
        uint32_t openError = 0;  // OpenService fails with it when not 0
        uint32_t state = ServiceState::kRunning;
        // The answers to the stop requests in turn, the last one repeating;
        // when empty every stop request is accepted.
        std::vector<uint32_t> stopErrors;
        // The state that an accepted stop request leaves.
        uint32_t stateAfterStop = ServiceState::kStopped;
        // Replaces the platform's answer to every interrogation when set.
        std::optional<ControlAnswer> interrogateAnswer;
        uint32_t startError = 0;

        int stopRequests = 0;
        int interrogations = 0;
    };

    // The size of one enumeration entry record, and of a name's text in the
    // buffer beyond it (the name and its 0 byte).
    static constexpr uint32_t kEntryRecordSize = 36;

    std::map<std::string, Service> services;
    bool managerOpens = true;
    // What the enumeration lists, in order.
    StringList listed;
    // Forced answers of the enumeration requests in turn (0 = as the buffer
    // allows); requests past the end answer as the buffer allows.
    std::vector<uint32_t> enumErrors;
    std::vector<uint32_t> enumBufferSizes;  // every request's buffer size

    std::vector<std::string> calls;  // "open manager", "stop Spooler", ...
    int openHandles = 0;
    // Called with every call's journal line before it is answered; a test
    // can throw from it.
    std::function<void(const std::string&)> onCall;

    Service& Add(const std::string& name, uint32_t state)
    {
        Service& service = services[name];
        service.state = state;
        return service;
    }

    int Count(const std::string& call) const
    {
        int count = 0;
        for (const std::string& line : calls)
            count += line == call ? 1 : 0;
        return count;
    }

    std::unique_ptr<ManagerHandle> OpenManager(ManagerAccess access) override
    {
        Record(access == ManagerAccess::Enumerate ? "open manager to enumerate" : "open manager");
        if (!managerOpens)
            return nullptr;
        return std::make_unique<OpenedManager>(*this);
    }

    uint32_t EnumEntryRecordSize() const override { return kEntryRecordSize; }

private:
    // Counts itself among the open handles while it lives.
    class Counted {
    public:
        explicit Counted(FakeServiceManager& fake) : fake_(fake) { ++fake_.openHandles; }
        Counted(const Counted&) = delete;
        Counted& operator=(const Counted&) = delete;
        ~Counted() { --fake_.openHandles; }

    protected:
        FakeServiceManager& fake_;
    };

    class OpenedService : public ServiceHandle, Counted {
    public:
        OpenedService(FakeServiceManager& fake, const std::string& name)
            : Counted(fake), name_(name)
        {
        }

        uint32_t Control(ServiceControlCode control, uint32_t* state) override
        {
            Service& service = fake_.services.at(name_);
            if (control == ServiceControlCode::Stop) {
                fake_.Record("stop " + name_);
                return Stop(service, state);
            }
            fake_.Record("interrogate " + name_);
            ++service.interrogations;
            if (service.interrogateAnswer) {
                *state = service.interrogateAnswer->state;
                return service.interrogateAnswer->error;
            }
            *state = service.state;
            switch (service.state) {
            case ServiceState::kStopped:
                return ServiceError::kServiceNotActive;
            case ServiceState::kStartPending:
            case ServiceState::kStopPending:
                return ServiceError::kServiceCannotAcceptControl;
            default:
                return ServiceError::kSuccess;
            }
        }

        uint32_t Start() override
        {
            fake_.Record("start " + name_);
            Service& service = fake_.services.at(name_);
            if (service.startError == ServiceError::kSuccess)
                service.state = ServiceState::kRunning;
            return service.startError;
        }

    private:
        static uint32_t Stop(Service& service, uint32_t* state)
        {
            const size_t request = static_cast<size_t>(service.stopRequests++);
            uint32_t error = ServiceError::kSuccess;
            if (!service.stopErrors.empty())
                error = service.stopErrors[std::min(request, service.stopErrors.size() - 1)];
            if (error == ServiceError::kSuccess)
                service.state = service.stateAfterStop;
            *state = service.state;
            return error;
        }

        std::string name_;
    };

    class OpenedManager : public ManagerHandle, Counted {
    public:
        explicit OpenedManager(FakeServiceManager& fake) : Counted(fake) {}

        std::unique_ptr<ServiceHandle> OpenNamedService(const std::string& name,
                                                        uint32_t* error) override
        {
            fake_.Record("open " + name);
            auto it = fake_.services.find(name);
            *error = it == fake_.services.end() ? ServiceError::kServiceDoesNotExist
                                                : it->second.openError;
            if (*error != ServiceError::kSuccess)
                return nullptr;
            return std::make_unique<OpenedService>(fake_, name);
        }

        uint32_t EnumWin32Services(uint32_t bufferSize, StringList& names,
                                   uint32_t* bytesNeeded) override
        {
            fake_.Record("enumerate " + std::to_string(bufferSize));
            const size_t request = fake_.enumBufferSizes.size();
            fake_.enumBufferSizes.push_back(bufferSize);
            uint32_t needed = 0;
            for (const std::string& name : fake_.listed)
                needed += kEntryRecordSize + static_cast<uint32_t>(name.size() + 1);
            const uint32_t forced =
                request < fake_.enumErrors.size() ? fake_.enumErrors[request] : 0;
            if (forced != ServiceError::kSuccess) {
                *bytesNeeded = forced == ServiceError::kMoreData ? needed : 0;
                return forced;
            }
            if (bufferSize < needed) {
                *bytesNeeded = needed;
                return ServiceError::kMoreData;
            }
            *bytesNeeded = 0;
            names.insert(names.end(), fake_.listed.begin(), fake_.listed.end());
            return ServiceError::kSuccess;
        }
    };

    void Record(const std::string& call)
    {
        calls.push_back(call);
        if (onCall)
            onCall(call);
    }
};

}  // namespace flipset
