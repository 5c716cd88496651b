// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "CalendarDate.h"
#include "ChartFeed.h"
#include "DataLog.h"
#include "FiveMinutePoint.h"
#include "MinuteCycleHook.h"
#include "StationState.h"
#include "StationView.h"

// Follows the station's clock after every accepted record: the time and date
// texts, a new data log at the first record and at each station midnight,
// and every fifth minute the summary, the chart and (when saving) the two
// report files and a log line, then a fresh gust and direction average.
class MinuteCycle : public MinuteCycleHook {
  public:
    // Today's date on the computer; only its year is used, at the first record.
    using Clock = std::function<CalendarDate()>;

    MinuteCycle(StationState& state, StationView& view, ChartFeed& chart,
                const PlotItemFlags& plotItemEnabled, Clock today);

    void RunMinuteCycle(const char* line, bool saveData) override;

    // The values last given to the three chart series.
    const std::array<int32_t, kPlotSeriesCount>& plotValues() const { return plotValues_; }
    const DataLog& dataLog() const { return dataLog_; }
    // Counted since construction.
    long fiveMinutePoints() const { return fiveMinutePoints_; }
    long logFilesOpened() const { return logFilesOpened_; }  // successful opens only
    long dateUpdates() const { return dateUpdates_; }

  private:
    void FirstRecordSetUp(int day, bool saveData);
    bool IsMissedMidnight(int day) const;
    void DateUpdate(int day, int minute, bool takeRecordDay, bool saveData);
    void FiveMinutePoint(const char* line, bool saveData);
    void PlotSummary();
    void WriteFiles(const char* line);
    void OpenLog(int minute);

    StationState& state_;
    StationView& view_;
    ChartFeed& chart_;
    const PlotItemFlags& plotItemEnabled_;
    Clock today_;

    DataLog dataLog_;
    std::array<int32_t, kPlotSeriesCount> plotValues_{};
    // The station's day of the year that currentDate was last set from;
    // 0 while unknown (no record yet, or an undecodable day field).
    int stationDay_ = 0;

    long fiveMinutePoints_ = 0;
    long logFilesOpened_ = 0;
    long dateUpdates_ = 0;
};
