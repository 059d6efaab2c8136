#include "network/NetshBackend.h"

#include "base/Text.h"
#include "network/NetshCommands.h"
#include "network/TcpipSettings.h"

#include <vector>

namespace flipset {

namespace {

void RunEach(InterfaceConfigurator& system, const std::vector<std::string>& commands,
             std::vector<std::string>& said)
{
    for (const std::string& arguments : commands) {
        const NetshRun run = system.RunNetsh(arguments);
        if (!run.started) {
            said.push_back("netsh " + arguments + ": not started");
            continue;
        }
        if (!run.ended)
            said.push_back("netsh " + arguments + ": still running, left behind");
        const std::string output = Trim(run.output);
        if (!output.empty())
            said.push_back("netsh " + arguments + ": " + output);
    }
}

// True when every DNS value went through the system's call.
bool SetDnsThroughCall(InterfaceConfigurator& system, const AdapterSnapshot& adapter,
                       const CardTcpip& card, std::vector<std::string>& said)
{
    for (const InterfaceDnsRequest& request : InterfaceDnsRequests(card)) {
        uint32_t error = 0;
        switch (system.SetInterfaceDns(adapter.guid, request, &error)) {
        case DnsCallResult::Done:
            break;
        case DnsCallResult::Unavailable:
            return false;
        case DnsCallResult::Failed:
            said.push_back("SetInterfaceDnsSettings failed with " + std::to_string(error));
            return false;
        }
    }
    return true;
}

}  // namespace

std::string SetCardOnAdapter(CRegistry registry, InterfaceConfigurator& system,
                             const AdapterSnapshot& adapter, const CardTcpip& card)
{
    std::vector<std::string> said;
    RunEach(system, NetshAddressCommands(card, adapter.interfaceIndex), said);
    if (!SetDnsThroughCall(system, adapter, card, said)) {
        RunEach(system, NetshDnsCommands(card, adapter), said);
        registry.WriteString(TcpipInterfaceKey(adapter.guid), TcpipValue::kDomain, card.suffix,
                             RegistryRoot::LocalMachine);
    }
    std::string text;
    for (const std::string& line : said) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

}  // namespace flipset
