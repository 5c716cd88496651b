// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryBuckets.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "HistoryStats.h"

namespace {

StationMinute FloorTo(StationMinute minute, StationMinute width) {
    const StationMinute rest = minute % width;
    return minute - (rest < 0 ? rest + width : rest);
}

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

}  // namespace

// The buckets from the one holding `from` to the one holding `to` are at
// most (length + width) / width, which must not pass the pixels.
StationMinute HistoryBuckets::Width(StationMinute length, int pixels) {
    const StationMinute room = std::max(1, pixels - 1);
    const StationMinute wanted = std::max<StationMinute>(1, (length + room - 1) / room);
    const StationMinute step = wanted >= kMinutesPerDay ? kMinutesPerDay
                               : wanted >= 60           ? 60
                                                        : kPointMinutes;
    return (wanted + step - 1) / step * step;
}

HistoryBuckets::HistoryBuckets(std::span<const HistoryPoint> points, StationMinute from,
                               StationMinute to, int pixels)
    : HistoryBuckets(from, to, pixels) {
    const auto begin = std::lower_bound(
        points.begin(), points.end(), from,
        [](const HistoryPoint& point, StationMinute minute) { return point.minute < minute; });
    for (auto it = begin; it != points.end() && it->minute <= to; ++it) Take(*it);
    Finish();
}

HistoryBuckets::HistoryBuckets(StationMinute from, StationMinute to, int pixels)
    : from_(from), to_(to) {
    if (to < from) return;
    width_ = Width(to - from, pixels);
    first_ = FloorTo(from, width_);
    const std::size_t count = std::size_t((to - first_) / width_ + 1);
    for (std::size_t q = 0; q < kHistoryQuantityCount; ++q) {
        series_[q].resize(count);
        for (std::size_t i = 0; i < count; ++i)
            series_[q][i].start = first_ + StationMinute(i) * width_;
    }
    directionSums_.assign(count, {0, 0});
}

void HistoryBuckets::Take(const HistoryPoint& point) {
    if (point.minute < from_ || point.minute > to_) return;
    Add(point, std::size_t((point.minute - first_) / width_));
}

void HistoryBuckets::Take(const HistoryStats& stats) {
    if (stats.start < from_ || stats.start + stats.minutes - 1 > to_) return;
    const std::size_t index = std::size_t((stats.start - first_) / width_);
    for (std::size_t q = 0; q < kHistoryQuantityCount; ++q) {
        const HistoryBucket& part = stats.values[q];
        if (part.count == 0) continue;
        HistoryBucket& bucket = series_[q][index];
        if (bucket.count == 0) bucket.min = bucket.max = part.min;
        bucket.min = std::min(bucket.min, part.min);
        bucket.max = std::max(bucket.max, part.max);
        bucket.avg += part.avg;  // sums, both
        bucket.count += part.count;
    }
    directionSums_[index][0] += stats.directionCos;
    directionSums_[index][1] += stats.directionSin;
}

void HistoryBuckets::Add(const HistoryPoint& point, std::size_t index) {
    for (std::size_t q = 0; q < kHistoryQuantityCount; ++q) {
        const float value = point.values[q];
        if (!HistoryPoint::Has(value)) continue;
        HistoryBucket& bucket = series_[q][index];
        if (bucket.count == 0) bucket.min = bucket.max = value;
        bucket.min = std::min(bucket.min, double(value));
        bucket.max = std::max(bucket.max, double(value));
        bucket.avg += value;  // the sum until Finish
        ++bucket.count;
    }
    const float direction = point[HistoryQuantity::Direction];
    if (HistoryPoint::Has(direction)) {
        directionSums_[index][0] += std::cos(direction * kRadiansPerDegree);
        directionSums_[index][1] += std::sin(direction * kRadiansPerDegree);
    }
}

void HistoryBuckets::Finish() {
    for (auto& series : series_)
        for (HistoryBucket& bucket : series)
            if (bucket.count > 0) bucket.avg /= bucket.count;
    auto& directions = series_[std::size_t(HistoryQuantity::Direction)];
    for (std::size_t i = 0; i < directions.size(); ++i) {
        if (directions[i].count == 0) continue;
        double degrees = std::atan2(directionSums_[i][1], directionSums_[i][0]) / kRadiansPerDegree;
        if (degrees < 0) degrees += 360;
        directions[i].avg = degrees;
    }
    directionSums_.clear();
}
