// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationClock.h"

#include <cmath>

namespace {
constexpr double kSecondsPerDay = 86400.0;
}

StationClock::StationClock(int year, int dayOfYear, double secondOfDay)
    : year_(year), dayOfYear_(dayOfYear), secondOfDay_(0) {
    Advance(secondOfDay);
}

bool StationClock::IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

void StationClock::Advance(double seconds) {
    secondOfDay_ += seconds;
    while (secondOfDay_ >= kSecondsPerDay) {
        secondOfDay_ -= kSecondsPerDay;
        if (++dayOfYear_ >= DaysInYear(year_)) {
            dayOfYear_ = 0;
            ++year_;
        }
    }
}
