// The location detector, polled over a fake network whose places the test
// moves the machine between, and whose runs move it too.

#include "network/LocationDetector.h"

#include "support/FakeNetworkObserver.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace flipset {
namespace {

using Kind = LocationAction::Kind;

const NetworkObservation kOffice = ObservedPlace(1);
const NetworkObservation kHome = ObservedPlace(2);
const NetworkObservation kNowhere = ObservedPlace(0);

NamedLocation At(const std::string& configuration, uint8_t gatewayByte,
                 LocationMode mode = LocationMode::Switch)
{
    NamedLocation named{configuration, {}};
    named.location.mode = mode;
    named.location.gateway = HardwareAddress{2, 0, 0, 0, 0, gatewayByte};
    return named;
}

// The resident side as the detector expects it: it polls every 2 s, runs what
// it is told to (the run may move the machine), and reports each run settled.
class LocationDetectorTest : public ::testing::Test {
protected:
    LocationDetectorTest() { detector.SetLocations({At("Office", 1), At("Home", 2)}); }

    // Polls n times; returns the answers that were not None.
    std::vector<LocationAction> Poll(int n = 1)
    {
        std::vector<LocationAction> answers;
        for (int i = 0; i < n; ++i) {
            now += std::chrono::seconds(2);
            LocationAction action = detector.Poll(network, now);
            if (action.kind == Kind::Run)
                Run(action.configurations.front());
            if (action.kind != Kind::None)
                answers.push_back(action);
        }
        return answers;
    }
    void Run(const std::string& configuration)
    {
        runs.push_back(configuration);
        const auto effect = effects.find(configuration);
        if (effect != effects.end())
            network = effect->second;
        detector.RunSettled(network, now);
    }

    LocationDetector detector;
    NetworkObservation network = kNowhere;
    LocationTime now{0};
    std::map<std::string, NetworkObservation> effects;  // where a run leaves the machine
    std::vector<std::string> runs;
};

TEST_F(LocationDetectorTest, ALocationIsEnteredWhenItHoldsForTwoPollsInARow)
{
    Poll(3);
    network = kOffice;
    EXPECT_TRUE(Poll().empty());
    network = kNowhere;  // a blip of one poll is no move
    Poll();
    network = kOffice;
    EXPECT_TRUE(Poll().empty());
    const std::vector<LocationAction> answers = Poll();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].kind, Kind::Run);
    EXPECT_EQ(answers[0].configurations, std::vector<std::string>{"Office"});
    EXPECT_EQ(detector.CurrentLocation(), "Office");
    EXPECT_EQ(detector.CurrentSince(), now);
}

TEST_F(LocationDetectorTest, EnteringRunsOnceStayingNothingAndComingBackAgain)
{
    network = kOffice;
    Poll(10);
    EXPECT_EQ(runs, std::vector<std::string>{"Office"});
    network = kNowhere;
    Poll(3);
    EXPECT_EQ(detector.CurrentLocation(), "");
    network = kOffice;
    Poll(3);
    network = kHome;
    Poll(3);
    EXPECT_EQ(runs, (std::vector<std::string>{"Office", "Office", "Home"}));
    EXPECT_EQ(detector.CurrentLocation(), "Home");
}

TEST_F(LocationDetectorTest, ARunNeverTriggersItself)
{
    // The run moves the machine to another location; what it leaves is
    // served, however long the machine stays there.
    effects["Office"] = kHome;
    network = kOffice;
    Poll(20);
    EXPECT_EQ(runs, std::vector<std::string>{"Office"});
    EXPECT_EQ(detector.CurrentLocation(), "Home");
}

TEST_F(LocationDetectorTest, RunsThatEachMakeTheOtherHoldRunOnceUntilAChangeFromOutside)
{
    effects["Office"] = kHome;
    effects["Home"] = kOffice;
    network = kOffice;
    Poll(30);
    EXPECT_EQ(runs, std::vector<std::string>{"Office"});
    network = kNowhere;  // from outside
    Poll(2);
    network = kHome;
    Poll(30);
    EXPECT_EQ(runs, (std::vector<std::string>{"Office", "Home"}));
}

TEST_F(LocationDetectorTest, ChangesWhileARunIsInProgressAreItsOwn)
{
    network = kOffice;
    Poll(2);
    ASSERT_TRUE(detector.RunStarted());  // by hand
    network = kHome;                     // what the run does, seen by polls meanwhile
    EXPECT_TRUE(Poll(5).empty());
    detector.RunSettled(network, now);
    EXPECT_TRUE(Poll(5).empty());
    EXPECT_EQ(detector.CurrentLocation(), "Home");  // served by the hand run
}

TEST_F(LocationDetectorTest, OneRunAtATime)
{
    ASSERT_TRUE(detector.RunStarted());
    EXPECT_TRUE(detector.IsRunning());
    EXPECT_FALSE(detector.RunStarted());
    network = kOffice;
    EXPECT_TRUE(Poll(5).empty());
    EXPECT_FALSE(detector.ConfirmAsk("Office"));
    detector.RunSettled(network, now);
    EXPECT_FALSE(detector.IsRunning());
    EXPECT_TRUE(detector.RunStarted());
}

TEST_F(LocationDetectorTest, AskFirstRunsNothingUntilConfirmed)
{
    detector.SetLocations({At("Office", 1, LocationMode::AskFirst), At("Home", 2)});
    Poll();
    network = kOffice;
    const std::vector<LocationAction> answers = Poll(10);
    ASSERT_EQ(answers.size(), 1u);  // asked once
    EXPECT_EQ(answers[0].kind, Kind::Ask);
    EXPECT_EQ(answers[0].configurations, std::vector<std::string>{"Office"});
    EXPECT_TRUE(runs.empty());
    EXPECT_FALSE(detector.IsRunning());
    EXPECT_FALSE(detector.ConfirmAsk("Home"));
    EXPECT_TRUE(detector.ConfirmAsk("Office"));
    EXPECT_TRUE(detector.IsRunning());
    EXPECT_FALSE(detector.ConfirmAsk("Office"));
    detector.RunSettled(network, now);
    EXPECT_TRUE(Poll(5).empty());

    // A question outlived by a move is out of date.
    network = kNowhere;
    Poll(2);
    network = kOffice;
    ASSERT_EQ(Poll(2).size(), 1u);
    network = kHome;
    Poll(1);
    EXPECT_TRUE(detector.ConfirmAsk("Office"));  // one poll is no move yet
    detector.RunSettled(network, now);
    network = kNowhere;
    Poll(2);
    network = kOffice;
    Poll(2);
    network = kNowhere;
    Poll(2);
    EXPECT_FALSE(detector.ConfirmAsk("Office"));
}

TEST_F(LocationDetectorTest, ATieIsNamedOnceAndRunsNothing)
{
    detector.SetLocations({At("Office", 1), At("Desk", 1), At("Home", 2)});
    network = kOffice;
    const std::vector<LocationAction> answers = Poll(10);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].kind, Kind::Tie);
    EXPECT_EQ(answers[0].configurations, (std::vector<std::string>{"Office", "Desk"}));
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(detector.CurrentLocation(), "");
    EXPECT_FALSE(detector.ConfirmAsk("Office"));
    network = kHome;
    Poll(2);
    EXPECT_EQ(runs, std::vector<std::string>{"Home"});
}

TEST_F(LocationDetectorTest, WhilePausedNothingRunsAndResumingIsNoMove)
{
    detector.SetPaused(true);
    network = kOffice;
    EXPECT_TRUE(Poll(5).empty());
    EXPECT_EQ(detector.CurrentLocation(), "Office");
    detector.SetPaused(false);
    EXPECT_TRUE(Poll(5).empty());
    network = kHome;
    Poll(2);
    EXPECT_EQ(runs, std::vector<std::string>{"Home"});

    detector.SetPaused(true);
    network = kOffice;
    Poll(2);
    network = kHome;  // back where the last run was, while paused
    Poll(2);
    detector.SetPaused(false);
    Poll(5);
    EXPECT_EQ(runs, std::vector<std::string>{"Home"});
}

TEST_F(LocationDetectorTest, AChangedListIsNoMoveAndAnUnchangedOneChangesNothing)
{
    network = kOffice;
    Poll(2);
    ASSERT_EQ(runs.size(), 1u);
    network = kHome;
    Poll();                                                   // Home held once
    detector.SetLocations({At("Office", 1), At("Home", 2)});  // the same list
    Poll();
    EXPECT_EQ(runs, (std::vector<std::string>{"Office", "Home"}));

    detector.SetLocations({At("Office", 1), At("Home", 2), At("Garage", 3)});
    network = ObservedPlace(3);
    Poll();  // the list changed: what holds now is served
    detector.SetLocations({At("Office", 1), At("Home", 2), At("Lab", 3)});
    Poll(5);
    EXPECT_EQ(runs, (std::vector<std::string>{"Office", "Home"}));
    EXPECT_EQ(detector.CurrentLocation(), "Lab");
}

}  // namespace
}  // namespace flipset
