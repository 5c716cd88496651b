// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ctime>

// Weekday words indexed by CalendarDate::Weekday(); entry 0 is never selected.
extern const char* const WeekdayNames[8];

// Julian rule before 1582, Gregorian from then on.
bool IsLeapYear(int year);
// month must lie in 1..12. October 1582 has 21 days.
int DaysInMonth(int month, int year);

// A civil date that also counts days with one serial number: day 1 is
// 1 January of year 1, the Julian calendar runs to 4 October 1582 (577737)
// and the Gregorian calendar from 15 October 1582 (577738) on.
class CalendarDate {
  public:
    int32_t month = 1;
    int32_t day = 1;
    int32_t year = 1;
    uint32_t dayNumber = 1;

    void FromDate(int month, int day, int year);
    // The n-th day of year (1 is 1 January; 0 is 31 December of the year before;
    // days past the year's end run on into the next year).
    void FromDayOfYear(int n, int year);
    void FromBrokenDownTime(const std::tm& t);
    uint32_t ComputeDayNumber() const;
    void SetFromDayNumber(uint32_t n);
    // 1 (Monday) to 7 (Sunday).
    int Weekday() const;

    // The computer's local date.
    static CalendarDate Today();

    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};
