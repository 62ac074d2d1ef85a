// The summary's scrolling arithmetic: range for a face count, what each key asks for, which faces a page
// shows, and where the window goes over the main window.
#include "summary/SummaryScroll.h"

#include <gtest/gtest.h>

#include <numeric>

using quillon::SummaryScroll;

namespace {

std::vector<int> range(int from, int to)
{
    std::vector<int> v(static_cast<std::size_t>(to - from));
    std::iota(v.begin(), v.end(), from);
    return v;
}

// Presses the key on the scroll state and returns the value it lands on.
int press(SummaryScroll& s, int key)
{
    s.setValue(s.valueForKey(key));
    return s.value();
}

} // namespace

TEST(SummaryScroll, FortyFacesPageDownStopsAtTheLastFullPageAndPageUpAtZero)
{
    SummaryScroll s;
    s.setFaceCount(40);
    EXPECT_EQ(s.min(), 0);
    EXPECT_EQ(s.max(), 24);
    EXPECT_EQ(press(s, SummaryScroll::PageDown), 16);
    EXPECT_EQ(press(s, SummaryScroll::PageDown), 24); // 32 is not below 24
    EXPECT_EQ(s.valueForKey(SummaryScroll::Down), 24);
    EXPECT_EQ(s.valueForKey(SummaryScroll::PageDown), 24);
    EXPECT_EQ(press(s, SummaryScroll::Up), 23);
    EXPECT_EQ(press(s, SummaryScroll::Down), 24);
    EXPECT_EQ(press(s, SummaryScroll::PageUp), 8);
    EXPECT_EQ(press(s, SummaryScroll::PageUp), 0);
    // At the top, Page Up asks for Min again: the same value, so nothing changes.
    EXPECT_EQ(s.valueForKey(SummaryScroll::PageUp), 0);
    EXPECT_EQ(s.valueForKey(SummaryScroll::Up), 0);
    EXPECT_EQ(s.valueForKey(SummaryScroll::Other), 0);
    EXPECT_EQ(s.valueForKey(65), 0);
}

TEST(SummaryScroll, APageOrLessNeverScrolls)
{
    for (int count : {0, 1, 5, 15, 16}) {
        SCOPED_TRACE(count);
        SummaryScroll s;
        s.setFaceCount(count);
        EXPECT_EQ(s.max(), 0);
        for (int key :
             {SummaryScroll::Up, SummaryScroll::Down, SummaryScroll::PageUp, SummaryScroll::PageDown})
            EXPECT_EQ(s.valueForKey(key), 0);
        s.setValue(5);
        EXPECT_EQ(s.value(), 0);
    }
}

TEST(SummaryScroll, SeventeenFacesScrollByOneRowOnly)
{
    SummaryScroll s;
    s.setFaceCount(17);
    EXPECT_EQ(s.max(), 1);
    EXPECT_EQ(press(s, SummaryScroll::PageDown), 1);
    EXPECT_EQ(press(s, SummaryScroll::PageUp), 0);
}

TEST(SummaryScroll, PageRowsNeverReachPastTheLastFace)
{
    EXPECT_EQ(SummaryScroll::pageRows(0, 40), range(0, 16));
    EXPECT_EQ(SummaryScroll::pageRows(24, 40), range(24, 40));
    EXPECT_EQ(SummaryScroll::pageRows(0, 16), range(0, 16));
    EXPECT_EQ(SummaryScroll::pageRows(0, 5), range(0, 5));
    EXPECT_TRUE(SummaryScroll::pageRows(0, 0).empty());
    EXPECT_EQ(SummaryScroll::pageRows(30, 40), range(30, 40)); // a top past the last full page
    EXPECT_TRUE(SummaryScroll::pageRows(40, 40).empty());
    EXPECT_TRUE(SummaryScroll::pageRows(2147483640, 2147483647).size() == 7); // no overflow near the limit
}

TEST(SummaryScroll, CountsBeyondSixteenBitsWork)
{
    SummaryScroll s;
    s.setFaceCount(40000);
    EXPECT_EQ(s.max(), 39984);
    s.setValue(39980);
    EXPECT_EQ(press(s, SummaryScroll::PageDown), 39984);
    EXPECT_EQ(SummaryScroll::pageRows(39984, 40000), range(39984, 40000));
}

TEST(SummaryScroll, PlacementCentresOverTheOwnerKeepingFractions)
{
    const QPointF at = SummaryScroll::placement(QRectF(1000, 2000, 9001, 6000), QSizeF(5640, 4395));
    EXPECT_DOUBLE_EQ(at.x(), (9001 - 5640) / 2.0 + 1000 + 15);  // 2695.5
    EXPECT_DOUBLE_EQ(at.y(), (6000 - 4395) / 2.0 + 2000 + 150); // 2952.5
    // An owner smaller than the window puts it up and left of the owner, unclamped.
    const QPointF small = SummaryScroll::placement(QRectF(0, 0, 1000, 1000), QSizeF(5640, 4395));
    EXPECT_DOUBLE_EQ(small.x(), -2305);
    EXPECT_DOUBLE_EQ(small.y(), -1547.5);
}
