// SPDX-License-Identifier: GPL-3.0-or-later
#include "RainBars.h"

#include <algorithm>
#include <cmath>

#include "HistoryStats.h"

StationMinute RainBars::BarMinutes(StationMinute length) {
    // Beyond a year, days are thinner than a pixel and thousands of bars
    // cost the drawing hundreds of milliseconds: weeks say more.
    return length <= 7 * kMinutesPerDay     ? 60
           : length <= 400 * kMinutesPerDay ? kMinutesPerDay
                                            : 7 * kMinutesPerDay;
}

RainBars::RainBars(std::span<const HistoryPoint> points, StationMinute from, StationMinute to,
                   StationMinute barMinutes)
    : RainBars(from, to, barMinutes) {
    for (const HistoryPoint& point : points) Take(point);
    Finish();
}

RainBars::RainBars(StationMinute from, StationMinute to, StationMinute barMinutes)
    : from_(from), to_(to), barMinutes_(barMinutes) {
    if (to < from || barMinutes <= 0) {
        to_ = from_ - 1;  // takes nothing
        return;
    }
    first_ = from - from % barMinutes;
    const std::size_t count = std::size_t((to - first_) / barMinutes + 1);
    bars_.resize(count);
    for (std::size_t i = 0; i < count; ++i) bars_[i].start = first_ + StationMinute(i) * barMinutes;
}

void RainBars::Take(const HistoryPoint& point) {
    const float value = point[HistoryQuantity::RainToday];
    if (!HistoryPoint::Has(value) || point.minute > to_) return;
    const bool sameDay =
        havePrevious_ && previousMinute_ / kMinutesPerDay == point.minute / kMinutesPerDay;
    // A fall within a day is a gauge set back by hand: what it shows since.
    const double fallen = sameDay         ? (value >= previous_ ? value - previous_ : value)
                          : havePrevious_ ? value
                                          : 0;
    if (point.minute >= from_)
        bars_[std::size_t((point.minute - first_) / barMinutes_)].amount += fallen;
    havePrevious_ = true;
    previousMinute_ = point.minute;
    previous_ = value;
}

void RainBars::Take(const HistoryStats& stats) {
    if (std::isnan(stats.rainFirst) || stats.start > to_) return;
    // The first value counts as a point's would; the rises after it are the stats' own.
    const float first = stats.rainFirst;
    const bool sameDay =
        havePrevious_ && previousMinute_ / kMinutesPerDay == stats.start / kMinutesPerDay;
    const double fallen = sameDay         ? (first >= previous_ ? first - previous_ : first)
                          : havePrevious_ ? first
                                          : 0;
    if (stats.start >= from_)
        bars_[std::size_t((stats.start - first_) / barMinutes_)].amount += fallen + stats.rainRise;
    havePrevious_ = true;
    previousMinute_ = stats.start;
    previous_ = stats.rainLast;
}

void RainBars::Finish() {
    double total = 0;
    for (Bar& bar : bars_) bar.total = total += bar.amount;
}
