// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartSeries.h"

#include <algorithm>

int ChartSeries::RowOf(std::int32_t value, int height) const {
    const double range = double(upperBound) - double(lowerBound);
    const double row = height * ((double(upperBound) - double(value)) / range);
    // Values are clamped into the range, but the initial 0 need not lie in it;
    // keep far-off rows representable, the surface clips them anyway.
    constexpr double kFarAway = 1 << 30;
    return int(std::clamp(row, -kFarAway, kFarAway));
}
