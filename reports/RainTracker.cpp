// SPDX-License-Identifier: GPL-3.0-or-later
#include "RainTracker.h"

#include <algorithm>

namespace {
constexpr int16_t kAbsent = -1;
constexpr long kHour = 60;                 // minutes
constexpr double kMaxRisePerRecord = 1.0;  // inches
constexpr uint32_t kDaysKept = 400;        // enough for this year and yesterday
}  // namespace

void RainTracker::Update(const StationState& s, long now) {
    FollowTheDay(s.currentDate);
    Counters counters;
    if (s.raw.rainToday != kAbsent) counters.today = s.rainToday;
    if (s.raw.rainLongTerm != kAbsent) counters.longTerm = s.rainLongTerm;

    const bool backwards = lastMinute_ && now < *lastMinute_;
    if (backwards) samples_.clear();  // another recording, or the station clock was set back
    const bool gap = backwards || (lastMinute_ && now - *lastMinute_ > kHour);
    const std::optional<double> rise = Rise(counters);
    if (rise && *rise > kMaxRisePerRecord && !gap) return;
    if (rise && !gap) total_ += *rise;

    if (counters.today) previous_.today = counters.today;
    if (counters.longTerm) previous_.longTerm = counters.longTerm;
    if (counters.today) todayRain_ = counters.today;
    lastMinute_ = now;
    AddSample(now);
}

void RainTracker::SeedDays(const std::vector<DaySummary>& pastDays) {
    for (const DaySummary& day : pastDays) {
        if (!day.rainDay) continue;
        CalendarDate date;
        date.FromDate(day.date.month, day.date.day, day.date.year);
        days_.emplace(date.dayNumber, std::make_pair(date, *day.rainDay));
    }
    SumPastDays();
}

std::optional<double> RainTracker::LastHour() const {
    if (samples_.empty()) return std::nullopt;
    return samples_.back().total - samples_.front().total;
}

std::optional<double> RainTracker::Yesterday() const {
    const auto day = days_.find(today_.dayNumber - 1);
    if (day == days_.end()) return std::nullopt;
    return day->second.second;
}

std::optional<double> RainTracker::Month() const {
    return Plus(pastMonth_, todayRain_);
}

std::optional<double> RainTracker::Year() const {
    return Plus(pastYear_, todayRain_);
}

// The finished day keeps its last "today's rain".
void RainTracker::FollowTheDay(const CalendarDate& date) {
    if (started_ && date.dayNumber == today_.dayNumber) return;
    if (started_ && todayRain_)
        days_.insert_or_assign(today_.dayNumber, std::pair(today_, *todayRain_));
    started_ = true;
    today_ = date;
    todayRain_.reset();
    while (!days_.empty() && days_.begin()->first + kDaysKept < today_.dayNumber) {
        days_.erase(days_.begin());
    }
    SumPastDays();
}

std::optional<double> RainTracker::Rise(const Counters& now) const {
    std::optional<double> rise;
    const auto consider = [&rise](std::optional<double> after, std::optional<double> before) {
        if (!after || !before || *after < *before) return;
        rise = std::min(rise.value_or(*after - *before), *after - *before);
    };
    consider(now.today, previous_.today);
    consider(now.longTerm, previous_.longTerm);
    // Every counter went back (or only "today's rain" is known and it went
    // back): it was reset, and what it holds fell since.
    if (!rise && now.today && previous_.today) rise = *now.today;
    return rise;
}

// Keeps the newest sample an hour old or older as the base of the last hour.
void RainTracker::AddSample(long now) {
    if (!samples_.empty() && samples_.back().minute == now) {
        samples_.back().total = total_;
    } else {
        samples_.push_back({now, total_});
    }
    while (samples_.size() >= 2 && samples_[1].minute <= now - kHour) samples_.pop_front();
}

void RainTracker::SumPastDays() {
    pastMonth_.reset();
    pastYear_.reset();
    for (const auto& [dayNumber, day] : days_) {
        const CalendarDate& date = day.first;
        if (dayNumber >= today_.dayNumber || date.year != today_.year) continue;
        pastYear_ = Plus(pastYear_, day.second);
        if (date.month == today_.month) pastMonth_ = Plus(pastMonth_, day.second);
    }
}

std::optional<double> RainTracker::Plus(std::optional<double> a, std::optional<double> b) {
    if (!a) return b;
    if (!b) return a;
    return *a + *b;
}
