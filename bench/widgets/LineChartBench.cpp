// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one strip-chart step and of one repaint, at the main window's chart
// size (450 x 78) with its three 0..100 series.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <array>
#include <cmath>

#include "LineChartCtrl.h"

namespace {

QApplication& App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "widgets-chart-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // lives until exit
    return *app;
}

constexpr int kWidth = 450;
constexpr int kHeight = 78;
constexpr int kCycle = 256;

// Three slowly varying values per step, worked out before timing.
std::array<std::array<int, 3>, kCycle> MakeValues() {
    std::array<std::array<int, 3>, kCycle> values{};
    for (int step = 0; step < kCycle; ++step) {
        const double t = 2.0 * M_PI * step / kCycle;
        values[step] = {int(50 + 45 * std::sin(t)), int(50 + 40 * std::sin(2 * t + 1)),
                        int(50 + 30 * std::cos(3 * t))};
    }
    return values;
}

void MakeChart(LineChartCtrl& chart) {
    chart.resize(kWidth, kHeight);
    chart.AddSeries(QColor(255, 0, 0), 100, 0);
    chart.AddSeries(QColor(0, 255, 0), 100, 0);
    chart.AddSeries(QColor(0, 255, 255), 100, 0);
    chart.show();
    QCoreApplication::processEvents();
}

// What the five-minute point does: three values, then Advance.
void BM_AdvanceThreeSeries(benchmark::State& state) {
    App();
    LineChartCtrl chart;
    MakeChart(chart);
    const auto values = MakeValues();
    int step = 0;
    for (auto _ : state) {
        const auto& v = values[step++ % kCycle];
        chart.SetSeriesValue(0, v[0]);
        chart.SetSeriesValue(1, v[1]);
        chart.SetSeriesValue(2, v[2]);
        chart.Advance();
    }
    benchmark::DoNotOptimize(chart.Surface()->Data());
}
BENCHMARK(BM_AdvanceThreeSeries);

// A full repaint of the shown chart: one copy of the picture.
void BM_RepaintWholeChart(benchmark::State& state) {
    App();
    LineChartCtrl chart;
    MakeChart(chart);
    for (int step = 0; step < kWidth / LineChartCtrl::kStepWidth; ++step) {
        chart.SetSeriesValue(0, step % 100);
        chart.Advance();
    }
    for (auto _ : state) {
        chart.repaint();
    }
}
BENCHMARK(BM_RepaintWholeChart);

}  // namespace
