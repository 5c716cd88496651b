// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

// The climate summaries the /noaa/ routes serve: a month's or a year's text,
// and which months have data. None where there is nothing to say (or the
// archive cannot be read). Called from the server's threads, one call at a time.
class SummarySource {
  public:
    struct Month {
        int year = 0;
        int month = 0;  // 1..12
    };
    virtual ~SummarySource() = default;
    virtual std::optional<std::string> MonthText(int year, int month) = 0;
    virtual std::optional<std::string> YearText(int year) = 0;
    // Oldest first.
    virtual std::optional<std::vector<Month>> MonthsWithData() = 0;
};
