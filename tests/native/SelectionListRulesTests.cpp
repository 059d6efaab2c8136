#include "editor/SelectionListRules.h"

#include <gtest/gtest.h>

namespace flipset {
namespace {

struct ButtonCase {
    const char* name;
    int count;
    int selection;
    bool deleteEnabled, upEnabled, downEnabled;
};

void PrintTo(const ButtonCase& c, std::ostream* out)
{
    *out << c.name;
}

class SelectionListButtonRule : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(SelectionListButtonRule, EnablesWhatTheSelectionAllows)
{
    const ButtonCase& c = GetParam();
    const SelectionListButtons buttons = SelectionListButtonStates(c.count, c.selection);
    EXPECT_TRUE(buttons.addEnabled);
    EXPECT_EQ(buttons.deleteEnabled, c.deleteEnabled);
    EXPECT_EQ(buttons.upEnabled, c.upEnabled);
    EXPECT_EQ(buttons.downEnabled, c.downEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionListButtonRule,
    ::testing::Values(ButtonCase{"EmptyList", 0, kNoSelection, false, false, false},
                      ButtonCase{"NothingSelected", 3, kNoSelection, false, false, false},
                      ButtonCase{"SelectionBeyondTheList", 3, 3, false, false, false},
                      ButtonCase{"OnlyEntrySelected", 1, 0, true, false, false},
                      ButtonCase{"FirstSelected", 3, 0, true, false, true},
                      ButtonCase{"MiddleSelected", 3, 1, true, true, true},
                      ButtonCase{"LastSelected", 3, 2, true, true, false}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return info.param.name; });

struct MoveCase {
    const char* name;
    bool up;
    int selection;
    bool moved;
    StringList after;
    int selectionAfter;
};

void PrintTo(const MoveCase& c, std::ostream* out)
{
    *out << c.name;
}

class SelectionListMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(SelectionListMove, SwapsWithTheNeighbourAndFollowsTheEntry)
{
    const MoveCase& c = GetParam();
    StringList entries = {"X", "Y", "Z"};
    int selection = c.selection;
    const bool moved =
        c.up ? MoveSelectedEntryUp(entries, selection) : MoveSelectedEntryDown(entries, selection);
    EXPECT_EQ(moved, c.moved);
    EXPECT_EQ(entries, c.after);
    EXPECT_EQ(selection, c.selectionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionListMove,
    ::testing::Values(
        MoveCase{"UpFromTheMiddle", true, 1, true, {"Y", "X", "Z"}, 0},
        MoveCase{"DownFromTheMiddle", false, 1, true, {"X", "Z", "Y"}, 2},
        MoveCase{"UpOnTheFirst", true, 0, false, {"X", "Y", "Z"}, 0},
        MoveCase{"DownOnTheLast", false, 2, false, {"X", "Y", "Z"}, 2},
        MoveCase{"UpWithoutSelection", true, kNoSelection, false, {"X", "Y", "Z"}, kNoSelection},
        MoveCase{
            "DownWithoutSelection", false, kNoSelection, false, {"X", "Y", "Z"}, kNoSelection}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return info.param.name; });

TEST(SelectionListMoveThenButtons, UpThenDownRestoresTheOrderWithTheButtonsOfEachPlace)
{
    StringList entries = {"X", "Y", "Z"};
    int selection = 1;
    ASSERT_TRUE(MoveSelectedEntryUp(entries, selection));
    EXPECT_EQ(entries, (StringList{"Y", "X", "Z"}));
    EXPECT_FALSE(SelectionListButtonStates(3, selection).upEnabled);
    ASSERT_TRUE(MoveSelectedEntryDown(entries, selection));
    EXPECT_EQ(entries, (StringList{"X", "Y", "Z"}));
    EXPECT_EQ(selection, 1);
    EXPECT_TRUE(SelectionListButtonStates(3, selection).upEnabled);
}

}  // namespace
}  // namespace flipset
