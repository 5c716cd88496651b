// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden Read Test Data File command on a 300,000-record recording,
// through the real main window (offscreen).

#include <benchmark/benchmark.h>

#include <QDir>
#include <QSettings>

#include "BenchSupport.h"
#include "SettingsLocation.h"
#include "StationWindow.h"

namespace {

void ReplayThroughTheWindow(benchmark::State& state, bool saveData) {
    BenchApplication();
    QDir().mkpath("InputData");
    WriteRecording("InputData/InputTestData.txt", 300000);
    {
        const std::unique_ptr<QSettings> opened = SettingsLocation::OfRunningProgram().Open();
        QSettings& settings = *opened;
        settings.setValue("Settings/SaveStatus", saveData ? 1 : 0);
        settings.setValue("Settings/PlotItem0", 1);
        settings.setValue("Settings/PlotItem2", 1);
        settings.setValue("Settings/PlotItem5", 1);
    }
    long records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The record limit counts from the window's start, so each run needs a new window.
        auto window = std::make_unique<StationWindow>();
        window->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window->ReadTestDataFile();
        state.PauseTiming();
        records = window->pipeline().state().recordCount;
        window.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = static_cast<double>(records);
    QDir("OutputData").removeRecursively();
}

void BM_ReplayThroughWindow(benchmark::State& state) {
    ReplayThroughTheWindow(state, false);
}
void BM_ReplayThroughWindowSavingData(benchmark::State& state) {
    ReplayThroughTheWindow(state, true);
}

BENCHMARK(BM_ReplayThroughWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReplayThroughWindowSavingData)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
