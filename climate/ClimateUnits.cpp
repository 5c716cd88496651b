// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClimateUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "UnitSettings.h"

namespace {
constexpr double kDegreeDayBaseF = 65.0;
constexpr double kDegreeDayBaseC = 18.3;
constexpr double kRainThresholdsIn[3] = {0.01, 0.10, 1.00};
constexpr double kRainThresholdsMm[3] = {0.3, 3.0, 30.0};
constexpr const char* kRainThresholdTextsIn[3] = {".01", ".10", "1.00"};
constexpr const char* kRainThresholdTextsMm[3] = {"0.3", "3", "30"};
}  // namespace

double RoundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    return rounded == 0.0 ? 0.0 : rounded;  // no "-0.0"
}

std::string DecimalText(std::optional<double> value, int decimals) {
    if (!value) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, RoundTo(*value, decimals));
    return text;
}

double ClimateUnits::Temp(double fahrenheit) const {
    return RoundTo(ToDisplay(Quantity::Temperature, fahrenheit, metric_), 1);
}

double ClimateUnits::Rain(double inches) const {
    return RoundTo(ToDisplay(Quantity::Rain, inches, metric_), RainDecimals());
}

double ClimateUnits::Wind(double mph) const {
    return RoundTo(ToDisplay(Quantity::Speed, mph, metric_), 1);
}

std::optional<double> ClimateUnits::Temp(std::optional<double> f) const {
    return f ? std::optional(Temp(*f)) : std::nullopt;
}

std::optional<double> ClimateUnits::Rain(std::optional<double> in) const {
    return in ? std::optional(Rain(*in)) : std::nullopt;
}

std::optional<double> ClimateUnits::Wind(std::optional<double> mph) const {
    return mph ? std::optional(Wind(*mph)) : std::nullopt;
}

double ClimateUnits::HeatDegreeDays(double mean) const {
    return RoundTo(std::max(0.0, (metric_ ? kDegreeDayBaseC : kDegreeDayBaseF) - mean), 1);
}

double ClimateUnits::CoolDegreeDays(double mean) const {
    return RoundTo(std::max(0.0, mean - (metric_ ? kDegreeDayBaseC : kDegreeDayBaseF)), 1);
}

double ClimateUnits::RainThreshold(int k) const {
    return metric_ ? kRainThresholdsMm[k] : kRainThresholdsIn[k];
}

const char* ClimateUnits::RainThresholdText(int k) const {
    return metric_ ? kRainThresholdTextsMm[k] : kRainThresholdTextsIn[k];
}

std::string ClimateUnits::TempText(std::optional<double> value) const {
    return DecimalText(value, 1);
}

std::string ClimateUnits::RainText(std::optional<double> value) const {
    return DecimalText(value, RainDecimals());
}

std::string ClimateUnits::WindText(std::optional<double> value) const {
    return DecimalText(value, 1);
}
