// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoaaFileWriter.h"

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
    if (!burst_) WritePending();
}

void NoaaFileWriter::SetBurst(bool burst) {
    burst_ = burst;
    if (!burst_) WritePending();
}

void NoaaFileWriter::WritePending() {
    if (pending_.empty()) return;
    const Settings settings = settings_();
    try {
        Archive archive(archivePath_, Archive::Access::Read);
        ClimateReports reports(archive, settings.station, settings.metric);
        const auto outcome = [this](const std::filesystem::path& file, int error) {
            if (error == 0)
                faults_.Succeeded(kOutput, file.string());
            else
                faults_.Failed(kOutput, file.string(), error);
        };
        for (const auto& [year, months] : pending_)
            NoaaFiles::WriteYear(reports, year, std::vector<int>(months.begin(), months.end()),
                                 outcome);
    } catch (const SqliteError& error) {
        // The archive's writer tells of its own faults; these files wait
        // for the next midnight.
        faults_.Failed(kOutput, archivePath_.string(), error.what());
    }
    pending_.clear();
}
