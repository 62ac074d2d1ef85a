// The size list's arithmetic: raster size text read as written, distinct heights, and the re-selection.
#include "display/SizeList.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

TEST(SizeList, NumbersAreReadLikeTheListReadsThem)
{
    EXPECT_EQ(readSize("12"), 12);
    EXPECT_EQ(readSize("  14abc"), 14);
    EXPECT_EQ(readSize("abc"), 0);
    EXPECT_EQ(readSize(""), 0);
    EXPECT_EQ(readSize("10.5"), 10); // halves to even
    EXPECT_EQ(readSize("11.5"), 12);
    EXPECT_EQ(readSize("99999999999999999999"), INT_MAX);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
}

TEST(SizeList, RasterSizesAreListedAsWritten)
{
    EXPECT_EQ(rasterSizeEntries("8,10,12,14,18,24"), (QStringList{"8", "10", "12", "14", "18", "24"}));
    EXPECT_EQ(rasterSizeEntries("10,10,12"), (QStringList{"10", "10", "12"}));
    EXPECT_EQ(rasterSizeEntries("8,10,"), (QStringList{"8", "10"}));
    EXPECT_EQ(rasterSizeEntries(",8,10"), (QStringList{"0"}));
    EXPECT_EQ(rasterSizeEntries("8,,10"), (QStringList{"8", "0"}));
    EXPECT_EQ(rasterSizeEntries("10,"), (QStringList{"10"}));
    EXPECT_EQ(rasterSizeEntries(""), QStringList{});
}

TEST(SizeList, OnlySizesThatGrowTheMeasuredHeightAreListed)
{
    // a face that renders at every size
    EXPECT_EQ(scalableSizeEntries([](int size) { return size * 20.0; }).size(), 16);
    // a face that never grows lists only the first size
    EXPECT_EQ(scalableSizeEntries([](int) { return 195.0; }), QStringList{"8"});
    // heights in steps: the smallest size of each distinct height; 202.5 and 197.5 both round to 202/198
    const std::map<int, double> heights = {{8, 195},    {9, 195},  {10, 202.5},
                                           {11, 202.4}, {12, 240}, {14, 240}};
    const QStringList listed = scalableSizeEntries([&](int size) {
        auto it = heights.find(size);
        return it == heights.end() ? 240.0 : it->second;
    });
    EXPECT_EQ(listed, (QStringList{"8", "10", "12"}));
    // a failed measurement skips that size only
    EXPECT_EQ(scalableSizeEntries([](int size) { return size == 8 ? -1.0 : size * 20.0; }).first(), "9");
}

TEST(SizeList, ReselectionFindsTheRememberedSizeOrItsSmallerNeighbour)
{
    const QStringList list = {"8", "10", "12"};
    std::vector<int> visited;
    EXPECT_EQ(reselectIndex(list, 11, &visited), 1);
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 1})); // each pass selects, so each renders
    EXPECT_EQ(reselectIndex(list, 12), 2);
    EXPECT_EQ(reselectIndex(list, 4), 0);  // every size larger: the first
    EXPECT_EQ(reselectIndex(list, 72), 2); // every size smaller: the last
    EXPECT_EQ(reselectIndex({"8", "10", "12", "14", "18", "24"}, 72), 5);
}

} // namespace
