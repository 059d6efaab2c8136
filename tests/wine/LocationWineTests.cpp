// Where the machine is, read for real: run only inside the test network
// that tests/wine/network/test-network.sh makes (the interface "flipset0",
// 10.203.0.50/24, its gateway 10.203.0.1 in a second namespace with the
// hardware address the script chose, a resolv.conf with the suffix
// "test.flipset.invalid"). Wine reads the adapters, the routes and the
// neighbour table from Linux, so what these tests see is what the
// namespaces hold, never what a fake says. Wine has no Wi-Fi interface:
// a network's name is shown only through the fake, natively.

#include "app/OutputSink.h"
#include "base/Text.h"
#include "network/Location.h"
#include "network/TcpipSettings.h"
#include "network/Win32InterfaceConfigurator.h"
#include "network/Win32NetworkObserver.h"
#include "store/Win32RegistryBackend.h"
#include "wine/FlipsetProcess.h"
#include "wine/TestConstants.h"
#include "wine/TestFiles.h"
#include "support/TestNetwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace flipset {
namespace {

using testnetwork::GatewayMac;
using testnetwork::ResolveGateway;

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

    ASSERT_TRUE(ResolveGateway());
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


// flipset.exe's "/where" in the test network, over two configurations:
// "Here", whose location is the gateway the script chose and the
// interface's subnet, and "Elsewhere", another gateway.
class WhereInTestNetwork : public TestNetwork {
protected:
    void SetUp() override
    {
        TestNetwork::SetUp();
        if (IsSkipped())
            return;
        ClearProgramData(registry_);
        ResolveGateway();
        StoreLocation(1, "Here", GatewayMac(), "10.203.0.0/24");
        StoreLocation(2, "Elsewhere", "02-f1-1b-5e-cb-99", "");
        DeleteFileA(outputPath_.c_str());
    }
    void TearDown() override { ClearProgramData(registry_); }

    void StoreLocation(int number, const std::string& name, const std::string& gateway,
                       const std::string& subnet) const
    {
        const std::string key = kAllConfigurationsKey + "\\" + std::to_string(number);
        registry_.WriteString(key, "Name", name, kMachine);
        registry_.WriteDword(key, "LocationMode", 2, kMachine);
        registry_.WriteString(key, "LocationGateway", gateway, kMachine);
        if (!subnet.empty())
            registry_.WriteString(key, "LocationSubnet", subnet, kMachine);
    }

    FlipsetRun Where() const
    {
        const FlipsetRun run = RunFlipsetToEnd(" /where", outputPath_);
        EXPECT_TRUE(run.started);
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(run.windowsSeen, 0);
        return run;
    }

    Win32RegistryBackend backend_;
    CRegistry registry_{backend_};
    const std::string outputPath_ = testfiles::OwnFolder() + "\\flipset_where_output.txt";
};

TEST_F(WhereInTestNetwork, WritesTheNamespacesAddressGatewayAndHardwareAddressAndTheMatchWithExit0)
{
    Win32InterfaceConfigurator interfaces;
    const NetworkObservation observation = Win32NetworkObserver(interfaces).Observe();
    const AdapterSnapshot* adapter = TestAdapter(observation);
    ASSERT_NE(adapter, nullptr);

    const FlipsetRun run = Where();

    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const std::vector<std::string> lines = SplitOutputLines(run.output);
    const auto at = std::find(lines.begin(), lines.end(), "adapter " + adapter->guid + " flipset0");
    ASSERT_NE(at, lines.end()) << run.output;
    ASSERT_GE(lines.end() - at, 3) << run.output;
    EXPECT_EQ(at[1], "  address 10.203.0.50/24, subnet 10.203.0.0/24");
    EXPECT_EQ(at[2], "  DNS suffix test.flipset.invalid");
    const std::vector<std::string> tail(lines.end() - 3, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "default gateway 10.203.0.1, hardware address " + GatewayMac(),
                        "Wi-Fi network: none",
                        "location: \"Here\" holds, with 2 conditions",
                    }))
        << run.output;
}

TEST_F(WhereInTestNetwork, WithoutAMatchingLocationItSaysNoneAndExits1)
{
    StoreLocation(1, "Here", "02-f1-1b-5e-cb-02", "10.203.0.0/24");

    const FlipsetRun run = Where();

    EXPECT_EQ(run.exitCode, 1u) << run.output;
    ASSERT_FALSE(SplitOutputLines(run.output).empty());
    EXPECT_EQ(SplitOutputLines(run.output).back(), "location: none holds") << run.output;
}

}  // namespace
}  // namespace flipset
