#include "ui/BalloonLayout.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace flipset {

static bool operator==(BalloonPoint a, BalloonPoint b)
{
    return a.x == b.x && a.y == b.y;
}
static bool operator==(const BalloonRect& a, const BalloonRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static std::ostream& operator<<(std::ostream& out, BalloonPoint p)
{
    return out << "(" << p.x << ", " << p.y << ")";
}
static std::ostream& operator<<(std::ostream& out, const BalloonRect& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

struct LayoutCase {
    const char* name;
    int textWidth;
    int textHeight;
    BalloonPoint anchor;
    PointerPosition position;
    // Expected, worked out by hand: w = text width + 24, h = text height + 20.
    BalloonRect body;
    BalloonPoint pointer[3];
    int windowWidth;
    int windowHeight;
    BalloonPoint windowPosition;
    BalloonRect text;
};

const std::vector<LayoutCase> kCases = {
    // w 124, h 33: the window is 124 by 58.
    {"one line, upper left",
     100,
     13,
     {300, 200},
     PointerPosition::UpperLeft,
     {0, 0, 124, 33},
     {{112, 23}, {112, 48}, {87, 23}},
     124,
     58,
     {188, 152},
     {12, 10, 112, 48}},
    {"one line, upper right",
     100,
     13,
     {300, 200},
     PointerPosition::UpperRight,
     {0, 0, 124, 33},
     {{12, 23}, {12, 48}, {37, 23}},
     124,
     58,
     {312, 152},
     {12, 10, 112, 48}},
    // An empty text still gives the margins: w 24, h 20, and the pointer of
    // the upper left balloon reaches past the body's left edge.
    {"empty text at the screen origin",
     0,
     0,
     {0, 0},
     PointerPosition::UpperLeft,
     {0, 0, 24, 20},
     {{12, 10}, {12, 35}, {-13, 10}},
     24,
     45,
     {-12, -35},
     {12, 10, 12, 35}},
    // Three lines on a monitor left of the primary one: w 274, h 59.
    {"three lines, negative anchor",
     250,
     39,
     {-800, 40},
     PointerPosition::UpperRight,
     {0, 0, 274, 59},
     {{12, 49}, {12, 74}, {37, 49}},
     274,
     84,
     {-788, -34},
     {12, 10, 262, 74}},
    {"three lines, upper left, negative anchor",
     250,
     39,
     {-800, -5},
     PointerPosition::UpperLeft,
     {0, 0, 274, 59},
     {{262, 49}, {262, 74}, {237, 49}},
     274,
     84,
     {-1062, -79},
     {12, 10, 262, 74}},
};

void PrintTo(const LayoutCase& c, std::ostream* out)
{
    *out << c.name;
}

class BalloonLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(BalloonLayoutTest, BodyPointerWindowAndTextRectangle)
{
    const LayoutCase& c = GetParam();
    const BalloonLayout layout = LayOutBalloon(c.textWidth, c.textHeight, c.anchor, c.position);
    EXPECT_EQ(layout.body, c.body);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(layout.pointer[i], c.pointer[i]) << "pointer corner " << i;
    EXPECT_EQ(layout.windowWidth, c.windowWidth);
    EXPECT_EQ(layout.windowHeight, c.windowHeight);
    EXPECT_EQ(layout.windowPosition, c.windowPosition);
    EXPECT_EQ(layout.text, c.text);
}

TEST_P(BalloonLayoutTest, PointerTipOnTheScreenRelativeToTheAnchor)
{
    const LayoutCase& c = GetParam();
    const BalloonLayout layout = LayOutBalloon(c.textWidth, c.textHeight, c.anchor, c.position);
    const BalloonPoint tip = {layout.windowPosition.x + layout.pointer[1].x,
                              layout.windowPosition.y + layout.pointer[1].y};
    const int expectedOffset = c.position == PointerPosition::UpperRight ? 24 : 0;
    EXPECT_EQ(tip, (BalloonPoint{c.anchor.x + expectedOffset, c.anchor.y}));
    // The whole balloon lies above the anchor's row and the tip inside the window.
    EXPECT_LT(layout.windowPosition.y + layout.body.bottom, c.anchor.y);
    EXPECT_LT(layout.pointer[1].y, layout.windowHeight);
}

INSTANTIATE_TEST_SUITE_P(Cases, BalloonLayoutTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

}  // namespace
}  // namespace flipset
