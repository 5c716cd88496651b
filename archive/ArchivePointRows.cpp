// SPDX-License-Identifier: GPL-3.0-or-later
// Archive's fast way through many points, kept apart from the writing code.
#include "Archive.h"
#include "SqliteStatement.h"

namespace {
using namespace ArchiveColumns;

std::string PointRowSql() {
    std::string sql = "SELECT station_date, station_time";
    for (const PointColumn& c : kPoint) sql += std::string(", ") + c.name;
    return sql +
           " FROM points WHERE (station_date, station_time) BETWEEN (?, ?) AND (?, ?)"
           " ORDER BY station_date, station_time";
}

}  // namespace

void Archive::ForEachPointRow(const std::string& fromDate, const std::string& fromTime,
                              const std::string& toDate, const std::string& toTime,
                              const std::function<void(const ArchivePointRow&)>& take) {
    SqliteStatement rows(db_.handle(), PointRowSql());
    int index = 1;
    for (const std::string* text : {&fromDate, &fromTime, &toDate, &toTime})
        rows.Bind(index++, std::optional<std::string_view>(*text));
    ArchivePointRow row;
    while (rows.Step()) {
        row.date = rows.TextView(0);
        row.time = rows.TextView(1);
        for (std::size_t i = 0; i < kPointCount; ++i)
            row.values[i] =
                rows.IsNull(int(i) + 2) ? ArchivePointRow::kNone : rows.Double(int(i) + 2);
        take(row);
    }
}
