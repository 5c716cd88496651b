// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartSurface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool OnGridLine(int coordinate) {
    return coordinate % ChartSurface::kGridPeriod == 0;
}

// step * delta / steps rounded to the nearest integer, halves away from zero;
// all three are non-negative. The product can pass 64 bits for far-away points.
std::int64_t ScaledOffset(std::int64_t step, std::int64_t delta, std::int64_t steps) {
    const __int128 numerator = __int128(step) * delta;
    return std::int64_t((2 * numerator + steps) / (2 * __int128(steps)));
}

}  // namespace

ChartSurface::ChartSurface(int width, int height)
    : width(std::max(width, 0)),
      height(std::max(height, 0)),
      pixels(std::size_t(this->width) * std::size_t(this->height), kBackground) {}

void ChartSurface::ShiftLeft(int columns) {
    if (columns <= 0 || columns >= width) {
        return;
    }
    const std::size_t kept = std::size_t(width - columns) * sizeof(Pixel);
    for (int y = 0; y < height; ++y) {
        Pixel* row = pixels.data() + Index(0, y);
        std::memmove(row, row + columns, kept);  // source and destination overlap
    }
}

void ChartSurface::FillHatch(int left, int top, int right, int bottom, Hatch hatch) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (int y = top; y < bottom; ++y) {
        Pixel* row = pixels.data() + Index(0, y);
        if (OnGridLine(y)) {
            std::fill(row + std::min(left, right), row + right, kGrid);
            continue;
        }
        for (int x = left; x < right; ++x) {
            row[x] = (hatch == Hatch::Cross && OnGridLine(x)) ? kGrid : kBackground;
        }
    }
}

void ChartSurface::DrawLine(int x0, int y0, int x1, int y1, Pixel colour) {
    // Walk the longer axis one pixel per step and round the other coordinate,
    // in 64 bits so that far-away end points cannot overflow.
    const std::int64_t dx = std::int64_t(x1) - x0;
    const std::int64_t dy = std::int64_t(y1) - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t steps = xMajor ? std::llabs(dx) : std::llabs(dy);
    if (steps == 0) {
        return;
    }
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t minorStart = xMajor ? y0 : x0;
    const std::int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? dy : dx;
    const std::int64_t majorLimit = xMajor ? width : height;
    const std::int64_t minorLimit = xMajor ? height : width;

    // Only the steps whose major coordinate lies inside the buffer are walked.
    std::int64_t first = majorSign > 0 ? -majorStart : majorStart - (majorLimit - 1);
    std::int64_t last = majorSign > 0 ? majorLimit - 1 - majorStart : majorStart;
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, steps - 1);

    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t offset = ScaledOffset(i, std::llabs(minorDelta), steps);
        const std::int64_t minor = minorStart + (minorDelta < 0 ? -offset : offset);
        if (minor < 0 || minor >= minorLimit) {
            continue;
        }
        const std::int64_t major = majorStart + majorSign * i;
        const int x = int(xMajor ? major : minor);
        const int y = int(xMajor ? minor : major);
        pixels[Index(x, y)] = colour;
    }
}
