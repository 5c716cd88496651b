// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "CalendarDate.h"
#include "DaySummary.h"
#include "HistoryPoint.h"
#include "HistoryStats.h"

// Where the history window reads the past: the archive of the data folder,
// or a made-up one in tests and benchmarks. Throws std::runtime_error (the
// archive's SqliteError) when it cannot be read.
class HistorySource {
  public:
    virtual ~HistorySource() = default;
    // The points from `from` to `to`, both included, oldest first.
    virtual void ForEachPoint(StationMinute from, StationMinute to,
                              const std::function<void(const HistoryPoint&)>& take) = 0;
    // The statistics of each hour (minutes 60) or day (1440) that lies
    // wholly in from..to and has points, oldest first; false, and nothing
    // taken, where the source keeps none.
    virtual bool ForEachStats(StationMinute /*from*/, StationMinute /*to*/,
                              StationMinute /*minutes*/,
                              const std::function<void(const HistoryStats&)>& /*take*/) {
        return false;
    }
    // The day rows from one date to another, both included, oldest first.
    virtual std::vector<DaySummary> Days(const CalendarDate& from, const CalendarDate& to) = 0;
    // The newest point; none in an empty archive.
    virtual std::optional<StationMinute> Latest() = 0;
};
