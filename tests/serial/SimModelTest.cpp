// The simulator's pieces: record text, station clock, weather, garbling and
// the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "ByteGarbler.h"
#include "SimOptions.h"
#include "SimRecord.h"
#include "StationClock.h"
#include "WeatherModel.h"

namespace {

enum Field { Speed, Direction, TempOut, RainLong, Pressure, TempIn, HumOut, HumIn, Day, Minute,
             RainToday, SpeedAvg };

TEST(FormatRecord, WritesTwelveFieldsAsFourUpperCaseHexDigitsBetweenBangsAndCrLf) {
    RecordFields fields{0x72, 0x1B, -100, 0x41C, 10234, 0x2BC, 1000, 0x258, 99, 1439, 0, 65535};
    EXPECT_EQ(FormatRecord(fields),
              "!!0072001BFF9C041C27FA02BC03E802580063059F0000FFFF\r\n");
}

TEST(StationClock, RollsOverMidnightIntoTheNextDay) {
    StationClock clock(2026, 99, 23 * 3600 + 59 * 60 + 30);
    EXPECT_EQ(clock.minuteOfDay(), 1439);
    clock.Advance(60);
    EXPECT_EQ(clock.dayOfYear(), 100);
    EXPECT_EQ(clock.minuteOfDay(), 0);
    EXPECT_DOUBLE_EQ(clock.secondOfDay(), 30);
}

struct YearEndCase {
    int year;
    int lastDay;
};

void PrintTo(const YearEndCase& c, std::ostream* os) { *os << c.year; }
class StationClockYearEnd : public ::testing::TestWithParam<YearEndCase> {};

TEST_P(StationClockYearEnd, StartsTheNextYearAtDayZeroAfterTheLastDay) {
    auto [year, lastDay] = GetParam();
    StationClock clock(year, lastDay, 86399);
    clock.Advance(1);
    EXPECT_EQ(clock.year(), year + 1);
    EXPECT_EQ(clock.dayOfYear(), 0);
}

INSTANTIATE_TEST_SUITE_P(Years, StationClockYearEnd,
                         ::testing::Values(YearEndCase{2025, 364}, YearEndCase{2024, 365},
                                           YearEndCase{2000, 365}, YearEndCase{1900, 364}));

// One record per station minute over a whole day, from midnight.
std::vector<RecordFields> SimulatedDay(uint32_t seed, int day = 180, int year = 2026) {
    WeatherModel weather(seed);
    StationClock clock(year, day, 0);
    std::vector<RecordFields> records;
    for (int i = 0; i < 1440; ++i) {
        records.push_back(weather.Next(clock, i == 0 ? 0 : 60));
        clock.Advance(60);
    }
    return records;
}

TEST(WeatherModel, CarriesTheStationClocksDayAndEveryMinuteInOrder) {
    auto day = SimulatedDay(7, 180);
    for (int i = 0; i < 1440; ++i) {
        EXPECT_EQ(day[i][Day], 180);
        EXPECT_EQ(day[i][Minute], i);
    }
}

TEST(WeatherModel, KeepsEveryQuantityWithinPlausibleBounds) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        for (const auto& r : SimulatedDay(seed, 15)) {
            EXPECT_GE(r[Speed], 0);
            EXPECT_LE(r[Speed], 2000);  // 200 km/h
            EXPECT_GE(r[Direction], 0);
            EXPECT_LE(r[Direction], 255);
            EXPECT_GE(r[TempOut], -400);
            EXPECT_LE(r[TempOut], 1200);
            EXPECT_GE(r[Pressure], 9600);
            EXPECT_LE(r[Pressure], 10500);
            EXPECT_GE(r[HumOut], 50);
            EXPECT_LE(r[HumOut], 1000);
            EXPECT_GE(r[HumIn], 250);
            EXPECT_LE(r[HumIn], 600);
            EXPECT_GE(r[TempIn], 650);
            EXPECT_LE(r[TempIn], 750);
            EXPECT_GE(r[SpeedAvg], 0);
        }
    }
}

TEST(WeatherModel, IsWarmestInTheAfternoonAndCoolestAtNight) {
    auto day = SimulatedDay(11);
    auto hot = std::max_element(day.begin(), day.end(),
                                [](auto& a, auto& b) { return a[TempOut] < b[TempOut]; });
    auto cold = std::min_element(day.begin(), day.end(),
                                 [](auto& a, auto& b) { return a[TempOut] < b[TempOut]; });
    int hotHour = (*hot)[Minute] / 60;
    int coldHour = (*cold)[Minute] / 60;
    EXPECT_GE(hotHour, 10);
    EXPECT_LE(hotHour, 18);
    EXPECT_TRUE(coldHour <= 8 || coldHour >= 21) << coldHour;
    EXPECT_GE((*hot)[TempOut] - (*cold)[TempOut], 80);  // at least 8 degrees of daily swing
}

TEST(WeatherModel, TurnsTheWindThroughAllSixteenCompassPointsInADay) {
    std::set<int> points;
    for (const auto& r : SimulatedDay(5)) points.insert(((r[Direction] + 8) / 16) % 16);
    EXPECT_EQ(points.size(), 16u);
}

TEST(WeatherModel, ChangesPressureAndTemperatureOnlySlowlyFromMinuteToMinute) {
    auto day = SimulatedDay(3);
    for (size_t i = 1; i < day.size(); ++i) {
        EXPECT_LE(std::abs(day[i][Pressure] - day[i - 1][Pressure]), 10);  // 1 mbar
        EXPECT_LE(std::abs(day[i][TempOut] - day[i - 1][TempOut]), 10);   // 1 degree F
    }
}

TEST(WeatherModel, RainsOnceADayAndCountsItInTodaysAndTheLongTermTotal) {
    auto day = SimulatedDay(9);
    EXPECT_EQ(day.front()[RainToday], 0);
    for (size_t i = 1; i < day.size(); ++i) {
        EXPECT_GE(day[i][RainToday], day[i - 1][RainToday]);
        EXPECT_GE(day[i][RainLong], day[i - 1][RainLong]);
    }
    int today = day.back()[RainToday];
    EXPECT_GE(today, 10);  // at least a tenth of an inch
    EXPECT_LE(today, 100);
    EXPECT_NEAR(day.back()[RainLong] - day.front()[RainLong], today, 1);
}

TEST(WeatherModel, StartsTodaysRainAgainAtMidnight) {
    WeatherModel weather(4);
    StationClock clock(2026, 10, 23 * 3600);
    RecordFields last{};
    for (int i = 0; i < 26 * 60; ++i) {  // 23:00 on day 10 to 01:00 on day 12
        last = weather.Next(clock, 60);
        if (last[Day] == 11 && last[Minute] == 0) {
            EXPECT_EQ(last[RainToday], 0);
        }
        clock.Advance(60);
    }
    EXPECT_EQ(last[Day], 12);
    EXPECT_EQ(last[RainToday], 0);
}

TEST(WeatherModel, CatchesTheShowerEvenWhenTheClockStepsAnHourAtATime) {
    WeatherModel weather(9);
    StationClock clock(2026, 100, 0);
    RecordFields r{};
    for (int hour = 0; hour < 24; ++hour) {
        r = weather.Next(clock, hour == 0 ? 0 : 3600);
        if (hour < 23) clock.Advance(3600);
    }
    EXPECT_GE(r[RainToday], 10);
}

TEST(WeatherModel, GivesTheSameWeatherForTheSameSeedAndOtherWeatherForAnother) {
    EXPECT_EQ(SimulatedDay(21), SimulatedDay(21));
    EXPECT_NE(SimulatedDay(21), SimulatedDay(22));
}

TEST(ByteGarbler, LeavesEverythingAloneAtRateZero) {
    ByteGarbler garbler(0.0, 1);
    std::string bytes = "!!0072001B\r\n";
    EXPECT_EQ(garbler.Apply(bytes), 0);
    EXPECT_EQ(bytes, "!!0072001B\r\n");
}

TEST(ByteGarbler, ChangesEveryByteAtRateOne) {
    ByteGarbler garbler(1.0, 1);
    std::string original(1000, 'A');
    std::string bytes = original;
    EXPECT_EQ(garbler.Apply(bytes), 1000);
    for (size_t i = 0; i < bytes.size(); ++i) EXPECT_NE(bytes[i], original[i]);
}

TEST(ByteGarbler, ChangesAboutTheGivenShareOfBytes) {
    ByteGarbler garbler(0.1, 2);
    std::string bytes(100000, '0');
    int changed = garbler.Apply(bytes);
    EXPECT_EQ(changed, static_cast<int>(std::count_if(bytes.begin(), bytes.end(),
                                                      [](char c) { return c != '0'; })));
    EXPECT_NEAR(changed, 10000, 600);
}

TEST(DayOfYear, CountsFromZeroOnTheFirstOfJanuaryWithLeapDays) {
    EXPECT_EQ(DayOfYear(2026, 1, 1), 0);
    EXPECT_EQ(DayOfYear(2026, 4, 10), 99);   // 31 + 28 + 31 + 9
    EXPECT_EQ(DayOfYear(2024, 3, 1), 60);    // 31 + 29
    EXPECT_EQ(DayOfYear(2024, 12, 31), 365);
    EXPECT_EQ(DayOfYear(2026, 2, 29), -1);
    EXPECT_EQ(DayOfYear(2026, 13, 1), -1);
}

std::vector<const char*> Args(std::initializer_list<const char*> list) {
    std::vector<const char*> args{"nimbulo-sim"};
    args.insert(args.end(), list);
    return args;
}

TEST(SimOptions, ReadsEveryOptionWithItsValueNextOrAfterAnEqualsSign) {
    auto args = Args({"--speed", "60", "--interval=0.5", "--count", "288", "--garble", "0.01",
                      "--date", "2026-04-10", "--time", "23:55", "--burst", "--baud", "0",
                      "--device", "/dev/ttyUSB0", "--seed", "5"});
    SimOptions o;
    std::string error;
    ASSERT_TRUE(ParseSimOptions(static_cast<int>(args.size()), args.data(), o, error)) << error;
    EXPECT_DOUBLE_EQ(o.speed, 60);
    EXPECT_DOUBLE_EQ(o.interval, 0.5);
    EXPECT_EQ(o.count, 288);
    EXPECT_DOUBLE_EQ(o.garbleRate, 0.01);
    EXPECT_EQ(o.year, 2026);
    EXPECT_EQ(o.dayOfYear, 99);
    EXPECT_DOUBLE_EQ(o.secondOfDay, 23 * 3600 + 55 * 60);
    EXPECT_TRUE(o.burst);
    EXPECT_EQ(o.baud, 0);
    EXPECT_EQ(o.device, "/dev/ttyUSB0");
    EXPECT_EQ(o.seed, 5u);
}

// The arguments after the program name, separated by blanks.
class BadSimOptions : public ::testing::TestWithParam<std::string> {};

TEST_P(BadSimOptions, AreRefusedWithAMessage) {
    std::vector<std::string> words;
    std::istringstream in(GetParam());
    for (std::string w; in >> w;) words.push_back(w);
    auto args = Args({});
    for (const auto& w : words) args.push_back(w.c_str());
    SimOptions o;
    std::string error;
    EXPECT_FALSE(ParseSimOptions(static_cast<int>(args.size()), args.data(), o, error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(SimOptions, BadSimOptions,
                         ::testing::Values("--garble 1.5", "--count -1", "--speed fast",
                                           "--date 2026-02-30", "--time 24:00", "--count",
                                           "--colour blue"));

}  // namespace
