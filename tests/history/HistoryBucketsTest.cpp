// SPDX-License-Identifier: GPL-3.0-or-later
// Buckets and rain bars on made-up archives: a day whose outdoor temperature
// counts the points, and a year of points with a stretch missing.
#include <gtest/gtest.h>

#include <vector>

#include "HistoryBuckets.h"
#include "RainBars.h"

namespace {

using Q = HistoryQuantity;

CalendarDate Date(int year, int month, int day) {
    CalendarDate date;
    date.FromDate(month, day, year);
    return date;
}

const StationMinute kMidnight = ToStationMinute(Date(2026, 3, 1), 0);

// Every five minutes from `from` for `count` points, `fill` setting the values.
template <typename Fill>
std::vector<HistoryPoint> Points(StationMinute from, int count, Fill fill) {
    std::vector<HistoryPoint> points(count);
    for (int i = 0; i < count; ++i) {
        points[i].minute = from + i * kPointMinutes;
        fill(points[i], i);
    }
    return points;
}

TEST(HistoryBuckets, AreWholeFiveMinuteStepsFewEnoughForThePixels) {
    struct Case {
        StationMinute length;
        int pixels;
        StationMinute width;
    };
    // length / (pixels - 1) rounded up to five minutes, from an hour on to
    // hours, from a day on to days.
    const Case cases[] = {{1440, 800, 5},
                          {7 * 1440, 800, 15},
                          {365 * 1440, 800, 660},
                          {365 * 1440, 1200, 480},
                          {20 * 365 * 1440, 2000, 4 * 1440},
                          {60, 2, 60}};
    for (const Case& c : cases) {
        EXPECT_EQ(HistoryBuckets::Width(c.length, c.pixels), c.width)
            << c.length << " " << c.pixels;
        const HistoryBuckets buckets({}, kMidnight + 3, kMidnight + 3 + c.length, c.pixels);
        EXPECT_LE(buckets.Series(Q::Pressure).size(), std::size_t(c.pixels));
    }
}

// Temperature 1, 2, 3, ... at the day's points: three points to a bucket of
// 15 minutes give i*3+1, i*3+2, i*3+3 as min, mean and max.
TEST(HistoryBuckets, HoldTheLowestMeanAndHighestOfTheirPoints) {
    const auto day =
        Points(kMidnight, 288, [](HistoryPoint& p, int i) { p[Q::TempOutdoor] = float(i + 1); });
    const HistoryBuckets buckets(day, kMidnight, kMidnight + 1435, 100);
    ASSERT_EQ(buckets.width(), 15);
    const auto& series = buckets.Series(Q::TempOutdoor);
    ASSERT_EQ(series.size(), 96u);
    for (std::size_t i = 0; i < series.size(); ++i) {
        EXPECT_EQ(series[i].start, kMidnight + StationMinute(i) * 15);
        EXPECT_EQ(series[i].count, 3);
        EXPECT_DOUBLE_EQ(series[i].min, 3.0 * i + 1);
        EXPECT_DOUBLE_EQ(series[i].avg, 3.0 * i + 2);
        EXPECT_DOUBLE_EQ(series[i].max, 3.0 * i + 3);
    }
    EXPECT_TRUE(buckets.Series(Q::Pressure)[0].count == 0);  // no value: a gap
}

TEST(HistoryBuckets, ShowEveryPointOfADayAndAMissingPointAsAGap) {
    auto day = Points(kMidnight, 288,
                      [](HistoryPoint& p, int i) { p[Q::Pressure] = 29.0f + i / 1000.0f; });
    day.erase(day.begin() + 100);
    const HistoryBuckets buckets(day, kMidnight, kMidnight + 1435, 1000);
    const auto& series = buckets.Series(Q::Pressure);
    ASSERT_EQ(series.size(), 288u);
    for (std::size_t i = 0; i < series.size(); ++i)
        EXPECT_EQ(series[i].count, i == 100 ? 0 : 1) << i;
    EXPECT_FLOAT_EQ(float(series[101].avg), 29.101f);
}

// A year of points, the station away from 10 to 12 June: the buckets there
// are empty, those around it are not, and all 105,120 minus the missing
// points are counted once.
TEST(HistoryBuckets, KeepAGapInAYearOfPoints) {
    const StationMinute start = ToStationMinute(Date(2025, 12, 1), 0);
    auto year = Points(start, 105120,
                       [](HistoryPoint& p, int i) { p[Q::HumidityOutdoor] = float(i % 100); });
    const StationMinute awayFrom = ToStationMinute(Date(2026, 6, 10), 0);
    const StationMinute awayTo = ToStationMinute(Date(2026, 6, 13), 0);
    std::erase_if(year,
                  [&](const HistoryPoint& p) { return p.minute >= awayFrom && p.minute < awayTo; });
    const StationMinute end = start + 365 * 1440;
    const HistoryBuckets buckets(year, start, end - 5, 800);
    const auto& series = buckets.Series(Q::HumidityOutdoor);
    ASSERT_LE(series.size(), 800u);
    long counted = 0;
    for (const HistoryBucket& b : series) {
        counted += b.count;
        const bool inside = b.start >= awayFrom && b.start + buckets.width() <= awayTo;
        const bool whole = b.start >= start && b.start + buckets.width() <= end;
        const bool outside = whole && (b.start + buckets.width() <= awayFrom || b.start >= awayTo);
        if (inside) {
            EXPECT_EQ(b.count, 0) << b.start;
        }
        if (outside) {
            EXPECT_EQ(b.count, buckets.width() / 5) << b.start;
        }
        if (b.count > 0) {
            EXPECT_LE(b.min, b.avg);
            EXPECT_LE(b.avg, b.max);
        }
    }
    EXPECT_EQ(counted, long(year.size()));
}

TEST(HistoryBuckets, AverageTheWindDirectionOnTheCircle) {
    const float directions[] = {350, 10, 20};
    const auto points =
        Points(kMidnight, 3, [&](HistoryPoint& p, int i) { p[Q::Direction] = directions[i]; });
    const HistoryBuckets buckets(points, kMidnight, kMidnight + 1435, 10);
    EXPECT_NEAR(buckets.Series(Q::Direction)[0].avg, 6.7, 0.1);
}

// Today's rain 0, 0.02, 0.05 before midnight, then 0.01 and 0.04 after it,
// with a gauge set back to 0.00 and rising to 0.03: hourly bars and a total.
TEST(RainBars, CountEachRiseAndTheFirstValueOfANewDay) {
    struct Reading {
        StationMinute minute;
        float rain;
    };
    const Reading readings[] = {{-125, 0.04f}, {-65, 0.04f}, {-60, 0.06f}, {-5, 0.09f},
                                {0, 0.01f},    {55, 0.04f},  {60, 0.00f},  {65, 0.03f}};
    std::vector<HistoryPoint> points;
    for (const Reading& r : readings) {
        HistoryPoint p;
        p.minute = kMidnight + r.minute;
        p[Q::RainToday] = r.rain;
        points.push_back(p);
    }
    const RainBars rain(points, kMidnight - 60, kMidnight + 119, 60);
    ASSERT_EQ(rain.bars().size(), 3u);
    const double amounts[] = {0.05, 0.04, 0.03};  // the rise before -60 is not in the period
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(rain.bars()[i].amount, amounts[i], 1e-6) << i;
    EXPECT_NEAR(rain.total(), 0.12, 1e-6);
    EXPECT_NEAR(rain.bars()[1].total, 0.09, 1e-6);
    EXPECT_EQ(RainBars::BarMinutes(7 * 1440), 60);
    EXPECT_EQ(RainBars::BarMinutes(31 * 1440), 1440);
    EXPECT_EQ(RainBars::BarMinutes(3653 * 1440), 7 * 1440);
}

}  // namespace
