// SPDX-License-Identifier: GPL-3.0-or-later
// Which plotting library draws the history window's year view: Qt Charts
// against QCustomPlot, each drawing three temperature lines of a year into a
// 1200 x 800 picture, once with every point (105,120 per line) and once
// bucketed to the pixels (min, mean and max of each bucket). Prints the time
// to the first picture, the median time of a redraw after a pan, and the
// growth of resident memory. Built only where both libraries are installed:
//   cmake --build build --target nimbulo-plot-library-bench
//   QT_QPA_PLATFORM=offscreen build/bench/app/nimbulo-plot-library-bench

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qcustomplot.h"

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;
constexpr int kYearPoints = 105120;
constexpr int kLines = 3;
constexpr int kPans = 20;
constexpr double kStartSeconds = 1767225600;  // 2026-01-01

struct Line {
    std::vector<double> x;  // seconds since the epoch
    std::vector<double> y;
};

// A year of five-minute temperatures: a seasonal and a daily swing.
std::vector<Line> YearOfPoints() {
    std::vector<Line> lines(kLines);
    for (int l = 0; l < kLines; ++l) {
        lines[l].x.resize(kYearPoints);
        lines[l].y.resize(kYearPoints);
        for (int i = 0; i < kYearPoints; ++i) {
            const double day = i / 288.0;
            lines[l].x[i] = kStartSeconds + i * 300.0;
            lines[l].y[i] =
                50 - 25 * std::cos(day / 365 * 2 * M_PI) + 10 * std::sin(day * 2 * M_PI) + 5 * l;
        }
    }
    return lines;
}

// Each line cut into kWidth buckets, drawn as its min, mean and max lines.
std::vector<Line> Bucketed(const std::vector<Line>& lines) {
    std::vector<Line> out;
    const int per = (kYearPoints + kWidth - 1) / kWidth;
    for (const Line& line : lines) {
        Line lo, mean, hi;
        for (int start = 0; start < kYearPoints; start += per) {
            const int end = std::min(kYearPoints, start + per);
            const auto [mn, mx] = std::minmax_element(line.y.begin() + start, line.y.begin() + end);
            double sum = 0;
            for (int i = start; i < end; ++i) sum += line.y[i];
            for (Line* l : {&lo, &mean, &hi}) l->x.push_back(line.x[start]);
            lo.y.push_back(*mn);
            hi.y.push_back(*mx);
            mean.y.push_back(sum / (end - start));
        }
        out.insert(out.end(), {lo, mean, hi});
    }
    return out;
}

long RssKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    return 0;
}

struct Result {
    double openMs;
    double panMs;
    long rssKb;
};

// make: builds the plot and returns a function that draws it into the image
// after moving its time axis to [from, to].
using Draw = std::function<void(QImage&, double from, double to)>;

Result Measure(const std::function<Draw()>& make) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const long rssBefore = RssKb();
    QElapsedTimer timer;
    timer.start();
    Draw draw = make();
    const double end = kStartSeconds + kYearPoints * 300.0;
    draw(image, kStartSeconds, end);
    const double openMs = timer.nsecsElapsed() / 1e6;
    std::vector<double> pans;
    for (int i = 1; i <= kPans; ++i) {
        timer.restart();
        const double shift = i * 86400.0 * 3;
        draw(image, kStartSeconds - shift, end - shift);
        pans.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(pans.begin(), pans.end());
    if (const char* shot = std::getenv("PLOT_BENCH_SHOT")) image.save(QString::fromUtf8(shot));
    return {openMs, pans[pans.size() / 2], RssKb() - rssBefore};
}

Draw QtCharts(const std::vector<Line>& lines) {
    auto* chart = new QChart;
    auto* axisX = new QDateTimeAxis;
    auto* axisY = new QValueAxis;
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (const Line& line : lines) {
        auto* series = new QLineSeries;
        QList<QPointF> points;
        points.reserve(qsizetype(line.x.size()));
        // Qt Charts takes milliseconds on a date-time axis.
        for (std::size_t i = 0; i < line.x.size(); ++i)
            points.append(QPointF(line.x[i] * 1000, line.y[i]));
        series->replace(points);
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    axisY->setRange(0, 100);
    auto view = std::make_shared<QChartView>(chart);
    view->resize(kWidth, kHeight);
    view->show();  // a chart lays itself out only once shown
    return [view, axisX](QImage& image, double from, double to) {
        axisX->setRange(QDateTime::fromSecsSinceEpoch(qint64(from)),
                        QDateTime::fromSecsSinceEpoch(qint64(to)));
        // The chart lays its series out on the next turn of the event loop:
        // without it the picture would show the old range.
        QCoreApplication::processEvents();
        QPainter painter(&image);
        view->render(&painter);
    };
}

Draw CustomPlot(const std::vector<Line>& lines) {
    auto plot = std::make_shared<QCustomPlot>();
    plot->resize(kWidth, kHeight);
    plot->show();
    plot->xAxis->setTicker(QSharedPointer<QCPAxisTickerDateTime>::create());
    for (const Line& line : lines) {
        QCPGraph* graph = plot->addGraph();
        graph->setData(QVector<double>(line.x.begin(), line.x.end()),
                       QVector<double>(line.y.begin(), line.y.end()), true);
    }
    plot->yAxis->setRange(0, 100);
    return [plot](QImage& image, double from, double to) {
        plot->xAxis->setRange(from, to);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        QPainter painter(&image);
        plot->render(&painter);
    };
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::vector<Line> year = YearOfPoints();
    const std::vector<Line> buckets = Bucketed(year);
    struct Run {
        const char* library;
        const char* data;
        std::function<Draw()> make;
    };
    const Run runs[] = {
        {"QCustomPlot", "every point", [&] { return CustomPlot(year); }},
        {"QCustomPlot", "bucketed", [&] { return CustomPlot(buckets); }},
        {"Qt Charts", "every point", [&] { return QtCharts(year); }},
        {"Qt Charts", "bucketed", [&] { return QtCharts(buckets); }},
    };
    std::printf("%-12s %-12s %8s %10s %9s %9s\n", "library", "data", "lines", "points", "open_ms",
                "pan_ms");
    for (const Run& run : runs) {
        const bool bucketed = std::string(run.data) == "bucketed";
        const Result r = Measure(run.make);
        const std::vector<Line>& data = bucketed ? buckets : year;
        std::printf("%-12s %-12s %8zu %10zu %9.1f %9.1f   rss +%ld MB\n", run.library, run.data,
                    data.size(), data[0].x.size(), r.openMs, r.panMs, r.rssKb / 1024);
        std::fflush(stdout);
    }
    return 0;
}
