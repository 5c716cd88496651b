// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "DaySummary.h"
#include "SensorRanges.h"
#include "StationState.h"

// The highs and lows of each station day from every record the station clock
// takes: fed after the minute cycle, so the record's date is the station's.
// Only the fields a record carries count (a field it lacks holds the reading
// of an earlier record, perhaps of the day before), and only within
// SensorRanges.
class DayTracker : public DaySummarySource {
  public:
    // clockTook: whether the station clock took the record; a record it
    // kept out counts for nothing.
    void OnRecord(const StationState& state, bool clockTook);

    // The station day so far; an empty summary before the first record.
    const DaySummary& today() const { return today_; }

    // The finished days not yet taken, then today when it changed.
    std::vector<DaySummary> TakeChangedDays() override;

    // Folds one reading taken at time ("HH:MM") into a day's values, as
    // stored: rounded to `decimals` as the files print it, then a new low or
    // high only when beyond the one before, so ties keep the first time
    // however the points were batched; readings outside range are left out.
    static void Include(DayHighLow& highLow, double value, const std::string& time,
                        SensorRanges::Range range, int decimals);
    static void IncludeHigh(DayExtreme& high, double value, const std::string& time,
                            SensorRanges::Range range, int decimals);

  private:
    void StartDay(const CalendarDate& date);

    DaySummary today_;
    bool started_ = false;
    bool todayChanged_ = false;
    std::vector<DaySummary> finished_;
};
