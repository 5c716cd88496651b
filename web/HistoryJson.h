// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CalendarDate.h"
#include "HistorySource.h"

// The archive's answers as JSON (all values in the files' units: degrees F,
// percent, mph, inches, inHg). Times on the plots are the station's local
// time counted in milliseconds since 1970 as if it were UTC, so a page shows
// station time by formatting in UTC.
namespace HistoryJson {

long long StationMilliseconds(StationMinute minute);

// /api/history: min/avg/max per bucket for each quantity (null for a gap) and
// the rain bars with their running total, as the History window makes them.
std::string History(HistorySource& source, const CalendarDate& from, const CalendarDate& to,
                    int buckets);
// /api/days: the day rows, oldest first.
std::string Days(HistorySource& source, const CalendarDate& from, const CalendarDate& to);
// /api/records: the highs and lows panel's periods, for the station's `today`.
std::string Records(HistorySource& source, const CalendarDate& today);

}  // namespace HistoryJson
