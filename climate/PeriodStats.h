// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>

#include "ClimateDay.h"
#include "ClimateUnits.h"

// A month's or a year's figures from its days, in the shown units (see
// docs/climate.md for each definition). An extreme names the first day that
// reached it.
struct PeriodStats {
    struct Extreme {
        std::optional<double> value;
        const ClimateDay* day = nullptr;
    };

    bool any = false;                // some day has points or a day row
    std::optional<double> meanTemp;  // mean of the days' means
    std::optional<double> meanHigh;  // mean of the days' highs
    std::optional<double> meanLow;
    std::optional<double> heatDegreeDays;  // sums of the days' printed values
    std::optional<double> coolDegreeDays;
    Extreme high, low, windTop, wettest;
    std::optional<double> rain;      // sum of the days' printed rain
    int hotDays = 0;                 // high >= 90 °F (30 °C)
    int icyDays = 0;                 // high <= 32 °F (0 °C)
    int frostDays = 0;               // low <= 32 °F (0 °C)
    int coldDays = 0;                // low <= 0 °F (-18 °C)
    int rainDays[3] = {};            // rain >= each of the three thresholds
    std::optional<double> meanWind;  // mean of all points' average speed
    std::optional<double> dominant;  // degrees, of the speed-weighted vector sum

    static PeriodStats Of(std::span<const ClimateDay> days, const ClimateUnits& units);
};

// One day's printed figures.
struct DayFigures {
    std::optional<double> mean, heatDegreeDays, coolDegreeDays, meanWind, dominant;

    static DayFigures Of(const ClimateDay& day, const ClimateUnits& units);
};
