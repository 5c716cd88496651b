// SPDX-License-Identifier: GPL-3.0-or-later
// The hour and day statistics: how they are made from points, written and
// read. Archive's methods for them are here, apart from the points' code.
#include "ArchiveStats.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <numbers>

#include "Archive.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "TextFormat.h"
#include "WeatherFormulas.h"

namespace ArchiveStats {
namespace {

using namespace ArchiveColumns;
constexpr double kRadiansPerDegree = std::numbers::pi / 180;

std::optional<double> Present(double v) {
    return std::isnan(v) ? std::nullopt : std::optional<double>(v);
}

std::string Columns() {
    std::string sql;
    for (const char* name : kNames)
        for (const char* end : {"_min", "_sum", "_max", "_count"})
            sql += std::string(", ") + name + end;
    return sql + ", direction_cos_sum, direction_sin_sum, rain_first, rain_last, rain_rise";
}

std::string TableSql(const char* name, bool hours) {
    std::string sql = std::string("CREATE TABLE ") + name + " (\n  date TEXT NOT NULL,\n";
    if (hours) sql += "  hour INTEGER NOT NULL,\n";
    for (const char* q : kNames)
        sql += std::string("  ") + q + "_min REAL, " + q + "_sum REAL, " + q + "_max REAL, " + q +
               "_count INTEGER NOT NULL,\n";
    sql +=
        "  direction_cos_sum REAL, direction_sin_sum REAL,\n"
        "  rain_first REAL, rain_last REAL, rain_rise REAL,\n";
    return sql + (hours ? "  PRIMARY KEY (date, hour)\n" : "  PRIMARY KEY (date)\n") +
           ") WITHOUT ROWID";
}

void Insert(SqliteStatement& insert, const Period& p) {
    insert.Reset();
    int i = 1;
    insert.Bind(i++, std::optional<std::string_view>(p.date));
    if (p.hour >= 0) insert.BindInt(i++, p.hour);
    for (const Stat& s : p.stats) {
        const bool any = s.count > 0;
        insert.Bind(i++, any ? std::optional<double>(s.min) : std::nullopt);
        insert.Bind(i++, any ? std::optional<double>(s.sum) : std::nullopt);
        insert.Bind(i++, any ? std::optional<double>(s.max) : std::nullopt);
        insert.BindInt(i++, s.count);
    }
    for (double v : {p.directionCos, p.directionSin}) insert.Bind(i++, v);
    for (double v : {p.rainFirst, p.rainLast}) insert.Bind(i++, Present(v));
    insert.Bind(i++, p.rainRise);
    insert.Step();
}

std::string InsertSql(const char* table, bool hours) {
    std::string values = hours ? "?, ?" : "?";
    for (std::size_t i = 0; i < kCount * 4 + 5; ++i) values += ", ?";
    return std::string("INSERT OR REPLACE INTO ") + table + " (date" + (hours ? ", hour" : "") +
           Columns() + ") VALUES (" + values + ")";
}

}  // namespace

Quantities Of(const std::array<double, kPointCount>& v) {
    Quantities q;
    q.fill(ArchivePointRow::kNone);
    q[0] = v[kTempOutdoor];
    q[1] = v[kTempIndoor];
    q[4] = v[kHumidityOutdoor];
    q[5] = v[kHumidityIndoor];
    q[6] = v[kWindSpeedAvg];
    q[7] = v[kGust];
    q[kDirection] = !std::isnan(v[kDirectionDegrees]) ? v[kDirectionDegrees]
                    : !std::isnan(v[kCompass])        ? v[kCompass] * 22.5
                                                      : ArchivePointRow::kNone;
    q[kRain] = v[kRainToday];
    q[10] = v[kPressure];
    // The history plots floats: the derived values are worked out from them.
    for (double& x : q)
        if (!std::isnan(x)) x = float(x);
    if (const auto temp = Present(q[0])) {
        const auto humidity = Present(q[4]);
        if (humidity)
            if (auto dew = DewPointF(*temp, *humidity)) q[2] = float(*dew);
        q[3] = float(FeelsLikeF(*temp, Present(q[6]), humidity));
    }
    return q;
}

void Period::Add(const Quantities& q) {
    for (std::size_t i = 0; i < kCount; ++i) {
        const double v = q[i];
        if (std::isnan(v)) continue;
        Stat& s = stats[i];
        if (s.count == 0) s.min = s.max = v;
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
        s.sum += v;
        ++s.count;
    }
    if (!std::isnan(q[kDirection])) {
        directionCos += std::cos(float(q[kDirection]) * kRadiansPerDegree);
        directionSin += std::sin(float(q[kDirection]) * kRadiansPerDegree);
    }
    if (const double rain = q[kRain]; !std::isnan(rain)) {
        if (std::isnan(rainFirst))
            rainFirst = rain;
        else
            rainRise += rain >= rainLast ? rain - rainLast : rain;
        rainLast = rain;
    }
}

std::string HourTableSql() {
    return TableSql("point_hours", true);
}

std::string DayTableSql() {
    return TableSql("point_days", false);
}

}  // namespace ArchiveStats

void Archive::WriteStats(const std::string& date) {
    using namespace ArchiveStats;
    std::map<int, Period> hours;
    Period day;
    day.date = date;
    ForEachPointRow(date, "00:00", date, "99:99", [&](const ArchivePointRow& row) {
        const int hour = row.time.size() >= 2 && std::isdigit((unsigned char)row.time[0]) &&
                                 std::isdigit((unsigned char)row.time[1])
                             ? (row.time[0] - '0') * 10 + (row.time[1] - '0')
                             : -1;
        if (hour < 0 || hour > 23) return;
        const Quantities q = Of(row.values);
        Period& h = hours[hour];
        h.date = date;
        h.hour = hour;
        h.Add(q);
        day.Add(q);
    });
    SqliteStatement& hourInsert =
        Prepared(hourStatsInsert_, ArchiveStats::InsertSql("point_hours", true));
    for (const auto& [hour, period] : hours) Insert(hourInsert, period);
    if (!hours.empty()) Insert(Prepared(dayStatsInsert_, InsertSql("point_days", false)), day);
}

bool Archive::KeepsStats() {
    SqliteStatement found(db_.handle(),
                          "SELECT count(*) FROM sqlite_schema WHERE name = 'point_days'");
    found.Step();
    return found.Int(0) > 0;
}

void Archive::ForEachStats(const std::string& fromDate, const std::string& toDate, bool hours,
                           const std::function<void(const ArchiveStats::Period&)>& take) {
    using namespace ArchiveStats;
    SqliteStatement rows(db_.handle(), std::string("SELECT date, ") + (hours ? "hour" : "-1") +
                                           Columns() + " FROM " +
                                           (hours ? "point_hours" : "point_days") +
                                           " WHERE date BETWEEN ? AND ? ORDER BY 1, 2");
    rows.Bind(1, std::optional<std::string_view>(fromDate));
    rows.Bind(2, std::optional<std::string_view>(toDate));
    Period p;
    while (rows.Step()) {
        p.date = rows.TextView(0);
        p.hour = int(rows.Int(1));
        int i = 2;
        for (Stat& s : p.stats) {
            s.min = rows.Double(i++);
            s.sum = rows.Double(i++);
            s.max = rows.Double(i++);
            s.count = rows.Int(i++);
        }
        p.directionCos = rows.Double(i++);
        p.directionSin = rows.Double(i++);
        p.rainFirst = rows.IsNull(i) ? ArchivePointRow::kNone : rows.Double(i);
        ++i;
        p.rainLast = rows.IsNull(i) ? ArchivePointRow::kNone : rows.Double(i);
        ++i;
        p.rainRise = rows.Double(i);
        take(p);
    }
}

// An archive of the first version gets its statistics once, from all its points.
void Archive::AddStats() {
    SqliteTransaction transaction(db_);
    SqliteStatement state(db_.handle(), "SELECT user_version FROM pragma_user_version");
    state.Step();
    const long long version = state.Int(0);
    state.Reset();
    if (version != 1) return;  // another program did it meanwhile
    db_.Execute(ArchiveStats::HourTableSql());
    db_.Execute(ArchiveStats::DayTableSql());
    std::vector<std::string> dates;
    {
        SqliteStatement rows(db_.handle(), "SELECT DISTINCT station_date FROM points ORDER BY 1");
        while (rows.Step()) dates.push_back(rows.Text(0));
    }
    for (const std::string& date : dates) WriteStats(date);
    db_.Execute(FormatText("PRAGMA user_version = %d", ArchiveColumns::kSchemaVersion));
    transaction.Commit();
}
