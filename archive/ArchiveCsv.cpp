// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveCsv.h"

#include <ostream>

namespace ArchiveCsv {
namespace {
using namespace ArchiveColumns;

void AppendValue(std::string& row, const std::optional<double>& value, int decimals) {
    row += ',';
    if (value) row += ValueText(*value, decimals);
}

void AppendExtreme(std::string& row, const DayExtreme& extreme, int decimals) {
    AppendValue(row, extreme.value, decimals);
    row += ',';
    if (extreme.value) row += extreme.time;
}
}  // namespace

void WritePoints(Archive& archive, const std::string& from, const std::string& to,
                 std::ostream& out) {
    std::string header = "station_time";
    for (const PointColumn& c : kPoint) header += std::string(",") + c.name;
    out << header << '\n';
    std::string row;
    archive.ForEachPoint(from, "00:00", to, "23:59", [&](const ArchivePoint& point) {
        row = point.date + ' ' + point.time;
        for (std::size_t k = 0; k < kPointCount; ++k)
            AppendValue(row, point.values[k], kPoint[k].decimals);
        row += '\n';
        out << row;
    });
}

void WriteDays(Archive& archive, const std::string& from, const std::string& to,
               std::ostream& out) {
    std::string header = "date";
    for (const DayColumn& c : kDay) {
        for (const char* end : {"_min", "_min_time", "_max", "_max_time"})
            header += std::string(",") + c.name + end;
    }
    header += std::string(",") + kWindMax + "," + kWindMax + "_time," + kRainDay + ",from_points";
    out << header << '\n';
    for (const DaySummary& day : archive.ReadDays(from, to)) {
        std::string row = DaySummaryDateText(day);
        for (const DayColumn& c : kDay) {
            AppendExtreme(row, (day.*c.highLow).low, c.decimals);
            AppendExtreme(row, (day.*c.highLow).high, c.decimals);
        }
        AppendExtreme(row, day.windSpeedMax, kWindDecimals);
        AppendValue(row, day.rainDay, kRainDecimals);
        row += day.fromPoints ? ",1\n" : ",0\n";
        out << row;
    }
}

}  // namespace ArchiveCsv
