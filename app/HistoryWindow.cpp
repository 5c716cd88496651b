// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryWindow.h"

#include <qcustomplot.h>

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStackedWidget>
#include <QTextStream>
#include <QTimer>
#include <cmath>

#include "ArchiveHistorySource.h"
#include "ClimateSummaryViewer.h"
#include "DerivedTracker.h"
#include "HighsLows.h"
#include "HistoryBuckets.h"
#include "HistoryFill.h"
#include "RainBars.h"
#include "ScreenFit.h"
#include "StatsCache.h"
#include "UnitSettings.h"

namespace {

using Q = HistoryQuantity;

struct Line {
    HistoryQuantity quantity;
    HistoryWindow::Plot plot;
    const char* name;      // in the plot's legend
    const char* fullName;  // in the read-out and the saved points' header
    QColor colour;
    bool dots;  // the wind direction, on the plot's right axis
};
const Line kLines[] = {
    {Q::TempOutdoor, HistoryWindow::kTemperatures, "Outdoor", "Outdoor temperature",
     QColor(200, 30, 30), false},
    {Q::TempIndoor, HistoryWindow::kTemperatures, "Indoor", "Indoor temperature",
     QColor(230, 140, 0), false},
    {Q::DewPoint, HistoryWindow::kTemperatures, "Dew point", "Dew point", QColor(30, 120, 200),
     false},
    {Q::FeelsLike, HistoryWindow::kTemperatures, "Feels like", "Feels like", QColor(150, 60, 170),
     false},
    {Q::HumidityOutdoor, HistoryWindow::kHumidity, "Outdoor", "Outdoor humidity",
     QColor(30, 120, 200), false},
    {Q::HumidityIndoor, HistoryWindow::kHumidity, "Indoor", "Indoor humidity", QColor(230, 140, 0),
     false},
    {Q::WindAverage, HistoryWindow::kWind, "Average", "Average wind", QColor(30, 140, 60), false},
    {Q::Gust, HistoryWindow::kWind, "Gust", "Gust", QColor(200, 30, 30), false},
    {Q::Direction, HistoryWindow::kWind, "Direction", "Wind direction", QColor(90, 90, 90), true},
    {Q::Pressure, HistoryWindow::kPressure, "Pressure", "Pressure", QColor(60, 60, 160), false},
};

// The axis labels: the time of day within a few weeks, the year beyond.
constexpr StationMinute kYearLabelsFrom = 40 * kMinutesPerDay;

std::optional<Quantity> UnitQuantity(HistoryQuantity q) {
    switch (q) {
        case Q::TempOutdoor:
        case Q::TempIndoor:
        case Q::DewPoint:
        case Q::FeelsLike:
            return Quantity::Temperature;
        case Q::WindAverage:
        case Q::Gust:
            return Quantity::Speed;
        case Q::RainToday:
            return Quantity::Rain;
        case Q::Pressure:
            return Quantity::Pressure;
        default:
            return std::nullopt;
    }
}

double Shown(HistoryQuantity q, double us, bool metric) {
    const auto unit = UnitQuantity(q);
    return unit ? ToDisplay(*unit, us, metric) : us;
}

QString PlotTitle(HistoryWindow::Plot plot, bool metric) {
    switch (plot) {
        case HistoryWindow::kTemperatures:
            return metric ? "Temperature (°C)" : "Temperature (°F)";
        case HistoryWindow::kHumidity:
            return "Humidity (%)";
        case HistoryWindow::kWind:
            return metric ? "Wind (km/h)" : "Wind (mph)";
        case HistoryWindow::kRain:
            return metric ? "Rain (mm)" : "Rain (in)";
        default:
            return metric ? "Pressure (hPa)" : "Pressure (inHg)";
    }
}

// The unit after a value in the read-out.
QString Unit(HistoryQuantity q, bool metric) {
    switch (UnitQuantity(q).value_or(Quantity::Humidity)) {
        case Quantity::Temperature:
            return metric ? "°C" : "°F";
        case Quantity::Speed:
            return metric ? "km/h" : "mph";
        case Quantity::Rain:
            return metric ? "mm" : "in";
        case Quantity::Pressure:
            return metric ? "hPa" : "inHg";
        default:
            return q == Q::Direction ? "°" : "%";
    }
}

// A column of the saved points: its quantity in words and its unit, so that
// a metric file can be told from a US one.
QString CsvColumn(const QString& name, HistoryQuantity q, bool metric) {
    return QStringLiteral("%1 (%2)").arg(name.toLower(), Unit(q, metric));
}

QString Number(std::optional<double> value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("–");
}

QString DateText(const CalendarDate& date) {
    return QDate(date.year, date.month, date.day).toString("d MMM yyyy");
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryWindowArgs args, QWidget* parent)
    : HistoryWindowInterface(parent, Qt::Window),
      archivePath_(std::move(args.archive)),
      metric_(args.metric),
      liveDerived_(std::move(args.liveDerived)),
      openSettings_(std::move(args.openSettings)) {
    setWindowTitle(tr("History"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    pages_ = new QStackedWidget(this);
    layout->addWidget(pages_, 1);
    empty_ = new QLabel(pages_);
    empty_->setWordWrap(true);
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pages_->addWidget(empty_);

    auto* content = new QWidget(pages_);
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    row->addLayout(left, 1);
    plot_ = new QCustomPlot(content);
    // Small enough for a laptop at twice the scale (800 x 500 points).
    plot_->setMinimumSize(320, 220);
    left->addWidget(plot_, 1);
    // Two lines of a fixed height whose width follows the window, never the
    // other way round: a long read-out wraps and is cut, the window stays.
    readOut_ = new QLabel(content);
    readOut_->setObjectName("readOut");
    readOut_->setWordWrap(true);
    readOut_->setTextFormat(Qt::PlainText);
    readOut_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    readOut_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    readOut_->setFixedHeight(2 * readOut_->fontMetrics().lineSpacing() + 2);
    left->addWidget(readOut_);
    plot_->installEventFilter(this);
    ShowReadOutHint();
    highsLows_ = new QLabel;
    highsLows_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    highsLows_->setTextFormat(Qt::RichText);
    auto* scroll = new QScrollArea(content);
    highsLowsArea_ = scroll;
    scroll->setWidget(highsLows_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Ignored);
    row->addWidget(scroll);
    pages_->addWidget(content);

    BuildButtons(buttons);
    BuildPlots();
    refresh_ = new QTimer(this);
    refresh_->setSingleShot(true);
    refresh_->setInterval(kRefreshDelayMs);
    connect(refresh_, &QTimer::timeout, this, &HistoryWindow::Refresh);
    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &HistoryWindow::Refresh);
    poll_->start();
    setFocusPolicy(Qt::StrongFocus);
    new ScreenFit(this);
    // One shortcut: the platform's Close keys may include Ctrl+W, and two
    // shortcuts for the same keys would both be ambiguous.
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this, this, &QWidget::close);
    RestoreState();
    Refresh();
}

// The main window's end takes this one along without a close: kept then too.
HistoryWindow::~HistoryWindow() {
    if (isVisible()) StoreState();
}

void HistoryWindow::BuildButtons(QBoxLayout* row) {
    // Buttons of their own rather than a group, so that each is a tab stop;
    // ShowSpan keeps only the span's checked.
    const char* names[] = {"Day", "Week", "Month", "Year"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(tr(names[i]), this);
        button->setCheckable(true);
        connect(button, &QPushButton::clicked, this, [this, i] { ShowSpan(kHistorySpans[i]); });
        spanButtons_[i] = button;
        row->addWidget(button);
    }
    auto* now = new QPushButton(tr("Now"), this);
    connect(now, &QPushButton::clicked, this, &HistoryWindow::BackToNow);
    row->addWidget(now);
    row->addStretch(1);
    row->addWidget(ClimateSummaryViewer::Button(this, archivePath_, openSettings_,
                                                [this] { return metric_; }));
    savePng_ = new QPushButton(tr("Save picture..."), this);
    connect(savePng_, &QPushButton::clicked, this, [this] {
        const QString file =
            QFileDialog::getSaveFileName(this, tr("Save the plots"), "history.png", "PNG (*.png)");
        if (!file.isEmpty() && !SavePng(file)) SaveFailed(file);
    });
    saveCsv_ = new QPushButton(tr("Save points..."), this);
    saveCsv_->setObjectName("savePoints");
    connect(saveCsv_, &QPushButton::clicked, this, &HistoryWindow::SavePointsAs);
    for (auto* button : {savePng_, saveCsv_}) {
        button->setEnabled(false);  // until something is shown
        row->addWidget(button);
    }
}

// A period without points is said before a file is asked for: a file that
// could be written is no fault of the folder.
void HistoryWindow::SavePointsAs() {
    if (PointsShown() == 0) {
        QMessageBox::information(this, tr("History"),
                                 tr("There are no points in the period shown: nothing to save."));
        return;
    }
    const QString file = QFileDialog::getSaveFileName(this, tr("Save the points shown"),
                                                      "history.csv", "CSV (*.csv)");
    if (!file.isEmpty() && !SaveCsv(file)) SaveFailed(file);
}

void HistoryWindow::EnableSaving() {
    const bool shown = view_ && !showsEmpty();
    savePng_->setEnabled(shown);
    saveCsv_->setEnabled(shown && PointsShown() > 0);
}

void HistoryWindow::ShowReadOutHint() {
    readOut_->setText(
        tr("Point at a plot to read its values; drag or use the arrow keys to move, "
           "the wheel or +/- to zoom, Home for now, Escape to close."));
}

// One axis rect per kind of quantity, stacked, with their left edges lined
// up; only the lowest shows the dates and times.
void HistoryWindow::BuildPlots() {
    plot_->plotLayout()->clear();
    plot_->setAutoAddPlottableToLegend(false);
    // Unsmoothed fills keep a redraw of the year view inside 30 ms; the lines stay smooth.
    plot_->setNotAntialiasedElements(QCP::aeFills);
    auto* margins = new QCPMarginGroup(plot_);
    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeFormat("d MMM\nHH:mm");
    ticker->setDateTimeSpec(Qt::LocalTime);
    ticker_ = ticker;
    std::array<QCPLegend*, kPlotCount> legends{};
    for (int i = 0; i < kPlotCount; ++i) {
        auto* rect = new QCPAxisRect(plot_);
        plot_->plotLayout()->addElement(i, 0, rect);
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
        rect->axis(QCPAxis::atBottom)->setTicker(ticker);
        rect->axis(QCPAxis::atBottom)->setTickLabels(i == kPlotCount - 1);
        // Beside its plot, never over a line.
        legends[i] = new QCPLegend;
        plot_->plotLayout()->addElement(i, 1, legends[i]);
        legends[i]->setLayer("legend");
        legends[i]->setFont(QFont(font().family(), 8));
        legends[i]->setBrush(QColor(255, 255, 255, 200));
        rects_[i] = rect;
    }
    plot_->plotLayout()->setColumnStretchFactor(1, 0.01);
    rects_[kRain]->axis(QCPAxis::atRight)->setVisible(true);
    rects_[kRain]->axis(QCPAxis::atRight)->setLabel(tr("total"));
    rects_[kWind]->axis(QCPAxis::atRight)->setVisible(true);
    rects_[kWind]->axis(QCPAxis::atRight)->setRange(0, 360);
    rects_[kWind]->axis(QCPAxis::atRight)->setLabel(tr("direction °"));
    for (const Line& line : kLines) {
        QCPAxisRect* rect = rects_[line.plot];
        auto* g = plot_->addGraph(rect->axis(QCPAxis::atBottom),
                                  rect->axis(line.dots ? QCPAxis::atRight : QCPAxis::atLeft));
        g->setName(tr(line.name));
        g->setPen(QPen(line.colour, 1));
        if (line.dots) {
            g->setLineStyle(QCPGraph::lsNone);
            g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, line.colour, 3));
        }
        g->addToLegend(legends[line.plot]);
        graphs_[std::size_t(line.quantity)] = g;
    }
    // The outdoor temperature's lowest and highest of each bucket as a band.
    QCPAxisRect* temps = rects_[kTemperatures];
    tempMin_ = plot_->addGraph(temps->axis(QCPAxis::atBottom), temps->axis(QCPAxis::atLeft));
    tempMax_ = plot_->addGraph(temps->axis(QCPAxis::atBottom), temps->axis(QCPAxis::atLeft));
    for (auto* g : {tempMin_, tempMax_}) g->setPen(QPen(QColor(200, 30, 30, 60)));
    tempMax_->setBrush(QColor(200, 30, 30, 40));
    tempMax_->setChannelFillGraph(tempMin_);
    QCPAxisRect* rain = rects_[kRain];
    rainBars_ = new QCPBars(rain->axis(QCPAxis::atBottom), rain->axis(QCPAxis::atLeft));
    rainBars_->setName(tr("Rain"));
    rainBars_->setPen(Qt::NoPen);
    rainBars_->setBrush(QColor(30, 120, 200, 180));
    rainBars_->addToLegend(legends[kRain]);
    rainTotal_ = plot_->addGraph(rain->axis(QCPAxis::atBottom), rain->axis(QCPAxis::atRight));
    rainTotal_->setName(tr("Running total"));
    rainTotal_->setPen(QPen(QColor(20, 60, 140), 1));
    rainTotal_->addToLegend(legends[kRain]);

    connect(plot_, &QCustomPlot::mouseMove, this, &HistoryWindow::OnMouseMove);
    connect(plot_, &QCustomPlot::mouseWheel, this, &HistoryWindow::OnWheel);
    connect(plot_, &QCustomPlot::mousePress, this, [this](QMouseEvent* e) {
        if (e->button() == Qt::LeftButton) dragX_ = int(e->position().x());
    });
    connect(plot_, &QCustomPlot::mouseRelease, this, [this](QMouseEvent*) { dragX_ = -1; });
}

void HistoryWindow::SaveFailed(const QString& file) {
    QMessageBox::warning(this, tr("History"),
                         tr("%1 could not be written.").arg(QDir::toNativeSeparators(file)));
}

QCPGraph* HistoryWindow::graph(HistoryQuantity quantity) const {
    return graphs_[std::size_t(quantity)];
}

bool HistoryWindow::showsEmpty() const {
    return pages_->currentWidget() == empty_;
}

void HistoryWindow::SetMetric(bool metric) {
    if (metric == metric_) return;
    metric_ = metric;
    if (view_) {
        Redraw();
        ShowHighsLows();
    }
}

void HistoryWindow::PointMade() {
    refresh_->start();
}

void HistoryWindow::ShowEmpty(const QString& why) {
    empty_->setText(
        why + "<p>" +
        tr("The archive (nimbulo.db in the data folder) gets a point every five minutes while "
           "Nimbulo reads the station with <b>Save Data</b> ticked in Options, or while "
           "<b>nimbulo-logger</b> runs with this data folder.") +
        "</p><p>" +
        tr("Data logs kept before can be brought in with<br><tt>nimbulo-logger --import "
           "PATH</tt><br>(a data log file or a folder of them).") +
        "</p>");
    pages_->setCurrentWidget(empty_);
}

void HistoryWindow::OpenSource() {
    if (!std::filesystem::exists(archivePath_)) return;
    try {
        source_ =
            std::make_unique<StatsCache>(std::make_unique<ArchiveHistorySource>(archivePath_));
    } catch (const std::exception& e) {
        ShowEmpty("<p>" +
                  tr("The archive %1 cannot be read: %2")
                      .arg(QString::fromStdString(archivePath_.string()).toHtmlEscaped(),
                           QString::fromUtf8(e.what()).toHtmlEscaped()) +
                  "</p>");
    }
}

void HistoryWindow::Refresh() {
    if (!source_) OpenSource();
    std::optional<StationMinute> latest;
    try {
        if (source_) latest = source_->Latest();
    } catch (const std::exception&) {
        source_.reset();  // opened again next time
    }
    if (!latest) {
        if (!source_ || !showsEmpty() || empty_->text().isEmpty())
            ShowEmpty("<p><b>" + tr("The archive of this data folder has no points yet.") +
                      "</b></p>");
        EnableSaving();
        return;
    }
    if (view_ && *latest == latest_) return;
    if (view_ && latest_ <= loadedTo_) {
        // The points since the last refresh go on the end of those loaded.
        source_->ForEachPoint(latest_ + 1, *latest,
                              [this](const HistoryPoint& p) { points_.push_back(p); });
        loadedTo_ = *latest;
    }
    latest_ = *latest;
    if (!view_)
        view_ = std::make_unique<HistoryView>(span_, latest_);
    else
        view_->NewLatest(latest_);
    pages_->setCurrentIndex(1);
    Redraw();
    ShowHighsLows();
}

int HistoryWindow::PointsShown() const {
    if (!view_) return 0;
    int shown = 0;
    for (const HistoryPoint& p : points_)
        shown += p.minute >= view_->from() && p.minute <= view_->to();
    return shown;
}

// Points are read for the period on show and one period either side, so a
// pan or zoom nearby needs no read.
void HistoryWindow::LoadPoints() {
    if (view_->from() >= loadedFrom_ && view_->to() <= loadedTo_) return;
    const StationMinute from = view_->from() - view_->length();
    const StationMinute to = std::min(view_->to() + view_->length(), latest_);
    points_.clear();
    try {
        source_->ForEachPoint(from, to, [this](const HistoryPoint& p) { points_.push_back(p); });
    } catch (const std::exception&) {
        // What was read stays on show; the next refresh tries again.
    }
    loadedFrom_ = from;
    loadedTo_ = to;
}

double HistoryWindow::Key(StationMinute minute) const {
    const StationMinute day = minute / kMinutesPerDay;
    auto found = dayStarts_.find(day);
    if (found == dayStarts_.end()) {
        const CalendarDate date = DateOfStationMinute(minute);
        const double start =
            double(QDate(date.year, date.month, date.day).startOfDay().toSecsSinceEpoch());
        found = dayStarts_.emplace(day, start).first;
    }
    return found->second + double(MinuteOfDay(minute)) * 60.0;
}

void HistoryWindow::Redraw() {
    const int pixels = std::max(200, rects_[0]->width());
    const StationMinute barMinutes = RainBars::BarMinutes(view_->length());
    HistoryBuckets buckets(view_->from(), view_->to(), pixels);
    RainBars rain(view_->from(), view_->to(), barMinutes);
    bool filled = false;
    if (buckets.width() % 60 == 0) {
        // Whole hours or days: the archive's statistics of them (a year is
        // 8,760 hour rows), kept for three periods, instead of three periods of points.
        try {
            FillFromSource(*source_, view_->from(), view_->to(), kMinutesPerDay, buckets, rain,
                           barMinutes);
            filled = true;
        } catch (const std::exception&) {
            buckets = HistoryBuckets(view_->from(), view_->to(), pixels);
            rain = RainBars(view_->from(), view_->to(), barMinutes);
        }
    }
    if (!filled) {
        LoadPoints();
        for (const HistoryPoint& p : points_) {
            buckets.Take(p);
            rain.Take(p);
        }
        buckets.Finish();
        rain.Finish();
    }
    for (const Line& line : kLines) {
        const auto& series = buckets.Series(line.quantity);
        QVector<double> keys, values;
        keys.reserve(series.size());
        values.reserve(series.size());
        for (const HistoryBucket& b : series) {
            keys.push_back(Key(b.start));
            // A gust bucket shows its strongest gust; an empty one breaks the line.
            const double v = line.quantity == Q::Gust ? b.max : b.avg;
            values.push_back(b.count ? Shown(line.quantity, v, metric_) : qQNaN());
        }
        graph(line.quantity)->setData(keys, values, true);
    }
    QVector<double> keys, lows, highs;
    for (const HistoryBucket& b : buckets.Series(Q::TempOutdoor)) {
        keys.push_back(Key(b.start));
        lows.push_back(b.count ? Shown(Q::TempOutdoor, b.min, metric_) : qQNaN());
        highs.push_back(b.count ? Shown(Q::TempOutdoor, b.max, metric_) : qQNaN());
    }
    tempMin_->setData(keys, lows, true);
    tempMax_->setData(keys, highs, true);
    DrawRain(rain, barMinutes);
    ticker_->setDateTimeFormat(view_->length() >= kYearLabelsFrom ? "d MMM\nyyyy" : "d MMM\nHH:mm");
    for (int i = 0; i < kPlotCount; ++i) {
        QCPAxisRect* rect = rects_[i];
        rect->axis(QCPAxis::atBottom)->setRange(Key(view_->from()), Key(view_->to()));
        rect->axis(QCPAxis::atLeft)->setLabel(PlotTitle(Plot(i), metric_));
        bool found = false;
        QCPRange values;
        for (QCPAbstractPlottable* p : rect->axis(QCPAxis::atLeft)->plottables()) {
            bool ok = false;
            const QCPRange r = p->getValueRange(ok);
            if (!ok) continue;
            values =
                found ? QCPRange(std::min(values.lower, r.lower), std::max(values.upper, r.upper))
                      : r;
            found = true;
        }
        if (found) {
            const double pad = std::max(0.05 * values.size(), 0.05);
            rect->axis(QCPAxis::atLeft)
                ->setRange(i == kRain ? 0 : values.lower - pad, values.upper + pad);
        }
    }
    rainTotal_->valueAxis()->rescale();
    rainTotal_->valueAxis()->setRangeLower(0);
    if (rainTotal_->valueAxis()->range().upper <= 0) rainTotal_->valueAxis()->setRangeUpper(1);
    plot_->replot();
    EnableSaving();
}

void HistoryWindow::DrawRain(const RainBars& rain, StationMinute barMinutes) {
    QVector<double> keys, amounts, totalKeys, totals;
    for (const RainBars::Bar& bar : rain.bars()) {
        keys.push_back(Key(bar.start) + barMinutes * 30.0);
        amounts.push_back(Shown(Q::RainToday, bar.amount, metric_));
        totalKeys.push_back(Key(bar.start + barMinutes));
        totals.push_back(Shown(Q::RainToday, bar.total, metric_));
    }
    rainBars_->setWidth(barMinutes * 60.0 * 0.85);
    rainBars_->setData(keys, amounts, true);
    rainTotal_->setData(totalKeys, totals, true);
}

void HistoryWindow::ShowHighsLows() {
    if (!source_ || !view_) return;
    std::vector<DaySummary> days;
    CalendarDate first;
    try {
        days = source_->Days(first, DateOfStationMinute(latest_));
    } catch (const std::exception&) {
        return;
    }
    const bool m = metric_;
    const auto temp = [m](const HighsLows::Moment& moment) {
        if (!moment.value) return QStringLiteral("–");
        return QString("%1 %2<br><small>%3 %4</small>")
            .arg(Number(ToDisplay(Quantity::Temperature, *moment.value, m), 1), m ? "°C" : "°F",
                 DateText(moment.date), QString::fromStdString(moment.time));
    };
    QString html = "<table cellspacing=4>";
    const HighsLows panel(days, DateOfStationMinute(latest_));
    for (const HighsLows::Period& period : panel.periods()) {
        const auto& wind = period.windTop;
        html += QString("<tr><td colspan=2><b>%1</b></td></tr>").arg(tr(period.name));
        html += QString("<tr><td>High</td><td>%1</td></tr>").arg(temp(period.high));
        html += QString("<tr><td>Low</td><td>%1</td></tr>").arg(temp(period.low));
        html += QString("<tr><td>Top wind</td><td>%1 %2</td></tr>")
                    .arg(wind.value ? Number(ToDisplay(Quantity::Speed, *wind.value, m), 1)
                                    : QStringLiteral("–"),
                         m ? "km/h" : "mph");
        html += QString("<tr><td>Rain</td><td>%1 %2</td></tr>")
                    .arg(period.rain ? Number(ToDisplay(Quantity::Rain, *period.rain, m), m ? 1 : 2)
                                     : QStringLiteral("–"),
                         m ? "mm" : "in");
    }
    const DerivedReadings now = NowReadings();
    const auto tempNow = [m](std::optional<double> v) {
        return v ? Number(ToDisplay(Quantity::Temperature, *v, m), 1) + (m ? " °C" : " °F")
                 : QStringLiteral("–");
    };
    QString change = "–";
    if (now.pressureChange3h)
        change =
            QString("%1%2 %3")
                .arg(*now.pressureChange3h > 0 ? "+" : "")
                .arg(Number(ToDisplay(Quantity::Pressure, *now.pressureChange3h, m), m ? 1 : 2))
                .arg(m ? "hPa" : "inHg");
    if (now.pressureTrend) change += QString(" (%1)").arg(PressureTrendWord(*now.pressureTrend));
    html += QString("<tr><td colspan=2><b>%1</b></td></tr>").arg(tr("Now"));
    html += QString("<tr><td>Pressure 3 h</td><td>%1</td></tr>").arg(change);
    html += QString("<tr><td>Dew point</td><td>%1</td></tr>").arg(tempNow(now.dewPoint));
    html += QString("<tr><td>Feels like</td><td>%1</td></tr>").arg(tempNow(now.feelsLike));
    highsLows_->setText(html + "</table>");
    // As wide as the table, with room for the scroll bar a short window needs.
    highsLowsArea_->setMinimumWidth(highsLows_->sizeHint().width() +
                                    highsLowsArea_->verticalScrollBar()->sizeHint().width());
}

void HistoryWindow::ShowSpan(HistorySpan span) {
    span_ = span;
    for (std::size_t i = 0; i < spanButtons_.size(); ++i)
        spanButtons_[i]->setChecked(int(i) == int(span));
    if (!view_) return;
    view_->SetSpan(span);
    Redraw();
}

void HistoryWindow::BackToNow() {
    if (!view_) return;
    view_->BackToNow();
    Redraw();
}

void HistoryWindow::Pan(double share) {
    if (!view_) return;
    view_->Pan(share);
    Redraw();
}

void HistoryWindow::Zoom(double factor, double anchor) {
    if (!view_) return;
    view_->Zoom(factor, anchor);
    Redraw();
}

QString HistoryWindow::ReadOutAt(double key) const {
    QString text = QDateTime::fromSecsSinceEpoch(qint64(key)).toString("ddd d MMM yyyy HH:mm");
    for (const Line& line : kLines) {
        const auto data = graph(line.quantity)->data();
        auto at = data->findBegin(key, false);
        if (at == data->constEnd() || std::isnan(at->value)) continue;
        text += QString("   %1 %2 %3")
                    .arg(tr(line.fullName))
                    .arg(at->value, 0, 'f', line.quantity == Q::Pressure && !metric_ ? 2 : 1)
                    .arg(Unit(line.quantity, metric_));
    }
    return text + RainAt(key);
}

// The rain of the bar under the pointer and the running total at its end.
QString HistoryWindow::RainAt(double key) const {
    const double half = rainBars_->width() / 2;
    const auto bars = rainBars_->data();
    const auto totals = rainTotal_->data();
    auto total = totals->constBegin();
    for (auto bar = bars->constBegin(); bar != bars->constEnd() && total != totals->constEnd();
         ++bar, ++total) {
        if (key < bar->key - half || key >= bar->key + half) continue;
        const int decimals = metric_ ? 1 : 2;
        return QString("   %1 %2 %3 (%4 %5 %3)")
            .arg(tr("Rain"))
            .arg(bar->value, 0, 'f', decimals)
            .arg(Unit(Q::RainToday, metric_), tr("total"))
            .arg(total->value, 0, 'f', decimals);
    }
    return {};
}

DerivedReadings HistoryWindow::NowReadings() const {
    DerivedReadings now = liveDerived_ ? liveDerived_() : DerivedReadings{};
    if (now.pressureChange3h || !source_ || !view_) return now;
    // The newest archived pressure and the one three hours (up to a quarter
    // of an hour more) before it.
    constexpr StationMinute kSpan = 180, kLeeway = 15;
    std::optional<double> latest, base;
    try {
        source_->ForEachPoint(latest_ - kSpan - kLeeway, latest_, [&](const HistoryPoint& p) {
            if (!HistoryPoint::Has(p[Q::Pressure])) return;
            if (p.minute <= latest_ - kSpan) base = p[Q::Pressure];
            if (p.minute == latest_) latest = p[Q::Pressure];
        });
    } catch (const std::exception&) {
        return now;
    }
    if (latest && base) {
        now.pressureChange3h = *latest - *base;
        now.pressureTrend = DerivedTracker::TrendOf(*now.pressureChange3h);
    }
    return now;
}

void HistoryWindow::OnMouseMove(QMouseEvent* event) {
    const double x = event->position().x();
    if (dragX_ >= 0 && (event->buttons() & Qt::LeftButton) && view_) {
        const StationMinute before = view_->to();
        Pan(-(x - dragX_) / std::max(1, rects_[0]->width()));
        if (view_->to() != before) dragX_ = int(x);
        return;
    }
    readOut_->setText(ReadOutAt(rects_[0]->axis(QCPAxis::atBottom)->pixelToCoord(x)));
}

// The read-out belongs to the pointer: it goes when the pointer leaves the
// plots, and a new opening starts with the hint.
bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot_ && event->type() == QEvent::Leave) ShowReadOutHint();
    return HistoryWindowInterface::eventFilter(watched, event);
}

void HistoryWindow::showEvent(QShowEvent* event) {
    ShowReadOutHint();
    HistoryWindowInterface::showEvent(event);
}

void HistoryWindow::OnWheel(QWheelEvent* event) {
    const QRect area = rects_[0]->rect();
    const double anchor = (event->position().x() - area.left()) / std::max(1, area.width());
    Zoom(event->angleDelta().y() > 0 ? 0.8 : 1.25, std::clamp(anchor, 0.0, 1.0));
}

void HistoryWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            Zoom(0.5);
            return;
        case Qt::Key_Minus:
            Zoom(2.0);
            return;
        case Qt::Key_Left:
            Pan(-0.25);
            return;
        case Qt::Key_Right:
            Pan(0.25);
            return;
        case Qt::Key_Home:
            BackToNow();
            return;
        case Qt::Key_Escape:
            close();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

bool HistoryWindow::SavePng(const QString& file) {
    return plot_->savePng(file, plot_->width(), plot_->height());
}

bool HistoryWindow::SaveCsv(const QString& file) const {
    QFile out(file);
    if (!view_ || !out.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    QTextStream text(&out);
    text << "time";
    for (const Line& line : kLines) text << "," << CsvColumn(line.fullName, line.quantity, metric_);
    text << "," << CsvColumn("Rain today", Q::RainToday, metric_) << "\n";
    for (const HistoryPoint& p : points_) {
        if (p.minute < view_->from() || p.minute > view_->to()) continue;
        const CalendarDate d = DateOfStationMinute(p.minute);
        text << QString::asprintf("%04d-%02d-%02d %02d:%02d", d.year, d.month, d.day,
                                  MinuteOfDay(p.minute) / 60, MinuteOfDay(p.minute) % 60);
        for (const Line& line : kLines) {
            text << ",";
            if (HistoryPoint::Has(p[line.quantity]))
                text << QString::number(Shown(line.quantity, p[line.quantity], metric_), 'f', 2);
        }
        text << ",";
        if (HistoryPoint::Has(p[Q::RainToday]))
            text << QString::number(Shown(Q::RainToday, p[Q::RainToday], metric_), 'f', 2);
        text << "\n";
    }
    // A full disk shows only when the last bytes go out.
    text.flush();
    return text.status() == QTextStream::Ok && out.flush() && out.error() == QFile::NoError;
}

void HistoryWindow::RestoreState() {
    resize(1000, 760);
    FitOnScreen();
    if (!openSettings_) {
        ShowSpan(HistorySpan::Day);
        return;
    }
    const auto settings = openSettings_();
    settings->beginGroup("History");
    restoreGeometry(settings->value("Geometry").toByteArray());
    FitOnScreen();
    const auto span = SpanNamed(settings->value("Span").toString().toStdString());
    settings->endGroup();
    ShowSpan(span.value_or(HistorySpan::Day));
}

void HistoryWindow::StoreState() const {
    if (!openSettings_) return;
    const auto settings = openSettings_();
    settings->beginGroup("History");
    settings->setValue("Geometry", saveGeometry());
    settings->setValue("Span", QString::fromUtf8(SpanName(span_).data(), SpanName(span_).size()));
    settings->endGroup();
    settings->sync();
}

void HistoryWindow::FitOnScreen() {
    ScreenFit::Fit(this);
}

void HistoryWindow::closeEvent(QCloseEvent* event) {
    StoreState();
    QWidget::closeEvent(event);
}
