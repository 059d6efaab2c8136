#include "base/UniqueHandle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace flipset {
namespace {

// Handles are numbers; -1 means none. Every close is recorded, and a handle
// whose number is negative below -1 reports a failed close.
std::vector<int> closed;

struct CountingTraits {
    using Handle = int;
    static Handle Invalid() { return -1; }
    static bool Close(Handle handle)
    {
        closed.push_back(handle);
        return handle >= 0;
    }
};
using Owner = UniqueHandle<CountingTraits>;

class UniqueHandleTest : public ::testing::Test {
protected:
    UniqueHandleTest() { closed.clear(); }
};

TEST_F(UniqueHandleTest, ClosesOnceWhenDestroyedAndNeverTheInvalidValue)
{
    {
        Owner held(7);
        Owner none;
        Owner invalid(-1);
        EXPECT_TRUE(held.IsValid());
        EXPECT_FALSE(none.IsValid());
        EXPECT_FALSE(invalid);
    }
    EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueHandleTest, MovingHandsTheHandleOverAndClosesWhatTheTargetHeld)
{
    {
        Owner first(1);
        Owner second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(second.Get(), 1);

        Owner third(3);
        third = std::move(second);
        EXPECT_EQ(closed, std::vector<int>{3});
        EXPECT_EQ(third.Get(), 1);
    }
    EXPECT_EQ(closed, (std::vector<int>{3, 1}));
}

TEST_F(UniqueHandleTest, CloseReportsTheClosersResultAndLeavesNothingToCloseAgain)
{
    Owner failing(-5);
    EXPECT_FALSE(failing.Close());
    EXPECT_FALSE(failing.IsValid());
    EXPECT_TRUE(failing.Close());  // nothing held any more
    EXPECT_EQ(closed, std::vector<int>{-5});
}

TEST_F(UniqueHandleTest, ReleaseGivesUpTheHandleAndReceiveClosesTheOldOne)
{
    {
        Owner released(4);
        EXPECT_EQ(released.Release(), 4);

        Owner received(5);
        *received.Receive() = 6;  // as an API that returns a handle through a pointer
        EXPECT_EQ(received.Get(), 6);
    }
    EXPECT_EQ(closed, (std::vector<int>{5, 6}));
}

}  // namespace
}  // namespace flipset
