// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's pieces: record text, station clock, weather, garbling and
// the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ByteGarbler.h"
#include "SimOptions.h"
#include "SimRecord.h"
#include "StationClock.h"
#include "WeatherModel.h"

namespace {

enum Field {
    Speed,
    Direction,
    TempOut,
    RainLong,
    Pressure,
    TempIn,
    HumOut,
    HumIn,
    Day,
    Minute,
    RainToday
};

TEST(FormatRecord,
     WritesTwelveFieldsAsFourUpperCaseHexDigitsOfTheirSixteenBitsBetweenBangsAndCrLf) {
    EXPECT_EQ(
        FormatRecord({0x72, 0x1B, -100, 0x41C, 10234, 0x2BC, 1000, 0x258, 99, 1439, 0, 65535}),
        "!!0072001BFF9C041C27FA02BC03E802580063059F0000FFFF\r\n");
}

TEST(StationClock, RollsOverMidnightOfTheYearsLastDayIntoDayZeroOfTheNextYear) {
    for (auto [year, lastDay] : {std::pair{2025, 364}, {2024, 365}, {2000, 365}, {1900, 364}}) {
        StationClock clock(year, lastDay, 86370);
        clock.Advance(60);
        EXPECT_EQ(std::tuple(clock.year(), clock.dayOfYear(), clock.secondOfDay()),
                  std::tuple(year + 1, 0, 30.0));
    }
}

TEST(WeatherModel, GivesADayOfPlausibleSlowlyChangingWeatherWithWindFromEveryPointAndOneShower) {
    WeatherModel weather(9);
    StationClock clock(2026, 180, 0);
    std::vector<RecordFields> day;
    for (int i = 0; i < 1440; clock.Advance(60), ++i)
        day.push_back(weather.Next(clock, i == 0 ? 0 : 60));
    std::set<int> points;
    for (int i = 0; i < 1440; ++i) {
        const auto& r = day[i];
        ASSERT_EQ(r[Day] * 10000 + r[Minute], 180 * 10000 + i);
        EXPECT_TRUE(r[Speed] >= 0 && r[Speed] <= 2000 && r[Direction] >= 0 && r[Direction] <= 255)
            << i;
        EXPECT_TRUE(r[Pressure] >= 9600 && r[Pressure] <= 10500 && r[HumOut] >= 50 &&
                    r[HumOut] <= 1000)
            << i;
        points.insert(((r[Direction] + 8) / 16) % 16);
        if (i == 0) continue;
        EXPECT_LE(std::abs(r[Pressure] - day[i - 1][Pressure]), 10);  // 1 mbar a minute at most
        EXPECT_LE(std::abs(r[TempOut] - day[i - 1][TempOut]), 10);    // 1 degree F a minute at most
        EXPECT_GE(r[RainToday], day[i - 1][RainToday]);
    }
    EXPECT_EQ(points.size(), 16u);
    auto byTemp = [](auto& a, auto& b) { return a[TempOut] < b[TempOut]; };
    const auto& hot = *std::max_element(day.begin(), day.end(), byTemp);
    EXPECT_TRUE(hot[Minute] >= 600 && hot[Minute] < 1140) << "warmest at minute " << hot[Minute];
    EXPECT_GE(hot[TempOut] - (*std::min_element(day.begin(), day.end(), byTemp))[TempOut], 80);
    int shower = day.back()[RainToday];
    EXPECT_TRUE(day.front()[RainToday] == 0 && shower >= 10 && shower <= 100) << shower;
    EXPECT_NEAR(day.back()[RainLong] - day.front()[RainLong], shower, 1);
}

TEST(WeatherModel, StartsTodaysRainAgainAtMidnightEvenWhenTheClockStepsAnHourAtATime) {
    WeatherModel weather(9);
    StationClock clock(2026, 100, 0);
    RecordFields r{};
    int mostToday = 0;
    for (int hour = 0; hour < 26; clock.Advance(3600), ++hour) {
        r = weather.Next(clock, hour == 0 ? 0 : 3600);
        mostToday = std::max(mostToday, r[RainToday]);
    }
    EXPECT_GE(mostToday, 10);  // the shower was not stepped over
    EXPECT_EQ(r[Day], 101);
    EXPECT_EQ(r[RainToday], 0);
}

TEST(ByteGarbler, ChangesNoByteAtRateZeroEveryByteAtRateOneAndAboutTheShareBetween) {
    for (auto [rate, low, high] : {std::tuple{0.0, 0, 0}, {1.0, 10000, 10000}, {0.1, 700, 1300}}) {
        std::string bytes(10000, '0');
        int changed = ByteGarbler(rate, 2).Apply(bytes);
        EXPECT_EQ(changed,
                  std::count_if(bytes.begin(), bytes.end(), [](char c) { return c != '0'; }))
            << rate;
        EXPECT_TRUE(changed >= low && changed <= high) << rate << ": " << changed;
    }
}

TEST(SimOptions, RefusesBadValuesImpossibleDatesAndUnknownOptionsWithAMessage) {
    using Args = std::vector<const char*>;
    for (Args args : {Args{"--garble", "1.5"}, Args{"--count", "-1"}, Args{"--speed", "fast"},
                      Args{"--date", "2026-02-29"}, Args{"--time", "24:00"}, Args{"--count"},
                      Args{"--colour", "x"}}) {
        args.insert(args.begin(), "nimbulo-sim");
        SimOptions o;
        std::string error;
        EXPECT_FALSE(ParseSimOptions(static_cast<int>(args.size()), args.data(), o, error))
            << args[1];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
