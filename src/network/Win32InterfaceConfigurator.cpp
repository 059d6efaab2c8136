#include "network/Win32InterfaceConfigurator.h"

#include "base/UniqueHandle.h"

// clang-format off: winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <vector>

namespace flipset {

namespace {

// A kernel object handle that is null when none: processes, threads, pipes.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// Deletes a process attribute list when it goes.
class AttributeListOwner {
public:
    explicit AttributeListOwner(LPPROC_THREAD_ATTRIBUTE_LIST list) : list_(list) {}
    AttributeListOwner(const AttributeListOwner&) = delete;
    AttributeListOwner& operator=(const AttributeListOwner&) = delete;
    ~AttributeListOwner() { DeleteProcThreadAttributeList(list_); }

private:
    LPPROC_THREAD_ATTRIBUTE_LIST list_;
};

// How often a running netsh is looked at for output and its end.
constexpr DWORD kNetshPoll = 20;

std::string Narrow(const wchar_t* wide)
{
    if (!wide || !*wide)
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<size_t>(size) - 1);
    return text;
}

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 1)
        return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

// The address of a socket address of either family; false for another.
bool ToIpAddress(const SOCKET_ADDRESS& socketAddress, IpAddress& address)
{
    const sockaddr* raw = socketAddress.lpSockaddr;
    if (!raw)
        return false;
    if (raw->sa_family == AF_INET) {
        address.v6 = false;
        std::memcpy(address.bytes.data(), &reinterpret_cast<const sockaddr_in*>(raw)->sin_addr, 4);
        return true;
    }
    if (raw->sa_family == AF_INET6) {
        address.v6 = true;
        std::memcpy(address.bytes.data(), &reinterpret_cast<const sockaddr_in6*>(raw)->sin6_addr,
                    16);
        return true;
    }
    return false;
}

AdapterSnapshot Snapshot(const IP_ADAPTER_ADDRESSES& entry)
{
    AdapterSnapshot adapter;
    adapter.guid = entry.AdapterName ? entry.AdapterName : "";
    adapter.interfaceIndex = entry.IfIndex;
    adapter.ipv6InterfaceIndex = entry.Ipv6IfIndex;
    adapter.luid = entry.Luid.Value;
    adapter.dhcp = (entry.Flags & IP_ADAPTER_DHCP_ENABLED) != 0;
    adapter.connected = entry.OperStatus == IfOperStatusUp;
    for (auto* unicast = entry.FirstUnicastAddress; unicast; unicast = unicast->Next) {
        IpAddress address;
        if (ToIpAddress(unicast->Address, address) && !address.v6) {
            adapter.addresses.push_back(
                {Ipv4Number(address), MaskFromPrefixLength(unicast->OnLinkPrefixLength)});
        }
    }
    for (auto* gateway = entry.FirstGatewayAddress; gateway; gateway = gateway->Next) {
        IpAddress address;
        if (ToIpAddress(gateway->Address, address) && !address.v6)
            adapter.gateways.push_back(Ipv4Number(address));
    }
    for (auto* server = entry.FirstDnsServerAddress; server; server = server->Next) {
        IpAddress address;
        if (ToIpAddress(server->Address, address))
            adapter.dnsServers.push_back(address);
    }
    adapter.dnsSuffix = Narrow(entry.DnsSuffix);
    adapter.name = Narrow(entry.FriendlyName);
    adapter.ipv4Metric = entry.Ipv4Metric;
    return adapter;
}

std::string SystemFolder()
{
    char buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(buffer, length);
}

// What the pipe holds now, appended to the output; never waits.
void ReadAvailable(HANDLE pipe, std::string& output)
{
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0)
            return;
        char buffer[4096];
        DWORD read = 0;
        const DWORD wanted = available < sizeof(buffer) ? available : DWORD{sizeof(buffer)};
        if (!ReadFile(pipe, buffer, wanted, &read, nullptr) || read == 0)
            return;
        output.append(buffer, read);
    }
}

// Documented in netioapi.h from Windows 10 2004 on; the headers here have
// neither the structure nor the call.
struct DnsInterfaceSettings {
    ULONG Version;
    ULONG64 Flags;
    PWSTR Domain;
    PWSTR NameServer;
    PWSTR SearchList;
    ULONG RegistrationEnabled;
    ULONG RegisterAdapterName;
    ULONG EnableLLMNR;
    ULONG QueryAdapterName;
    PWSTR ProfileNameServer;
};
constexpr ULONG kDnsInterfaceSettingsVersion1 = 1;
constexpr ULONG64 kDnsSettingIpv6 = 0x0001;
constexpr ULONG64 kDnsSettingNameServer = 0x0002;
constexpr ULONG64 kDnsSettingDomain = 0x0020;
using SetInterfaceDnsSettingsCall = DWORD(WINAPI*)(GUID, const DnsInterfaceSettings*);

bool ParseGuid(const std::string& text, GUID& guid)
{
    unsigned long data1 = 0;
    unsigned int data2 = 0, data3 = 0;
    unsigned int rest[8] = {};
    char end = 0;
    if (std::sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x%c", &data1, &data2,
                    &data3, &rest[0], &rest[1], &rest[2], &rest[3], &rest[4], &rest[5], &rest[6],
                    &rest[7], &end) != 12 ||
        end != '}' || text.size() != 38) {
        return false;
    }
    guid.Data1 = data1;
    guid.Data2 = static_cast<unsigned short>(data2);
    guid.Data3 = static_cast<unsigned short>(data3);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<unsigned char>(rest[i]);
    return true;
}

}  // namespace

std::vector<AdapterSnapshot> Win32InterfaceConfigurator::ListAdapters()
{
    const ULONG flags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    // The list can grow between the size asked and the call that fills it.
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result =
            GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                 reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    std::vector<AdapterSnapshot> adapters;
    if (result != NO_ERROR)
        return adapters;
    for (auto* entry = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); entry;
         entry = entry->Next) {
        adapters.push_back(Snapshot(*entry));
    }
    return adapters;
}

NetshRun Win32InterfaceConfigurator::RunNetsh(const std::string& arguments)
{
    NetshRun run;
    const std::string folder = SystemFolder();
    if (folder.empty())
        return run;
    const std::string program = folder + "\\netsh.exe";

    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    KernelHandle readEnd;
    KernelHandle writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0))
        return run;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    // No console to read from: netsh must never wait for input.
    const HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inherit, OPEN_EXISTING, 0, nullptr);
    KernelHandle inputHandle(input == INVALID_HANDLE_VALUE ? nullptr : input);

    // netsh inherits its three standard handles and nothing else of this
    // process: a netsh left running must not hold the program's own output
    // (a script's redirect) or anything else open.
    HANDLE inherited[] = {writeEnd.Get(), inputHandle.Get()};
    const DWORD inheritedCount = inputHandle ? 2 : 1;
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<unsigned char> listBytes(listSize);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBytes.data());
    if (!InitializeProcThreadAttributeList(attributes, 1, 0, &listSize))
        return run;
    AttributeListOwner attributesOwner(attributes);
    if (!UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                   inheritedCount * sizeof(HANDLE), nullptr, nullptr)) {
        return run;
    }

    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = inputHandle.Get();
    startup.StartupInfo.hStdOutput = writeEnd.Get();
    startup.StartupInfo.hStdError = writeEnd.Get();
    startup.lpAttributeList = attributes;
    std::string commandLine = "\"" + program + "\" " + arguments;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr, folder.c_str(),
                        &startup.StartupInfo, &process)) {
        return run;
    }
    run.started = true;
    const KernelHandle processHandle(process.hProcess);
    const KernelHandle threadHandle(process.hThread);
    // Only the child holds the write end now.
    writeEnd.Close();
    inputHandle.Close();

    // The pipe is read while netsh runs, so that it never blocks on a full
    // pipe; the end of the process, not of the pipe, ends the wait (a
    // process netsh started could hold the pipe open).
    const ULONGLONG deadline = GetTickCount64() + kNetshTimeout;
    for (;;) {
        ReadAvailable(readEnd.Get(), run.output);
        if (WaitForSingleObject(processHandle.Get(), kNetshPoll) == WAIT_OBJECT_0) {
            ReadAvailable(readEnd.Get(), run.output);
            run.ended = true;
            break;
        }
        if (GetTickCount64() >= deadline)
            break;
    }
    return run;
}

DnsCallResult Win32InterfaceConfigurator::SetInterfaceDns(const std::string& guid,
                                                          const InterfaceDnsRequest& request,
                                                          uint32_t* error)
{
    // Loaded by the adapter listing already (delay-loaded); from the system
    // folder only, should it not be.
    HMODULE library = GetModuleHandleA("iphlpapi.dll");
    if (!library)
        library = LoadLibraryExA("iphlpapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto call =
        library ? reinterpret_cast<SetInterfaceDnsSettingsCall>(
                      reinterpret_cast<void*>(GetProcAddress(library, "SetInterfaceDnsSettings")))
                : nullptr;
    if (!call)
        return DnsCallResult::Unavailable;
    GUID interfaceGuid{};
    if (!ParseGuid(guid, interfaceGuid)) {
        *error = ERROR_INVALID_PARAMETER;
        return DnsCallResult::Failed;
    }
    std::wstring servers = Widen(request.nameServers);
    std::wstring domain = Widen(request.domain);
    DnsInterfaceSettings settings{};
    settings.Version = kDnsInterfaceSettingsVersion1;
    settings.Flags = kDnsSettingNameServer | (request.ipv6 ? kDnsSettingIpv6 : 0);
    settings.NameServer = &servers[0];
    if (request.setDomain) {
        settings.Flags |= kDnsSettingDomain;
        settings.Domain = &domain[0];
    }
    const DWORD result = call(interfaceGuid, &settings);
    if (result != NO_ERROR) {
        *error = result;
        return DnsCallResult::Failed;
    }
    return DnsCallResult::Done;
}

}  // namespace flipset
