// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Archive.h"
#include "ClimateDay.h"
#include "ClimateUnits.h"
#include "StationIdentity.h"

// The monthly and yearly climate summaries of an archive, as text (lines
// ending in "\n"). Every call reads the archive afresh and throws
// SqliteError when it cannot be read.
class ClimateReports {
  public:
    ClimateReports(Archive& archive, StationIdentity station, bool metric);

    // None when the archive has nothing of that month or year (or it is no month).
    std::optional<std::string> MonthText(int year, int month);
    std::optional<std::string> YearText(int year);
    // (year, month) of every month with a day row, oldest first.
    std::vector<std::pair<int, int>> MonthsWithData();
    std::vector<int> YearsWithData();

    // A year's summary and those of its months with data, from one read of
    // the archive (what writing all the files takes).
    struct YearTexts {
        std::optional<std::string> year;
        std::vector<std::pair<int, std::string>> months;  // (month, text)
    };
    YearTexts AllOfYear(int year);

    // Reads the points through this cache from now on (nullptr: none).
    void UseCache(ClimateDayCache* cache) { cache_ = cache; }

  private:
    Archive& archive_;
    StationIdentity station_;
    ClimateUnits units_;
    ClimateDayCache* cache_ = nullptr;
};
