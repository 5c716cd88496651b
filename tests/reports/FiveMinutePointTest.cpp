#include <gtest/gtest.h>

#include <string>

#include "FiveMinutePoint.h"
#include "ReportsTestSupport.h"

namespace {

struct IntCase {
    int in;
    int out;
};

class DirectionDegrees : public ::testing::TestWithParam<IntCase> {};

TEST_P(DirectionDegrees, ScaleTheRawAverageAndStayWithin1To360) {
    EXPECT_EQ(AverageDirectionDegrees(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Values, DirectionDegrees,
                         ::testing::Values(IntCase{0, 1}, IntCase{1, 1}, IntCase{64, 90},
                                           IntCase{128, 180}, IntCase{137, 193},
                                           IntCase{255, 359}, IntCase{256, 360},
                                           IntCase{-5, 1}, IntCase{1000, 360}));

class CompassOfDegrees : public ::testing::TestWithParam<IntCase> {};

TEST_P(CompassOfDegrees, RoundToTheNearestSixteenthAndWrapToNorth) {
    EXPECT_EQ(CompassIndexOfDegrees(GetParam().in), GetParam().out);
}

// 22.5 degrees a point: point k starts at 22.5 k - 11.25 degrees.
INSTANTIATE_TEST_SUITE_P(Values, CompassOfDegrees,
                         ::testing::Values(IntCase{1, 0}, IntCase{11, 0}, IntCase{12, 1},
                                           IntCase{33, 1}, IntCase{34, 2}, IntCase{90, 4},
                                           IntCase{180, 8}, IntCase{193, 9}, IntCase{326, 14},
                                           IntCase{327, 15}, IntCase{348, 15}, IntCase{349, 0},
                                           IntCase{360, 0}));

TEST(MakeFiveMinuteSummary, TruncatesEachScaledReadingTowardZero) {
    StationState s;
    s.windSpeedAvg = 5.58;
    s.tempOutdoor = -3.56;
    s.tempIndoor = 72.96;
    s.pressure = 29.919796;
    s.humidityOutdoor = 99.99;
    s.humidityIndoor = 41.5;
    s.rainToday = 0.259;
    const FiveMinuteSummary sum = MakeFiveMinuteSummary(s);
    EXPECT_EQ(sum.windSpeedAvgX10, 55);
    EXPECT_EQ(sum.tempOutdoorX10, -35);
    EXPECT_EQ(sum.tempIndoorX10, 729);
    EXPECT_EQ(sum.pressureX100, 2991);
    EXPECT_EQ(sum.humidityOutdoorX10, 999);
    EXPECT_EQ(sum.humidityIndoorX10, 415);
    EXPECT_EQ(sum.rainTodayX100, 25);
}

TEST(MakeFiveMinuteSummary, KeepsTheLowSixteenBits) {
    StationState s;
    s.humidityOutdoor = 3300.0;  // 33000 does not fit: 33000 - 65536
    EXPECT_EQ(MakeFiveMinuteSummary(s).humidityOutdoorX10, 33000 - 65536);
}

TEST(PlotItemValue, DropsTheFractionOfEachQuantity) {
    StationState s;
    s.tempOutdoor = 72.96;
    s.pressure = 29.92;
    s.rainToday = 0.25;
    s.tempIndoor = -3.5;
    const FiveMinuteSummary sum = MakeFiveMinuteSummary(s);
    EXPECT_EQ(PlotItemValue(sum, 0), 72);
    EXPECT_EQ(PlotItemValue(sum, 4), 29);
    EXPECT_EQ(PlotItemValue(sum, 6), 0);
    EXPECT_EQ(PlotItemValue(sum, 1), -3);
}

FiveMinuteSummary DistinctSummary() {
    FiveMinuteSummary sum;
    sum.tempOutdoorX10 = 101;      // item 0 -> 10
    sum.tempIndoorX10 = 211;       // item 1 -> 21
    sum.humidityOutdoorX10 = 321;  // item 2 -> 32
    sum.humidityIndoorX10 = 431;   // item 3 -> 43
    sum.pressureX100 = 2992;       // item 4 -> 29
    sum.windSpeedAvgX10 = 651;     // item 5 -> 65
    sum.rainTodayX100 = 760;       // item 6 -> 7
    return sum;
}

struct SelectionCase {
    const char* name;
    PlotItemFlags enabled;
    std::array<int32_t, 3> values;
    std::array<std::string, 3> titles;
};

class PlotSelectionTable : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(PlotSelectionTable, TakesTheFirstThreeEnabledItemsInOrder) {
    const PlotSelection got = SelectPlotItems(DistinctSummary(), GetParam().enabled);
    EXPECT_EQ(got.values, GetParam().values);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(std::string(got.titles[k]), GetParam().titles[k]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotSelectionTable,
    ::testing::Values(
        SelectionCase{"Items1346", {0, 1, 0, 1, 1, 0, 1}, {21, 43, 29},
                      {"Temperature Indoor", "Humidity Indoor", "Pressure"}},
        SelectionCase{"OnlyItem5", {0, 0, 0, 0, 0, 1, 0}, {65, 0, 0},
                      {"WindSpeed Avg. 1 Min.", "", ""}},
        SelectionCase{"None", {0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}, {"", "", ""}},
        SelectionCase{"All", {1, 1, 1, 1, 1, 1, 1}, {10, 21, 32},
                      {"Temperature Outdoor", "Temperature Indoor", "Humidity Outdoor"}},
        SelectionCase{"AnyNonZeroFlag", {0, 0, 0, 0, -1, 7, 1}, {29, 65, 7},
                      {"Pressure", "WindSpeed Avg. 1 Min.", "Rain - Todays Total"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
