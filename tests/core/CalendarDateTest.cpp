// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "CalendarDate.h"

namespace {

using namespace std::chrono;

// Day numbers count 1 January of year 1 as day 1 and, from 1583 on, run two
// days ahead of the proleptic Gregorian count (the Julian years before).
uint32_t ReferenceDayNumber(sys_days d) {
    const sys_days first = year_month_day{year{1}, January, day{1}};
    return static_cast<uint32_t>((d - first).count() + 1 + 2);
}

TEST(CalendarDate, AgreesWithTheGregorianCalendarFrom1583To2400) {
    const sys_days first = year_month_day{year{1583}, January, day{1}};
    const sys_days last = year_month_day{year{2400}, December, day{31}};
    int checked = 0;
    for (sys_days d = first; d <= last; d += days{1}) {
        const year_month_day ymd{d};
        const int y = int(ymd.year()), m = unsigned(ymd.month()), dd = unsigned(ymd.day());
        CalendarDate date;
        date.FromDate(m, dd, y);
        ASSERT_EQ(date.dayNumber, ReferenceDayNumber(d)) << y << "-" << m << "-" << dd;
        ASSERT_EQ(date.Weekday(), static_cast<int>(weekday{d}.iso_encoding()))
            << y << "-" << m << "-" << dd;

        CalendarDate back;
        back.SetFromDayNumber(date.dayNumber);
        ASSERT_EQ(back, date) << y << "-" << m << "-" << dd;

        // Days of the year count from 31 December of the year before, and the
        // day numbers of late 1582 do not run on from October's.
        if (y > 1583) {
            const int dayOfYear =
                (d - sys_days{year_month_day{ymd.year(), January, day{1}}}).count() + 1;
            CalendarDate fromDay;
            fromDay.FromDayOfYear(dayOfYear, y);
            ASSERT_EQ(fromDay, date) << y << " day " << dayOfYear;
        }
        ++checked;
    }
    EXPECT_EQ(checked, (last - first).count() + 1);
}

TEST(CalendarDate, HasTheLandmarkDayNumbers) {
    struct Case {
        int month, day, year;
        uint32_t dayNumber;
        int weekday;
    };
    const Case cases[] = {
        {1, 1, 1, 1, 6},            // a Saturday
        {10, 4, 1582, 577737, 4},   // last Julian day, a Thursday
        {10, 15, 1582, 577738, 5},  // first Gregorian day, a Friday
        {1, 1, 2002, 730853, 2},    // a Tuesday
    };
    for (const Case& c : cases) {
        CalendarDate date;
        date.FromDate(c.month, c.day, c.year);
        EXPECT_EQ(date.dayNumber, c.dayNumber) << c.year;
        EXPECT_EQ(date.Weekday(), c.weekday) << c.year;
        CalendarDate back;
        back.SetFromDayNumber(c.dayNumber);
        EXPECT_EQ(back.month, c.month) << c.year;
        EXPECT_EQ(back.day, c.day) << c.year;
        EXPECT_EQ(back.year, c.year) << c.year;
    }
    CalendarDate start;
    EXPECT_EQ(start, (CalendarDate{1, 1, 1, 1}));
}

TEST(CalendarDate, TurnsADayOfTheYearIntoADate) {
    struct Case {
        int n, year;
        int month, day, expectedYear;
    };
    const Case cases[] = {
        {60, 2000, 2, 29, 2000},   {60, 2001, 3, 1, 2001},   {366, 2000, 12, 31, 2000},
        {366, 2001, 1, 1, 2002},   {0, 2002, 12, 31, 2001},  {1, 2002, 1, 1, 2002},
        {365, 1900, 12, 31, 1900}, {340, 2002, 12, 6, 2002}, {400, 2026, 2, 4, 2027},
    };
    for (const Case& c : cases) {
        CalendarDate date;
        date.FromDayOfYear(c.n, c.year);
        EXPECT_EQ(date.month, c.month) << c.n << "/" << c.year;
        EXPECT_EQ(date.day, c.day) << c.n << "/" << c.year;
        EXPECT_EQ(date.year, c.expectedYear) << c.n << "/" << c.year;
    }
}

TEST(CalendarDate, KnowsMonthLengthsOnBothSidesOf1582) {
    struct Case {
        int month, year, days;
    };
    const Case cases[] = {
        {2, 1500, 29}, {2, 1600, 29}, {2, 1582, 28},  {2, 1700, 28},  {2, 1900, 28},
        {2, 2000, 29}, {2, 2100, 28}, {2, 2024, 29},  {10, 1582, 21}, {10, 1583, 31},
        {1, 2001, 31}, {4, 2001, 30}, {12, 2001, 31}, {0, 2001, 0},   {13, 2001, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DaysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
    }
}

TEST(CalendarDate, TakesTodayFromTheLocalClock) {
    std::tm t{};
    t.tm_year = 102;  // 2002
    t.tm_mon = 11;    // December
    t.tm_mday = 5;
    CalendarDate date;
    date.FromBrokenDownTime(t);
    EXPECT_EQ(date, (CalendarDate{12, 5, 2002, 730853 + 338}));
    EXPECT_STREQ(WeekdayNames[date.Weekday()], "Thu");

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const CalendarDate today = CalendarDate::Today();
    EXPECT_EQ(today.year, local.tm_year + 1900);
    EXPECT_EQ(today.month, local.tm_mon + 1);
}

TEST(CalendarDate, SurvivesDayNumbersFarOutsideTheUsedRange) {
    for (uint32_t n : {0u, 2u, 577747u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        CalendarDate date;
        date.SetFromDayNumber(n);
        EXPECT_GE(date.month, 1) << n;
        EXPECT_LE(date.month, 13) << n;
        EXPECT_GE(date.Weekday(), 1);
        EXPECT_LE(date.Weekday(), 7);
    }
}

}  // namespace
