// The test network that tests/wine/network/test-network.sh makes, as the
// programs inside it (tests and benchmarks) see it: the environment the
// script sets, the one way of filling the neighbour table with the
// gateway's hardware address, and the gateway's move to another one.
// Windows only.
#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include "network/Location.h"
#include "network/Win32InterfaceConfigurator.h"
#include "network/Win32NetworkObserver.h"

#include <algorithm>
#include <string>

namespace flipset::testnetwork {

inline std::string Environment(const char* name)
{
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

// A hardware address in the observer's form, from the script's "02:f1:...".
inline std::string ObserverForm(std::string mac)
{
    std::replace(mac.begin(), mac.end(), ':', '-');
    return mac;
}

// The gateway's hardware address as the script set it up, in the
// observer's form; empty outside the test network.
inline std::string GatewayMac()
{
    return ObserverForm(Environment("FLIPSET_TEST_GATEWAY_MAC"));
}

// One TCP connection attempt to the gateway's address, which nothing
// answers but the far end's system (a refusal): it makes Linux resolve the
// gateway's hardware address into its neighbour table. Bounded to a few
// seconds; nothing is sent beyond the test network. False when no socket
// could be made.
inline bool ResolveGateway()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    const SOCKET attempt = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (attempt == INVALID_SOCKET) {
        WSACleanup();
        return false;
    }
    u_long nonBlocking = 1;
    ioctlsocket(attempt, FIONBIO, &nonBlocking);
    sockaddr_in gateway{};
    gateway.sin_family = AF_INET;
    gateway.sin_port = htons(9);
    gateway.sin_addr.s_addr = htonl(0x0ACB0001);  // 10.203.0.1
    connect(attempt, reinterpret_cast<const sockaddr*>(&gateway), sizeof(gateway));
    fd_set done;
    FD_ZERO(&done);
    FD_SET(attempt, &done);
    fd_set failed = done;
    timeval limit{3, 0};
    select(0, nullptr, &done, &failed, &limit);
    closesocket(attempt);
    WSACleanup();
    return true;
}

// The gateway takes the hardware address ("02:f1:..."), through the Linux
// command the script names, and the neighbour table shows it: true once
// the command has ended and this process observes the address, false after
// 5 s without. The command's end is waited for even when the gateway
// already has the address: its flush of the neighbour table would
// otherwise come after this process has seen the address, and leave the
// table without it.
inline bool MoveGateway(const std::string& mac)
{
    const std::string moved = Environment("FLIPSET_TEST_GATEWAY_MOVED");
    DeleteFileA(moved.c_str());
    std::string command = Environment("FLIPSET_TEST_MOVE_GATEWAY") + " " + mac;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // A Linux program: Wine gives back no handle to wait on.
    if (moved.empty() || !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                         nullptr, &startup, &process))
        return false;
    Win32InterfaceConfigurator interfaces;
    Win32NetworkObserver observer(interfaces);
    for (int attempt = 0; attempt < 50; ++attempt) {
        Sleep(100);
        if (GetFileAttributesA(moved.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        ResolveGateway();
        const NetworkObservation seen = observer.Observe();
        if (seen.gatewayHardwareAddress &&
            FormatHardwareAddress(*seen.gatewayHardwareAddress) == ObserverForm(mac))
            return true;
    }
    return false;
}

}  // namespace flipset::testnetwork
