// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "CalendarDate.h"

// The quantities the history window plots, each kept in the files' units
// (degrees F, percent, mph, degrees, inches, inHg).
enum class HistoryQuantity : std::size_t {
    TempOutdoor,
    TempIndoor,
    DewPoint,
    FeelsLike,
    HumidityOutdoor,
    HumidityIndoor,
    WindAverage,
    Gust,
    Direction,
    RainToday,
    Pressure,
};
inline constexpr std::size_t kHistoryQuantityCount = 11;

// Station time counted in minutes: a station date and a minute of its day
// on one line, so that spans and buckets are plain arithmetic. The station's
// clock is a local clock without daylight-saving jumps of its own.
using StationMinute = long long;
inline constexpr StationMinute kMinutesPerDay = 1440;
inline constexpr StationMinute kPointMinutes = 5;

StationMinute ToStationMinute(const CalendarDate& date, int minuteOfDay);
CalendarDate DateOfStationMinute(StationMinute minute);
int MinuteOfDay(StationMinute minute);

// One five-minute point. A float per value, NaN where the point has none: a
// year of points stays a few megabytes.
struct HistoryPoint {
    static constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

    StationMinute minute = 0;
    std::array<float, kHistoryQuantityCount> values = Empty();

    float operator[](HistoryQuantity q) const { return values[std::size_t(q)]; }
    float& operator[](HistoryQuantity q) { return values[std::size_t(q)]; }
    static bool Has(float value) { return !std::isnan(value); }

  private:
    static std::array<float, kHistoryQuantityCount> Empty() {
        std::array<float, kHistoryQuantityCount> none;
        none.fill(kNone);
        return none;
    }
};
