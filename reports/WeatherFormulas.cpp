// SPDX-License-Identifier: GPL-3.0-or-later
#include "WeatherFormulas.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMagnusA = 17.625;
constexpr double kMagnusB = 243.04;  // degrees C

constexpr double kWindChillBelowF = 50.0;
constexpr double kWindChillAboveMph = 3.0;
constexpr double kRegressionFromF = 80.0;

double ToCelsius(double f) {
    return (f - 32.0) * 5.0 / 9.0;
}

double ToFahrenheit(double c) {
    return c * 9.0 / 5.0 + 32.0;
}

double Rothfusz(double t, double rh) {
    return -42.379 + 2.04901523 * t + 10.14333127 * rh - 0.22475541 * t * rh - 0.00683783 * t * t -
           0.05481717 * rh * rh + 0.00122874 * t * t * rh + 0.00085282 * t * rh * rh -
           0.00000199 * t * t * rh * rh;
}

// The regression runs high in dry heat and low in humid warmth near 80 F.
double RothfuszAdjustment(double t, double rh) {
    if (rh < 13.0 && t >= 80.0 && t <= 112.0)
        return -(13.0 - rh) / 4.0 * std::sqrt((17.0 - std::fabs(t - 95.0)) / 17.0);
    if (rh > 85.0 && t >= 80.0 && t <= 87.0) return (rh - 85.0) / 10.0 * (87.0 - t) / 5.0;
    return 0.0;
}
}  // namespace

std::optional<double> DewPointF(double tempF, double humidityPct) {
    if (!(humidityPct > 0.0 && humidityPct <= 100.0)) return std::nullopt;
    const double t = ToCelsius(tempF);
    const double gamma = std::log(humidityPct / 100.0) + kMagnusA * t / (kMagnusB + t);
    return ToFahrenheit(kMagnusB * gamma / (kMagnusA - gamma));
}

std::optional<double> WindChillF(double tempF, double windMph) {
    if (!(tempF < kWindChillBelowF && windMph > kWindChillAboveMph)) return std::nullopt;
    const double v = std::pow(windMph, 0.16);
    return 35.74 + 0.6215 * tempF - 35.75 * v + 0.4275 * tempF * v;
}

std::optional<double> HeatIndexF(double tempF, double humidityPct) {
    if (!(humidityPct >= 0.0 && humidityPct <= 100.0)) return std::nullopt;
    const double simple = 0.5 * (tempF + 61.0 + (tempF - 68.0) * 1.2 + humidityPct * 0.094);
    // The average only decides which formula holds; the value is the simple one.
    if ((simple + tempF) / 2.0 < kRegressionFromF) return simple;
    return Rothfusz(tempF, humidityPct) + RothfuszAdjustment(tempF, humidityPct);
}

double FeelsLikeF(double tempF, std::optional<double> windMph, std::optional<double> humidityPct) {
    if (windMph) {
        if (const auto chill = WindChillF(tempF, *windMph)) return *chill;
    }
    // Humid air feels warmer than it is; dry air is not shown cooler, so the
    // reading runs on smoothly where the heat index starts to count.
    if (humidityPct) {
        if (const auto heat = HeatIndexF(tempF, *humidityPct)) return std::max(tempF, *heat);
    }
    return tempF;
}
