// A stand-in for the live adapters of Windows 10 and later: it lists the
// adapters the test gives, records every netsh run and DNS call (as journal
// lines "netsh: ARGS" and "dns: ipv4|ipv6 SERVERS [domain=D]"), and lets
// the adapters change when the system has been asked to set them.
#pragma once

#include "network/InterfaceConfigurator.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace flipset {

class FakeInterfaceConfigurator : public InterfaceConfigurator {
public:
    std::vector<AdapterSnapshot> adapters;
    // Whether SetInterfaceDnsSettings exists; the result it gives then.
    bool dnsCallAvailable = false;
    DnsCallResult dnsCallResult = DnsCallResult::Done;
    // What netsh prints for an argument line.
    std::map<std::string, std::string> netshOutput;
    // Called after every netsh run and DNS call: the test changes the
    // adapters as the system would, or not.
    std::function<void(FakeInterfaceConfigurator&)> onRequest;

    std::vector<std::string>* journal = nullptr;
    int listCalls = 0;

    std::vector<AdapterSnapshot> ListAdapters() override
    {
        ++listCalls;
        return adapters;
    }
    NetshRun RunNetsh(const std::string& arguments) override
    {
        Record("netsh: " + arguments);
        NetshRun run{true, true, ""};
        const auto output = netshOutput.find(arguments);
        if (output != netshOutput.end())
            run.output = output->second;
        if (onRequest)
            onRequest(*this);
        return run;
    }
    DnsCallResult SetInterfaceDns(const std::string& guid, const InterfaceDnsRequest& request,
                                  uint32_t* error) override
    {
        if (!dnsCallAvailable)
            return DnsCallResult::Unavailable;
        Record("dns: " + guid + (request.ipv6 ? " ipv6 " : " ipv4 ") + request.nameServers +
               (request.setDomain ? " domain=" + request.domain : std::string()));
        if (dnsCallResult == DnsCallResult::Failed)
            *error = 87;
        if (onRequest)
            onRequest(*this);
        return dnsCallResult;
    }

private:
    void Record(const std::string& line)
    {
        if (journal)
            journal->push_back(line);
    }
};

}  // namespace flipset
