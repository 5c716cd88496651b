// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <utility>
#include <vector>

#include "ChartSeries.h"
#include "ChartSurface.h"

constexpr ChartSurface::Pixel kBlack = 0xFF000000, kGreen = 0xFF008000, kRed = 0xFFFF0000;
using Hatch = ChartSurface::Hatch;
using Points = std::vector<std::pair<int, int>>;

// Every pixel of the colour, row by row.
static Points PixelsOf(const ChartSurface& s, ChartSurface::Pixel colour) {
    Points found;
    for (int i = 0; i < s.Width() * s.Height(); ++i) {
        if (s.Data()[i] == colour) found.emplace_back(i % s.Width(), i / s.Width());
    }
    return found;
}

TEST(ChartSurface, HatchLinesFallOnEveryEighthRowAndColumnOfTheBufferWithinTheClippedPart) {
    ChartSurface cross(20, 12), horizontal(20, 12);
    cross.DrawLine(0, 3, 20, 3, kRed);
    cross.FillHatch(5, 3, 13, 11, Hatch::Cross);         // columns 5 to 12, rows 3 to 10
    EXPECT_EQ(cross.At(8, 5), kGreen);                   // column 8 of the buffer
    EXPECT_EQ(cross.At(6, 8), kGreen);                   // row 8 of the buffer
    EXPECT_EQ(PixelsOf(cross, kRed).size(), 20u - 8u);   // overwritten inside the part only
    EXPECT_EQ(PixelsOf(cross, kGreen).size(), 8u + 7u);  // row 0, column 16 lie outside it
    horizontal.FillHatch(-100, -100, 100, 100, Hatch::Horizontal);
    horizontal.FillHatch(5, 5, 2, 2, Hatch::Cross);  // an empty rectangle
    EXPECT_EQ(PixelsOf(horizontal, kGreen).size(), 2u * 20u);
    EXPECT_EQ(horizontal.At(7, 8), kGreen);
    EXPECT_EQ(horizontal.At(8, 7), kBlack);
    ChartSurface empty(-3, 5);  // a negative size is an empty surface, not a crash
    empty.FillHatch(0, 0, 10, 10, Hatch::Cross);
    empty.DrawLine(0, 0, 5, 5, kRed);
    EXPECT_EQ(empty.Width(), 0);
}

TEST(ChartSurface, ShiftLeftMovesEachRowAndKeepsTheRightmostColumns) {
    ChartSurface s(12, 2);
    for (int x = 0; x < 24; ++x) s.DrawLine(x % 12, x / 12, x % 12 + 1, x / 12, 0xFF000000u + x);
    for (int columns : {12, 0, -2, 4}) s.ShiftLeft(columns);  // all but 4 move nothing
    for (int x = 0; x < 24; ++x) {
        const int from = x % 12 < 8 ? x + 4 : x;
        EXPECT_EQ(s.At(x % 12, x / 12), 0xFF000000u + from) << x;
    }
}

// Expected pixels worked out by hand: one pixel per step along the longer axis,
// the other coordinate rounded to the nearest, halves away from the start.
TEST(ChartSurface, LineDrawsOnePixelPerStepLeavesOutTheEndPointAndClips) {
    const std::tuple<const char*, int, int, int, int, Points> cases[] = {
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
    for (const auto& [name, x0, y0, x1, y1, expected] : cases) {
        ChartSurface surface(10, 10);
        surface.DrawLine(x0, y0, x1, y1, kRed);
        EXPECT_EQ(PixelsOf(surface, kRed), expected) << name;
    }
}

TEST(ChartSurface, LineBetweenFarAwayPointsIsClippedWithoutOverflow) {
    ChartSurface s(10, 10);
    s.DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kRed);  // the diagonal
    s.DrawLine(0, INT_MIN, 5, INT_MAX, kRed);              // just past halfway across on every row
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(s.At(i, i) == kRed && s.At(3, i) == kRed) << i;
    EXPECT_EQ(PixelsOf(s, kRed).size(), 19u);
}

TEST(ChartSeries, RowScalesTheValueIntoTheRangeAndTruncatesTowardZero) {
    const int cases[][4] = {
        // upper, lower, value, row on a 78-pixel picture, worked out by hand
        {100, 0, 1, 77},     // 77.22
        {100, 0, 99, 0},     // 0.78
        {100, 0, 33, 52},    // 52.26
        {100, -20, 0, 65},   // 78 * 100 / 120
        {-10, -100, 0, -8},  // -8.67, above the range
    };
    for (const auto& c : cases) {
        const ChartSeries series{.lowerBound = c[1], .upperBound = c[0]};
        EXPECT_EQ(series.RowOf(c[2], 78), c[3]) << c[0] << ".." << c[1] << ": " << c[2];
    }
}
