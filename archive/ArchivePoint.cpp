// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchivePoint.h"

#include <chrono>
#include <ctime>

#include "TextFormat.h"

namespace {
using namespace ArchiveColumns;

// The record field (1..12) a data-log value comes from.
struct FromField {
    PointIndex index;
    int field;
    double FivePointValues::*reading;
};
constexpr FromField kReadings[] = {
    {kWindSpeedAvg, 12, &FivePointValues::windSpeedAvg},
    {kTempOutdoor, 3, &FivePointValues::tempOutdoor},
    {kTempIndoor, 6, &FivePointValues::tempIndoor},
    {kPressure, 5, &FivePointValues::pressure},
    {kHumidityOutdoor, 7, &FivePointValues::humidityOutdoor},
    {kHumidityIndoor, 8, &FivePointValues::humidityIndoor},
    {kRainToday, 11, &FivePointValues::rainToday},
    {kGust, 1, &FivePointValues::gust},
};
}  // namespace

ArchivePoint ArchivePoint::FromFivePoint(const FivePointValues& p,
                                         std::optional<std::string> writtenUtc) {
    ArchivePoint row;
    CalendarDate date = p.date;
    date.year = p.year;
    row.date = ArchiveDateText(date);
    row.time = ArchiveTimeText(p.minuteOfDay);
    row.writtenUtc = std::move(writtenUtc);
    for (const FromField& r : kReadings) {
        if (p.Received(r.field))
            row.values[r.index] = AsPrinted(p.*r.reading, kPoint[r.index].decimals);
    }
    // With no direction in the five minutes the average is a stand-in (north).
    if (p.directionSamples > 0) {
        row.values[kCompass] = p.compassIndex;
        row.values[kDirectionDegrees] = p.directionDegrees;
    }
    return row;
}

std::string ArchiveDateText(const CalendarDate& date) {
    return FormatText("%04d-%02d-%02d", date.year, date.month, date.day);
}

std::string ArchiveTimeText(int minuteOfDay) {
    return FormatText("%02d:%02d", minuteOfDay / 60, minuteOfDay % 60);
}

std::string UtcNowText() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}
