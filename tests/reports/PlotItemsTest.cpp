// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>
#include <utility>

#include "FivePointValues.h"
#include "PlotItems.h"

namespace {

TEST(AverageDirection, BecomesDegreesWithin1To360AndTheNearestOfSixteenPoints) {
    for (auto [raw, degrees] : {std::pair{0, 1}, {137, 193}, {255, 359}, {256, 360}, {-5, 1}}) {
        EXPECT_EQ(AverageDirectionDegrees(raw), degrees) << raw;
    }
    // 22.5 degrees a point: point k starts at 22.5 k - 11.25 degrees.
    for (auto [degrees, point] :
         {std::pair{11, 0}, {12, 1}, {193, 9}, {348, 15}, {349, 0}, {360, 0}}) {
        EXPECT_EQ(CompassIndexOfDegrees(degrees), point) << degrees;
    }
}

TEST(MakeFiveMinuteSummary, TruncatesEachScaledReadingTowardZeroKeepingSixteenBits) {
    StationState s;
    s.windSpeedAvg = 5.58;
    s.tempOutdoor = -3.56;
    s.tempIndoor = 72.96;
    s.pressure = 29.919796;
    s.humidityOutdoor = 99.99;
    s.humidityIndoor = 3300.0;  // 33000 does not fit: 33000 - 65536
    s.rainToday = 0.259;
    const FiveMinuteSummary sum = MakeFiveMinuteSummary(s);
    EXPECT_EQ(sum.windSpeedAvgX10, 55);
    EXPECT_EQ(sum.tempOutdoorX10, -35);
    EXPECT_EQ(sum.tempIndoorX10, 729);
    EXPECT_EQ(sum.pressureX100, 2991);
    EXPECT_EQ(sum.humidityOutdoorX10, 999);
    EXPECT_EQ(sum.humidityIndoorX10, 33000 - 65536);
    EXPECT_EQ(sum.rainTodayX100, 25);
}

TEST(SelectPlotItems, TakesTheFirstThreeEnabledItemsInOrderDroppingTheFraction) {
    FiveMinuteSummary sum;  // items 0..6 give 10, -3, 32, 43, 29, 65, 7
    sum.tempOutdoorX10 = 101;
    sum.tempIndoorX10 = -35;
    sum.humidityOutdoorX10 = 321;
    sum.humidityIndoorX10 = 431;
    sum.pressureX100 = 2992;
    sum.windSpeedAvgX10 = 651;
    sum.rainTodayX100 = 760;
    struct Case {
        PlotItemFlags enabled;
        std::array<int32_t, 3> values;
        std::array<std::string_view, 3> titles;
    };
    // clang-format off
    for (const Case& c : std::initializer_list<Case>{
             {{1, 1, 0, 1, 1, 0, 0}, {10, -3, 43}, {"Temperature Outdoor", "Temperature Indoor", "Humidity Indoor"}},
             {{0, 0, 0, 0, 0, 1, 0}, {65, 0, 0}, {"WindSpeed Avg. 1 Min.", "", ""}},
             {{0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}, {"", "", ""}},
             {{0, 0, 2, 0, -1, 0, 1}, {32, 29, 7}, {"Humidity Outdoor", "Pressure", "Rain - Todays Total"}}}) {
        // clang-format on
        const PlotSelection got = SelectPlotItems(sum, c.enabled);
        EXPECT_EQ(got.values, c.values) << c.titles[0];
        EXPECT_EQ(got.titles, c.titles);
    }
}

// Weather from a cold winter morning to a hot summer afternoon, in a low
// and a high: each item lands inside the chart's 0..100 in both unit
// systems.
TEST(SelectPlotItems, KeepsEveryItemInsideTheChartInBothUnitSystems) {
    struct Weather {
        double temp, humidity, pressure, wind, rain;
    };
    // clang-format off
    const Weather kWeather[] = {{14.0, 95, 28.94, 0, 0},      // -10 C, 980 hPa
                                {95.0, 10, 30.71, 45, 3.5},   // 35 C, 1040 hPa, 72 km/h, 89 mm
                                {50.0, 50, 29.92, 10, 0.5}};
    // clang-format on
    for (const Weather& w : kWeather) {
        StationState s;
        s.tempOutdoor = s.tempIndoor = w.temp;
        s.humidityOutdoor = s.humidityIndoor = w.humidity;
        s.pressure = w.pressure;
        s.windSpeedAvg = w.wind;
        s.rainToday = w.rain;
        for (const UnitSettings units : {kUsUnits, UnitSettings{UnitSettings::kMetric}}) {
            for (int item = 0; item < kPlotItemCount; ++item) {
                PlotItemFlags one{};
                one[item] = 1;
                const int value = SelectPlotItems(s, one, units).values[0];
                EXPECT_GE(value, 0) << PlotItemTitles[item] << " at " << w.temp << " F";
                EXPECT_LT(value, 100) << PlotItemTitles[item] << " at " << w.temp << " F";
            }
        }
    }
}

}  // namespace
