// SPDX-License-Identifier: GPL-3.0-or-later
// The climate summaries on a twenty-year archive (2.1 million five-minute
// points and 7,305 day rows, made in the set-up): a year's summary, every
// month's and year's file (--noaa-all), and what the station midnight's
// rewriting of the month's and year's files adds to that record.
//
//   build/bench/climate/climate_bench
//
// Targets: a year under 100 ms; all files under 10 s; the midnight under 50 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ClimateReports.h"
#include "NoaaFileWriter.h"
#include "NoaaFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFirstYear = 2006;
constexpr int kYears = 20;

// A made-up but plausible day: a yearly and a daily swing of temperature, wind
// veering through the day, rain on every third day.
void AddDay(const CalendarDate& date, std::vector<ArchivePoint>& points,
            std::vector<DaySummary>& days) {
    DaySummary day;
    day.date = date;
    const double season = 50.0 - 25.0 * std::cos((date.month - 1.5) / 12.0 * 2 * M_PI);
    char dateText[16];
    std::snprintf(dateText, sizeof dateText, "%04d-%02d-%02d", date.year, date.month, date.day);
    for (int minute = 0; minute < 1440; minute += 5) {
        ArchivePoint p;
        p.date = dateText;
        p.time = ArchiveTimeText(minute);
        const double temp =
            std::round((season + 12.0 * std::sin(minute / 1440.0 * 2 * M_PI)) * 10) / 10;
        const double speed = 3.0 + (minute / 5 + date.day) % 17;
        const int degrees = 1 + (minute / 5 * 7 + date.day * 13) % 360;
        p.values[ArchiveColumns::kTempOutdoor] = temp;
        p.values[ArchiveColumns::kWindSpeedAvg] = speed;
        p.values[ArchiveColumns::kDirectionDegrees] = degrees;
        p.values[ArchiveColumns::kCompass] = ((degrees * 2 + 22) / 45) % 16;
        p.values[ArchiveColumns::kRainToday] = date.day % 3 == 0 ? minute / 1440.0 : 0.0;
        if (!day.tempOutdoor.high.value || temp > *day.tempOutdoor.high.value)
            day.tempOutdoor.high = {temp, p.time};
        if (!day.tempOutdoor.low.value || temp < *day.tempOutdoor.low.value)
            day.tempOutdoor.low = {temp, p.time};
        if (!day.windSpeedMax.value || speed > *day.windSpeedMax.value)
            day.windSpeedMax = {speed, p.time};
        points.push_back(std::move(p));
    }
    day.rainDay = date.day % 3 == 0 ? 1439 / 1440.0 : 0.0;
    days.push_back(day);
}

// Made once per run, a month to a transaction; removed at the end.
class TwentyYears {
  public:
    TwentyYears() {
        std::string name = (fs::temp_directory_path() / "nimbulo-climate-bench-XXXXXX").string();
        dir_ = mkdtemp(name.data());
        Archive archive(dir_ / Archive::kFileName, Archive::Access::Write);
        for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
            for (int month = 1; month <= 12; ++month) {
                std::vector<ArchivePoint> points;
                std::vector<DaySummary> days;
                for (int d = 1; d <= DaysInMonth(month, year); ++d) {
                    CalendarDate date;
                    date.FromDate(month, d, year);
                    AddDay(date, points, days);
                }
                points_ += long(points.size());
                archive.Write(points, days);
            }
        }
    }
    ~TwentyYears() { fs::remove_all(dir_); }
    const fs::path& dir() const { return dir_; }
    long points() const { return points_; }

  private:
    fs::path dir_;
    long points_ = 0;
};

const TwentyYears& Archive20() {
    static const TwentyYears archive;
    return archive;
}

StationIdentity Station() {
    StationIdentity station;
    station.name = "Benchmark Hill";
    station.latitude = 52.5;
    station.longitude = -1.25;
    station.elevation = 312;
    return station;
}

void BM_YearSummary(benchmark::State& state) {
    Archive archive(Archive20().dir() / Archive::kFileName, Archive::Access::Read);
    ClimateReports reports(archive, Station(), false);
    for (auto _ : state) {
        const auto text = reports.YearText(kFirstYear + kYears - 1);
        if (!text) state.SkipWithError("no summary");
        benchmark::DoNotOptimize(text);
    }
    state.counters["points"] = double(Archive20().points());
}
BENCHMARK(BM_YearSummary)->Unit(benchmark::kMillisecond);

void BM_NoaaAll(benchmark::State& state) {
    const fs::path previous = fs::current_path();
    fs::current_path(Archive20().dir());
    Archive archive(Archive::kFileName, Archive::Access::Read);
    ClimateReports reports(archive, Station(), false);
    int files = 0;
    for (auto _ : state) {
        fs::remove_all(NoaaFiles::kFolder);
        files = NoaaFiles::WriteAll(reports, [](const fs::path&, int) {});
    }
    state.counters["files"] = files;
    fs::current_path(previous);
}
BENCHMARK(BM_NoaaAll)->Unit(benchmark::kMillisecond)->Iterations(2);

// Every point a new station day of the last December: each Write rewrites
// that month's and year's files, which a live point does once a day.
void BM_MidnightPoint(benchmark::State& state) {
    const fs::path previous = fs::current_path();
    fs::current_path(Archive20().dir());
    FileFaults faults;
    NoaaFileWriter writer(faults, [] { return NoaaFileWriter::Settings{Station(), false}; });
    FivePointValues point;
    const int year = kFirstYear + kYears - 1;
    int day = 1;
    point.date.FromDate(12, day, year);
    writer.Write(point);
    for (auto _ : state) {
        day = day % 30 + 1;
        point.date.FromDate(12, day, year);
        writer.Write(point);
    }
    if (faults.failedWrites() != 0) state.SkipWithError("failed writes");
    fs::current_path(previous);
}
BENCHMARK(BM_MidnightPoint)->Unit(benchmark::kMillisecond);

}  // namespace
