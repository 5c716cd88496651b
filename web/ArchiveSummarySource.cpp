// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveSummarySource.h"

#include <stdexcept>

#include "Archive.h"
#include "ClimateReports.h"

ArchiveSummarySource::ArchiveSummarySource(std::filesystem::path archivePath)
    : archivePath_(std::filesystem::absolute(archivePath)) {}

void ArchiveSummarySource::SetSettings(const StationIdentity& station, bool metric) {
    std::lock_guard lock(mutex_);
    station_ = station;
    metric_ = metric;
}

template <typename Take>
auto ArchiveSummarySource::WithReports(Take take)
    -> decltype(take(std::declval<ClimateReports&>())) {
    StationIdentity station;
    bool metric = false;
    {
        std::lock_guard lock(mutex_);
        station = station_;
        metric = metric_;
    }
    // Reading never makes an archive: the writer does.
    if (!std::filesystem::exists(archivePath_)) return std::nullopt;
    try {
        Archive archive(archivePath_, Archive::Access::Read);
        ClimateReports reports(archive, station, metric);
        return take(reports);
    } catch (const std::runtime_error&) {
        return std::nullopt;  // a locked, damaged or foreign file: nothing to serve now
    }
}

std::optional<std::string> ArchiveSummarySource::MonthText(int year, int month) {
    return WithReports([&](ClimateReports& r) { return r.MonthText(year, month); });
}

std::optional<std::string> ArchiveSummarySource::YearText(int year) {
    return WithReports([&](ClimateReports& r) { return r.YearText(year); });
}

std::optional<std::vector<SummarySource::Month>> ArchiveSummarySource::MonthsWithData() {
    return WithReports([](ClimateReports& r) -> std::optional<std::vector<Month>> {
        std::vector<Month> months;
        for (const auto& [year, month] : r.MonthsWithData()) months.push_back({year, month});
        return months;
    });
}
