// SPDX-License-Identifier: GPL-3.0-or-later
#include "DayTracker.h"

#include <utility>

#include "FixedFormat.h"

namespace {
constexpr int16_t kAbsent = -1;

// A reading, the record field it comes from and where the day keeps it.
struct TrackedReading {
    int field;
    double StationState::*reading;
    DayHighLow DaySummary::*highLow;
    SensorRanges::Range range;
    int decimals;  // as the files print it
};
constexpr TrackedReading kTracked[] = {
    {3, &StationState::tempOutdoor, &DaySummary::tempOutdoor, SensorRanges::kTemperatureF, 1},
    {6, &StationState::tempIndoor, &DaySummary::tempIndoor, SensorRanges::kTemperatureF, 1},
    {7, &StationState::humidityOutdoor, &DaySummary::humidityOutdoor,
     SensorRanges::kHumidityPercent, 1},
    {8, &StationState::humidityIndoor, &DaySummary::humidityIndoor, SensorRanges::kHumidityPercent,
     1},
    {5, &StationState::pressure, &DaySummary::pressure, SensorRanges::kPressureInHg, 2},
};
constexpr int kWindSpeedField = 1;
constexpr int kWindDecimals = 1;
constexpr int kRainTodayField = 11;

// "HH:MM" of a minute the clock took (0..1439), for every record, so no printf.
std::string ClockTime(int minuteOfDay) {
    const int hour = minuteOfDay / 60, minute = minuteOfDay % 60;
    return {char('0' + hour / 10), char('0' + hour % 10), ':', char('0' + minute / 10),
            char('0' + minute % 10)};
}
}  // namespace

void DayTracker::OnRecord(const StationState& state, bool clockTook) {
    if (!clockTook) return;
    CalendarDate date = state.currentDate;
    date.year = state.currentYear;
    if (!started_ || !(date.year == today_.date.year && date.month == today_.date.month &&
                       date.day == today_.date.day))
        StartDay(date);

    const std::string time = ClockTime(state.raw.minuteOfDay);
    for (const TrackedReading& t : kTracked) {
        if (state.raw.Field(t.field) != kAbsent)
            Include(today_.*t.highLow, state.*t.reading, time, t.range, t.decimals);
    }
    if (state.raw.Field(kWindSpeedField) != kAbsent)
        IncludeHigh(today_.windSpeedMax, state.windSpeed, time, SensorRanges::kWindSpeedMph,
                    kWindDecimals);
    if (state.raw.Field(kRainTodayField) != kAbsent) today_.rainDay = state.rainToday;
    todayChanged_ = true;
}

void DayTracker::StartDay(const CalendarDate& date) {
    if (started_) finished_.push_back(std::move(today_));
    today_ = DaySummary{};
    today_.date = date;
    started_ = true;
}

std::vector<DaySummary> DayTracker::TakeChangedDays() {
    std::vector<DaySummary> days = std::move(finished_);
    finished_.clear();
    if (todayChanged_) days.push_back(today_);
    todayChanged_ = false;
    return days;
}

void DayTracker::Include(DayHighLow& highLow, double value, const std::string& time,
                         SensorRanges::Range range, int decimals) {
    if (!range.Contains(value)) return;
    const double stored = AsPrintedValue(value, decimals);
    if (!highLow.low.value || stored < *highLow.low.value) highLow.low = {stored, time};
    IncludeHigh(highLow.high, value, time, range, decimals);
}

void DayTracker::IncludeHigh(DayExtreme& high, double value, const std::string& time,
                             SensorRanges::Range range, int decimals) {
    if (!range.Contains(value)) return;
    const double stored = AsPrintedValue(value, decimals);
    if (!high.value || stored > *high.value) high = {stored, time};
}
