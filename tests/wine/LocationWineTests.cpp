// Where the machine is, read for real: run only inside the test network
// that tests/wine/network/test-network.sh makes (the interface "flipset0",
// 10.203.0.50/24, its gateway 10.203.0.1 in a second namespace with the
// hardware address the script chose, a resolv.conf with the suffix
// "test.flipset.invalid"). Wine reads the adapters, the routes and the
// neighbour table from Linux, so what these tests see is what the
// namespaces hold, never what a fake says. Wine has no Wi-Fi interface:
// a network's name is shown only through the fake, natively.

#include "base/Text.h"
#include "network/Location.h"
#include "network/TcpipSettings.h"
#include "network/Win32InterfaceConfigurator.h"
#include "network/Win32NetworkObserver.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace flipset {
namespace {

std::string Environment(const char* name)
{
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

// The gateway's hardware address in the observer's form, from the
// script's "02:f1:...".
std::string GatewayMac()
{
    std::string text = Environment("FLIPSET_TEST_GATEWAY_MAC");
    std::replace(text.begin(), text.end(), ':', '-');
    return text;
}

// One TCP connection attempt to the gateway's address, which nothing
// answers but the far end's system (a refusal): it makes Linux resolve the
// gateway's hardware address into its neighbour table. Bounded to a few
// seconds; nothing is sent beyond the test network.
void ResolveGateway()
{
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET attempt = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(attempt, INVALID_SOCKET);
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
}

const AdapterSnapshot* TestAdapter(const NetworkObservation& observation)
{
    for (const AdapterSnapshot& adapter : observation.adapters) {
        if (adapter.name == "flipset0")
            return &adapter;
    }
    return nullptr;
}

class TestNetwork : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (GatewayMac().empty())
            GTEST_SKIP() << "not inside the test network (tests/wine/network/test-network.sh)";
    }
};

// The network as the script made it: this test runs first (GoogleTest
// keeps the order of the file), before anything was sent to the gateway.
TEST_F(TestNetwork, TheObserverShowsTheInterfaceTheGatewayAndTheHardwareAddressTheScriptChose)
{
    Win32InterfaceConfigurator interfaces;
    Win32NetworkObserver observer(interfaces);
    const NetworkObservation unresolved = observer.Observe();
    EXPECT_EQ(DottedAddress(unresolved.gateway), "10.203.0.1");
    EXPECT_FALSE(unresolved.gatewayHardwareAddress.has_value())
        << "nothing has been sent to the gateway yet";

    ResolveGateway();
    const NetworkObservation observation = observer.Observe();

    const AdapterSnapshot* adapter = TestAdapter(observation);
    ASSERT_NE(adapter, nullptr) << "Wine lists no adapter for the interface flipset0";
    EXPECT_TRUE(adapter->connected);
    ASSERT_EQ(adapter->addresses.size(), 1u);
    EXPECT_EQ(DottedAddress(adapter->addresses[0].address), "10.203.0.50");
    EXPECT_EQ(DottedAddress(adapter->addresses[0].mask), "255.255.255.0");
    EXPECT_EQ(adapter->dnsSuffix, "test.flipset.invalid");
    EXPECT_EQ(DottedAddress(observation.gateway), "10.203.0.1");
    ASSERT_TRUE(observation.gatewayHardwareAddress.has_value())
        << "the neighbour table has no entry for the gateway";
    EXPECT_EQ(FormatHardwareAddress(*observation.gatewayHardwareAddress), GatewayMac());
    EXPECT_EQ(observation.wifi, "") << "Wine lists no wireless interface";
}

}  // namespace
}  // namespace flipset
