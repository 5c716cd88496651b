// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <vector>

#include "DaySummary.h"
#include "DerivedReadings.h"
#include "RainTracker.h"
#include "StationState.h"

// Works out the derived readings after each record the station clock took,
// in station time (the station's date and minute, never the computer's
// clock), so a replay gives the values a live run gave:
// - dew point, wind chill (from the one-minute average wind, else the
//   current speed), heat index and feels-like by WeatherFormulas, from
//   readings within what the sensors can report;
// - the pressure change over three hours, from the pressure of the last
//   record at or before three hours ago (no more than a quarter of an hour
//   before that), rising or falling from 0.06 inHg (about 2 hPa), else steady;
// - the rain of the last hour, yesterday, this month and this year (RainTracker);
// - today's high and low outdoor temperature, from the day's summary.
class DerivedTracker {
  public:
    // today: the highs and lows of the station day so far; nullptr for none.
    DerivedReadings Update(const StationState& state, const DaySummary* today);
    // See RainTracker::SeedDays.
    void SeedDays(const std::vector<DaySummary>& pastDays) { rain_.SeedDays(pastDays); }

    // Rising, falling or steady for a change of the pressure over three hours (inHg).
    static PressureTrend TrendOf(double change);

  private:
    struct PressurePoint {
        long minute;
        double pressure;
    };

    void PressureChange(std::optional<double> pressure, long now, DerivedReadings& out);

    RainTracker rain_;
    std::deque<PressurePoint> pressures_;
};
