// SPDX-License-Identifier: GPL-3.0-or-later
#include "PeriodStats.h"

namespace {

// A running mean that stays empty without values.
struct Mean {
    double sum = 0.0;
    int count = 0;
    void Add(std::optional<double> v) {
        if (!v) return;
        sum += *v;
        ++count;
    }
    std::optional<double> Value() const {
        return count ? std::optional(sum / count) : std::nullopt;
    }
};

void Sum(std::optional<double>& total, std::optional<double> v) {
    if (v) total = total.value_or(0.0) + *v;
}

// A strict comparison, so a tie keeps the first day.
template <typename Better>
void Reach(PeriodStats::Extreme& e, std::optional<double> v, const ClimateDay& day, Better better) {
    if (v && (!e.value || better(*v, *e.value))) e = {v, &day};
}

}  // namespace

DayFigures DayFigures::Of(const ClimateDay& day, const ClimateUnits& units) {
    DayFigures f;
    f.mean = units.Temp(day.MeanTemp());
    if (f.mean) {
        f.heatDegreeDays = units.HeatDegreeDays(*f.mean);
        f.coolDegreeDays = units.CoolDegreeDays(*f.mean);
    }
    f.meanWind = units.Wind(day.MeanWind());
    if (day.windCount > 0) f.dominant = VectorDirection(day.windEast, day.windNorth);
    return f;
}

PeriodStats PeriodStats::Of(std::span<const ClimateDay> days, const ClimateUnits& units) {
    PeriodStats s;
    Mean means, highs, lows;
    double windSum = 0.0, east = 0.0, north = 0.0;
    int windCount = 0;
    const auto greater = [](double a, double b) { return a > b; };
    const auto less = [](double a, double b) { return a < b; };
    for (const ClimateDay& day : days) {
        if (day.Empty()) continue;
        s.any = true;
        const DayFigures f = DayFigures::Of(day, units);
        means.Add(day.MeanTemp());
        Sum(s.heatDegreeDays, f.heatDegreeDays);
        Sum(s.coolDegreeDays, f.coolDegreeDays);
        const auto high = units.Temp(day.High());
        const auto low = units.Temp(day.Low());
        highs.Add(high);
        lows.Add(low);
        Reach(s.high, high, day, greater);
        Reach(s.low, low, day, less);
        Reach(s.windTop, units.Wind(day.WindTop()), day, greater);
        const auto rain = units.Rain(day.Rain());
        Sum(s.rain, rain);
        Reach(s.wettest, rain, day, greater);
        if (high) {
            s.hotDays += *high >= units.HotMax();
            s.icyDays += *high <= units.Freezing();
        }
        if (low) {
            s.frostDays += *low <= units.Freezing();
            s.coldDays += *low <= units.ColdMin();
        }
        for (int k = 0; k < 3; ++k) s.rainDays[k] += rain && *rain >= units.RainThreshold(k);
        windSum += day.windSum;
        windCount += day.windCount;
        east += day.windEast;
        north += day.windNorth;
    }
    s.meanTemp = units.Temp(means.Value());
    s.meanHigh = highs.Value();
    s.meanLow = lows.Value();
    if (windCount > 0) {
        s.meanWind = units.Wind(windSum / windCount);
        s.dominant = VectorDirection(east, north);
    }
    return s;
}
