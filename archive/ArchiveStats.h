// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "ArchivePointRow.h"

// What plots of long periods read instead of every point: per station hour
// and per station day, each plotted quantity's lowest, sum, highest and
// count of the points in it (tables point_hours and point_days, see
// docs/archive.md), kept in the transaction that writes the points.
namespace ArchiveStats {

// The plotted quantities in the history's order; dew point and feels-like
// are worked out per point, as the live readings are.
inline constexpr std::size_t kCount = 11;
inline constexpr const char* kNames[kCount] = {
    "temperature_outdoor_f",  "temperature_indoor_f", "dew_point_f",        "feels_like_f",
    "humidity_outdoor_pct",   "humidity_indoor_pct",  "wind_speed_avg_mph", "wind_gust_mph",
    "wind_direction_avg_deg", "rain_today_in",        "pressure_inhg"};
inline constexpr std::size_t kDirection = 8;
inline constexpr std::size_t kRain = 9;
using Quantities = std::array<double, kCount>;  // NaN where the point has none

// A point's plotted quantities; a point with only the compass point gets
// its middle as the direction.
Quantities Of(const std::array<double, ArchiveColumns::kPointCount>& values);

struct Stat {
    double min = 0, sum = 0, max = 0;
    long long count = 0;
};
// One hour (hour 0..23) or one whole day (hour -1) of points.
struct Period {
    std::string date;  // "YYYY-MM-DD"
    int hour = -1;
    std::array<Stat, kCount> stats;
    // The direction's mean is taken on the circle: the sums of its cosines and sines.
    double directionCos = 0, directionSin = 0;
    // Today's rain: the first and last value in the period and what it rose
    // between them (a fall is a gauge set back: what it shows since); NaN
    // first and last where no point has it.
    double rainFirst = ArchivePointRow::kNone, rainLast = ArchivePointRow::kNone, rainRise = 0;

    void Add(const Quantities& q);
};

std::string HourTableSql();
std::string DayTableSql();

}  // namespace ArchiveStats
