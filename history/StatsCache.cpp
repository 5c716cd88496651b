// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatsCache.h"

bool StatsCache::ForEachStats(StationMinute from, StationMinute to, StationMinute minutes,
                              const std::function<void(const HistoryStats&)>& take) {
    if (minutes != minutes_ || from < from_ || to > to_) {
        minutes_ = 0;
        stats_.clear();
        const StationMinute length = to - from;
        kept_ = source_->ForEachStats(from - length, to + length, minutes,
                                      [this](const HistoryStats& s) { stats_.push_back(s); });
        minutes_ = minutes;
        from_ = from - length;
        to_ = to + length;
    }
    if (!kept_) return false;
    for (const HistoryStats& s : stats_)
        if (s.start >= from && s.start + s.minutes - 1 <= to) take(s);
    return true;
}

std::optional<StationMinute> StatsCache::Latest() {
    const auto latest = source_->Latest();
    if (latest != latest_) minutes_ = 0;  // the newest hour and day have changed
    latest_ = latest;
    return latest;
}
