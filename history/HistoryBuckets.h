// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <span>
#include <vector>

#include "HistoryPoint.h"

// One stretch of time on the plot: the lowest, mean and highest value of the
// points in it; no points (count 0) is a gap, which no line may cross.
struct HistoryBucket {
    StationMinute start = 0;
    int count = 0;
    double min = 0;
    double avg = 0;
    double max = 0;
};

// A period's points cut into buckets, so that no series has more points than
// the plot has pixels. A bucket is a whole number of five-minute steps and
// starts at a multiple of its width, so a pan keeps the buckets it shows;
// from an hour on it is whole hours, from a day on whole days, so that the
// archive's hour and day statistics fill it as its points would.
// A span short enough gets one bucket per point: every point as it is.
class HistoryBuckets {
  public:
    // `points` oldest first; those outside from..to (both included) are passed over.
    HistoryBuckets(std::span<const HistoryPoint> points, StationMinute from, StationMinute to,
                   int pixels);
    // Fed point by point (Take, oldest first, then Finish once): a long
    // period's points need not all be held at once.
    HistoryBuckets(StationMinute from, StationMinute to, int pixels);
    void Take(const HistoryPoint& point);
    // An hour's or a day's points at once; the width must be a whole number of them.
    void Take(const struct HistoryStats& stats);
    void Finish();

    // Minutes per bucket for a period of `length` on `pixels` pixels.
    static StationMinute Width(StationMinute length, int pixels);

    StationMinute width() const { return width_; }
    const std::vector<HistoryBucket>& Series(HistoryQuantity quantity) const {
        return series_[std::size_t(quantity)];
    }

  private:
    void Add(const HistoryPoint& point, std::size_t index);

    StationMinute from_ = 0, to_ = -1;
    StationMinute first_ = 0;
    StationMinute width_ = kPointMinutes;
    std::array<std::vector<HistoryBucket>, kHistoryQuantityCount> series_;
    // The direction's mean is taken on the circle: 350 and 10 make 0, not 180.
    std::vector<std::array<double, 2>> directionSums_;
};
