// SPDX-License-Identifier: GPL-3.0-or-later
// The history window on a year of points (105,120 per quantity) in a real
// archive: the time from making the window to the year view drawn, the
// median redraw after a pan and after a zoom, and the resident memory with
// the window open. Goals: open under 300 ms, redraw under 30 ms, under 120 MB.
// Then the same window on twenty years (2.1 million points): the year view
// opened and the view zoomed out to two, five and ten years, each under 300 ms.
//   cmake --build build --target nimbulo-history-window-bench
//   build/bench/app/nimbulo-history-window-bench

#include <qcustomplot.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Archive.h"
#include "BenchSupport.h"
#include "HistoryWindow.h"
#include "SettingsStore.h"
#include "TwentyYearArchive.h"

namespace {

constexpr int kYearPoints = 105120;
constexpr int kRedraws = 20;

// A year of five-minute points from 1 January 2026, every value present.
void WriteYear(const std::filesystem::path& file) {
    std::vector<ArchivePoint> points;
    points.reserve(kYearPoints);
    CalendarDate date;
    date.FromDate(1, 1, 2026);
    for (int i = 0; i < kYearPoints; ++i) points.push_back(BenchPoint(date.dayNumber, i));
    Archive(file, Archive::Access::Write).Import(points);
}

double ResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:")) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

double MedianMs(const std::function<void(int)>& redraw) {
    std::vector<double> times;
    for (int i = 0; i < kRedraws; ++i) {
        QElapsedTimer clock;
        clock.start();
        redraw(i);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ElapsedMs(const std::function<void()>& step) {
    QElapsedTimer clock;
    clock.start();
    step();
    return clock.nsecsElapsed() / 1e6;
}

// The year view on the twenty-year archive, then ever longer spans.
void TwentyYears(QApplication& app) {
    const auto file = TwentyYearArchive();
    SettingsStore().Open()->setValue("History/Span", "year");
    std::unique_ptr<HistoryWindow> window;
    const double openMs = ElapsedMs([&] {
        window = std::make_unique<HistoryWindow>(
            HistoryWindowArgs{file, false, {}, [] { return SettingsStore().Open(); }});
        window->resize(1200, 800);
        window->show();
        app.processEvents();
    });
    std::printf("twenty years: year view open: %.1f ms (goal < 300)\n", openMs);
    for (const double factor : {2.0, 2.5, 2.0}) {
        const double ms = ElapsedMs([&] {
            window->Zoom(factor);
            app.processEvents();
        });
        std::printf("twenty years: zoomed out to %.1f years: %.1f ms (goal < 300)\n",
                    window->view()->length() / double(365 * kMinutesPerDay), ms);
    }
    const double panMs = MedianMs([&](int i) { window->Pan(i % 2 ? 0.1 : -0.1); });
    std::printf("twenty years: redraw after a pan at ten years: median %.1f ms\n", panMs);
}

}  // namespace

int main() {
    QApplication& app = BenchApplication();
    const auto file = std::filesystem::current_path() / Archive::kFileName;
    WriteYear(file);
    SettingsStore().Open()->setValue("History/Span", "year");
    const double before = ResidentMb();

    QElapsedTimer clock;
    clock.start();
    HistoryWindow window({file, false, {}, [] { return SettingsStore().Open(); }});
    window.resize(1200, 800);
    window.show();
    app.processEvents();
    const double openMs = clock.nsecsElapsed() / 1e6;

    const double panMs = MedianMs([&](int i) { window.Pan(i % 2 ? 0.1 : -0.1); });
    const double zoomMs = MedianMs([&](int i) { window.Zoom(i % 2 ? 1.25 : 0.8); });
    const double replotMs = MedianMs([&](int) { window.plot()->replot(); });
    app.processEvents();
    const double rss = ResidentMb();
    std::printf("year view open: %.1f ms (goal < 300)\n", openMs);
    std::printf("redraw after a pan: median %.1f ms, after a zoom: median %.1f ms (goal < 30)\n",
                panMs, zoomMs);
    std::printf("of which the drawing alone: median %.1f ms\n", replotMs);
    std::printf("resident memory with the window open: %.1f MB (%.1f MB before it; goal < 120)\n",
                rss, before);
    window.close();
    TwentyYears(app);
    return 0;
}
