// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClimateDay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "ArchiveColumns.h"
#include "SensorRanges.h"

namespace {
using namespace ArchiveColumns;

constexpr double kDegreesPerCompassPoint = 22.5;
// Below this length the vectors cancel out: there is no dominant direction.
constexpr double kCalmVector = 1e-6;

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}
}  // namespace

std::optional<double> ClimateDay::MeanTemp() const {
    if (tempCount == 0) return std::nullopt;
    return tempSum / tempCount;
}

std::optional<double> ClimateDay::MeanWind() const {
    if (windCount == 0) return std::nullopt;
    return windSum / windCount;
}

std::optional<double> ClimateDay::High() const {
    return row ? row->tempOutdoor.high.value : std::nullopt;
}

std::optional<double> ClimateDay::Low() const {
    return row ? row->tempOutdoor.low.value : std::nullopt;
}

std::optional<double> ClimateDay::WindTop() const {
    return row ? row->windSpeedMax.value : std::nullopt;
}

std::optional<double> ClimateDay::Rain() const {
    return row ? row->rainDay : std::nullopt;
}

void ClimateDay::Take(const ArchivePoint& point) {
    ++points;
    const auto& v = point.values;
    if (const auto t = v[kTempOutdoor]; t && SensorRanges::kTemperatureF.Contains(*t)) {
        ++tempCount;
        tempSum += *t;
    }
    const auto speed = v[kWindSpeedAvg];
    if (!speed || !SensorRanges::kWindSpeedMph.Contains(*speed)) return;
    ++windCount;
    windSum += *speed;
    // The point's direction in degrees where it has one, else its compass
    // point's centre (an imported data log has only that).
    std::optional<double> direction = v[kDirectionDegrees];
    if (!direction && v[kCompass]) direction = *v[kCompass] * kDegreesPerCompassPoint;
    if (!direction) return;
    windEast += *speed * std::sin(Radians(*direction));
    windNorth += *speed * std::cos(Radians(*direction));
}

std::vector<ClimateDay> ReadClimateDays(Archive& archive, const CalendarDate& from,
                                        const CalendarDate& to, ClimateDayCache* cache) {
    std::vector<ClimateDay> days;
    const uint32_t first = from.ComputeDayNumber();
    const uint32_t last = to.ComputeDayNumber();
    if (last < first) return days;
    days.resize(last - first + 1);
    // The span of days whose points must be read: all without a cache.
    uint32_t readFrom = last + 1, readTo = first;
    for (uint32_t n = first; n <= last; ++n) {
        if (cache) {
            if (const auto kept = cache->days.find(n); kept != cache->days.end()) {
                days[n - first] = kept->second;
                continue;
            }
        }
        days[n - first].date.SetFromDayNumber(n);
        readFrom = std::min(readFrom, n);
        readTo = std::max(readTo, n);
    }
    const auto slot = [&](const CalendarDate& date) -> ClimateDay* {
        const uint32_t n = date.ComputeDayNumber();
        if (n < readFrom || n > readTo) return nullptr;
        if (cache && cache->days.contains(n)) return nullptr;  // taken from the cache
        return &days[n - first];
    };
    if (readFrom <= readTo) {
        CalendarDate start, end;
        start.SetFromDayNumber(readFrom);
        end.SetFromDayNumber(readTo);
        // Points come in date order: the day's slot is looked up once per day.
        std::string lastDate;
        ClimateDay* day = nullptr;
        archive.ForEachPoint(
            ArchiveDateText(start), "00:00", ArchiveDateText(end), "23:59",
            [&](const ArchivePoint& point) {
                if (point.date != lastDate) {
                    lastDate = point.date;
                    int y = 0, m = 0, d = 0;
                    day = nullptr;
                    if (std::sscanf(point.date.c_str(), "%d-%d-%d", &y, &m, &d) == 3) {
                        CalendarDate date;
                        date.FromDate(m, d, y);
                        day = slot(date);
                    }
                }
                if (day) day->Take(point);
            });
        for (uint32_t n = readFrom; cache && n <= readTo && n < cache->finishedBefore; ++n)
            cache->days.try_emplace(n, days[n - first]);
    }
    for (DaySummary& row : archive.ReadDays(ArchiveDateText(from), ArchiveDateText(to))) {
        const uint32_t n = row.date.ComputeDayNumber();
        if (n >= first && n <= last) days[n - first].row = std::move(row);
    }
    return days;
}

std::optional<double> VectorDirection(double east, double north) {
    if (std::hypot(east, north) < kCalmVector) return std::nullopt;
    double degrees = std::atan2(east, north) * 180.0 / std::numbers::pi;
    if (degrees < 0) degrees += 360.0;
    return degrees;
}

const char* CompassPointName(double degrees) {
    static constexpr const char* kNames[16] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                               "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
    const long index = std::lround(degrees / kDegreesPerCompassPoint);
    return kNames[((index % 16) + 16) % 16];
}
