// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <mutex>

#include "StationIdentity.h"
#include "SummarySource.h"

// The climate summaries of the archive at a path, for the /noaa/ routes:
// the archive is opened for each answer (none while there is no archive or
// it cannot be read), so the server's threads share nothing with the
// writer. The heading and the units are the ones the owner last set.
class ArchiveSummarySource : public SummarySource {
  public:
    explicit ArchiveSummarySource(std::filesystem::path archivePath);

    void SetSettings(const StationIdentity& station, bool metric);

    std::optional<std::string> MonthText(int year, int month) override;
    std::optional<std::string> YearText(int year) override;
    std::optional<std::vector<Month>> MonthsWithData() override;

  private:
    template <typename Take>
    auto WithReports(Take take) -> decltype(take(std::declval<class ClimateReports&>()));

    std::filesystem::path archivePath_;
    std::mutex mutex_;  // guards the settings, which the owner's thread sets
    StationIdentity station_;
    bool metric_ = false;
};
