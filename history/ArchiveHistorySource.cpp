// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveHistorySource.h"

#include <cmath>
#include <string_view>

#include "WeatherFormulas.h"

namespace {

using Q = HistoryQuantity;
using namespace ArchiveColumns;

struct ColumnQuantity {
    PointIndex column;
    HistoryQuantity quantity;
};
constexpr ColumnQuantity kColumns[] = {
    {kTempOutdoor, Q::TempOutdoor},
    {kTempIndoor, Q::TempIndoor},
    {kHumidityOutdoor, Q::HumidityOutdoor},
    {kHumidityIndoor, Q::HumidityIndoor},
    {kWindSpeedAvg, Q::WindAverage},
    {kGust, Q::Gust},
    {kDirectionDegrees, Q::Direction},
    {kRainToday, Q::RainToday},
    {kPressure, Q::Pressure},
};

// The digits of text[at, at + count), or -1 when one is not a digit. A
// year's points are read at every open: no sscanf per row.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (text.size() < at + count) return -1;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYYY-MM-DD" and "HH:MM" as the archive keeps them.
std::optional<StationMinute> ParseMinute(std::string_view date, std::string_view time) {
    const int y = Digits(date, 0, 4), mo = Digits(date, 5, 2), d = Digits(date, 8, 2);
    const int h = Digits(time, 0, 2), mi = Digits(time, 3, 2);
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(mo, y) || h < 0 || h > 23 ||
        mi < 0 || mi > 59)
        return std::nullopt;
    CalendarDate cal;
    cal.FromDate(mo, d, y);
    return ToStationMinute(cal, h * 60 + mi);
}

std::optional<double> Value(const HistoryPoint& p, Q q) {
    return HistoryPoint::Has(p[q]) ? std::optional<double>(p[q]) : std::nullopt;
}

void AddDerived(HistoryPoint& p) {
    const auto temp = Value(p, Q::TempOutdoor);
    if (!temp) return;
    const auto humidity = Value(p, Q::HumidityOutdoor);
    if (humidity)
        if (auto dew = DewPointF(*temp, *humidity)) p[Q::DewPoint] = float(*dew);
    p[Q::FeelsLike] = float(FeelsLikeF(*temp, Value(p, Q::WindAverage), humidity));
}

}  // namespace

ArchiveHistorySource::ArchiveHistorySource(const std::filesystem::path& archivePath)
    : archive_(archivePath, Archive::Access::Read) {}

HistoryPoint ArchiveHistorySource::ToHistoryPoint(const ArchivePoint& point) {
    return ToHistoryPoint(point, ParseMinute(point.date, point.time).value_or(0));
}

HistoryPoint ArchiveHistorySource::ToHistoryPoint(const ArchivePoint& point, StationMinute minute) {
    HistoryPoint p;
    p.minute = minute;
    for (const auto& [column, quantity] : kColumns)
        if (const auto& v = point.values[column]) p[quantity] = float(*v);
    // Imported data logs give only the compass point: its middle, to the
    // nearest of sixteen.
    if (!HistoryPoint::Has(p[Q::Direction]) && point.values[kCompass])
        p[Q::Direction] = float(*point.values[kCompass] * 22.5);
    AddDerived(p);
    return p;
}

HistoryPoint ArchiveHistorySource::ToHistoryPoint(const ArchivePointRow& row,
                                                  StationMinute minute) {
    HistoryPoint p;
    p.minute = minute;
    for (const auto& [column, quantity] : kColumns) p[quantity] = float(row.values[column]);
    if (!HistoryPoint::Has(p[Q::Direction]) && !std::isnan(row.values[kCompass]))
        p[Q::Direction] = float(row.values[kCompass] * 22.5);
    AddDerived(p);
    return p;
}

void ArchiveHistorySource::ForEachPoint(StationMinute from, StationMinute to,
                                        const std::function<void(const HistoryPoint&)>& take) {
    // A day's 288 points share their date: its day number is worked out once.
    std::string lastDate;
    std::optional<StationMinute> dayStart;
    archive_.ForEachPointRow(ArchiveDateText(DateOfStationMinute(from)),
                             ArchiveTimeText(MinuteOfDay(from)),
                             ArchiveDateText(DateOfStationMinute(to)),
                             ArchiveTimeText(MinuteOfDay(to)), [&](const ArchivePointRow& row) {
                                 if (row.date != lastDate) {
                                     lastDate = row.date;
                                     dayStart = ParseMinute(row.date, "00:00");
                                 }
                                 // A row whose date or time cannot be read is skipped, not
                                 // placed at the start of the calendar.
                                 const int h = Digits(row.time, 0, 2), mi = Digits(row.time, 3, 2);
                                 if (!dayStart || h < 0 || h > 23 || mi < 0 || mi > 59) return;
                                 take(ToHistoryPoint(row, *dayStart + h * 60 + mi));
                             });
}

std::vector<DaySummary> ArchiveHistorySource::Days(const CalendarDate& from,
                                                   const CalendarDate& to) {
    return archive_.ReadDays(ArchiveDateText(from), ArchiveDateText(to));
}

std::optional<StationMinute> ArchiveHistorySource::Latest() {
    const auto latest = archive_.LatestPointTime();
    if (!latest || latest->size() < 16) return std::nullopt;
    return ParseMinute(latest->substr(0, 10), latest->substr(11, 5));
}
