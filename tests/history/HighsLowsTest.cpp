// SPDX-License-Identifier: GPL-3.0-or-later
// The highs and lows panel on made-up day rows around 2 March 2026.
#include <gtest/gtest.h>

#include <vector>

#include "HighsLows.h"

namespace {

DaySummary Day(int year, int month, int day, double low, const char* lowAt, double high,
               const char* highAt, double wind, double rain) {
    DaySummary s;
    s.date.FromDate(month, day, year);
    s.tempOutdoor.low = {low, lowAt};
    s.tempOutdoor.high = {high, highAt};
    s.windSpeedMax = {wind, "12:00"};
    s.rainDay = rain;
    return s;
}

std::string When(const HighsLows::Moment& m) {
    if (!m.value) return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %04d-%02d-%02d %s", *m.value, m.date.year, m.date.month,
                  m.date.day, m.time.c_str());
    return text;
}

TEST(HighsLows, GiveEachPeriodsHighLowTopWindAndRainWithTheirDays) {
    const std::vector<DaySummary> days = {
        Day(2025, 7, 14, 61.0, "05:10", 97.5, "15:40", 31.0, 0.50),
        Day(2026, 1, 20, -4.0, "06:55", 20.0, "13:00", 40.0, 0.10),
        Day(2026, 2, 27, 30.0, "07:00", 50.0, "14:00", 12.0, 0.00),
        Day(2026, 3, 1, 28.5, "06:20", 45.0, "14:35", 18.0, 0.20),
        Day(2026, 3, 2, 33.0, "00:05", 45.0, "11:50", 9.0, 0.05),
    };
    CalendarDate today;
    today.FromDate(3, 2, 2026);
    struct Row {
        const char* name;
        const char* high;
        const char* low;
        const char* wind;
        double rain;
    };
    const Row rows[] = {
        {"Today", "45.0 2026-03-02 11:50", "33.0 2026-03-02 00:05", "9.0 2026-03-02 12:00", 0.05},
        {"Yesterday", "45.0 2026-03-01 14:35", "28.5 2026-03-01 06:20", "18.0 2026-03-01 12:00",
         0.20},
        // The same high on two days: the first keeps it.
        {"This month", "45.0 2026-03-01 14:35", "28.5 2026-03-01 06:20", "18.0 2026-03-01 12:00",
         0.25},
        {"This year", "50.0 2026-02-27 14:00", "-4.0 2026-01-20 06:55", "40.0 2026-01-20 12:00",
         0.35},
        {"All time", "97.5 2025-07-14 15:40", "-4.0 2026-01-20 06:55", "40.0 2026-01-20 12:00",
         0.85},
    };
    const HighsLows panel(days, today);
    ASSERT_EQ(panel.periods().size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const HighsLows::Period& p = panel.periods()[i];
        EXPECT_STREQ(p.name, rows[i].name);
        EXPECT_EQ(When(p.high), rows[i].high) << p.name;
        EXPECT_EQ(When(p.low), rows[i].low) << p.name;
        EXPECT_EQ(When(p.windTop), rows[i].wind) << p.name;
        EXPECT_NEAR(p.rain.value_or(-1), rows[i].rain, 1e-9) << p.name;
    }
}

TEST(HighsLows, ShowNothingForAPeriodWithoutDays) {
    CalendarDate today;
    today.FromDate(3, 2, 2026);
    const HighsLows panel({}, today);
    for (const HighsLows::Period& p : panel.periods()) {
        EXPECT_FALSE(p.high.value) << p.name;
        EXPECT_FALSE(p.rain) << p.name;
    }
}

}  // namespace
