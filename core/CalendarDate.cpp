// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarDate.h"

#include <cstdint>

const char* const WeekdayNames[8] = {"", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

namespace {
constexpr int MonthLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr uint32_t kLastJulianDay = 577737;  // 4 October 1582
constexpr int kWeekdayOfRemainder[7] = {7, 1, 2, 3, 4, 5, 6};
}  // namespace

bool IsLeapYear(int year) {
    if (year % 4 != 0) return false;
    if (year < 1582) return true;
    if (year % 100 != 0) return true;
    return year % 400 == 0;
}

int DaysInMonth(int month, int year) {
    if (month < 1 || month > 12) return 0;  // never index past the table
    if (year == 1582 && month == 10) return 21;
    if (month == 2 && IsLeapYear(year)) return 29;
    return MonthLengths[month];
}

void CalendarDate::FromDate(int m, int d, int y) {
    month = m;
    day = d;
    year = y;
    dayNumber = ComputeDayNumber();
}

void CalendarDate::FromDayOfYear(int n, int y) {
    FromDate(12, 31, y - 1);
    SetFromDayNumber(dayNumber + static_cast<uint32_t>(n));
}

void CalendarDate::FromBrokenDownTime(const std::tm& t) {
    FromDate(t.tm_mon + 1, t.tm_mday, t.tm_year + 1900);
}

uint32_t CalendarDate::ComputeDayNumber() const {
    const int32_t b = year - 1;
    int32_t n = 365 * b + b / 4;
    if (b > 1582) n += b / 400 - b / 100 + 12;
    for (int i = 1; i < month && i <= 12; ++i) n += DaysInMonth(i, year);
    n += day;
    auto result = static_cast<uint32_t>(n);
    if (result > kLastJulianDay) result -= 10;
    return result;
}

void CalendarDate::SetFromDayNumber(uint32_t n) {
    dayNumber = n;
    const uint32_t k = n > kLastJulianDay ? n + 10 : n;
    const uint32_t q = k / 365;
    const uint32_t r = k % 365;
    year = static_cast<int32_t>(q);
    int64_t d = static_cast<int64_t>(r) - q / 4;
    if (q >= 1700) d += static_cast<int64_t>(q / 100) - q / 400 - 12;
    while (d <= 0) {
        d += 365 + (IsLeapYear(year) ? 1 : 0);
        year -= 1;
    }
    year += 1;
    day = static_cast<int32_t>(d);
    month = 1;
    for (;;) {
        const int e = DaysInMonth(month, year);
        if (day <= e) break;
        day -= e;
        if (++month > 12) break;
    }
}

int CalendarDate::Weekday() const {
    const uint32_t w = dayNumber % 7;
    return kWeekdayOfRemainder[(w + 5) % 7];
}

CalendarDate CalendarDate::Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    CalendarDate date;
    date.FromBrokenDownTime(local);
    return date;
}
