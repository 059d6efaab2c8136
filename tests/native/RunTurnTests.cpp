// One run at a time: a verb's run goes ahead only in its turn, gives the
// turn back after it, and while another run holds it says so and runs
// nothing.

#include "app/RunTurn.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace flipset {
namespace {

class RecordingOutput : public OutputSink {
public:
    std::vector<std::string> lines;
    void WriteLine(const std::string& line) override { lines.push_back(line); }
};

// A lock that another run holds or not, as the test says.
class FakeRunTurnLock : public RunTurnLock {
public:
    bool heldElsewhere = false;
    bool heldHere = false;
    uint32_t waitedFor = 0;
    bool Take(uint32_t milliseconds) override
    {
        waitedFor = milliseconds;
        if (heldElsewhere)
            return false;
        heldHere = true;
        return true;
    }
    void Give() override
    {
        EXPECT_TRUE(heldHere) << "a turn given back that was never taken";
        heldHere = false;
    }
};

TEST(RunInTurn, RunsInItsTurnAndGivesItBackAfterwards)
{
    FakeRunTurnLock lock;
    RecordingOutput output;
    bool heldDuringRun = false;
    const ExitCode result = RunInTurn(lock, output, [&] {
        heldDuringRun = lock.heldHere;
        return ExitCode::StepFailed;
    });
    EXPECT_EQ(result, ExitCode::StepFailed) << "the run's own exit code";
    EXPECT_TRUE(heldDuringRun);
    EXPECT_FALSE(lock.heldHere);
    EXPECT_EQ(lock.waitedFor, kRunTurnWait);
    EXPECT_TRUE(output.lines.empty());
}

TEST(RunInTurn, WhileAnotherRunHoldsTheTurnNothingRunsAndTheLineSaysSo)
{
    FakeRunTurnLock lock;
    lock.heldElsewhere = true;
    RecordingOutput output;
    bool ran = false;
    const ExitCode result = RunInTurn(lock, output, [&] {
        ran = true;
        return ExitCode::Done;
    });
    EXPECT_EQ(result, ExitCode::RunInProgress);
    EXPECT_NE(static_cast<int>(result), 0);
    EXPECT_FALSE(ran);
    ASSERT_EQ(output.lines.size(), 1u);
    EXPECT_EQ(output.lines[0].rfind("error: another run", 0), 0u) << output.lines[0];
    EXPECT_FALSE(lock.heldHere);
}

TEST(RunTurn, ATurnIsGivenBackWhenTheRunEndsByAnException)
{
    FakeRunTurnLock lock;
    try {
        const RunTurn turn(lock);
        ASSERT_TRUE(turn.Held());
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    EXPECT_FALSE(lock.heldHere);
}

}  // namespace
}  // namespace flipset
