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

namespace {
// Zero-padded digits without printf: two texts at every point of a replay.
void AppendDigits(std::string& text, int value, int digits) {
    for (int d = digits - 1, scale = 1; d >= 0; --d, scale *= 10)
        text[text.size() - digits + d] = char('0' + value / scale % 10);
}
}  // namespace

std::string ArchiveDateText(const CalendarDate& date) {
    if (date.year < 0 || date.year > 9999)
        return FormatText("%04d-%02d-%02d", date.year, date.month, date.day);
    std::string text = "0000-00-00";
    text.resize(4);
    AppendDigits(text, date.year, 4);
    text += "-00";
    AppendDigits(text, date.month, 2);
    text += "-00";
    AppendDigits(text, date.day, 2);
    return text;
}

std::string ArchiveTimeText(int minuteOfDay) {
    std::string text = "00";
    AppendDigits(text, minuteOfDay / 60, 2);
    text += ":00";
    AppendDigits(text, minuteOfDay % 60, 2);
    return text;
}

std::string UtcNowText() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}
