// SPDX-License-Identifier: GPL-3.0-or-later
#include "HighsLows.h"

#include <functional>

namespace {

using Moment = HighsLows::Moment;
using Period = HighsLows::Period;

// Strictly beyond: on a tie the earlier day keeps it, as the day rows keep
// the first time within a day.
void Take(Moment& moment, const DayExtreme& extreme, const CalendarDate& date,
          const std::function<bool(double, double)>& beyond) {
    if (!extreme.value) return;
    if (moment.value && !beyond(*extreme.value, *moment.value)) return;
    moment = {extreme.value, date, extreme.time};
}

bool SameDay(const CalendarDate& a, const CalendarDate& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

void Add(Period& period, const DaySummary& day) {
    Take(period.high, day.tempOutdoor.high, day.date, std::greater<double>());
    Take(period.low, day.tempOutdoor.low, day.date, std::less<double>());
    Take(period.windTop, day.windSpeedMax, day.date, std::greater<double>());
    if (day.rainDay) period.rain = period.rain.value_or(0) + *day.rainDay;
}

}  // namespace

HighsLows::HighsLows(std::span<const DaySummary> days, const CalendarDate& today) {
    CalendarDate yesterday;
    yesterday.SetFromDayNumber(today.ComputeDayNumber() - 1);
    const std::function<bool(const CalendarDate&)> within[] = {
        [&](const CalendarDate& d) { return SameDay(d, today); },
        [&](const CalendarDate& d) { return SameDay(d, yesterday); },
        [&](const CalendarDate& d) { return d.year == today.year && d.month == today.month; },
        [&](const CalendarDate& d) { return d.year == today.year; },
        [](const CalendarDate&) { return true; }};
    const char* names[] = {"Today", "Yesterday", "This month", "This year", "All time"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        Period period{names[i], {}, {}, {}, std::nullopt};
        for (const DaySummary& day : days)
            if (within[i](day.date)) Add(period, day);
        periods_.push_back(period);
    }
}
