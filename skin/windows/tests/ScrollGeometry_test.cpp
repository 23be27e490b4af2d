// The skinned scroll bars' arithmetic as a table of (range, page, bar length) cases: thumb size
// and start, the parts under points, and the dragged thumb's position, including the inputs
// that would divide by 0 or give a negative thumb.
#include <gtest/gtest.h>

#include <climits>

#include "skin/windows/vxScrollGeometry.h"

TEST(ScrollGeometry, MulDivRoundsHalfAwayFromZeroAndAnswersMinusOneOnFailure)
{
    EXPECT_EQ(MulDivRound(7, 1, 2), 4);
    EXPECT_EQ(MulDivRound(-7, 1, 2), -4);
    EXPECT_EQ(MulDivRound(10, 168, 100), 17);
    EXPECT_EQ(MulDivRound(1, 1, 0), -1);
    EXPECT_EQ(MulDivRound(INT_MAX, 2, 1), -1);
}

TEST(ScrollGeometry, ThumbSizeAndStartForEveryKindOfRangePageAndBar)
{
    struct Case {
        TScrollNumbers si;
        int end, size, start, track;
    };
    // Bars from 0 to end with arrows of 16 and a 10-pixel minimum thumb.
    const Case cases[] = {
        {{0, 99, 10, 45}, 200, 17, 92, 168},          // MulDiv(10, 168, 100); 16 + MulDiv(45, 151, 90)
        {{0, 99, 10, 90}, 200, 17, 167, 168},         // at the end: the thumb ends at the second arrow
        {{0, 99, 10, 500}, 200, 17, 167, 168},        // beyond the end: kept in the track
        {{-50, 49, 10, -50}, 200, 17, 16, 168},       // a negative minimum
        {{0, 99, 0, 50}, 200, 16, 93, 168},           // page 0: one arrow long; 16 + MulDiv(50, 152, 99)
        {{0, 999, 1, 0}, 200, 10, 16, 168},           // the 10-pixel minimum
        {{5, 5, 1, 5}, 200, 168, 16, 168},            // nMax = nMin: the thumb fills the track
        {{0, 9, 50, 0}, 200, 168, 16, 168},           // a page larger than the range
        {{0, 99, 10, 45}, 20, 0, 10, 0},              // shorter than two arrows: half arrows, no track
        {{0, 99, 10, 45}, 1, 1, 0, 1},                // 1 pixel: no arrows, the thumb fills the pixel
        {{0, 99, 10, 45}, 0, 0, 0, 0},                // nothing at all
        {{INT_MIN, INT_MAX, 5, 0}, 200, 10, 95, 168}, // 2^32 values: the middle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.si.nMin << ".." << c.si.nMax << " page " << c.si.nPage << " pos "
                                        << c.si.nPos << " bar " << c.end);
        const TThumb t = ThumbOf(c.si, 0, c.end, 16, 10);
        EXPECT_EQ(t.Size, c.size);
        EXPECT_EQ(t.Start, c.start);
        EXPECT_EQ(t.Track, c.track);
        EXPECT_GE(t.Size, 0);
        EXPECT_LE(t.Start + t.Size, c.end);
    }
}

TEST(ScrollGeometry, PartsUnderPointsAndAThumbThatFillsTheTrackIsNoPart)
{
    const TThumb t = ThumbOf({0, 99, 10, 45}, 0, 200, 16, 10); // thumb 92..109
    const int expected[][2] = {{-1, spNone},        {0, spFirstArrow},    {15, spFirstArrow},   {16, spTrackBefore},
                               {91, spTrackBefore}, {92, spThumb},        {108, spThumb},       {109, spTrackAfter},
                               {183, spTrackAfter}, {184, spSecondArrow}, {199, spSecondArrow}, {200, spNone}};
    for (const auto& e : expected)
        EXPECT_EQ(ScrollPartAt(e[0], 0, 200, 16, t), e[1]) << e[0];
    EXPECT_TRUE(ThumbMovable(t));

    const TThumb full = ThumbOf({5, 5, 1, 5}, 0, 200, 16, 10);
    EXPECT_FALSE(ThumbMovable(full));
    EXPECT_EQ(ScrollPartAt(100, 0, 200, 16, full), spNone);
    // A bar of 20 pixels: two arrows of 10.
    const TThumb shortBar = ThumbOf({0, 99, 10, 45}, 0, 20, 16, 10);
    EXPECT_EQ(ScrollPartAt(9, 0, 20, 16, shortBar), spFirstArrow);
    EXPECT_EQ(ScrollPartAt(10, 0, 20, 16, shortBar), spSecondArrow);
}

TEST(ScrollGeometry, DraggedPositionFollowsTheThumbWithoutDividingByZero)
{
    const TScrollNumbers si{0, 99, 10, 0};
    EXPECT_EQ(DraggedPosition(si, 0, 168, 17), 0);
    EXPECT_EQ(DraggedPosition(si, 151, 168, 17), 90);
    EXPECT_EQ(DraggedPosition(si, 76, 168, 17), 45);
    EXPECT_EQ(DraggedPosition(si, -5, 168, 17), 0);
    EXPECT_EQ(DraggedPosition({3, 3, 1, 3}, 7, 168, 17), 7); // fewer than two values: the offset
    EXPECT_EQ(DraggedPosition(si, 5, 168, 168), 0);          // a thumb that fills the track
}
