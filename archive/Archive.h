// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "ArchivePoint.h"
#include "ArchivePointRow.h"
#include "ArchiveStats.h"
#include "DaySummary.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"

// The station's archive nimbulo.db: one row per five-minute point, one per
// station day (see docs/archive.md). Every call throws SqliteError with the
// cause in words when the file cannot be used; a file that is not an
// archive of this program, or of a newer one, is left as it is. Written
// ahead in a log (WAL); a commit is handed to the system as the data log's
// lines are, so it survives a kill of the program at any moment (a power
// cut may take the last ones, never the file's consistency).
class Archive {
  public:
    static constexpr const char* kFileName = "nimbulo.db";
    // How long a write waits for another program writing the same archive.
    static constexpr int kBusyTimeoutMs = 3000;

    enum class Access {
        Read,  // the archive must exist; opened for writing where it may be, to
               // recover what a killed writer left, but never written
        Write  // a missing or empty file becomes an empty archive
    };

    Archive(const std::filesystem::path& path, Access access);

    // One transaction: points already there stay as they are; each day
    // (from records) is merged into its row: the lower low, the higher
    // high, the earlier time of a tie, the latest rain. A day row made from
    // points is replaced.
    void Write(std::span<const ArchivePoint> points, std::span<const DaySummary> days);

    struct ImportCount {
        long added = 0;
        long present = 0;  // a point at that station date and time was there
    };
    // One transaction: adds the points that are not there, then makes the
    // day rows of their dates from all points of each date, unless a day
    // row from records is there.
    ImportCount Import(std::span<const ArchivePoint> points);

    // Points from (date, time) to (date, time), both included, in order.
    void ForEachPoint(const std::string& fromDate, const std::string& fromTime,
                      const std::string& toDate, const std::string& toTime,
                      const std::function<void(const ArchivePoint&)>& take);
    // The same points as numbers, for reading many quickly (ArchivePointRows.cpp).
    void ForEachPointRow(const std::string& fromDate, const std::string& fromTime,
                         const std::string& toDate, const std::string& toTime,
                         const std::function<void(const ArchivePointRow&)>& take);
    // Whether the file keeps the hour and day statistics: one of the first
    // version opened only for reading does not yet.
    bool KeepsStats();
    // The hour (hours true) or day statistics of the dates from..to
    // ("YYYY-MM-DD"), both included, in order; periods without points have
    // no row (ArchiveStats.cpp).
    void ForEachStats(const std::string& fromDate, const std::string& toDate, bool hours,
                      const std::function<void(const ArchiveStats::Period&)>& take);
    std::vector<ArchivePoint> ReadPoints(const std::string& fromDate, const std::string& fromTime,
                                         const std::string& toDate, const std::string& toTime);
    // Day rows from date to date ("YYYY-MM-DD"), both included, in order.
    std::vector<DaySummary> ReadDays(const std::string& fromDate, const std::string& toDate);
    // "YYYY-MM-DD HH:MM" of the latest point, none in an empty archive.
    std::optional<std::string> LatestPointTime();

  private:
    void CheckVersion(bool mayCreate);
    void CheckSchema();
    void SwitchToWal();
    void CreateSchema();
    void WriteDay(const DaySummary& day, bool fromPoints);
    DaySummary DayFromPoints(const std::string& date);
    // The hour and day statistics of a date, made again from its points.
    void WriteStats(const std::string& date);
    void AddStats();
    // Prepared once and kept: preparing the day merge costs more than running it.
    SqliteStatement& Prepared(std::unique_ptr<SqliteStatement>& slot, const std::string& sql);

    SqliteDatabase db_;
    // After db_, so that they are finalized before it closes.
    std::unique_ptr<SqliteStatement> pointInsert_;
    std::unique_ptr<SqliteStatement> dayMerge_;
    std::unique_ptr<SqliteStatement> dayFromPoints_;
    std::unique_ptr<SqliteStatement> hourStatsInsert_;
    std::unique_ptr<SqliteStatement> dayStatsInsert_;
};

// The summary's date as "YYYY-MM-DD".
std::string DaySummaryDateText(const DaySummary& day);
