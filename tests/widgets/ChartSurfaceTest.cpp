#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

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
            if (surface.At(x, y) == colour) {
                found.emplace_back(x, y);
            }
        }
    }
    return found;
}

TEST(ChartSurface, PixelsUseTheLayoutOfRgb32Images) {
    EXPECT_EQ(ChartSurface::Rgb(0x12, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(ChartSurface::kGrid, 0xFF008000u);
    EXPECT_EQ(ChartSurface::kBackground, 0xFF000000u);
}

TEST(ChartSurface, StartsBlackAtTheGivenSize) {
    ChartSurface surface(7, 3);
    EXPECT_EQ(surface.Width(), 7);
    EXPECT_EQ(surface.Height(), 3);
    EXPECT_EQ(surface.BytesPerLine(), 28);
    EXPECT_EQ(PixelsOf(surface, kBlack).size(), 21u);
}

TEST(ChartSurface, NegativeSizeGivesAnEmptySurfaceThatIgnoresDrawing) {
    ChartSurface surface(-3, 5);
    EXPECT_EQ(surface.Width(), 0);
    surface.ShiftLeft(4);
    surface.FillHatch(0, 0, 10, 10, ChartSurface::Hatch::Cross);
    surface.DrawLine(0, 0, 5, 5, kRed);
}

struct HatchCase {
    int x;
    int y;
    ChartSurface::Pixel cross;
    ChartSurface::Pixel horizontal;
};

void PrintTo(const HatchCase& c, std::ostream* os) {
    *os << c.x << "," << c.y;
}

class HatchTest : public testing::TestWithParam<HatchCase> {};

TEST_P(HatchTest, GridLinesFallOnEveryEighthRowAndColumnFromTheOrigin) {
    const HatchCase c = GetParam();
    ChartSurface cross(20, 20);
    cross.FillHatch(0, 0, 20, 20, ChartSurface::Hatch::Cross);
    ChartSurface horizontal(20, 20);
    horizontal.FillHatch(0, 0, 20, 20, ChartSurface::Hatch::Horizontal);
    EXPECT_EQ(cross.At(c.x, c.y), c.cross);
    EXPECT_EQ(horizontal.At(c.x, c.y), c.horizontal);
}

INSTANTIATE_TEST_SUITE_P(
    ChartSurface, HatchTest,
    testing::Values(HatchCase{0, 0, kGreen, kGreen}, HatchCase{5, 0, kGreen, kGreen},
                    HatchCase{5, 8, kGreen, kGreen}, HatchCase{19, 16, kGreen, kGreen},
                    HatchCase{0, 5, kGreen, kBlack}, HatchCase{8, 3, kGreen, kBlack},
                    HatchCase{16, 19, kGreen, kBlack}, HatchCase{1, 1, kBlack, kBlack},
                    HatchCase{7, 7, kBlack, kBlack}, HatchCase{9, 9, kBlack, kBlack},
                    HatchCase{15, 17, kBlack, kBlack}),
    [](const testing::TestParamInfo<HatchCase>& info) {
        return "At" + std::to_string(info.param.x) + "x" + std::to_string(info.param.y);
    });

TEST(ChartSurface, HatchOfAPartIsAlignedToTheBufferNotToThePart) {
    ChartSurface surface(20, 12);
    surface.FillHatch(5, 3, 13, 11, ChartSurface::Hatch::Cross);
    EXPECT_EQ(surface.At(8, 5), kGreen);   // column 8 of the buffer
    EXPECT_EQ(surface.At(6, 8), kGreen);   // row 8 of the buffer
    EXPECT_EQ(surface.At(5, 5), kBlack);   // left edge of the part is no grid line
    EXPECT_EQ(surface.At(12, 3), kBlack);  // nor is its top edge
    // Outside the part nothing changed, although row 0 and column 16 are grid lines.
    EXPECT_EQ(PixelsOf(surface, kGreen).size(), 8u + 7u);
    EXPECT_EQ(surface.At(0, 0), kBlack);
    EXPECT_EQ(surface.At(16, 8), kBlack);
}

TEST(ChartSurface, HatchOverwritesWhatWasDrawnInItsRectangle) {
    ChartSurface surface(12, 12);
    surface.DrawLine(0, 3, 12, 3, kRed);
    surface.FillHatch(4, 0, 12, 12, ChartSurface::Hatch::Horizontal);
    EXPECT_EQ(PixelsOf(surface, kRed), (Points{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
}

TEST(ChartSurface, HatchIsClippedToTheBuffer) {
    ChartSurface surface(9, 9);
    surface.FillHatch(-100, -100, 100, 100, ChartSurface::Hatch::Cross);
    EXPECT_EQ(PixelsOf(surface, kGreen).size(), 9u + 9u + 9u + 9u - 4u);
    surface.FillHatch(20, 20, 30, 30, ChartSurface::Hatch::Horizontal);
    surface.FillHatch(5, 5, 2, 2, ChartSurface::Hatch::Horizontal);
    EXPECT_EQ(PixelsOf(surface, kGreen).size(), 32u);
}

TEST(ChartSurface, ShiftLeftMovesThePictureAndKeepsTheRightmostColumns) {
    ChartSurface surface(10, 2);
    surface.DrawLine(0, 0, 10, 0, kRed);  // whole top row
    surface.DrawLine(5, 1, 7, 1, kRed);   // columns 5 and 6 of the bottom row
    surface.ShiftLeft(4);
    // Bottom row: 5 and 6 moved to 1 and 2; columns 6 to 9 are as they were.
    EXPECT_EQ(PixelsOf(surface, kRed), (Points{{0, 0},
                                               {1, 0},
                                               {2, 0},
                                               {3, 0},
                                               {4, 0},
                                               {5, 0},
                                               {6, 0},
                                               {7, 0},
                                               {8, 0},
                                               {9, 0},
                                               {1, 1},
                                               {2, 1},
                                               {6, 1}}));
}

TEST(ChartSurface, ShiftLeftActsAsAMoveWhereSourceAndDestinationOverlap) {
    ChartSurface surface(12, 1);
    for (int x = 0; x < 12; ++x) {
        surface.DrawLine(x, 0, x + 1, 0, ChartSurface::Rgb(x, 0, 0));
    }
    surface.ShiftLeft(4);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(surface.At(x, 0), ChartSurface::Rgb(x + 4, 0, 0)) << "column " << x;
    }
}

TEST(ChartSurface, ShiftLeftByTheWholeWidthOrNothingChangesNothing) {
    ChartSurface surface(4, 1);
    surface.DrawLine(1, 0, 2, 0, kRed);
    surface.ShiftLeft(4);
    surface.ShiftLeft(0);
    surface.ShiftLeft(-2);
    EXPECT_EQ(PixelsOf(surface, kRed), (Points{{1, 0}}));
}

struct LineCase {
    const char* name;
    int x0, y0, x1, y1;
    Points expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class LineTest : public testing::TestWithParam<LineCase> {};

TEST_P(LineTest, DrawsTheExpectedPixelsAndLeavesOutTheEndPoint) {
    const LineCase& c = GetParam();
    ChartSurface surface(10, 10);
    surface.DrawLine(c.x0, c.y0, c.x1, c.y1, kRed);
    EXPECT_EQ(PixelsOf(surface, kRed), c.expected);
}

// Expected pixels worked out by hand: one pixel per step along the longer axis,
// the other coordinate rounded to the nearest, halves away from the start.
INSTANTIATE_TEST_SUITE_P(
    ChartSurface, LineTest,
    testing::Values(
        LineCase{"RightwardsFourColumns", 2, 3, 6, 3, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        LineCase{"LeftwardsFourColumns", 6, 3, 2, 3, {{3, 3}, {4, 3}, {5, 3}, {6, 3}}},
        LineCase{"DownwardsColumn", 4, 0, 4, 5, {{4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}}},
        LineCase{"UpwardsColumn", 4, 5, 4, 2, {{4, 3}, {4, 4}, {4, 5}}},
        LineCase{"Diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
        LineCase{"SteepWithHalfStepsRoundedOnwards", 0, 0, 1, 4, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        LineCase{"ShallowRising", 0, 5, 4, 3, {{3, 3}, {1, 4}, {2, 4}, {0, 5}}},
        LineCase{"SinglePoint", 5, 5, 5, 5, {}},
        LineCase{"StartLeftOfTheBuffer", -2, 1, 3, 1, {{0, 1}, {1, 1}, {2, 1}}},
        LineCase{"EndBelowTheBuffer", 8, 7, 8, 30, {{8, 7}, {8, 8}, {8, 9}}},
        LineCase{"ComingUpFromBelow", 9, 12, 9, 8, {{9, 9}}},
        LineCase{"WhollyOutside", -5, -5, -1, -9, {}},
        LineCase{"StartingOnTheRowBelow", 5, 10, 9, 10, {}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(ChartSurface, LineBetweenFarAwayPointsIsClippedWithoutOverflow) {
    ChartSurface surface(10, 10);
    surface.DrawLine(INT_MIN, 2, INT_MAX, 2, kRed);
    EXPECT_EQ(PixelsOf(surface, kRed).size(), 10u);
    ChartSurface steep(10, 10);
    steep.DrawLine(0, INT_MIN, 5, INT_MAX, kRed);
    const Points drawn = PixelsOf(steep, kRed);
    ASSERT_EQ(drawn.size(), 10u);  // one pixel on every row
    for (const auto& [x, y] : drawn) {
        EXPECT_TRUE(x == 2 || x == 3) << x;  // halfway across, as the rows are halfway along
    }
}

}  // namespace
