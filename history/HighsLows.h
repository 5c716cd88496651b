// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "CalendarDate.h"
#include "DaySummary.h"

// The highs and lows panel: for today (the station's day), yesterday, this
// month, this year and all time, the high and low outdoor temperature and
// the top wind speed with the date and time each was first reached, and the
// rain. Made from the archive's day rows, in the files' units.
class HighsLows {
  public:
    struct Moment {
        std::optional<double> value;
        CalendarDate date{};
        std::string time;  // "HH:MM" as the day row has it
    };
    struct Period {
        const char* name;  // "Today", "Yesterday", "This month", "This year", "All time"
        Moment high;
        Moment low;
        Moment windTop;
        std::optional<double> rain;  // none when no day of the period has a value
    };

    // `days` oldest first, any dates; `today` the station's date now.
    HighsLows(std::span<const DaySummary> days, const CalendarDate& today);

    const std::vector<Period>& periods() const { return periods_; }

  private:
    std::vector<Period> periods_;
};
