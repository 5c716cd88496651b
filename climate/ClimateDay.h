// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "Archive.h"
#include "CalendarDate.h"
#include "DaySummary.h"

// What the summaries take from one station day, in the archive's US units:
// sums over the day's five-minute points, and the day row (every record's
// highs and lows, the day's rain).
struct ClimateDay {
    CalendarDate date{};
    int points = 0;
    int tempCount = 0;  // points with an outdoor temperature the sensor can report
    double tempSum = 0.0;
    int windCount = 0;  // points with an average wind speed
    double windSum = 0.0;
    // Sum of the points' directions as unit vectors weighted by their speed
    // (east, north).
    double windEast = 0.0;
    double windNorth = 0.0;
    std::optional<DaySummary> row;

    // Neither points nor a day row: a blank line.
    bool Empty() const { return points == 0 && !row; }
    std::optional<double> MeanTemp() const;
    std::optional<double> MeanWind() const;
    // The day row's values, none without a row.
    std::optional<double> High() const;
    std::optional<double> Low() const;
    std::optional<double> WindTop() const;
    std::optional<double> Rain() const;

    // Adds one point's values to the sums.
    void Take(const ArchivePoint& point);
};

// The points' sums of finished days, kept between reads so that a long-running
// writer reads each day's points once. Points added later to a day already
// kept (an import of old data logs) are not seen by it.
struct ClimateDayCache {
    std::map<uint32_t, ClimateDay> days;  // by day number, without the day rows
    uint32_t finishedBefore = 0;          // days before this day number are finished
};

// One entry per calendar day from `from` to `to`, both included, in order;
// days the archive has nothing of come back empty. The day rows are always
// read; with a cache the points only of the days it lacks.
std::vector<ClimateDay> ReadClimateDays(Archive& archive, const CalendarDate& from,
                                        const CalendarDate& to, ClimateDayCache* cache = nullptr);

// The direction (degrees, 0 north) of a sum of weighted unit vectors; none
// when they cancel out or there are none.
std::optional<double> VectorDirection(double east, double north);
// "N", "NNE", ... "NNW": the compass point nearest to a direction in degrees.
const char* CompassPointName(double degrees);
