// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

#include "HistoryPoint.h"

// The chosen spans: a day shows every point; the longer ones are bucketed.
enum class HistorySpan { Day, Week, Month, Year };
inline constexpr HistorySpan kHistorySpans[] = {HistorySpan::Day, HistorySpan::Week,
                                                HistorySpan::Month, HistorySpan::Year};
StationMinute SpanMinutes(HistorySpan span);
// "day", "week", "month", "year": the settings' word and the button's.
std::string_view SpanName(HistorySpan span);
std::optional<HistorySpan> SpanNamed(std::string_view name);

// The period on show: a span ending now, which moves on with every new
// point, or any period reached by zoom and pan, which stays where it is
// until "now" brings it back. Times are station minutes; the period runs
// from `from` to `to`, both included.
class HistoryView {
  public:
    static constexpr StationMinute kShortest = 60;                        // an hour
    static constexpr StationMinute kLongest = 10 * 366 * kMinutesPerDay;  // ten years

    HistoryView(HistorySpan span, StationMinute latest);

    // A chosen span, ending at the latest point.
    void SetSpan(HistorySpan span);
    void BackToNow();
    // A new latest point: followed while the view shows now.
    void NewLatest(StationMinute latest);
    // Moves by a share of the period, later for a positive share; never past now.
    void Pan(double share);
    // Shows `factor` times the period (below 1 zooms in) and keeps the time
    // at `anchor` (0 the start, 1 the end) where it is on the screen.
    void Zoom(double factor, double anchor = 0.5);

    StationMinute from() const { return to_ - length_; }
    StationMinute to() const { return to_; }
    StationMinute length() const { return length_; }
    HistorySpan span() const { return span_; }
    bool followsNow() const { return to_ == latest_; }

  private:
    void Place(StationMinute to, StationMinute length);

    HistorySpan span_;
    StationMinute latest_;
    StationMinute to_;
    StationMinute length_;
};
