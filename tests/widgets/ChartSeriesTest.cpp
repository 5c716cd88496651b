#include <gtest/gtest.h>

#include <ostream>

#include "ChartSeries.h"

namespace {

struct RowCase {
    const char* name;
    int upper;
    int lower;
    int value;
    int row;  // on a 78-pixel picture, worked out by hand
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

class RowTest : public testing::TestWithParam<RowCase> {};

TEST_P(RowTest, ScalesTheValueIntoTheSeriesRangeAndTruncates) {
    const RowCase& c = GetParam();
    ChartSeries series;
    series.upperBound = c.upper;
    series.lowerBound = c.lower;
    EXPECT_EQ(series.RowOf(c.value, 78), c.row);
}

INSTANTIATE_TEST_SUITE_P(
    ChartSeries, RowTest,
    testing::Values(RowCase{"UpperBoundOnTheTopRow", 100, 0, 100, 0},
                    RowCase{"LowerBoundJustBelowThePicture", 100, 0, 0, 78},
                    RowCase{"Middle", 100, 0, 50, 39},
                    RowCase{"OneAboveTheLowerBound", 100, 0, 1, 77},          // 77.22
                    RowCase{"OneBelowTheUpperBound", 100, 0, 99, 0},          // 0.78
                    RowCase{"ThirdOfTheWay", 100, 0, 33, 52},                 // 52.26
                    RowCase{"RangeWithNegativeLowerBound", 100, -20, 0, 65},  // 78 * 100 / 120
                    RowCase{"AboveTheRangeTruncatesTowardZero", -10, -100, 0, -8}),  // -8.67
    [](const testing::TestParamInfo<RowCase>& info) { return info.param.name; });

TEST(ChartSeries, NeedsARangeToBeDrawn) {
    ChartSeries series;
    series.upperBound = 5;
    series.lowerBound = 5;
    EXPECT_FALSE(series.Drawable());
    series.upperBound = 6;
    EXPECT_TRUE(series.Drawable());
}

}  // namespace
