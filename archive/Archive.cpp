// SPDX-License-Identifier: GPL-3.0-or-later
#include "Archive.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>

#include "DayTracker.h"
#include "SqliteError.h"
#include "SqliteStatement.h"
#include "TextFormat.h"

namespace {
using namespace ArchiveColumns;

std::string PointTableSql() {
    std::string sql =
        "CREATE TABLE points (\n"
        "  station_date TEXT NOT NULL,\n"
        "  station_time TEXT NOT NULL,\n"
        "  written_utc TEXT,\n";
    for (const PointColumn& c : kPoint)
        sql += std::string("  ") + c.name + (c.decimals == 0 ? " INTEGER,\n" : " REAL,\n");
    return sql + "  PRIMARY KEY (station_date, station_time)\n) WITHOUT ROWID";
}

// The day columns after date, in the order they are bound and read.
std::vector<std::string> DayColumnNames() {
    std::vector<std::string> names;
    for (const DayColumn& c : kDay) {
        for (const char* end : {"_min", "_min_time", "_max", "_max_time"})
            names.push_back(c.name + std::string(end));
    }
    for (const char* name : {kWindMax, "wind_speed_mph_max_time", kRainDay})
        names.emplace_back(name);
    return names;
}

std::string DayTableSql() {
    std::string sql = "CREATE TABLE days (\n  date TEXT NOT NULL PRIMARY KEY,\n";
    for (const std::string& name : DayColumnNames()) {
        const bool time = name.ends_with("_time");
        sql += "  " + name + (time ? " TEXT,\n" : " REAL,\n");
    }
    return sql + "  from_points INTEGER NOT NULL DEFAULT 0\n) WITHOUT ROWID";
}

std::string DayInsertSql() {
    std::string sql = "INSERT INTO days (date", values = "?";
    for (const std::string& name : DayColumnNames()) {
        sql += ", " + name;
        values += ", ?";
    }
    return sql + ", from_points) VALUES (" + values + ", ?) ON CONFLICT(date) DO UPDATE SET ";
}

// A value and its time that replace the row's when beyond them (or equal
// and earlier), or when the row was made from points.
std::string MergeExtreme(const std::string& column, char beyond) {
    const std::string now = "excluded." + column, was = "days." + column;
    const std::string condition = "days.from_points OR (" + now + " IS NOT NULL AND (" + was +
                                  " IS NULL OR " + now + " " + beyond + " " + was + " OR (" + now +
                                  " = " + was + " AND " + now + "_time < " + was + "_time)))";
    std::string sql;
    for (const std::string& c : {column, column + "_time"})
        sql +=
            c + " = CASE WHEN " + condition + " THEN excluded." + c + " ELSE days." + c + " END, ";
    return sql;
}

std::string DayMergeSql() {
    std::string sql = DayInsertSql();
    for (const DayColumn& c : kDay)
        sql += MergeExtreme(c.name + std::string("_min"), '<') +
               MergeExtreme(c.name + std::string("_max"), '>');
    sql += MergeExtreme(kWindMax, '>');
    sql += std::string(kRainDay) + " = CASE WHEN days.from_points THEN excluded." + kRainDay +
           " ELSE coalesce(excluded." + kRainDay + ", days." + kRainDay + ") END, ";
    return sql + "from_points = 0";
}

// A day made from points replaces one made from points, never one from records.
std::string DayFromPointsSql() {
    std::string sql = DayInsertSql();
    for (const std::string& name : DayColumnNames()) sql += name + " = excluded." + name + ", ";
    return sql + "from_points = 1 WHERE days.from_points = 1";
}

std::string PointInsertSql() {
    std::string sql = "INSERT INTO points (station_date, station_time, written_utc";
    std::string values = "?, ?, ?";
    for (const PointColumn& c : kPoint) {
        sql += std::string(", ") + c.name;
        values += ", ?";
    }
    return sql + ") VALUES (" + values + ") ON CONFLICT DO NOTHING";
}

std::string PointSelectSql() {
    std::string sql = "SELECT station_date, station_time, written_utc";
    for (const PointColumn& c : kPoint) sql += std::string(", ") + c.name;
    return sql +
           " FROM points WHERE (station_date, station_time) BETWEEN (?, ?) AND (?, ?)"
           " ORDER BY station_date, station_time";
}

void BindPoint(SqliteStatement& insert, const ArchivePoint& point) {
    insert.Reset();
    insert.Bind(1, std::optional<std::string_view>(point.date));
    insert.Bind(2, std::optional<std::string_view>(point.time));
    insert.Bind(
        3, point.writtenUtc ? std::optional<std::string_view>(*point.writtenUtc) : std::nullopt);
    for (std::size_t k = 0; k < kPointCount; ++k) {
        if (kPoint[k].decimals == 0 && point.values[k])
            insert.BindInt(static_cast<int>(k) + 4, static_cast<long long>(*point.values[k]));
        else
            insert.Bind(static_cast<int>(k) + 4, point.values[k]);
    }
}

ArchivePoint ReadPoint(const SqliteStatement& row) {
    ArchivePoint point;
    point.date = row.Text(0);
    point.time = row.Text(1);
    point.writtenUtc = row.OptionalText(2);
    for (std::size_t k = 0; k < kPointCount; ++k)
        point.values[k] = row.OptionalDouble(static_cast<int>(k) + 3);
    return point;
}

void BindExtreme(SqliteStatement& s, int& index, const DayExtreme& e, int decimals) {
    s.Bind(index++, AsPrinted(e.value, decimals));
    s.Bind(index++, e.value ? std::optional<std::string_view>(e.time) : std::nullopt);
}

DayExtreme ReadExtreme(const SqliteStatement& row, int& index) {
    DayExtreme e;
    e.value = row.OptionalDouble(index++);
    e.time = row.Text(index++);
    return e;
}

CalendarDate ParseDate(const std::string& text) {
    int year = 0, month = 1, day = 1;
    std::sscanf(text.c_str(), "%d-%d-%d", &year, &month, &day);
    CalendarDate date;
    date.FromDate(month, day, year);
    return date;
}
}  // namespace

std::string DaySummaryDateText(const DaySummary& day) {
    return FormatText("%04d-%02d-%02d", day.date.year, day.date.month, day.date.day);
}

namespace {
SqliteDatabase::Mode OpenMode(const std::filesystem::path& path, Archive::Access access) {
    if (access == Archive::Access::Write) return SqliteDatabase::Mode::ReadWriteCreate;
    return ::access(path.c_str(), W_OK) == 0 ? SqliteDatabase::Mode::ReadWrite
                                             : SqliteDatabase::Mode::ReadOnly;
}
}  // namespace

Archive::Archive(const std::filesystem::path& path, Access access)
    : db_(path, OpenMode(path, access)) {
    sqlite3_busy_timeout(db_.handle(), kBusyTimeoutMs);
    if (access == Access::Write && db_.IsReadOnly())
        throw SqliteError(SQLITE_READONLY, "the file is read-only");
    CheckVersion(access == Access::Write);
}

// Reads the file before anything is written to it, so that a foreign or
// newer file stays untouched.
void Archive::CheckVersion(bool mayCreate) {
    const long long found = [this] {
        // Gone before anything else runs: a statement left open keeps a read
        // transaction, in which the journal cannot change.
        SqliteStatement version(db_.handle(), "PRAGMA user_version");
        version.Step();
        return version.Int(0);
    }();
    if (found > kSchemaVersion)
        throw SqliteError(SQLITE_ERROR,
                          FormatText("archive of a newer version (schema %lld; this program "
                                     "knows %d)",
                                     found, kSchemaVersion));
    if (found == kSchemaVersion || found == 1) {
        CheckSchema();
        if (mayCreate) SwitchToWal();
        // Checked first: the tables of long periods go only into a file of ours.
        if (found == 1 && mayCreate) AddStats();
        return;
    }
    if (!mayCreate) throw SqliteError(SQLITE_ERROR, "no archive there yet");
    CreateSchema();
}

// Our two tables with their columns; other tables and columns may stand
// beside them (a later schema adds to them).
void Archive::CheckSchema() {
    std::string points = "SELECT station_date, station_time, written_utc", days = "SELECT date";
    for (const PointColumn& c : kPoint) points += std::string(", ") + c.name;
    for (const std::string& name : DayColumnNames()) days += ", " + name;
    try {
        SqliteStatement(db_.handle(), points + " FROM points LIMIT 0");
        SqliteStatement(db_.handle(), days + ", from_points FROM days LIMIT 0");
    } catch (const SqliteError& error) {
        if (error.code() != SQLITE_ERROR) throw;  // damaged, or locked
        throw SqliteError(SQLITE_ERROR, "a database of another program, not an archive");
    }
}

// Changes the file's header (bytes 18 and 19): only after the whole file
// has passed SQLite's check. A file in WAL already is not written to.
void Archive::SwitchToWal() {
    {
        SqliteStatement mode(db_.handle(), "PRAGMA journal_mode");
        mode.Step();
        if (mode.Text(0) != "wal") {
            mode.Reset();
            SqliteStatement check(db_.handle(), "PRAGMA quick_check");
            check.Step();
            if (check.Text(0) != "ok")
                throw SqliteError(SQLITE_CORRUPT,
                                  "database disk image is malformed: " + check.Text(0));
        }
    }
    db_.Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
}

void Archive::CreateSchema() {
    SqliteTransaction transaction(db_);
    // Checked again inside the transaction: another program may be making it too.
    SqliteStatement state(db_.handle(),
                          "SELECT (SELECT user_version FROM pragma_user_version),"
                          " (SELECT count(*) FROM sqlite_schema)");
    state.Step();
    const long long version = state.Int(0), tables = state.Int(1);
    state.Reset();
    if (version == kSchemaVersion) return;
    if (version != 0 || tables != 0)
        throw SqliteError(SQLITE_ERROR, "a database of another program, not an archive");
    db_.Execute(PointTableSql());
    db_.Execute(DayTableSql());
    db_.Execute(ArchiveStats::HourTableSql());
    db_.Execute(ArchiveStats::DayTableSql());
    db_.Execute(FormatText("PRAGMA user_version = %d", kSchemaVersion));
    transaction.Commit();
    SwitchToWal();
}

SqliteStatement& Archive::Prepared(std::unique_ptr<SqliteStatement>& slot, const std::string& sql) {
    if (slot == nullptr) slot = std::make_unique<SqliteStatement>(db_.handle(), sql);
    return *slot;
}

void Archive::Write(std::span<const ArchivePoint> points, std::span<const DaySummary> days) {
    SqliteTransaction transaction(db_);
    SqliteStatement& insert = Prepared(pointInsert_, PointInsertSql());
    std::set<std::string> dates;
    for (const ArchivePoint& point : points) {
        BindPoint(insert, point);
        insert.Step();
        if (sqlite3_changes(db_.handle()) > 0) dates.insert(point.date);
    }
    for (const std::string& date : dates) WriteStats(date);
    for (const DaySummary& day : days) WriteDay(day, false);
    transaction.Commit();
}

void Archive::WriteDay(const DaySummary& day, bool fromPoints) {
    SqliteStatement& upsert = fromPoints ? Prepared(dayFromPoints_, DayFromPointsSql())
                                         : Prepared(dayMerge_, DayMergeSql());
    upsert.Reset();
    int index = 1;
    const std::string date = DaySummaryDateText(day);
    upsert.Bind(index++, std::optional<std::string_view>(date));
    for (const DayColumn& c : kDay) {
        BindExtreme(upsert, index, (day.*c.highLow).low, c.decimals);
        BindExtreme(upsert, index, (day.*c.highLow).high, c.decimals);
    }
    BindExtreme(upsert, index, day.windSpeedMax, kWindDecimals);
    upsert.Bind(index++, AsPrinted(day.rainDay, kRainDecimals));
    upsert.BindInt(index, fromPoints ? 1 : 0);
    upsert.Step();
}

Archive::ImportCount Archive::Import(std::span<const ArchivePoint> points) {
    ImportCount count;
    std::set<std::string> dates;
    SqliteTransaction transaction(db_);
    SqliteStatement& insert = Prepared(pointInsert_, PointInsertSql());
    for (const ArchivePoint& point : points) {
        BindPoint(insert, point);
        insert.Step();
        if (sqlite3_changes(db_.handle()) > 0) {
            ++count.added;
            dates.insert(point.date);
        } else {
            ++count.present;
        }
    }
    for (const std::string& date : dates) {
        WriteDay(DayFromPoints(date), true);
        WriteStats(date);
    }
    transaction.Commit();
    return count;
}

DaySummary Archive::DayFromPoints(const std::string& date) {
    DaySummary day;
    day.date = ParseDate(date);
    day.fromPoints = true;
    std::string sql = "SELECT station_time";
    for (const PointColumn& c : kPoint) sql += std::string(", ") + c.name;
    SqliteStatement rows(db_.handle(), sql + " FROM points WHERE station_date = ? ORDER BY 1");
    rows.Bind(1, std::optional<std::string_view>(date));
    while (rows.Step()) {
        const std::string time = rows.Text(0);
        const auto value = [&rows](PointIndex k) { return rows.OptionalDouble(int(k) + 1); };
        for (const DayColumn& c : kDay) {
            if (const auto v = value(c.fromPoint))
                DayTracker::Include(day.*c.highLow, *v, time, c.range, c.decimals);
        }
        // The data log has no gust: the top wind is its highest one-minute average.
        if (const auto v = value(kWindSpeedAvg))
            DayTracker::IncludeHigh(day.windSpeedMax, *v, time, SensorRanges::kWindSpeedMph,
                                    kWindDecimals);
        if (const auto v = value(kRainToday)) day.rainDay = v;
    }
    return day;
}

void Archive::ForEachPoint(const std::string& fromDate, const std::string& fromTime,
                           const std::string& toDate, const std::string& toTime,
                           const std::function<void(const ArchivePoint&)>& take) {
    SqliteStatement rows(db_.handle(), PointSelectSql());
    int index = 1;
    for (const std::string* text : {&fromDate, &fromTime, &toDate, &toTime})
        rows.Bind(index++, std::optional<std::string_view>(*text));
    while (rows.Step()) take(ReadPoint(rows));
}

std::vector<ArchivePoint> Archive::ReadPoints(const std::string& fromDate,
                                              const std::string& fromTime,
                                              const std::string& toDate,
                                              const std::string& toTime) {
    std::vector<ArchivePoint> points;
    ForEachPoint(fromDate, fromTime, toDate, toTime,
                 [&points](const ArchivePoint& p) { points.push_back(p); });
    return points;
}

std::vector<DaySummary> Archive::ReadDays(const std::string& fromDate, const std::string& toDate) {
    std::string sql = "SELECT date";
    for (const std::string& name : DayColumnNames()) sql += ", " + name;
    SqliteStatement rows(db_.handle(),
                         sql + ", from_points FROM days WHERE date BETWEEN ? AND ? ORDER BY date");
    rows.Bind(1, std::optional<std::string_view>(fromDate));
    rows.Bind(2, std::optional<std::string_view>(toDate));
    std::vector<DaySummary> days;
    while (rows.Step()) {
        DaySummary day;
        day.date = ParseDate(rows.Text(0));
        int index = 1;
        for (const DayColumn& c : kDay) {
            (day.*c.highLow).low = ReadExtreme(rows, index);
            (day.*c.highLow).high = ReadExtreme(rows, index);
        }
        day.windSpeedMax = ReadExtreme(rows, index);
        day.rainDay = rows.OptionalDouble(index++);
        day.fromPoints = rows.Int(index) != 0;
        days.push_back(std::move(day));
    }
    return days;
}

std::optional<std::string> Archive::LatestPointTime() {
    SqliteStatement row(db_.handle(),
                        "SELECT station_date || ' ' || station_time FROM points"
                        " ORDER BY station_date DESC, station_time DESC LIMIT 1");
    if (!row.Step()) return std::nullopt;
    return row.Text(0);
}
