// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "DaySummary.h"
#include "SensorRanges.h"

// The archive's columns, named as the state JSON names the readings. The
// tables, the CSV export and the import all follow these lists.
namespace ArchiveColumns {

// 2: the hour and day statistics (point_hours, point_days); a file of 1 gets them.
inline constexpr int kSchemaVersion = 2;

// A value of a five-minute point; decimals as the data log prints it, 0 for
// a whole number.
struct PointColumn {
    const char* name;
    int decimals;
};
// The data log's eight values in its order, then what only the live point knows.
inline constexpr PointColumn kPoint[] = {
    {"wind_speed_avg_mph", 1},     {"wind_direction_avg_compass", 0},
    {"temperature_outdoor_f", 1},  {"temperature_indoor_f", 1},
    {"pressure_inhg", 2},          {"humidity_outdoor_pct", 1},
    {"humidity_indoor_pct", 1},    {"rain_today_in", 2},
    {"wind_direction_avg_deg", 0}, {"wind_gust_mph", 1},
};
inline constexpr std::size_t kPointCount = std::size(kPoint);
inline constexpr std::size_t kDataLogCount = 8;
enum PointIndex : std::size_t {
    kWindSpeedAvg,
    kCompass,
    kTempOutdoor,
    kTempIndoor,
    kPressure,
    kHumidityOutdoor,
    kHumidityIndoor,
    kRainToday,
    kDirectionDegrees,
    kGust
};
using PointValues = std::array<std::optional<double>, kPointCount>;

// A quantity with a day's low and high (columns <name>_min, _min_time,
// _max, _max_time), and the point value that gives it for imported days.
struct DayColumn {
    const char* name;
    DayHighLow DaySummary::*highLow;
    int decimals;
    PointIndex fromPoint;
    SensorRanges::Range range;
};
inline constexpr DayColumn kDay[] = {
    {"temperature_outdoor_f", &DaySummary::tempOutdoor, 1, kTempOutdoor,
     SensorRanges::kTemperatureF},
    {"temperature_indoor_f", &DaySummary::tempIndoor, 1, kTempIndoor, SensorRanges::kTemperatureF},
    {"humidity_outdoor_pct", &DaySummary::humidityOutdoor, 1, kHumidityOutdoor,
     SensorRanges::kHumidityPercent},
    {"humidity_indoor_pct", &DaySummary::humidityIndoor, 1, kHumidityIndoor,
     SensorRanges::kHumidityPercent},
    {"pressure_inhg", &DaySummary::pressure, 2, kPressure, SensorRanges::kPressureInHg},
};
inline constexpr const char* kWindMax = "wind_speed_mph_max";
inline constexpr int kWindDecimals = 1;
inline constexpr const char* kRainDay = "rain_day_in";
inline constexpr int kRainDecimals = 2;

// The value as the data log prints it ("29.92", "4"), and that number back.
std::string ValueText(double value, int decimals);
double AsPrinted(double value, int decimals);
std::optional<double> AsPrinted(std::optional<double> value, int decimals);

}  // namespace ArchiveColumns
