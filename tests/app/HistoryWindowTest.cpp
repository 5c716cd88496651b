// SPDX-License-Identifier: GPL-3.0-or-later
// The history window on an archive written in the test, on none, and opened
// from the main window in each of its three ways.

#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>

#include "Archive.h"
#include "HistoryWindow.h"
#include "SettingsStore.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace ArchiveColumns;

// Two station days, 1 and 2 March 2026, a point every five minutes but none
// from 10:00 to 10:55 on the second day; the temperature follows the hour.
constexpr int kGapStart = 600;
constexpr int kGapPoints = 12;

double TempAt(int day, int minute) {
    return 40.0 + 10.0 * std::sin(minute / 229.0) - 3.0 * day + (minute % 35) * 0.1;
}

std::vector<ArchivePoint> TwoDays() {
    std::vector<ArchivePoint> points;
    for (int day = 1; day <= 2; ++day)
        for (int minute = 0; minute < 1440; minute += 5) {
            if (day == 2 && minute >= kGapStart && minute < kGapStart + 5 * kGapPoints) continue;
            ArchivePoint p;
            p.date = QString::asprintf("2026-03-%02d", day).toStdString();
            p.time = ArchiveTimeText(minute);
            p.values[kTempOutdoor] = AsPrinted(TempAt(day, minute), 1);
            p.values[kHumidityOutdoor] = 70.0;
            p.values[kPressure] = 29.92;
            p.values[kRainToday] = 0.01 * (minute / 120);
            points.push_back(p);
        }
    return points;
}

class HistoryWindowTest : public ::testing::Test {
  protected:
    // The test's own working folder, made the current one.
    void SetUp() override {
        TestSupport::IsolateTest();
        archive_ = fs::current_path() / Archive::kFileName;
        qputenv("NIMBULO_HISTORY_MODULE", NIMBULO_HISTORY_MODULE_FILE);
    }
    HistoryWindowArgs Args() const {
        return {archive_, false, {}, [] { return SettingsStore().Open(); }};
    }
    fs::path archive_;
};

void WriteArchive(const std::vector<ArchivePoint>& points) {
    Archive(fs::current_path() / Archive::kFileName, Archive::Access::Write).Import(points);
}

TEST_F(HistoryWindowTest, ShowsEveryPointOfADayWithTheGapAndTheYearInNoMoreBucketsThanPixels) {
    WriteArchive(TwoDays());
    HistoryWindow window(Args());
    window.ShowSpan(HistorySpan::Day);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.BackToNow();
    ASSERT_FALSE(window.showsEmpty());
    // Half the day around the gap: a bucket per point on any screen.
    window.Zoom(0.5);

    const auto data = window.graph(HistoryQuantity::TempOutdoor)->data();
    ASSERT_EQ(data->size(), 720 / 5 + 1);
    int gaps = 0;
    for (const auto& point : *data) gaps += std::isnan(point.value);
    EXPECT_EQ(gaps, kGapPoints);

    window.ShowSpan(HistorySpan::Year);
    const int pixels = window.plot()->axisRect(0)->width();
    const int buckets = window.graph(HistoryQuantity::Pressure)->data()->size();
    EXPECT_LE(buckets, pixels);
    EXPECT_GT(buckets, pixels / 2);
}

TEST_F(HistoryWindowTest, GivesTodaysLowWithItsTime) {
    const auto points = TwoDays();
    WriteArchive(points);
    const ArchivePoint* low = nullptr;
    for (const ArchivePoint& p : points)
        if (p.date == "2026-03-02" &&
            (!low || *p.values[kTempOutdoor] < *low->values[kTempOutdoor]))
            low = &p;
    HistoryWindow window(Args());
    const QString text = window.highsLows()->text();
    const int today = text.indexOf("Today");
    const int lowAt = text.indexOf("Low", today);
    ASSERT_GE(today, 0);
    ASSERT_GT(lowAt, today);
    const QString expected = QString("%1 °F<br><small>2 Mar 2026 %2")
                                 .arg(*low->values[kTempOutdoor], 0, 'f', 1)
                                 .arg(QString::fromStdString(low->time));
    const int at = text.indexOf(expected, lowAt);
    EXPECT_GT(at, lowAt) << text.toStdString();
    EXPECT_LT(at, text.indexOf("Top wind", lowAt)) << text.toStdString();
}

// With nothing on show there is nothing to save: the buttons say so by being
// disabled, and a period without points says so rather than blame the folder.
TEST_F(HistoryWindowTest, ExplainsHowAnEmptyArchiveFillsAndHowToImportAndSavesNothing) {
    for (const bool made : {false, true}) {
        if (made) Archive(archive_, Archive::Access::Write);
        HistoryWindow window(Args());
        EXPECT_TRUE(window.showsEmpty());
        const QString text = window.emptyText()->text();
        EXPECT_TRUE(text.contains("Save Data")) << text.toStdString();
        EXPECT_TRUE(text.contains("nimbulo-logger --import")) << text.toStdString();
        for (auto* button : window.findChildren<QPushButton*>()) {
            if (button->text().startsWith("Save")) {
                EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
            }
        }
    }
    WriteArchive(TwoDays());
    HistoryWindow window(Args());
    window.show();
    window.Pan(-3.0);  // days before the first point
    ASSERT_EQ(window.PointsShown(), 0);
    auto* save = window.findChild<QPushButton*>("savePoints");
    EXPECT_FALSE(save->isEnabled());
    window.BackToNow();
    ASSERT_TRUE(save->isEnabled());
}

// The read-out names every quantity at the pointer, the rain too, within a
// fixed area: however long it is, the window keeps its size. Escape and
// Ctrl+W close the window; Tab reaches the span and Save buttons.
TEST_F(HistoryWindowTest, TheReadOutNeverResizesTheWindowAndTheKeysReachEverything) {
    WriteArchive(TwoDays());
    HistoryWindow window(Args());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QSize size = window.size();
    const QRect plots = window.plot()->axisRect(0)->rect();
    for (int x = plots.left() + 5; x < plots.right(); x += plots.width() / 7)
        QTest::mouseMove(window.plot(), QPoint(x, plots.center().y()));
    const QString readOut = window.readOut()->text();
    for (const char* name : {"Outdoor temperature", "Outdoor humidity", "Pressure", "Rain"})
        EXPECT_TRUE(readOut.contains(name)) << name << " in " << readOut.toStdString();
    window.readOut()->setText(QString(40, 'W') + readOut + readOut + readOut);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), size);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window.plot(), &leave);
    EXPECT_FALSE(window.readOut()->text().contains("Outdoor temperature"));

    QStringList reached;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                        Qt::Key_Tab);
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget()))
            if (!reached.contains(button->text())) reached << button->text();
    }
    for (const char* name :
         {"Day", "Week", "Month", "Year", "Now", "Save picture...", "Save points..."})
        EXPECT_TRUE(reached.contains(name))
            << name << " not reached: " << reached.join(", ").toStdString();

    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Escape, Qt::NoModifier}, std::pair{Qt::Key_W, Qt::ControlModifier}}) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 2000)) << key;
    }
}

// Each column once, with its unit, and a decimal point in every locale.
TEST_F(HistoryWindowTest, SavedPointsNameEachColumnWithItsUnitAndUseADecimalPoint) {
    WriteArchive(TwoDays());
    const char* const header[] = {
        "time,outdoor temperature (°F),indoor temperature (°F),dew point (°F),feels like (°F),"
        "outdoor humidity (%),indoor humidity (%),average wind (mph),gust (mph),"
        "wind direction (°),pressure (inHg),rain today (in)",
        "time,outdoor temperature (°C),indoor temperature (°C),dew point (°C),feels like (°C),"
        "outdoor humidity (%),indoor humidity (%),average wind (km/h),gust (km/h),"
        "wind direction (°),pressure (hPa),rain today (mm)"};
    const char* const comma = "de_DE.UTF-8";
    const bool haveComma = std::setlocale(LC_ALL, comma) != nullptr;
    if (haveComma) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const bool metric : {false, true}) {
        HistoryWindow window(Args());
        window.SetMetric(metric);
        window.BackToNow();
        ASSERT_TRUE(window.SaveCsv("points.csv"));
        const QStringList lines =
            QString::fromUtf8(TestSupport::ReadAll("points.csv").c_str()).split('\n');
        EXPECT_EQ(lines.front(), header[metric]);
        // 29.92 inHg is 1013.2 hPa
        EXPECT_TRUE(lines[1].contains(metric ? ",1013.21," : ",29.92,")) << lines[1].toStdString();
    }
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
    if (!haveComma)
        GTEST_SKIP() << "the locale " << comma
                     << " is missing (scripts/setup makes it), so only the C locale was tried";
}

TEST_F(HistoryWindowTest, KeepsItsSpanAndSizeForTheNextOpening) {
    WriteArchive(TwoDays());
    QSize kept;
    {
        HistoryWindow window(Args());
        window.show();
        window.resize(720, 610);  // inside the offscreen screen of 800 x 800
        kept = window.size();
        window.ShowSpan(HistorySpan::Week);
        window.close();
    }
    HistoryWindow again(Args());
    ASSERT_NE(again.view(), nullptr) << again.emptyText()->text().toStdString();
    EXPECT_EQ(again.view()->span(), HistorySpan::Week);
    EXPECT_EQ(again.size(), kept);
}

TEST_F(HistoryWindowTest, FollowsANewPointAndSavesThePointsAndPlotsShown) {
    auto points = TwoDays();
    const ArchivePoint last = points.back();
    points.pop_back();
    WriteArchive(points);
    HistoryWindow window(Args());
    window.ShowSpan(HistorySpan::Day);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.BackToNow();
    window.Zoom(0.5, 1.0);  // the last half day: a bucket per point on any screen
    const auto data = window.graph(HistoryQuantity::TempOutdoor)->data();
    // The last key plotted, none while the graph is empty.
    const auto lastKey = [&]() -> std::optional<double> {
        if (data->isEmpty()) return std::nullopt;
        return (data->constEnd() - 1)->key;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lastKey().has_value(); }, 10000));
    const double before = *lastKey();

    Archive(archive_, Archive::Access::Write).Write(std::vector<ArchivePoint>{last}, {});
    window.PointMade();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lastKey() == before + 300; }, 10000));
    EXPECT_FLOAT_EQ(float((data->constEnd() - 1)->value), float(*last.values[kTempOutdoor]));

    // A line per point shown, the newest last; the picture is the plots' size.
    const QString csv = "shown.csv", png = "shown.png";
    ASSERT_TRUE(window.SaveCsv(csv));
    QStringList lines = QString::fromStdString(TestSupport::ReadAll(csv)).split('\n');
    ASSERT_EQ(lines.takeLast(), "");
    int shown = 0;
    for (const auto& point : *data) shown += !std::isnan(point.value);
    EXPECT_EQ(lines.size(), 1 + shown);
    EXPECT_TRUE(lines.front().startsWith("time,outdoor temperature (°F),"))
        << lines.front().toStdString();
    EXPECT_TRUE(lines.back().startsWith(
        QString("2026-03-02 23:55,%1,").arg(*last.values[kTempOutdoor], 0, 'f', 2)))
        << lines.back().toStdString();
    ASSERT_TRUE(window.SavePng(png));
    EXPECT_EQ(QImage(png).size(), window.plot()->size());

    for (const char* bad : {"/dev/full", "no-such-folder/shown.csv"})
        EXPECT_FALSE(window.SaveCsv(bad)) << bad;
    EXPECT_FALSE(window.SavePng("no-such-folder/shown.png"));
}

void OpenFromMenu(StationWindow& window) {
    QTimer::singleShot(20, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            if (action->text() == "History...") action->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                            window.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&window, &event);
}

// The right-click menu by keys alone, Ctrl+H shown beside History..., which
// Down and Return then open.
void OpenByKeys(StationWindow& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTimer::singleShot(20, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* history = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == "History...") history = action;
        ASSERT_NE(history, nullptr);
        EXPECT_EQ(history->shortcut(), QKeySequence("Ctrl+H"));
        EXPECT_TRUE(history->isShortcutVisibleInContextMenu());
        menu->setActiveAction(history);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, key,
                    modifiers);
}

TEST_F(HistoryWindowTest, OpensFromTheStripChartTheMenuCtrlHTheMenuKeyAndShiftF10) {
    WriteArchive(TwoDays());
    const std::pair<const char*, std::function<void(StationWindow&)>> ways[] = {
        {"chart", [](StationWindow& w) { QTest::mouseClick(&w.chart(), Qt::LeftButton); }},
        {"menu", OpenFromMenu},
        {"Ctrl+H", [](StationWindow& w) { QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier); }},
        {"Menu key", [](StationWindow& w) { OpenByKeys(w, Qt::Key_Menu, Qt::NoModifier); }},
        {"Shift+F10", [](StationWindow& w) { OpenByKeys(w, Qt::Key_F10, Qt::ShiftModifier); }},
    };
    for (const auto& [name, open] : ways) {
        StationWindow window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        EXPECT_TRUE(window.chart().toolTip().contains("history")) << name;
        open(window);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return window.historyWindow() && window.historyWindow()->isVisible();
        })) << name;
        if (window.historyWindow()) {
            EXPECT_FALSE(window.historyWindow()->showsEmpty()) << name;
        }
    }
}

// A program whose module is missing says so in a box and goes on without it.
TEST_F(HistoryWindowTest, SaysWhyWhenItsModuleCannotBeLoaded) {
    qputenv("NIMBULO_HISTORY_MODULE", "/nonexistent/nimbulo-history.so");
    StationWindow window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QString text;
    std::function<void()> closeBox = [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        } else {
            QTimer::singleShot(10, closeBox);
        }
    };
    QTimer::singleShot(10, closeBox);
    QTest::keyClick(&window, Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000));
    EXPECT_TRUE(text.contains("could not be loaded")) << text.toStdString();
    EXPECT_TRUE(text.contains("/nonexistent/nimbulo-history.so")) << text.toStdString();
    EXPECT_EQ(window.historyWindow(), nullptr);
}

}  // namespace
