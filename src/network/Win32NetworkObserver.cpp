#include "network/Win32NetworkObserver.h"

#include "base/UniqueHandle.h"

// clang-format off: winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <wlanapi.h>
// clang-format on

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace flipset {

namespace {

// A table that the IP helper allocated (GetIpForwardTable2, GetIpNetTable2).
struct MibTableTraits {
    using Handle = void*;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle table)
    {
        FreeMibTable(table);
        return true;
    }
};
using MibTable = UniqueHandle<MibTableTraits>;

struct WlanHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return WlanCloseHandle(handle, nullptr) == ERROR_SUCCESS; }
};
using WlanHandle = UniqueHandle<WlanHandleTraits>;

// Memory that the WLAN API allocated.
struct WlanMemoryTraits {
    using Handle = void*;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle memory)
    {
        WlanFreeMemory(memory);
        return true;
    }
};
using WlanMemory = UniqueHandle<WlanMemoryTraits>;

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle module) { return FreeLibrary(module) != FALSE; }
};
using Module = UniqueHandle<ModuleTraits>;

// First octet most significant; no ntohl, which would bring ws2_32.dll to
// every start.
uint32_t Ipv4Of(const SOCKADDR_INET& address)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address.Ipv4.sin_addr);
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace

std::vector<DefaultRoute> Win32NetworkTables::ReadDefaultRoutes()
{
    std::vector<DefaultRoute> routes;
    PMIB_IPFORWARD_TABLE2 raw = nullptr;
    if (GetIpForwardTable2(AF_INET, &raw) != NO_ERROR)
        return routes;
    const MibTable owner(raw);
    for (ULONG i = 0; i < raw->NumEntries; ++i) {
        const MIB_IPFORWARD_ROW2& row = raw->Table[i];
        if (row.DestinationPrefix.PrefixLength != 0 ||
            row.DestinationPrefix.Prefix.si_family != AF_INET || row.NextHop.si_family != AF_INET)
            continue;
        routes.push_back({row.InterfaceLuid.Value, Ipv4Of(row.NextHop), row.Metric});
    }
    return routes;
}

// The entries whose hardware address the system holds: resolved, or kept
// as they were last seen (stale, probed, fixed).
std::vector<Neighbour> Win32NetworkTables::ReadNeighbours()
{
    std::vector<Neighbour> neighbours;
    PMIB_IPNET_TABLE2 raw = nullptr;
    if (GetIpNetTable2(AF_INET, &raw) != NO_ERROR)
        return neighbours;
    const MibTable owner(raw);
    for (ULONG i = 0; i < raw->NumEntries; ++i) {
        const MIB_IPNET_ROW2& row = raw->Table[i];
        if (row.Address.si_family != AF_INET || row.PhysicalAddressLength != 6 ||
            row.State == NlnsUnreachable || row.State == NlnsIncomplete)
            continue;
        Neighbour neighbour;
        neighbour.interfaceLuid = row.InterfaceLuid.Value;
        neighbour.address = Ipv4Of(row.Address);
        std::memcpy(neighbour.hardwareAddress.data(), row.PhysicalAddress, 6);
        neighbours.push_back(neighbour);
    }
    return neighbours;
}

namespace {

// A network's name is bytes; those that are UTF-8 (as most are) become the
// program's code page, as the stored conditions are kept in it.
std::string NetworkName(const DOT11_SSID& ssid)
{
    const ULONG length =
        ssid.uSSIDLength < DOT11_SSID_MAX_LENGTH ? ssid.uSSIDLength : ULONG{DOT11_SSID_MAX_LENGTH};
    const std::string bytes(reinterpret_cast<const char*>(ssid.ucSSID), length);
    if (bytes.empty())
        return bytes;
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, 0);
    if (wideLength <= 0)
        return bytes;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0],
                        wideLength);
    BOOL lost = FALSE;
    const int narrowLength =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, &lost);
    if (narrowLength <= 0 || lost)
        return bytes;
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &narrow[0], narrowLength, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

// The WLAN API's library and client: opened at the first read that needs
// them, kept to the observer's end.
class WlanClient {
public:
    // The name of the Wi-Fi network the first connected wireless interface
    // is on; empty when none is, or the system has no WLAN service.
    std::string ConnectedNetwork();

private:
    bool Open();

    Module library_;
    bool noLibrary_ = false;
    WlanHandle client_;
};

bool WlanClient::Open()
{
    if (client_)
        return true;
    // wlanapi.dll is delay-loaded, and a system without the wireless
    // feature (a server) has none: look before the first call, which
    // would fail without it.
    if (noLibrary_)
        return false;
    if (!library_) {
        library_ = Module(LoadLibraryExA("wlanapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!library_) {
            noLibrary_ = true;
            return false;
        }
    }
    // A service that is not running yet is tried again at the next read.
    DWORD version = 0;
    return WlanOpenHandle(2, nullptr, &version, client_.Receive()) == ERROR_SUCCESS;
}

std::string WlanClient::ConnectedNetwork()
{
    if (!Open())
        return {};
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    const DWORD listed = WlanEnumInterfaces(client_.Get(), nullptr, &list);
    if (listed != ERROR_SUCCESS || !list) {
        // The service went away (restarted): a new client next time.
        if (listed == ERROR_INVALID_HANDLE || listed == RPC_S_SERVER_UNAVAILABLE)
            client_.Close();
        return {};
    }
    const WlanMemory listOwner(list);
    for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& wireless = list->InterfaceInfo[i];
        if (wireless.isState != wlan_interface_state_connected)
            continue;
        DWORD size = 0;
        void* data = nullptr;
        if (WlanQueryInterface(client_.Get(), &wireless.InterfaceGuid,
                               wlan_intf_opcode_current_connection, nullptr, &size, &data,
                               nullptr) != ERROR_SUCCESS)
            continue;
        const WlanMemory dataOwner(data);
        if (size < sizeof(WLAN_CONNECTION_ATTRIBUTES))
            continue;
        const auto* connection = static_cast<const WLAN_CONNECTION_ATTRIBUTES*>(data);
        if (connection->isState != wlan_interface_state_connected)
            continue;
        const std::string name = NetworkName(connection->wlanAssociationAttributes.dot11Ssid);
        if (!name.empty())
            return name;
    }
    return {};
}

Win32NetworkTables::Win32NetworkTables(InterfaceConfigurator& interfaces)
    : interfaces_(interfaces), wifi_(std::make_unique<WlanClient>())
{
}

Win32NetworkTables::~Win32NetworkTables() = default;

std::string Win32NetworkTables::ReadWifi()
{
    return wifi_->ConnectedNetwork();
}

}  // namespace flipset
