// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoaaFileWriter.h"

#include <algorithm>
#include <vector>

#include "ClimateReports.h"
#include "NoaaFiles.h"
#include "SqliteError.h"

NoaaFileWriter::NoaaFileWriter(FileFaults& faults, SettingsSource settings,
                               std::filesystem::path archivePath)
    : faults_(faults), settings_(std::move(settings)), archivePath_(std::move(archivePath)) {}

void NoaaFileWriter::Write(const FivePointValues& point) {
    if (lastDate_ && point.date != *lastDate_) pending_[lastDate_->year].insert(lastDate_->month);
    lastDate_ = point.date;
    cache_.finishedBefore = std::max(cache_.finishedBefore, point.date.ComputeDayNumber());
    if (burst_) return;
    if (!primed_) Prime(point.date);
    WritePending();
}

void NoaaFileWriter::Prime(const CalendarDate& today) {
    primed_ = true;
    CalendarDate newYear;
    newYear.FromDate(1, 1, today.year);
    if (waitForArchive_) waitForArchive_();
    try {
        Archive archive(archivePath_, Archive::Access::Read);
        ReadClimateDays(archive, newYear, today, &cache_);
    } catch (const SqliteError&) {
        // No archive yet, or not now: the midnight reads what it needs.
    }
}

void NoaaFileWriter::SetBurst(bool burst) {
    burst_ = burst;
    if (!burst_) WritePending();
}

// What could not be written stays pending and is tried again at the next point.
void NoaaFileWriter::WritePending() {
    if (pending_.empty()) return;
    if (waitForArchive_) waitForArchive_();
    const Settings settings = settings_();
    std::map<int, std::set<int>> failed;
    try {
        Archive archive(archivePath_, Archive::Access::Read);
        ClimateReports reports(archive, settings.station, settings.metric);
        reports.UseCache(&cache_);
        for (const auto& [year, months] : pending_) {
            const auto outcome = [&, year = year](const std::filesystem::path& file, int error) {
                if (error == 0) {
                    faults_.Succeeded(kOutput, file.string());
                    return;
                }
                faults_.Failed(kOutput, file.string(), error);
                std::set<int>& again = failed[year];  // the year's file comes with it
                for (const int month : months)
                    if (file == NoaaFiles::MonthFile(year, month)) again.insert(month);
            };
            NoaaFiles::WriteYear(reports, year, std::vector<int>(months.begin(), months.end()),
                                 outcome);
        }
    } catch (const SqliteError& error) {
        // The archive's writer tells of its own faults; this is the summaries'.
        faults_.Failed(kOutput, archivePath_.string(), error.what());
        return;
    }
    pending_ = std::move(failed);
}
