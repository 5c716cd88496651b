// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "WeatherFormulas.h"

namespace {
// The NWS heat index chart, relative humidity 40 % to 100 % in steps of 5
// (0: beyond the chart), as the NWS publishes it (for example the Tulsa
// office's page, srh.noaa.gov/tsa/?n=heatindex). The chart is the plain
// regression, rounded; the WPC page (wpc.ncep.noaa.gov/html/
// heatindex_equation.shtml) adds (RH - 85) / 10 * (87 - T) / 5 above 85 %
// between 80 and 87 F, which the test adds to the chart's value.
struct HeatRow {
    int temp;
    std::array<int, 13> values;
};
constexpr HeatRow kHeatIndexChart[] = {
    {110, {136}},
    {108, {130, 137}},
    {106, {124, 130, 137}},
    {104, {119, 124, 131, 137}},
    {102, {114, 119, 124, 130, 137}},
    {100, {109, 114, 118, 124, 129, 136}},
    {98, {105, 109, 113, 117, 123, 128, 134}},
    {96, {101, 104, 108, 112, 116, 121, 126, 132}},
    {94, {97, 100, 103, 106, 110, 114, 119, 124, 129, 135}},
    {92, {94, 96, 99, 101, 105, 108, 112, 116, 121, 126, 131}},
    {90, {91, 93, 95, 97, 100, 103, 106, 109, 113, 117, 122, 127, 132}},
    {88, {88, 89, 91, 93, 95, 98, 100, 103, 106, 110, 113, 117, 121}},
    {86, {85, 87, 88, 89, 91, 93, 95, 97, 100, 102, 105, 108, 112}},
    {84, {83, 84, 85, 86, 88, 89, 90, 92, 94, 96, 98, 100, 103}},
    {82, {81, 82, 83, 84, 84, 85, 86, 88, 89, 90, 91, 93, 95}},
    {80, {80, 80, 81, 81, 82, 82, 83, 84, 84, 85, 86, 86, 87}},
};

// The NWS wind chill chart (2001, weather.gov/safety/cold-wind-chill-chart),
// wind 5 to 60 mph in steps of 5.
struct ChillRow {
    int temp;
    std::array<int, 12> values;
};
constexpr ChillRow kWindChillChart[] = {
    {40, {36, 34, 32, 30, 29, 28, 28, 27, 26, 26, 25, 25}},
    {35, {31, 27, 25, 24, 23, 22, 21, 20, 19, 19, 18, 17}},
    {30, {25, 21, 19, 17, 16, 15, 14, 13, 12, 12, 11, 10}},
    {25, {19, 15, 13, 11, 9, 8, 7, 6, 5, 4, 4, 3}},
    {20, {13, 9, 6, 4, 3, 1, 0, -1, -2, -3, -3, -4}},
    {15, {7, 3, 0, -2, -4, -5, -7, -8, -9, -10, -11, -11}},
    {10, {1, -4, -7, -9, -11, -12, -14, -15, -16, -17, -18, -19}},
    {5, {-5, -10, -13, -15, -17, -19, -21, -22, -23, -24, -25, -26}},
    {0, {-11, -16, -19, -22, -24, -26, -27, -29, -30, -31, -32, -33}},
    {-5, {-16, -22, -26, -29, -31, -33, -34, -36, -37, -38, -39, -40}},
    {-10, {-22, -28, -32, -35, -37, -39, -41, -43, -44, -45, -46, -48}},
    {-15, {-28, -35, -39, -42, -44, -46, -48, -50, -51, -52, -54, -55}},
    {-20, {-34, -41, -45, -48, -51, -53, -55, -57, -58, -60, -61, -62}},
};

// Saturation vapour pressure over water (inHg) by air temperature (F), from
// the NWS psychrometric tables (El Paso office, srh.noaa.gov/elp/psych/,
// tables 5). Air at T whose vapour pressure is that of Td has its dew point at Td.
struct Saturation {
    int temp;
    double inHg;
};
constexpr Saturation kSaturation[] = {
    {76, 0.896},  {77, 0.926},  {78, 0.957},  {79, 0.989},  {80, 1.022},  {104, 2.160},
    {105, 2.225}, {106, 2.292}, {107, 2.360}, {108, 2.431}, {109, 2.503}, {110, 2.576},
};
}  // namespace

TEST(WeatherFormulas, HeatIndexMatchesTheNwsChartWithTheWpcHumidAdjustment) {
    for (const HeatRow& row : kHeatIndexChart) {
        for (std::size_t k = 0; k < row.values.size() && row.values[k] != 0; ++k) {
            const double rh = 40.0 + 5.0 * k;
            const double adjustment =
                rh > 85 && row.temp <= 87 ? (rh - 85) / 10 * (87 - row.temp) / 5 : 0.0;
            const auto value = HeatIndexF(row.temp, rh);
            ASSERT_TRUE(value) << row.temp << " F " << rh << " %";
            EXPECT_NEAR(*value, row.values[k] + adjustment, 1.0) << row.temp << " F " << rh << " %";
        }
    }
}

// Worked by hand from the WPC page: the regression less
// (13 - RH) / 4 * sqrt((17 - |T - 95|) / 17).
TEST(WeatherFormulas, HeatIndexTakesOffTheDryAdjustmentBelow13Percent) {
    EXPECT_NEAR(*HeatIndexF(100, 10), 94.12, 0.01);
    EXPECT_NEAR(*HeatIndexF(95, 5), 88.18, 0.01);
    EXPECT_NEAR(*HeatIndexF(110, 8), 103.10, 0.01);
}

// Below the regression the value is the simple formula itself, not its
// average with the temperature (which only decides the formula).
TEST(WeatherFormulas, HeatIndexIsTheSimpleFormulaWhereItsAverageStaysBelow80F) {
    const auto simple = [](double t, double rh) {
        return 0.5 * (t + 61 + (t - 68) * 1.2 + rh * 0.094);
    };
    for (const auto& [t, rh] : {std::pair{80.0, 20.0}, {79.9, 40.0}, {70.0, 100.0}, {81.0, 0.0}}) {
        EXPECT_NEAR(*HeatIndexF(t, rh), simple(t, rh), 1e-9) << t << " F " << rh << " %";
    }
}

// Across 80 F feels-like has no step of its own (it had 9.4 F at 100 %):
// what is left is the procedure's, its humid adjustment starting at 80 F
// and its switch to the regression (up to 1.03 F, near 53 %).
TEST(WeatherFormulas, FeelsLikeHasNoStepAcross80F) {
    for (int rh = 0; rh <= 100; rh += 5) {
        const double adjustment = rh > 85 ? (rh - 85) / 10.0 * (87 - 80) / 5.0 : 0.0;
        const double below = FeelsLikeF(79.9, 2.0, rh);
        const double above = FeelsLikeF(80.0, 2.0, rh);
        EXPECT_NEAR(above - adjustment, below, 1.05) << rh << " %";
    }
}

TEST(WeatherFormulas, WindChillMatchesTheNwsChartToItsRounding) {
    for (const ChillRow& row : kWindChillChart) {
        for (std::size_t k = 0; k < row.values.size(); ++k) {
            const double wind = 5.0 * (k + 1);
            const auto value = WindChillF(row.temp, wind);
            ASSERT_TRUE(value) << row.temp << " F " << wind << " mph";
            EXPECT_NEAR(*value, row.values[k], 0.5) << row.temp << " F " << wind << " mph";
        }
    }
}

TEST(WeatherFormulas, WindChillOnlyBelow50FAndAbove3Mph) {
    EXPECT_FALSE(WindChillF(50, 20));
    EXPECT_FALSE(WindChillF(30, 3));
    EXPECT_TRUE(WindChillF(49.9, 3.1));
}

TEST(WeatherFormulas, DewPointIsWhereTheTabulatedSaturationPressureIsReached) {
    for (const Saturation& air : kSaturation) {
        for (const Saturation& dew : kSaturation) {
            if (dew.temp > air.temp) continue;
            const double rh = std::min(100.0, 100.0 * dew.inHg / air.inHg);
            const auto value = DewPointF(air.temp, rh);
            ASSERT_TRUE(value) << air.temp << " F " << rh << " %";
            EXPECT_NEAR(*value, dew.temp, 0.1) << air.temp << " F " << rh << " %";
        }
    }
}

TEST(WeatherFormulas, NoDewPointWithoutHumidity) {
    EXPECT_FALSE(DewPointF(60, 0));
    EXPECT_FALSE(DewPointF(60, 100.1));
    EXPECT_FALSE(DewPointF(60, std::nan("")));
}

TEST(WeatherFormulas, FeelsLikeIsWindChillElseHeatIndexElseTheTemperature) {
    struct Case {
        double temp;
        std::optional<double> wind;
        std::optional<double> humidity;
        std::optional<double> expected;  // nullopt: the temperature itself
    };
    const Case cases[] = {
        {30, 10, 50, WindChillF(30, 10)},     {90, 2, 50, HeatIndexF(90, 50)},
        {60, 10, 50, std::nullopt},           {30, std::nullopt, 50, std::nullopt},
        {90, 10, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(FeelsLikeF(c.temp, c.wind, c.humidity), c.expected.value_or(c.temp))
            << c.temp;
    }
}
