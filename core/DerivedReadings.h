// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// Which way the pressure went over the last three hours.
enum class PressureTrend { Falling, Steady, Rising };

inline const char* PressureTrendWord(PressureTrend trend) {
    switch (trend) {
        case PressureTrend::Falling:
            return "falling";
        case PressureTrend::Rising:
            return "rising";
        case PressureTrend::Steady:
            break;
    }
    return "steady";
}

// Readings worked out from the station's own, in the files' units (degrees
// F, inHg, inches). The pipeline's DerivedTracker fills them after each
// record the station clock takes, before the record listeners read the
// state; a value that does not apply or cannot be known yet stays empty.
struct DerivedReadings {
    std::optional<double> dewPoint;
    std::optional<double> windChill;         // below 50 F with more than 3 mph of wind
    std::optional<double> heatIndex;         // from 80 F
    std::optional<double> feelsLike;         // wind chill, heat index or the temperature
    std::optional<double> pressureChange3h;  // now less three hours ago
    std::optional<PressureTrend> pressureTrend;
    std::optional<double> rainLastHour;
    std::optional<double> rainYesterday;
    std::optional<double> rainMonth;  // this station month, today included
    std::optional<double> rainYear;   // this station year, today included
    std::optional<double> tempOutdoorMaxToday;
    std::optional<double> tempOutdoorMinToday;
};
