// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "ReportsTestSupport.h"
#include "StationPipeline.h"
#include "WeatherFormulas.h"

using namespace reports_test;

namespace {
constexpr int kDec5 = 339;  // 5 December 2002
constexpr double kInHgPerTenthMbar = 0.002953;

constexpr int HM(int hours, int minutes) {
    return hours * 60 + minutes;
}

// A pipeline fed with records, giving the derived readings after each.
class Station {
  public:
    Station() { pipeline.SetStartYear(2002); }
    const DerivedReadings& Feed(const Record& r) {
        pipeline.ProcessLine(r.Line().c_str());
        return pipeline.state().derived;
    }
    // A record carrying only the rain counters (in hundredths of an inch).
    const DerivedReadings& Rain(int day, int minute, int today, int longTerm) {
        Record r{day, minute};
        r.rainToday = today;
        r.rainLongTerm = longTerm;
        return Feed(r);
    }

    FakeStation view;
    StationPipeline pipeline{view, view};
};

DaySummary RainDay(int month, int day, int year, double rain) {
    DaySummary summary;
    summary.date.FromDate(month, day, year);
    summary.rainDay = rain;
    return summary;
}
}  // namespace

TEST(DerivedTracker, PressureChangeIsTakenOverThreeHoursOfStationTime) {
    struct Case {
        int start;
        int change;  // 0.1 mbar
        const char* trend;
    };
    // 2.1 mbar is 0.062 inHg, 2.0 mbar 0.059; the last case runs over midnight.
    const Case cases[] = {{HM(10, 0), 21, "rising"},
                          {HM(10, 0), 20, "steady"},
                          {HM(10, 0), -21, "falling"},
                          {HM(22, 30), -30, "falling"}};
    for (const Case& c : cases) {
        Station fresh;
        Record r{kDec5, c.start};
        fresh.Feed(r);
        r.pressure += c.change;
        r.minuteOfDay = (c.start + 179) % 1440;
        r.dayOfYear = kDec5 + (c.start + 179) / 1440;
        EXPECT_FALSE(fresh.Feed(r).pressureChange3h) << "not three hours yet";
        r.minuteOfDay = (c.start + 180) % 1440;
        r.dayOfYear = kDec5 + (c.start + 180) / 1440;
        const DerivedReadings& d = fresh.Feed(r);
        ASSERT_TRUE(d.pressureChange3h) << c.change;
        EXPECT_NEAR(*d.pressureChange3h, c.change * kInHgPerTenthMbar, 1e-9);
        EXPECT_STREQ(PressureTrendWord(*d.pressureTrend), c.trend);
    }
}

TEST(DerivedTracker, NoPressureChangeFromAReadingLongBeforeThreeHoursAgo) {
    Station t;
    t.Feed(Record{kDec5, HM(6, 0)});
    EXPECT_TRUE(t.Feed(Record{kDec5, HM(9, 15)}).pressureChange3h) << "a quarter of an hour late";
    EXPECT_FALSE(t.Feed(Record{kDec5, HM(9, 16)}).pressureChange3h);
    EXPECT_TRUE(t.Feed(Record{kDec5, HM(12, 15)}).pressureChange3h);
}

TEST(DerivedTracker, RainOfTheLastHourCarriesOverTheMidnightReset) {
    // With the long-term counter the midnight record's 0.05 in is known; without
    // it, only what "today's rain" holds after its reset (nothing).
    for (const int longTerm : {1000, -1}) {
        Station t;
        const auto lt = [longTerm](int add) { return longTerm < 0 ? -1 : longTerm + add; };
        t.Rain(kDec5, HM(22, 50), 40, lt(0));
        t.Rain(kDec5, HM(23, 20), 50, lt(10));
        t.Rain(kDec5, HM(23, 40), 60, lt(20));
        t.Rain(kDec5, HM(23, 59), 70, lt(30));
        t.Rain(kDec5 + 1, HM(0, 0), 0, lt(35));
        const DerivedReadings& d = t.Rain(kDec5 + 1, HM(0, 10), 10, lt(45));
        // The hour back to 23:10 holds every rise after 22:50's reading.
        EXPECT_NEAR(*d.rainLastHour, longTerm < 0 ? 0.40 : 0.45, 1e-9) << longTerm;
        EXPECT_NEAR(*d.rainYesterday, 0.70, 1e-9);
        EXPECT_NEAR(*d.rainMonth, 0.80, 1e-9);
        EXPECT_NEAR(*d.rainYear, 0.80, 1e-9);
        EXPECT_NEAR(*t.Rain(kDec5 + 1, HM(1, 10), 10, lt(45)).rainLastHour, 0.0, 1e-9);
    }
}

TEST(DerivedTracker, LineNoiseInOneRainCounterAddsNoRain) {
    // (today's rain, long-term) after 0.20 / 10.00 in; then a true 0.05 in.
    const std::pair<int, int> noise[] = {{520, 1000}, {2, 1000}, {20, 9000}, {20, 1}};
    for (const auto& [today, longTerm] : noise) {
        Station t;
        t.Rain(kDec5, HM(10, 0), 20, 1000);
        t.Rain(kDec5, HM(10, 1), today, longTerm);
        t.Rain(kDec5, HM(10, 2), 20, 1000);
        const DerivedReadings& d = t.Rain(kDec5, HM(10, 3), 25, 1005);
        EXPECT_NEAR(*d.rainLastHour, 0.05, 1e-9) << today << " " << longTerm;
        EXPECT_NEAR(*d.rainMonth, 0.25, 1e-9) << today << " " << longTerm;
    }
}

TEST(DerivedTracker, SeededDaysCountForYesterdayTheMonthAndTheYear) {
    Station t;
    t.pipeline.derived().SeedDays({RainDay(12, 31, 2001, 2.0), RainDay(11, 30, 2002, 0.5),
                                   RainDay(12, 1, 2002, 0.1), RainDay(12, 3, 2002, 0.3),
                                   RainDay(12, 4, 2002, 1.0)});
    const DerivedReadings& d = t.Rain(kDec5, HM(8, 0), 12, 0);
    EXPECT_NEAR(*d.rainYesterday, 1.0, 1e-9);
    EXPECT_NEAR(*d.rainMonth, 0.1 + 0.3 + 1.0 + 0.12, 1e-9);
    EXPECT_NEAR(*d.rainYear, 0.5 + 0.1 + 0.3 + 1.0 + 0.12, 1e-9);
    EXPECT_FALSE(t.Rain(kDec5 + 3, HM(0, 0), 0, 0).rainYesterday) << "8 December: no 7 December";
}

TEST(DerivedTracker, TodaysHighAndLowComeFromTheDaySummary) {
    StationState s;
    s.currentDate.FromDate(12, 5, 2002);
    s.lastMinute = HM(14, 0);
    DaySummary today;
    today.tempOutdoor.high = {51.2, "13:40"};
    today.tempOutdoor.low = {38.4, "06:55"};
    DerivedTracker tracker;
    const DerivedReadings d = tracker.Update(s, &today);
    EXPECT_EQ(d.tempOutdoorMaxToday, 51.2);
    EXPECT_EQ(d.tempOutdoorMinToday, 38.4);
    EXPECT_FALSE(tracker.Update(s, nullptr).tempOutdoorMaxToday);
}

namespace {
class DerivedSeen : public RecordListener {
  public:
    void OnRecord(const StationState& state) override {
        dewPoints.push_back(state.derived.dewPoint);
    }
    std::vector<std::optional<double>> dewPoints;
};
}  // namespace

TEST(DerivedTracker, ListenersReadTheRecordsDerivedReadingsAndClockNoiseChangesNone) {
    Station t;
    DerivedSeen seen;
    t.pipeline.AddRecordListener(seen);
    t.Feed(Record{kDec5, HM(14, 37)});  // 45.3 F, 87.0 %
    Record noise{kDec5, 5000};
    noise.humidityOutdoor = 300;
    t.Feed(noise);
    Record dry{kDec5, HM(14, 38)};
    dry.humidityOutdoor = -1;
    const DerivedReadings& d = t.Feed(dry);
    ASSERT_EQ(seen.dewPoints.size(), 3u);
    EXPECT_NEAR(*seen.dewPoints[0], *DewPointF(45.3, 87.0), 1e-9);
    EXPECT_EQ(seen.dewPoints[1], seen.dewPoints[0]);
    EXPECT_FALSE(d.dewPoint);
    EXPECT_NEAR(*d.feelsLike, *WindChillF(45.3, 90 * 0.062), 1e-9);  // the one-minute average
}
