// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CalendarDate.h"

// One value reached during a station day and the station time (HH:MM) at
// which it was first reached; no value when no record gave one.
struct DayExtreme {
    std::optional<double> value;
    std::string time;  // "HH:MM", empty without a value
};

struct DayHighLow {
    DayExtreme low;
    DayExtreme high;
};

// The highs and lows of one station day, in the files' units (degrees F,
// percent, inHg, mph, inches), from every record the station clock took on
// that day; values outside what the sensors can report take no part.
struct DaySummary {
    CalendarDate date{};
    DayHighLow tempOutdoor;
    DayHighLow tempIndoor;
    DayHighLow humidityOutdoor;
    DayHighLow humidityIndoor;
    DayHighLow pressure;
    DayExtreme windSpeedMax;
    std::optional<double> rainDay;  // the last "today's rain" of the day
    // Made from five-minute lines only (an imported data log), not from
    // every record.
    bool fromPoints = false;
};

// Hands out the days whose summaries changed since the last call, oldest
// first: at a five-minute point the day so far, after a midnight also the
// finished day before it.
class DaySummarySource {
  public:
    virtual ~DaySummarySource() = default;
    virtual std::vector<DaySummary> TakeChangedDays() = 0;
};
