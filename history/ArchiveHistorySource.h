// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include "Archive.h"
#include "HistorySource.h"

// The history window's past read from the data folder's nimbulo.db. Dew
// point and feels-like are worked out per point, as the live readings are.
class ArchiveHistorySource : public HistorySource {
  public:
    explicit ArchiveHistorySource(const std::filesystem::path& archivePath);

    void ForEachPoint(StationMinute from, StationMinute to,
                      const std::function<void(const HistoryPoint&)>& take) override;
    bool ForEachStats(StationMinute from, StationMinute to, StationMinute minutes,
                      const std::function<void(const HistoryStats&)>& take) override;
    std::vector<DaySummary> Days(const CalendarDate& from, const CalendarDate& to) override;
    std::optional<StationMinute> Latest() override;

    // The archive's row as the window plots it.
    static HistoryPoint ToHistoryPoint(const ArchivePoint& point);
    static HistoryPoint ToHistoryPoint(const ArchivePoint& point, StationMinute minute);
    static HistoryPoint ToHistoryPoint(const ArchivePointRow& row, StationMinute minute);

  private:
    Archive archive_;
};
