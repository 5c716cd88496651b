// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveHistorySource.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

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

}  // namespace

ArchiveHistorySource::ArchiveHistorySource(const std::filesystem::path& archivePath)
    : archive_(archivePath, Archive::Access::Read) {}

HistoryPoint ArchiveHistorySource::ToHistoryPoint(const ArchivePoint& point) {
    return ToHistoryPoint(point, ParseMinute(point.date, point.time).value_or(0));
}

HistoryPoint ArchiveHistorySource::ToHistoryPoint(const ArchivePoint& point, StationMinute minute) {
    ArchivePointRow row;
    for (std::size_t i = 0; i < ArchiveColumns::kPointCount; ++i)
        row.values[i] = point.values[i].value_or(ArchivePointRow::kNone);
    return ToHistoryPoint(row, minute);
}

HistoryPoint ArchiveHistorySource::ToHistoryPoint(const ArchivePointRow& row,
                                                  StationMinute minute) {
    // The same values as the archive's hour and day statistics are made of.
    static_assert(ArchiveStats::kCount == kHistoryQuantityCount);
    HistoryPoint p;
    p.minute = minute;
    const ArchiveStats::Quantities q = ArchiveStats::Of(row.values);
    for (std::size_t i = 0; i < kHistoryQuantityCount; ++i) p.values[i] = float(q[i]);
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

bool ArchiveHistorySource::ForEachStats(StationMinute from, StationMinute to, StationMinute minutes,
                                        const std::function<void(const HistoryStats&)>& take) {
    if ((minutes != 60 && minutes != kMinutesPerDay) || !archive_.KeepsStats()) return false;
    std::string lastDate;
    std::optional<StationMinute> dayStart;
    HistoryStats stats;
    stats.minutes = minutes;
    archive_.ForEachStats(
        ArchiveDateText(DateOfStationMinute(from)), ArchiveDateText(DateOfStationMinute(to)),
        minutes == 60, [&](const ArchiveStats::Period& period) {
            if (period.date != lastDate) {
                lastDate = period.date;
                dayStart = ParseMinute(period.date, "00:00");
            }
            if (!dayStart) return;
            stats.start = *dayStart + std::max(period.hour, 0) * 60;
            if (stats.start < from || stats.start + minutes - 1 > to) return;
            for (std::size_t q = 0; q < kHistoryQuantityCount; ++q) {
                const ArchiveStats::Stat& s = period.stats[q];
                stats.values[q] = {stats.start, int(s.count), s.min, s.sum, s.max};
            }
            stats.directionCos = period.directionCos;
            stats.directionSin = period.directionSin;
            stats.rainFirst = float(period.rainFirst);
            stats.rainLast = float(period.rainLast);
            stats.rainRise = period.rainRise;
            take(stats);
        });
    return true;
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
