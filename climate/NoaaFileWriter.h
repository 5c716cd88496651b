// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "Archive.h"
#include "CalendarDate.h"
#include "ClimateDay.h"
#include "FileFaults.h"
#include "FivePointWriter.h"
#include "StationIdentity.h"

// Keeps NOAA/ current: the first point after a station midnight rewrites
// the summaries of the month and year of the day that ended (so the month
// and year just over get theirs once more when they end). It runs after the
// archive's writer, whose archive then holds that day whole. In a burst (a
// replay) the files wait for its end, each written once. Each finished
// day's points are read once and their sums kept (ClimateDayCache), so a
// midnight reads one day's points, not the year's.
class NoaaFileWriter : public FivePointWriter {
  public:
    static constexpr const char* kOutput = "summaries";
    struct Settings {
        StationIdentity station;
        bool metric = false;
    };
    // Asked at every writing, so a change in the settings shows at the next midnight.
    using SettingsSource = std::function<Settings()>;

    // archivePath relative to the working folder, as the archive's writer has it.
    NoaaFileWriter(FileFaults& faults, SettingsSource settings,
                   std::filesystem::path archivePath = Archive::kFileName);

    void Write(const FivePointValues& point) override;
    void SetBurst(bool burst) override;

    // Called before the archive is read: the archive's writer writes on a
    // thread of its own, so the ended day may still be on its way. Waiting
    // for it costs the record path once a station day, at the first point.
    void WaitForArchiveWith(std::function<void()> wait) { waitForArchive_ = std::move(wait); }

  private:
    void WritePending();
    // Reads this year's finished days into the cache, so that the first
    // midnight reads no more than the others.
    void Prime(const CalendarDate& today);

    FileFaults& faults_;
    SettingsSource settings_;
    std::filesystem::path archivePath_;
    std::optional<CalendarDate> lastDate_;
    std::map<int, std::set<int>> pending_;  // months to write, by year
    bool burst_ = false;
    bool primed_ = false;
    ClimateDayCache cache_;
    std::function<void()> waitForArchive_;
};
