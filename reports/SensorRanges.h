// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the station's sensors can report, in the files' units. A reading
// outside its range is line noise or a sensor fault (a corrupted field reads
// -3276.8 F): it takes no part in a day's highs and lows, though the
// five-minute point still records it as the data log prints it.
namespace SensorRanges {

struct Range {
    double min;
    double max;
    bool Contains(double value) const { return value >= min && value <= max; }
};

inline constexpr Range kTemperatureF{-60.0, 150.0};   // outdoor and indoor
inline constexpr Range kHumidityPercent{1.0, 100.0};  // outdoor and indoor
inline constexpr Range kPressureInHg{25.0, 33.0};
inline constexpr Range kWindSpeedMph{0.0, 200.0};
// Today's rain, a count of 0.01 in (or 0.1 mm) in four hex digits.
inline constexpr Range kRainInches{0.0, 655.35};

}  // namespace SensorRanges
