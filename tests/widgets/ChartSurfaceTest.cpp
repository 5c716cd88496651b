#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "ChartSeries.h"
#include "ChartSurface.h"

namespace {

constexpr ChartSurface::Pixel kBlack = ChartSurface::Rgb(0, 0, 0);
constexpr ChartSurface::Pixel kGreen = ChartSurface::Rgb(0, 128, 0);
constexpr ChartSurface::Pixel kRed = ChartSurface::Rgb(255, 0, 0);

using Points = std::vector<std::pair<int, int>>;

// Every pixel of the colour, row by row.
Points PixelsOf(const ChartSurface& surface, ChartSurface::Pixel colour) {
    Points found;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            if (surface.At(x, y) == colour) found.emplace_back(x, y);
        }
    }
    return found;
}

TEST(ChartSurface, GridLinesFallOnEveryEighthRowAndColumnFromTheOrigin) {
    ChartSurface cross(20, 20);
    cross.FillHatch(0, 0, 20, 20, ChartSurface::Hatch::Cross);
    ChartSurface horizontal(20, 20);
    horizontal.FillHatch(0, 0, 20, 20, ChartSurface::Hatch::Horizontal);
    struct {
        int x, y;
        ChartSurface::Pixel cross, horizontal;
    } const cases[] = {{0, 0, kGreen, kGreen}, {5, 8, kGreen, kGreen}, {19, 16, kGreen, kGreen},
                       {0, 5, kGreen, kBlack}, {8, 3, kGreen, kBlack}, {16, 19, kGreen, kBlack},
                       {7, 7, kBlack, kBlack}, {9, 9, kBlack, kBlack}, {15, 17, kBlack, kBlack}};
    for (const auto& c : cases) {
        EXPECT_EQ(cross.At(c.x, c.y), c.cross) << c.x << "," << c.y;
        EXPECT_EQ(horizontal.At(c.x, c.y), c.horizontal) << c.x << "," << c.y;
    }
}

TEST(ChartSurface, HatchOfAPartIsAlignedToTheBufferAndStaysInsideThePart) {
    ChartSurface surface(20, 12);
    surface.DrawLine(0, 3, 20, 3, kRed);
    surface.FillHatch(5, 3, 13, 11, ChartSurface::Hatch::Cross);
    EXPECT_EQ(surface.At(8, 5), kGreen);  // column 8 of the buffer
    EXPECT_EQ(surface.At(6, 8), kGreen);  // row 8 of the buffer
    EXPECT_EQ(surface.At(5, 5), kBlack);  // the part's own left edge is no grid line
    // Red is overwritten inside the part only; row 0 and column 16 stay black outside it.
    EXPECT_EQ(PixelsOf(surface, kRed).size(), 20u - 8u);
    EXPECT_EQ(PixelsOf(surface, kGreen).size(), 8u + 7u);
}

TEST(ChartSurface, HatchAndDrawingAreClippedToTheBuffer) {
    ChartSurface surface(9, 9);
    surface.FillHatch(-100, -100, 100, 100, ChartSurface::Hatch::Cross);
    surface.FillHatch(20, 20, 30, 30, ChartSurface::Hatch::Horizontal);
    surface.FillHatch(5, 5, 2, 2, ChartSurface::Hatch::Horizontal);
    EXPECT_EQ(PixelsOf(surface, kGreen).size(), 4u * 9u - 4u);
    ChartSurface empty(-3, 5);  // a negative size is an empty surface, not a crash
    empty.ShiftLeft(4);
    empty.FillHatch(0, 0, 10, 10, ChartSurface::Hatch::Cross);
    empty.DrawLine(0, 0, 5, 5, kRed);
    EXPECT_EQ(empty.Width(), 0);
}

TEST(ChartSurface, ShiftLeftMovesEachRowAndKeepsTheRightmostColumns) {
    ChartSurface surface(12, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 12; ++x) surface.DrawLine(x, y, x + 1, y, ChartSurface::Rgb(x, y, 7));
    }
    surface.ShiftLeft(12);  // the whole width, none or fewer move nothing
    surface.ShiftLeft(0);
    surface.ShiftLeft(-2);
    surface.ShiftLeft(4);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 12; ++x) {
            const int from = x < 8 ? x + 4 : x;
            EXPECT_EQ(surface.At(x, y), ChartSurface::Rgb(from, y, 7)) << x << "," << y;
        }
    }
}

// Expected pixels worked out by hand: one pixel per step along the longer axis,
// the other coordinate rounded to the nearest, halves away from the start.
TEST(ChartSurface, LineDrawsOnePixelPerStepLeavesOutTheEndPointAndClips) {
    struct {
        const char* name;
        int x0, y0, x1, y1;
        Points expected;
    } const cases[] = {
        {"rightwards", 2, 3, 6, 3, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {"leftwards", 6, 3, 2, 3, {{3, 3}, {4, 3}, {5, 3}, {6, 3}}},
        {"upwards", 4, 5, 4, 2, {{4, 3}, {4, 4}, {4, 5}}},
        {"steep, halves rounded onwards", 0, 0, 1, 4, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {"shallow rising", 0, 5, 4, 3, {{3, 3}, {1, 4}, {2, 4}, {0, 5}}},
        {"single point", 5, 5, 5, 5, {}},
        {"start left of the buffer", -2, 1, 3, 1, {{0, 1}, {1, 1}, {2, 1}}},
        {"end below the buffer", 8, 7, 8, 30, {{8, 7}, {8, 8}, {8, 9}}},
        {"coming up from below", 9, 12, 9, 8, {{9, 9}}},
        {"wholly outside", -5, -5, -1, -9, {}},
        {"on the row below", 5, 10, 9, 10, {}},
    };
    for (const auto& c : cases) {
        ChartSurface surface(10, 10);
        surface.DrawLine(c.x0, c.y0, c.x1, c.y1, kRed);
        EXPECT_EQ(PixelsOf(surface, kRed), c.expected) << c.name;
    }
}

TEST(ChartSurface, LineBetweenFarAwayPointsIsClippedWithoutOverflow) {
    ChartSurface surface(10, 10);
    surface.DrawLine(INT_MIN, 2, INT_MAX, 2, kRed);
    EXPECT_EQ(PixelsOf(surface, kRed).size(), 10u);
    ChartSurface steep(10, 10);
    steep.DrawLine(0, INT_MIN, 5, INT_MAX, kRed);
    const Points drawn = PixelsOf(steep, kRed);
    EXPECT_EQ(drawn.size(), 10u);  // one pixel on every row, halfway across
    for (const auto& [x, y] : drawn) EXPECT_TRUE(x == 2 || x == 3) << x;
}

TEST(ChartSeries, RowScalesTheValueIntoTheRangeAndTruncatesTowardZero) {
    struct {
        int upper, lower, value, row;  // on a 78-pixel picture, worked out by hand
    } const cases[] = {
        {100, 0, 100, 0},    // upper bound on the top row
        {100, 0, 0, 78},     // lower bound just below the picture
        {100, 0, 1, 77},     // 77.22
        {100, 0, 99, 0},     // 0.78
        {100, 0, 33, 52},    // 52.26
        {100, -20, 0, 65},   // 78 * 100 / 120
        {-10, -100, 0, -8},  // -8.67, above the range
    };
    for (const auto& c : cases) {
        ChartSeries series;
        series.upperBound = c.upper;
        series.lowerBound = c.lower;
        EXPECT_EQ(series.RowOf(c.value, 78), c.row)
            << c.upper << ".." << c.lower << ": " << c.value;
    }
}

}  // namespace
