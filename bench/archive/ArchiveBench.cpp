// SPDX-License-Identifier: GPL-3.0-or-later
// A 300,000-record replay with the archive and without it (the same
// recording, the same run), and the write of one live point with its commit.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "ArchiveWriter.h"
#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "StationPipeline.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 300000;

// A fresh folder to work in, removed afterwards.
class WorkDir {
  public:
    WorkDir() {
        std::string name = (fs::temp_directory_path() / "nimbulo-archive-bench-XXXXXX").string();
        dir_ = mkdtemp(name.data());
        fs::current_path(dir_);
    }
    ~WorkDir() {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    const fs::path& path() const { return dir_; }

  private:
    fs::path previous_ = fs::current_path();
    fs::path dir_;
};

// Made once by the script that makes the other benchmarks' recordings.
const fs::path& Recording() {
    static const fs::path path = [] {
        const fs::path file = fs::temp_directory_path() / "nimbulo-archive-bench-recording.txt";
        const std::string command = "bash '" NIMBULO_SOURCE_DIR
                                    "/bench/reports/make_recording.sh' " +
                                    std::to_string(kRecords) + " > '" + file.string() + "'";
        if (std::system(command.c_str()) != 0) std::abort();
        return file;
    }();
    return path;
}

void Replay(benchmark::State& state, bool archive) {
    const fs::path recording = Recording();
    for (auto _ : state) {
        state.PauseTiming();
        WorkDir dir;
        HeadlessView view;
        HeadlessChart chart;
        StationPipeline pipeline(view, chart);
        pipeline.options().saveData = 1;
        pipeline.SetStartYear(2002);
        if (archive)
            pipeline.AddFileWriter(
                std::make_unique<ArchiveWriter>(pipeline.fileFaults(), pipeline.days()));
        state.ResumeTiming();
        pipeline.ReplayFile(recording);
        if (pipeline.fileFaults().failedWrites() != 0) state.SkipWithError("failed writes");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ReplayWithoutArchive(benchmark::State& state) {
    Replay(state, false);
}
void BM_ReplayWithArchive(benchmark::State& state) {
    Replay(state, true);
}
BENCHMARK(BM_ReplayWithoutArchive)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReplayWithArchive)->Unit(benchmark::kMillisecond)->Iterations(3);

class NoDays : public DaySummarySource {
  public:
    std::vector<DaySummary> TakeChangedDays() override { return {}; }
};

// One live point: its row and a day row, one transaction, committed to disk.
void BM_LivePointWrite(benchmark::State& state) {
    WorkDir dir;
    FileFaults faults;
    DayTracker days;
    StationState station;
    station.currentYear = 2002;
    station.currentDate.FromDate(12, 5, 2002);
    ArchiveWriter writer(faults, days);
    FivePointValues point;
    point.year = 2002;
    point.fieldsReceived = 0xFFF;
    point.directionSamples = 1;
    long n = 0;
    for (auto _ : state) {
        ++n;
        point.date.FromDayOfYear(1 + int(n / 288) % 365, 2002);
        point.minuteOfDay = int(n % 288) * 5;
        point.tempOutdoor = 40.0 + n % 100 * 0.1;
        station.currentDate = point.date;
        station.raw.minuteOfDay = point.minuteOfDay;
        station.tempOutdoor = point.tempOutdoor;
        days.OnRecord(station, true);
        writer.Write(point);
        writer.WaitForWrites();  // the write itself, not only its hand-over
    }
    if (faults.failedWrites() != 0) state.SkipWithError("failed writes");
}
BENCHMARK(BM_LivePointWrite)->Unit(benchmark::kMillisecond);

}  // namespace
