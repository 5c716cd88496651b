// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AprsReport.h"
#include "DataLog.h"
#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "MixwReport.h"
#include "StationPipeline.h"

namespace {

// Runs the benchmark inside a scratch directory, since the files are written
// relative to the working directory.
class ScratchDir {
  public:
    ScratchDir() : previous_(std::filesystem::current_path()) {
        dir_ = std::filesystem::temp_directory_path() / "nimbulo-reports-bench";
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~ScratchDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

  private:
    std::filesystem::path previous_, dir_;
};

// One record a station minute, readings changing all the time.
std::vector<std::string> MakeRecords(int count) {
    std::vector<std::string> records;
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "!!%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X",
                      i % 400, (i * 13) % 256, (700 + i) & 0xFFFF, i % 1000, 10000 + i % 300,
                      680 + i % 50, 300 + i % 700, 400 + i % 500, (i / 1440) % 365, i % 1440,
                      i % 200, i % 300);
        records.emplace_back(line);
    }
    return records;
}

StationState SomeReadings() {
    StationState s;
    s.windDirAvg = 137;
    s.windSpeedAvg = 5.58;
    s.gust = 12.4;
    s.tempOutdoor = -3.7;
    s.tempIndoor = 68.2;
    s.pressure = 29.919796;
    s.humidityOutdoor = 87.0;
    s.humidityIndoor = 41.5;
    s.rainToday = 0.12;
    s.raw.pressure = 10132;
    s.raw.minuteOfDay = 880;
    return s;
}

FivePointValues SomePoint() {
    return FivePointValues::FromState(SomeReadings(),
                                      "!!006B005803500000----03E9--------002105140000005D");
}

void BM_DataLogLineText(benchmark::State& st) {
    const FivePointValues point = SomePoint();
    for (auto _ : st) benchmark::DoNotOptimize(DataLogLineText(point));
}
BENCHMARK(BM_DataLogLineText);

void BM_WriteBothReports(benchmark::State& st) {
    ScratchDir dir;
    const FivePointValues point = SomePoint();
    FileFaults faults;
    AprsReport aprs(faults);
    MixwReport mixw(faults);
    for (auto _ : st) {
        aprs.Write(point);
        mixw.Write(point);
    }
}
BENCHMARK(BM_WriteBothReports);

// Records per second through the whole pipeline with saving on, one record a
// minute: a five-minute point with both reports and a log line every fifth.
void BM_PipelineSavingOneRecordAMinute(benchmark::State& st) {
    ScratchDir dir;
    const auto records = MakeRecords(1440 * 4);
    HeadlessView view;
    HeadlessChart chart;
    StationPipeline pipeline(view, chart, [] {
        CalendarDate d;
        d.FromDate(1, 1, 2002);
        return d;
    });
    pipeline.options().saveData = 1;
    std::size_t i = 0;
    for (auto _ : st) {
        pipeline.ProcessLine(records[i].c_str());
        if (++i == records.size()) i = 0;
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_PipelineSavingOneRecordAMinute);

}  // namespace
