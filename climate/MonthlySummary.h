// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

#include "ClimateDay.h"
#include "ClimateUnits.h"
#include "StationIdentity.h"

// "MONTHLY CLIMATOLOGICAL SUMMARY": one row per day of the month, a rule and
// the month's row. The columns and their widths are in docs/climate.md.
class MonthlySummary {
  public:
    // DAY, MEAN TEMP, HIGH, TIME, LOW, TIME, HEAT DEG DAYS, COOL DEG DAYS,
    // RAIN, AVG WIND SPEED, HIGH, TIME, DOM DIR.
    static constexpr int kWidths[] = {3, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 6};

    // `days` every day of the month, in order.
    static std::string Text(int year, int month, std::span<const ClimateDay> days,
                            const StationIdentity& station, const ClimateUnits& units);
};
