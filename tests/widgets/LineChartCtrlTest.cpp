#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <ostream>
#include <utility>
#include <vector>

#include "LineChartCtrl.h"
#include "TestApp.h"

namespace {

constexpr ChartSurface::Pixel kBlack = ChartSurface::Rgb(0, 0, 0);
constexpr ChartSurface::Pixel kGrid = ChartSurface::Rgb(0, 128, 0);
constexpr ChartSurface::Pixel kRed = ChartSurface::Rgb(255, 0, 0);
constexpr ChartSurface::Pixel kGreen = ChartSurface::Rgb(0, 255, 0);
const QColor kRedColor(255, 0, 0);
const QColor kGreenColor(0, 255, 0);

// A 40 x 20 chart: a step draws its segments from column 35 to column 38
// (39 is the excluded end point); a value v of a 0..100 series lies on row
// trunc(20 * (100 - v) / 100).
constexpr int kWidth = 40;
constexpr int kHeight = 20;

using Points = std::vector<std::pair<int, int>>;

class LineChartCtrlTest : public testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        LineChartCtrl::gridToggle = false;
        chart.resize(kWidth, kHeight);
    }

    ChartSurface::Pixel At(int x, int y) const { return chart.Surface()->At(x, y); }

    Points PixelsOf(ChartSurface::Pixel colour) const {
        Points found;
        const ChartSurface& surface = *chart.Surface();
        for (int y = 0; y < surface.Height(); ++y) {
            for (int x = 0; x < surface.Width(); ++x) {
                if (surface.At(x, y) == colour) {
                    found.emplace_back(x, y);
                }
            }
        }
        return found;
    }

    void Step(int value) {
        chart.SetSeriesValue(0, value);
        chart.Advance();
    }

    QApplication& app = TestApp();  // before any widget
    LineChartCtrl chart;
};

TEST_F(LineChartCtrlTest, HasNoPictureBeforeTheFirstSeries) {
    EXPECT_EQ(chart.Surface(), nullptr);
    EXPECT_EQ(chart.SeriesCount(), 0);
}

TEST_F(LineChartCtrlTest, AdvanceBeforeAnySeriesDrawsNothingAndLeavesTheToggle) {
    chart.Advance();
    chart.Advance();
    chart.Advance();
    EXPECT_FALSE(LineChartCtrl::gridToggle);
    EXPECT_EQ(chart.Surface(), nullptr);
    const QImage shown = chart.grab().toImage();
    EXPECT_EQ(shown.pixel(5, 5), qRgb(192, 192, 192));
}

TEST_F(LineChartCtrlTest, FirstSeriesMakesTheGridAtTheWidgetsSize) {
    EXPECT_TRUE(chart.AddSeries(kRedColor, 100, 0));
    ASSERT_NE(chart.Surface(), nullptr);
    EXPECT_EQ(chart.Surface()->Width(), kWidth);
    EXPECT_EQ(chart.Surface()->Height(), kHeight);
    EXPECT_EQ(At(0, 3), kGrid);
    EXPECT_EQ(At(32, 19), kGrid);
    EXPECT_EQ(At(13, 8), kGrid);
    EXPECT_EQ(At(13, 9), kBlack);
    EXPECT_EQ(PixelsOf(kGrid).size(), 5u * 20u + 3u * 40u - 15u);
}

TEST_F(LineChartCtrlTest, AddSeriesTakesTheUpperBoundFirstAndStartsAtZero) {
    chart.AddSeries(kRedColor, 100, -20);
    const ChartSeries* added = chart.Series(0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->upperBound, 100);
    EXPECT_EQ(added->lowerBound, -20);
    EXPECT_EQ(added->current, 0);
    EXPECT_EQ(added->previous, 0);
    EXPECT_EQ(added->color, kRed);
    EXPECT_EQ(chart.Series(1), nullptr);
    EXPECT_EQ(chart.Series(-1), nullptr);
}

TEST_F(LineChartCtrlTest, LaterSeriesKeepThePictureAsItIs) {
    chart.AddSeries(kRedColor, 100, 0);
    Step(100);
    Step(100);
    chart.AddSeries(kGreenColor, 100, 0);
    EXPECT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(At(36, 0), kRed);    // not painted over by a new grid
    EXPECT_EQ(At(38, 5), kBlack);  // the line of the first step stays scrolled away
}

struct ValueCase {
    const char* name;
    int given;
    int stored;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << c.name;
}

class SetSeriesValueTest : public LineChartCtrlTest,
                           public testing::WithParamInterface<ValueCase> {};

TEST_P(SetSeriesValueTest, LimitsTheValueToTheRangeAndReturnsTheOldOne) {
    chart.AddSeries(kRedColor, 100, -20);
    EXPECT_EQ(chart.SetSeriesValue(0, 7), 0);
    EXPECT_EQ(chart.SetSeriesValue(0, GetParam().given), 7);
    EXPECT_EQ(chart.Series(0)->current, GetParam().stored);
    EXPECT_EQ(chart.Series(0)->previous, 7);
    EXPECT_EQ(chart.SetSeriesValue(0, 1), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    LineChartCtrl, SetSeriesValueTest,
    testing::Values(ValueCase{"InsideTheRange", 42, 42}, ValueCase{"AtTheUpperBound", 100, 100},
                    ValueCase{"AboveTheUpperBound", 101, 100},
                    ValueCase{"FarAbove", 2147483647, 100}, ValueCase{"AtTheLowerBound", -20, -20},
                    ValueCase{"BelowTheLowerBound", -21, -20},
                    ValueCase{"FarBelow", -2147483647 - 1, -20}),
    [](const testing::TestParamInfo<ValueCase>& info) { return info.param.name; });

TEST_F(LineChartCtrlTest, ValueForAMissingSeriesReturnsZeroAndChangesNothing) {
    chart.AddSeries(kRedColor, 100, 0);
    chart.AddSeries(kRedColor, 100, 0);
    chart.AddSeries(kRedColor, 100, 0);
    chart.SetSeriesValue(2, 55);
    EXPECT_EQ(chart.SetSeriesValue(3, 9), 0);
    EXPECT_EQ(chart.SetSeriesValue(-1, 9), 0);
    EXPECT_EQ(chart.Series(2)->current, 55);
    EXPECT_EQ(chart.Series(2)->previous, 0);
}

TEST_F(LineChartCtrlTest, FirstSegmentRisesFromTheBottomEdge) {
    chart.AddSeries(kRedColor, 100, 0);
    Step(100);  // from row 20 (clipped) to row 0 (left out), 20 rows over 4 columns
    EXPECT_EQ(PixelsOf(kRed), (Points{{39, 1},
                                      {39, 2},
                                      {38, 3},
                                      {38, 4},
                                      {38, 5},
                                      {38, 6},
                                      {38, 7},
                                      {37, 8},
                                      {37, 9},
                                      {37, 10},
                                      {37, 11},
                                      {37, 12},
                                      {36, 13},
                                      {36, 14},
                                      {36, 15},
                                      {36, 16},
                                      {36, 17},
                                      {35, 18},
                                      {35, 19}}));
}

TEST_F(LineChartCtrlTest, ValueAtTheUpperBoundLiesOnTheTopRow) {
    chart.AddSeries(kRedColor, 100, 0);
    Step(100);
    Step(100);
    for (int x = 35; x <= 38; ++x) {
        EXPECT_EQ(At(x, 0), kRed) << x;
    }
    EXPECT_EQ(At(39, 0), kGrid);  // the end point is left out
    EXPECT_EQ(At(35, 1), kRed);   // where the rising first segment ended
}

TEST_F(LineChartCtrlTest, SeriesAlwaysGivenZeroIsNeverVisible) {
    chart.AddSeries(kRedColor, 100, 0);
    for (int step = 0; step < 12; ++step) {
        Step(0);
    }
    EXPECT_TRUE(PixelsOf(kRed).empty());
}

TEST_F(LineChartCtrlTest, ValueBelowTheLowerBoundIsDrawnAtTheBoundOutOfSight) {
    chart.AddSeries(kRedColor, 30, -10);
    for (int step = 0; step < 3; ++step) {
        Step(-25);
    }
    // The first step fell from 0 (row 15) to the bound; the two after it drew nothing.
    for (int x = 32; x < kWidth; ++x) {
        for (int y = 0; y < kHeight; ++y) {
            ASSERT_NE(At(x, y), kRed) << x << "," << y;
        }
    }
    Step(10);  // from the lower bound to row trunc(20 * 20 / 40) = 10
    EXPECT_EQ(At(35, 19), kRed);
    EXPECT_EQ(At(38, 12), kRed);
    EXPECT_EQ(At(39, 11), kRed);
}

TEST_F(LineChartCtrlTest, SegmentsJoinIntoOnePolyline) {
    chart.AddSeries(kRedColor, 100, 0);
    Step(50);  // rows 20 -> 10
    Step(50);  // row 10, columns 35 to 38
    Step(75);  // rows 10 -> 5: 5 rows over 4 columns
    // The flat step, now at columns 31 to 34, runs on into the new segment.
    EXPECT_EQ((Points{{31, 10}, {32, 10}, {33, 10}, {34, 10}, {35, 10}}), [&] {
        Points row;
        for (int x = 28; x < kWidth; ++x) {
            if (At(x, 10) == kRed) row.emplace_back(x, 10);
        }
        return row;
    }());
    EXPECT_EQ(At(36, 9), kRed);
    EXPECT_EQ(At(37, 8), kRed);
    EXPECT_EQ(At(37, 7), kRed);
    EXPECT_EQ(At(38, 6), kRed);
    EXPECT_NE(At(39, 5), kRed);
    EXPECT_EQ(At(31, 11), kRed);  // top of the first, rising segment
}

TEST_F(LineChartCtrlTest, StepWithoutANewValueRepeatsTheLastSegment) {
    chart.AddSeries(kRedColor, 100, 0);
    Step(50);
    chart.Advance();
    // Rows 20 -> 10 twice: the same pixels, four columns apart.
    for (const auto& [x, y] : Points{{35, 19},
                                     {36, 18},
                                     {36, 17},
                                     {37, 16},
                                     {37, 15},
                                     {37, 14},
                                     {38, 13},
                                     {38, 12},
                                     {39, 11}}) {
        EXPECT_EQ(At(x, y), kRed) << x << "," << y;
        EXPECT_EQ(At(x - 4, y), kRed) << x - 4 << "," << y;
    }
    EXPECT_EQ(PixelsOf(kRed).size(), 18u);
}

TEST_F(LineChartCtrlTest, TwoValuesBeforeAStepDrawOnlyTheSecondPair) {
    chart.AddSeries(kRedColor, 100, 0);
    chart.SetSeriesValue(0, 100);
    chart.SetSeriesValue(0, 100);
    chart.Advance();
    EXPECT_EQ(PixelsOf(kRed), (Points{{35, 0}, {36, 0}, {37, 0}, {38, 0}}));
}

TEST_F(LineChartCtrlTest, EachSeriesIsScaledByItsOwnRange) {
    chart.AddSeries(kRedColor, 100, 0);
    chart.AddSeries(kGreenColor, 10, -10);
    for (int step = 0; step < 2; ++step) {
        chart.SetSeriesValue(0, 25);  // row trunc(20 * 75 / 100) = 15
        chart.SetSeriesValue(1, -9);  // row trunc(20 * 19 / 20) = 19
        chart.Advance();
    }
    for (int x = 35; x <= 38; ++x) {
        EXPECT_EQ(At(x, 15), kRed) << x;
        EXPECT_EQ(At(x, 19), kGreen) << x;
    }
}

TEST_F(LineChartCtrlTest, LaterSeriesAreDrawnOverEarlierOnes) {
    chart.AddSeries(kRedColor, 100, 0);
    chart.AddSeries(kGreenColor, 100, 0);
    for (int step = 0; step < 2; ++step) {
        chart.SetSeriesValue(0, 50);
        chart.SetSeriesValue(1, 50);
        chart.Advance();
    }
    for (int x = 35; x <= 38; ++x) {
        EXPECT_EQ(At(x, 10), kGreen) << x;
    }
    EXPECT_TRUE(PixelsOf(kRed).empty());
}

TEST_F(LineChartCtrlTest, VerticalGridLineComesWithEveryOtherStep) {
    chart.AddSeries(kRedColor, 100, 0);
    chart.Advance();
    EXPECT_TRUE(LineChartCtrl::gridToggle);
    for (int y = 0; y < kHeight; ++y) {
        ASSERT_EQ(At(38, y), kGrid) << y;
    }
    chart.Advance();
    EXPECT_FALSE(LineChartCtrl::gridToggle);
    EXPECT_EQ(At(34, 3), kGrid);   // last step's line, scrolled
    EXPECT_EQ(At(38, 3), kBlack);  // no new one
    EXPECT_EQ(At(38, 8), kGrid);   // the strip keeps the horizontal lines
    chart.Advance();
    EXPECT_TRUE(LineChartCtrl::gridToggle);
    EXPECT_EQ(At(38, 3), kGrid);
    EXPECT_EQ(At(30, 3), kGrid);
    EXPECT_EQ(At(34, 3), kBlack);
}

TEST_F(LineChartCtrlTest, GridToggleIsSharedByAllCharts) {
    LineChartCtrl other;
    other.resize(kWidth, kHeight);
    other.AddSeries(kRedColor, 100, 0);
    chart.AddSeries(kRedColor, 100, 0);
    other.Advance();
    chart.Advance();
    EXPECT_FALSE(LineChartCtrl::gridToggle);
    EXPECT_EQ(other.Surface()->At(38, 3), kGrid);
    EXPECT_EQ(At(38, 3), kBlack);
}

TEST_F(LineChartCtrlTest, PaintShowsThePictureExactly) {
    chart.AddSeries(kRedColor, 100, 0);
    chart.AddSeries(kGreenColor, 100, 0);
    for (int step = 0; step < 9; ++step) {
        chart.SetSeriesValue(0, step * 11);
        chart.SetSeriesValue(1, 100 - step * 7);
        chart.Advance();
    }
    const QImage shown = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_EQ(shown.pixel(x, y), At(x, y)) << x << "," << y;
        }
    }
}

TEST_F(LineChartCtrlTest, PictureKeepsItsSizeWhenTheWidgetGrows) {
    chart.AddSeries(kRedColor, 100, 0);
    chart.resize(kWidth + 10, kHeight + 4);
    Step(100);
    Step(100);
    EXPECT_EQ(chart.Surface()->Width(), kWidth);
    EXPECT_EQ(At(36, 0), kRed);
    const QImage shown = chart.grab().toImage();
    EXPECT_EQ(shown.pixel(36, 0), kRedColor.rgb());
    EXPECT_EQ(shown.pixel(45, 22), qRgb(192, 192, 192));
}

TEST_F(LineChartCtrlTest, EmptyWidgetGetsItsPictureAtALaterSeries) {
    chart.resize(0, 0);
    chart.AddSeries(kRedColor, 100, 0);
    EXPECT_EQ(chart.Surface(), nullptr);
    chart.resize(kWidth, kHeight);
    chart.AddSeries(kGreenColor, 100, 0);
    ASSERT_NE(chart.Surface(), nullptr);
    EXPECT_EQ(chart.Surface()->Width(), kWidth);
}

TEST_F(LineChartCtrlTest, SeriesWithoutARangeIsNotDrawn) {
    chart.AddSeries(kRedColor, 5, 5);
    chart.AddSeries(kGreenColor, 0, 10);
    chart.SetSeriesValue(0, 5);
    chart.SetSeriesValue(1, 3);
    EXPECT_EQ(chart.Series(1)->current, 10);  // limited to the upper bound, then the lower
    chart.Advance();
    chart.Advance();
    EXPECT_TRUE(PixelsOf(kRed).empty());
    EXPECT_TRUE(PixelsOf(kGreen).empty());
}

TEST_F(LineChartCtrlTest, ExtremeRangeStaysInsideThePicture) {
    chart.AddSeries(kRedColor, 2147483647, -2147483647 - 1);
    for (int step = 0; step < 2; ++step) {
        chart.SetSeriesValue(0, 2147483647);
        chart.Advance();
    }
    EXPECT_EQ(At(36, 0), kRed);
    EXPECT_EQ(At(31, 8), kRed);  // the first step rose from 0, halfway up: row 9 to row 0
}

}  // namespace
