// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <vector>

#include "HistoryPoint.h"

// The rain of a period as bars (per hour, day or week) and its running total,
// from the points' "today's rain", which the station sets back to 0 at its
// midnight: within a day each rise counts; the first point of a new day
// counts with its whole value.
class RainBars {
  public:
    struct Bar {
        StationMinute start = 0;
        double amount = 0;  // inches fallen in the bar
        double total = 0;   // inches from the period's start to the bar's end
    };

    // Hours for up to a week, days up to 400 days, weeks beyond.
    static StationMinute BarMinutes(StationMinute length);

    // `points` oldest first; from..to both included.
    RainBars(std::span<const HistoryPoint> points, StationMinute from, StationMinute to,
             StationMinute barMinutes);
    // Fed point by point (Take, oldest first, then Finish once).
    RainBars(StationMinute from, StationMinute to, StationMinute barMinutes);
    void Take(const HistoryPoint& point);
    // An hour's or a day's points at once.
    void Take(const struct HistoryStats& stats);
    void Finish();

    const std::vector<Bar>& bars() const { return bars_; }
    double total() const { return bars_.empty() ? 0 : bars_.back().total; }

  private:
    StationMinute from_ = 0, to_ = -1, first_ = 0, barMinutes_ = 1;
    std::vector<Bar> bars_;
    bool havePrevious_ = false;
    StationMinute previousMinute_ = 0;
    double previous_ = 0;
};
