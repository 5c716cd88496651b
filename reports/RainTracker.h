// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "CalendarDate.h"
#include "DaySummary.h"
#include "StationState.h"

// Rain over the last hour, yesterday, this month and this year, in inches,
// from the station's two rain counters across the records the station clock
// took, in station time. The rain of a record is the smallest rise of the
// counters that did not go back: "today's rain" goes back at the station's
// midnight (then the long-term counter carries on), the long-term counter
// when it is cleared, and noise in one counter moves only that one. A rise
// of more than an inch from one record to the next is line noise and waits
// for a sensible value; a rise across a gap of more than an hour happened at
// no known time and counts for the days but not the last hour. A day's rain
// is its last "today's rain".
class RainTracker {
  public:
    // One record the station clock took, at station minute `now` (counted
    // over all days, so that midnight is no step).
    void Update(const StationState& state, long now);
    // Days before this run, from the archive: their rain counts for
    // yesterday, the month and the year unless the run saw them itself.
    void SeedDays(const std::vector<DaySummary>& pastDays);

    // Since the run started when that was less than an hour ago.
    std::optional<double> LastHour() const;
    std::optional<double> Yesterday() const;
    std::optional<double> Month() const;
    std::optional<double> Year() const;

  private:
    struct Counters {
        std::optional<double> today;
        std::optional<double> longTerm;
    };
    struct Sample {
        long minute;
        double total;
    };

    void FollowTheDay(const CalendarDate& date);
    std::optional<double> Rise(const Counters& now) const;
    void AddSample(long now);
    void SumPastDays();
    static std::optional<double> Plus(std::optional<double> a, std::optional<double> b);

    CalendarDate today_{};
    bool started_ = false;
    std::optional<double> todayRain_;
    std::map<uint32_t, std::pair<CalendarDate, double>> days_;  // by day number
    // This month's and year's days before today, summed when the day changes.
    std::optional<double> pastMonth_;
    std::optional<double> pastYear_;

    Counters previous_;
    std::optional<long> lastMinute_;
    double total_ = 0.0;  // rain counted since the start, for the last hour
    std::deque<Sample> samples_;
};
