// SPDX-License-Identifier: GPL-3.0-or-later
#include "RainBars.h"

#include <algorithm>

StationMinute RainBars::BarMinutes(StationMinute length) {
    return length <= 7 * kMinutesPerDay ? 60 : kMinutesPerDay;
}

RainBars::RainBars(std::span<const HistoryPoint> points, StationMinute from, StationMinute to,
                   StationMinute barMinutes) {
    if (to < from || barMinutes <= 0) return;
    const StationMinute first = from - from % barMinutes;
    const std::size_t count = std::size_t((to - first) / barMinutes + 1);
    bars_.resize(count);
    for (std::size_t i = 0; i < count; ++i) bars_[i].start = first + StationMinute(i) * barMinutes;
    bool havePrevious = false;
    StationMinute previousMinute = 0;
    double previous = 0;
    for (const HistoryPoint& point : points) {
        const float value = point[HistoryQuantity::RainToday];
        if (!HistoryPoint::Has(value) || point.minute > to) continue;
        const bool sameDay =
            havePrevious && previousMinute / kMinutesPerDay == point.minute / kMinutesPerDay;
        // A fall within a day is a gauge set back by hand: what it shows since.
        const double fallen = sameDay        ? (value >= previous ? value - previous : value)
                              : havePrevious ? value
                                             : 0;
        if (point.minute >= from)
            bars_[std::size_t((point.minute - first) / barMinutes)].amount += fallen;
        havePrevious = true;
        previousMinute = point.minute;
        previous = value;
    }
    double total = 0;
    for (Bar& bar : bars_) bar.total = total += bar.amount;
}
