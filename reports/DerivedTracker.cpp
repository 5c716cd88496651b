// SPDX-License-Identifier: GPL-3.0-or-later
#include "DerivedTracker.h"

#include "WeatherFormulas.h"

namespace {
constexpr int16_t kAbsent = -1;
constexpr long kMinutesPerDay = 24 * 60;
constexpr long kTrendSpan = 3 * 60;    // minutes
constexpr long kTrendLeeway = 15;      // minutes the base may lie before the span
constexpr double kTrendChange = 0.06;  // inHg in three hours

// What the sensors can report; anything else is line noise.
struct Range {
    double low;
    double high;
};
constexpr Range kTemperature{-60.0, 150.0};  // degrees F
constexpr Range kHumidity{1.0, 100.0};       // percent
constexpr Range kWind{0.0, 200.0};           // mph
constexpr Range kPressure{25.0, 33.0};       // inHg
// The heat index is published from 80 F; below it only feels-like uses it.
constexpr double kHeatIndexFrom = 80.0;

std::optional<double> Reading(int16_t field, double value, Range range) {
    if (field == kAbsent || value < range.low || value > range.high) return std::nullopt;
    return value;
}

std::optional<double> Wind(const StationState& s) {
    if (const auto average = Reading(s.raw.windSpeedAvg, s.windSpeedAvg, kWind)) return average;
    return Reading(s.raw.windSpeed, s.windSpeed, kWind);
}

void Formulas(const StationState& s, DerivedReadings& out) {
    const auto temp = Reading(s.raw.tempOutdoor, s.tempOutdoor, kTemperature);
    if (!temp) return;
    const auto humidity = Reading(s.raw.humidityOutdoor, s.humidityOutdoor, kHumidity);
    const auto wind = Wind(s);
    if (humidity) out.dewPoint = DewPointF(*temp, *humidity);
    if (wind) out.windChill = WindChillF(*temp, *wind);
    if (humidity && *temp >= kHeatIndexFrom) out.heatIndex = HeatIndexF(*temp, *humidity);
    out.feelsLike = FeelsLikeF(*temp, wind, humidity);
}

}  // namespace

PressureTrend DerivedTracker::TrendOf(double change) {
    if (change >= kTrendChange) return PressureTrend::Rising;
    if (change <= -kTrendChange) return PressureTrend::Falling;
    return PressureTrend::Steady;
}

DerivedReadings DerivedTracker::Update(const StationState& s, const DaySummary* today) {
    const long now = static_cast<long>(s.currentDate.dayNumber) * kMinutesPerDay + s.lastMinute;
    DerivedReadings out;
    Formulas(s, out);
    PressureChange(Reading(s.raw.pressure, s.pressure, kPressure), now, out);
    rain_.Update(s, now);
    out.rainLastHour = rain_.LastHour();
    out.rainYesterday = rain_.Yesterday();
    out.rainMonth = rain_.Month();
    out.rainYear = rain_.Year();
    if (today) {
        out.tempOutdoorMaxToday = today->tempOutdoor.high.value;
        out.tempOutdoorMinToday = today->tempOutdoor.low.value;
    }
    return out;
}

// Keeps the newest point three hours old or older as the base of the change.
void DerivedTracker::PressureChange(std::optional<double> pressure, long now,
                                    DerivedReadings& out) {
    if (!pressures_.empty() && now < pressures_.back().minute) pressures_.clear();
    if (!pressure) return;
    if (!pressures_.empty() && pressures_.back().minute == now) {
        pressures_.back().pressure = *pressure;
    } else {
        pressures_.push_back({now, *pressure});
    }
    const long then = now - kTrendSpan;
    while (pressures_.size() >= 2 && pressures_[1].minute <= then) pressures_.pop_front();
    const PressurePoint& base = pressures_.front();
    if (base.minute > then || base.minute < then - kTrendLeeway) return;
    out.pressureChange3h = *pressure - base.pressure;
    out.pressureTrend = TrendOf(*out.pressureChange3h);
}
