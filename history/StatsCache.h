// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "HistorySource.h"

// A source whose hour and day statistics are kept for the period asked and
// one period either side, so that a pan or zoom nearby reads none; they are
// read again once Latest() gives a newer point. All else is the source's.
class StatsCache : public HistorySource {
  public:
    explicit StatsCache(std::unique_ptr<HistorySource> source) : source_(std::move(source)) {}

    void ForEachPoint(StationMinute from, StationMinute to,
                      const std::function<void(const HistoryPoint&)>& take) override {
        source_->ForEachPoint(from, to, take);
    }
    bool ForEachStats(StationMinute from, StationMinute to, StationMinute minutes,
                      const std::function<void(const HistoryStats&)>& take) override;
    std::vector<DaySummary> Days(const CalendarDate& from, const CalendarDate& to) override {
        return source_->Days(from, to);
    }
    std::optional<StationMinute> Latest() override;

  private:
    std::unique_ptr<HistorySource> source_;
    std::optional<StationMinute> latest_;
    StationMinute minutes_ = 0;  // none kept
    StationMinute from_ = 0, to_ = 0;
    bool kept_ = false;
    std::vector<HistoryStats> stats_;
};
