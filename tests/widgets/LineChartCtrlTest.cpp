// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <climits>
#include <initializer_list>
#include <tuple>

#include "LineChartCtrl.h"
#include "TestApp.h"

constexpr ChartSurface::Pixel kBlack = 0xFF000000, kGrid = 0xFF008000;
constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kEmptyGrey = 0xFFC0C0C0;

// A 40 x 20 chart: a step draws its segments from column 35 to column 38
// (39 is the excluded end point); a value v of a 0..100 series lies on row
// trunc(20 * (100 - v) / 100).
struct LineChartCtrlTest : testing::Test {
    void SetUp() override {
        LineChartCtrl::gridToggle = false;
        chart.resize(40, 20);
    }

    ChartSurface::Pixel At(int x, int y) const { return chart.Surface()->At(x, y); }
    long Count(ChartSurface::Pixel colour) const {
        const ChartSurface& s = *chart.Surface();
        return std::count(s.Data(), s.Data() + s.Width() * s.Height(), colour);
    }
    void ExpectRed(std::initializer_list<std::pair<int, int>> points) const {
        for (const auto& [x, y] : points) EXPECT_EQ(At(x, y), kRed) << x << "," << y;
    }
    // Gives series i the i-th value, then takes one step.
    void Step(std::initializer_list<int> values) {
        for (int i = 0; int value : values) chart.SetSeriesValue(i++, value);
        chart.Advance();
    }

    QApplication& app = TestApp();  // before any widget
    LineChartCtrl chart;
};

TEST_F(LineChartCtrlTest, FirstSeriesWithASizePaintsTheGridOnceAndNotEarlier) {
    for (int step = 0; step < 3; ++step) chart.Advance();  // draws nothing, leaves the toggle
    EXPECT_FALSE(LineChartCtrl::gridToggle);
    EXPECT_EQ(chart.grab().toImage().pixel(5, 5), kEmptyGrey);
    chart.resize(0, 0);  // an empty widget must not fix the picture at nothing
    chart.AddSeries(QColor(kRed), 100, 0);
    EXPECT_EQ(chart.Surface(), nullptr);
    chart.resize(40, 20);
    EXPECT_TRUE(chart.AddSeries(QColor(kRed), 100, 0));
    ASSERT_NE(chart.Surface(), nullptr);
    EXPECT_EQ(Count(kGrid), 5 * 20 + 3 * 40 - 15);
    Step({100, 100});
    Step({100, 100});
    chart.AddSeries(QColor(kGreen), 100, 0);
    EXPECT_EQ(At(36, 0), kRed);  // not painted over by a new grid
}

TEST_F(LineChartCtrlTest, SetSeriesValueLimitsToTheRangeAndReturnsTheOldValue) {
    const std::pair<int, int> cases[] = {{101, 100}, {INT_MAX, 100}, {-21, -20}, {INT_MIN, -20}};
    chart.AddSeries(QColor(kRed), 100, -20);
    for (const auto& [given, stored] : cases) {
        chart.SetSeriesValue(0, 7);
        EXPECT_EQ(chart.SetSeriesValue(0, given), 7);
        EXPECT_EQ(chart.Series(0)->current, stored) << given;
        EXPECT_EQ(chart.Series(0)->previous, 7);
    }
    EXPECT_EQ(chart.SetSeriesValue(1, 9), 0);  // no such series: nothing changes
    EXPECT_EQ(chart.SetSeriesValue(-1, 9), 0);
    EXPECT_EQ(chart.Series(0)->current, -20);
}

TEST_F(LineChartCtrlTest, FirstSegmentRisesFromTheBottomEdgeToTheTopRow) {
    chart.AddSeries(QColor(kRed), 100, 0);
    Step({100});  // from row 20 (clipped) to row 0 (left out): 19 rows over 5 columns
    ExpectRed({{39, 1}, {39, 2}, {38, 3}, {38, 7}, {37, 8}, {37, 12}});  // top and bottom
    ExpectRed({{36, 13}, {36, 17}, {35, 18}, {35, 19}});                 // of each column
    EXPECT_EQ(Count(kRed), 19);
    Step({100});
    ExpectRed({{35, 0}, {36, 0}, {37, 0}, {38, 0}, {35, 1}});
}

TEST_F(LineChartCtrlTest, StepsDrawFromTheValueBeforeTheLastAndJoinIntoOnePolyline) {
    chart.AddSeries(QColor(kRed), 100, 0);
    chart.SetSeriesValue(0, 30);  // row 14
    Step({50});                   // row 10: four pixels diagonally
    chart.Advance();              // no new value: the same four again
    Step({75});                   // rows 10 -> 5: 5 rows over 4 columns
    ExpectRed({{27, 14}, {28, 13}, {29, 12}, {30, 11}, {31, 14}, {32, 13}, {33, 12}, {34, 11}});
    ExpectRed({{35, 10}, {36, 9}, {37, 8}, {37, 7}, {38, 6}});  // on from where the last ended
    EXPECT_EQ(Count(kRed), 13);
}

TEST_F(LineChartCtrlTest, EachSeriesHasItsOwnRangeAndLaterOnesAreDrawnOver) {
    chart.AddSeries(QColor(kRed), 100, 0);
    chart.AddSeries(QColor(kGreen), 10, -10);
    chart.AddSeries(QColor(kRed), 100, 0);
    chart.AddSeries(QColor(kGreen), 100, 0);
    chart.AddSeries(QColor(kRed), INT_MAX, INT_MIN);  // the widest stays inside the picture
    // Rows trunc(20 * 75 / 100) = 15 and trunc(20 * 19 / 20) = 19, then green over red on row 10.
    Step({25, -9, 50, 50, INT_MAX});
    Step({25, -9, 50, 50, INT_MAX});
    for (int x = 35; x <= 38; ++x) ExpectRed({{x, 15}, {x, 0}});
    for (int x = 35; x <= 38; ++x) EXPECT_TRUE(At(x, 19) == kGreen && At(x, 10) == kGreen) << x;
    ExpectRed({{31, 8}});  // the widest rose from 0, just below halfway: row 9 to 0
}

TEST_F(LineChartCtrlTest, VerticalGridLineComesWithEveryOtherStepOfAnyChart) {
    LineChartCtrl other;
    other.resize(43, 20);  // its strip, columns 39 to 42, holds column 40 of the grid
    other.AddSeries(QColor(kRed), 100, 0);
    chart.AddSeries(QColor(kRed), 100, 0);
    chart.Advance();
    for (int y = 0; y < 20; ++y) ASSERT_EQ(At(38, y), kGrid) << y;
    chart.Advance();
    EXPECT_EQ(At(34, 3), kGrid);   // last step's line, scrolled
    EXPECT_EQ(At(38, 3), kBlack);  // no new one
    EXPECT_EQ(At(38, 8), kGrid);   // the strip keeps the horizontal lines
    other.Advance();               // the toggle is shared: this step takes the line
    chart.Advance();
    EXPECT_EQ(other.Surface()->At(41, 3), kGrid);
    EXPECT_EQ(other.Surface()->At(40, 3), kBlack);  // no vertical hatch in the strip
    EXPECT_EQ(At(38, 3), kBlack);
}

TEST_F(LineChartCtrlTest, PaintShowsThePictureExactlyAndKeepsItsSizeWhenTheWidgetGrows) {
    chart.AddSeries(QColor(kRed), 100, 0);
    chart.AddSeries(QColor(kGreen), 100, 0);
    chart.resize(50, 24);
    for (int step = 0; step < 9; ++step) Step({step * 11, 100 - step * 7});
    const QImage shown = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(38, 2), kRed);     // 77 -> 88: rows 4 -> 2
    EXPECT_EQ(shown.pixel(38, 11), kGreen);  // 51 -> 44: rows 9 -> 11
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 50; ++x) {
            const QRgb expected = x < 40 && y < 20 ? At(x, y) : kEmptyGrey;
            ASSERT_EQ(shown.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(LineChartCtrlTest, ValuesAtTheLowerBoundAndEmptyRangesStayOutOfSight) {
    chart.AddSeries(QColor(kGreen), 100, 0);  // fed 0 throughout: never visible
    chart.AddSeries(QColor(kRed), 30, -10);   // fed -25: drawn at the bound, row 20
    chart.AddSeries(QColor(kGreen), 5, 5);
    chart.AddSeries(QColor(kGreen), 0, 10);
    for (int step = 0; step < 12; ++step) Step({0, -25, 5, 3});
    EXPECT_EQ(chart.Series(3)->current, 10);  // limited to the upper bound, then the lower
    EXPECT_EQ(Count(kGreen) + Count(kRed), 0);
    Step({0, 10});  // from the lower bound to row trunc(20 * 20 / 40) = 10
    ExpectRed({{35, 19}, {38, 12}, {39, 11}});
}

// At 1.5 a picture pixel covers 2 x 2 device pixels, so the 600 device pixels
// of a 400-pixel chart hold 300 picture pixels; at 1.25 it covers one.
TEST(LineChartCtrlScale, EachPicturePixelCoversAWholeNumberOfDevicePixels) {
    const std::tuple<double, int, QSize> table[] = {{1.0, 1, QSize(400, 96)},
                                                    {1.25, 1, QSize(500, 120)},
                                                    {1.5, 2, QSize(300, 72)},
                                                    {2.0, 2, QSize(400, 96)},
                                                    {0.5, 1, QSize(200, 48)}};
    for (const auto& [ratio, scale, picture] : table) {
        EXPECT_EQ(LineChartCtrl::PixelScale(ratio), scale) << ratio;
        EXPECT_EQ(LineChartCtrl::SurfaceSize(QSize(400, 96), ratio), picture) << ratio;
    }
}
