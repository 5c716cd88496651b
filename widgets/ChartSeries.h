// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "ChartSurface.h"

// One line of the strip chart: its colour, its range and the last two values
// it was given. The picture is the only longer history.
struct ChartSeries {
    ChartSurface::Pixel color = ChartSurface::kBackground;
    std::int32_t lowerBound = 0;
    std::int32_t upperBound = 0;
    std::int32_t current = 0;   // value of the latest SetSeriesValue; 0 when added
    std::int32_t previous = 0;  // value that was current before that call

    // A series needs a range of at least one to be drawn.
    bool Drawable() const { return upperBound > lowerBound; }

    // Row of `value` on a picture `height` pixels tall: the upper bound maps
    // to row 0, the lower bound to row `height`, just below the picture.
    // Worked in double, divided before multiplied, truncated toward zero.
    int RowOf(std::int32_t value, int height) const;
};
