// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "ArchiveColumns.h"
#include "FivePointValues.h"

// One row of the points table: a five-minute point at a station date and
// time, its values as the data log prints them (no value where the data log
// prints a stand-in: a reading no record has given yet, a direction when
// none came in the five minutes).
struct ArchivePoint {
    std::string date;                       // station date, "YYYY-MM-DD"
    std::string time;                       // station time, "HH:MM"
    std::optional<std::string> writtenUtc;  // "YYYY-MM-DDTHH:MM:SSZ"; none in a replay or import
    ArchiveColumns::PointValues values{};

    static ArchivePoint FromFivePoint(const FivePointValues& point,
                                      std::optional<std::string> writtenUtc);
};

// "YYYY-MM-DD" and "HH:MM" as the archive keeps them.
std::string ArchiveDateText(const CalendarDate& date);
std::string ArchiveTimeText(int minuteOfDay);
// The computer's time now in UTC, "YYYY-MM-DDTHH:MM:SSZ".
std::string UtcNowText();
