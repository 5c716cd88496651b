// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "CalendarDate.h"
#include "ChartFeed.h"
#include "DataLog.h"
#include "FivePointWriter.h"
#include "PlotItems.h"
#include "ProcessingOptions.h"
#include "StationState.h"
#include "StationView.h"

// Follows the station's clock after every accepted record: the time and date
// texts, a new data log at the first record and at each station midnight,
// and every fifth minute the summary, the chart and (when saving) the
// point's value handed to each writer in turn, then a fresh gust and
// direction average.
class MinuteCycle {
  public:
    // Today's date on the computer; only its year is used, at a first-record set-up.
    using Clock = std::function<CalendarDate()>;
    using Writers = std::vector<FivePointWriter*>;

    // dataLog is opened at the day changes; fileWriters (which may include
    // it) get every point's value, in order, while saving; liveOutputs get it
    // after them whether saving or not.
    MinuteCycle(StationState& state, StationView& view, ChartFeed& chart,
                const ProcessingOptions& options, DataLog& dataLog, const Writers& fileWriters,
                const Writers& liveOutputs, Clock today);

    // A replay of a recording made in another year: the set-up takes this
    // year instead of the computer's.
    void SetStartYear(int year) { startYear_ = year; }

    void RunMinuteCycle(const char* line);
    // Whether the station clock took the record of the last RunMinuteCycle:
    // false for a minute that is no time of day, or a day that is no day of
    // the year before any good one (line noise that must count for nothing).
    bool clockTookRecord() const { return clockTookRecord_; }

    // The values last given to the three chart series.
    const std::array<int32_t, kPlotSeriesCount>& plotValues() const { return plotValues_; }
    // Counted since construction.
    long fiveMinutePoints() const { return fiveMinutePoints_; }
    long dateUpdates() const { return dateUpdates_; }

  private:
    void FollowTheDay(int day, int minute);
    void FirstRecordSetUp(int day);
    int SetUpYear();
    bool IsMissedMidnight(int day) const;
    void DateUpdate(int day, int minute, bool takeRecordDay);
    void FiveMinutePoint(const char* line);
    void PlotSummary();

    StationState& state_;
    StationView& view_;
    ChartFeed& chart_;
    const ProcessingOptions& options_;
    DataLog& dataLog_;
    const Writers& fileWriters_;
    const Writers& liveOutputs_;
    Clock today_;
    std::optional<int> startYear_;
    // A midnight passed with a day field that was noise; the next good day
    // makes the date update it missed.
    bool midnightMissed_ = false;
    bool clockTookRecord_ = false;

    std::array<int32_t, kPlotSeriesCount> plotValues_{};
    // The station's day of the year that currentDate was last set from; 0
    // before the set-up.
    int stationDay_ = 0;

    long fiveMinutePoints_ = 0;
    long dateUpdates_ = 0;
};
