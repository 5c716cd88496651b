// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

#include "ClimateDay.h"
#include "ClimateUnits.h"
#include "StationIdentity.h"

// "CLIMATOLOGICAL SUMMARY for year": TEMPERATURE, PRECIPITATION and WIND
// SPEED, each a row per month and the year's row. The columns and their
// widths are in docs/climate.md.
class YearlySummary {
  public:
    // YR, MO, MEAN MAX, MEAN MIN, MEAN, HEAT DEG DAYS, COOL DEG DAYS, HI,
    // DATE, LOW, DATE, MAX >= 90, MAX <= 32, MIN <= 32, MIN <= 0.
    static constexpr int kTempWidths[] = {4, 3, 7, 7, 7, 8, 7, 7, 6, 7, 6, 6, 6, 6, 6};
    // YR, MO, TOTAL, MAX OBS. DAY, DATE, DAYS OF RAIN over the three thresholds.
    static constexpr int kRainWidths[] = {4, 3, 8, 7, 6, 6, 6, 6};
    // YR, MO, AVG., HI, DATE, DOM DIR.
    static constexpr int kWindWidths[] = {4, 3, 7, 7, 6, 6};

    // `days` every day of the year, in order.
    static std::string Text(int year, std::span<const ClimateDay> days,
                            const StationIdentity& station, const ClimateUnits& units);
};
