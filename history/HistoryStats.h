// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "HistoryBuckets.h"

// An hour's or a day's points summed up, as the archive keeps them: what a
// bucket of whole hours or days takes instead of every point.
struct HistoryStats {
    StationMinute start = 0;
    StationMinute minutes = 60;
    // avg holds the sum of the values.
    std::array<HistoryBucket, kHistoryQuantityCount> values;
    double directionCos = 0, directionSin = 0;
    // Today's rain: first and last value (NaN where none) and its rise between them.
    float rainFirst = HistoryPoint::kNone, rainLast = HistoryPoint::kNone;
    double rainRise = 0;
};
