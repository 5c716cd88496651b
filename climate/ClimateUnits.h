// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// The summaries' units: US (°F, in, mph) or metric (°C, mm, km/h), the
// thresholds of the day counts in each, and the values as the columns print
// them. Counts and sums go by the printed value, so a column adds up to
// its total and a count agrees with the numbers shown.
class ClimateUnits {
  public:
    explicit ClimateUnits(bool metric) : metric_(metric) {}

    bool metric() const { return metric_; }
    const char* TempUnit() const { return metric_ ? "\u00b0C" : "\u00b0F"; }
    const char* RainUnit() const { return metric_ ? "mm" : "in"; }
    const char* WindUnit() const { return metric_ ? "km/h" : "mph"; }

    // From the archive's US units, rounded as printed (0.1; rain 0.01 in or 0.1 mm).
    double Temp(double fahrenheit) const;
    double Rain(double inches) const;
    double Wind(double mph) const;
    std::optional<double> Temp(std::optional<double> f) const;
    std::optional<double> Rain(std::optional<double> in) const;
    std::optional<double> Wind(std::optional<double> mph) const;

    // Heating and cooling degree days of a day's mean (in the shown unit),
    // against 65 °F or 18.3 °C, rounded as printed.
    double HeatDegreeDays(double mean) const;
    double CoolDegreeDays(double mean) const;

    // The day counts' thresholds in the shown unit, and their header texts.
    double HotMax() const { return metric_ ? 30.0 : 90.0; }
    double Freezing() const { return metric_ ? 0.0 : 32.0; }
    double ColdMin() const { return metric_ ? -18.0 : 0.0; }
    double RainThreshold(int k) const;  // k = 0, 1, 2: 0.01/0.10/1.00 in or 0.3/3/30 mm
    const char* RainThresholdText(int k) const;

    // Printed with the column's decimals; empty for no value.
    std::string TempText(std::optional<double> value) const;
    std::string RainText(std::optional<double> value) const;
    std::string WindText(std::optional<double> value) const;
    int RainDecimals() const { return metric_ ? 1 : 2; }

  private:
    bool metric_;
};

// A value rounded to these decimals; the same rounding the columns print.
double RoundTo(double value, int decimals);
// printf's "%.*f", or empty for no value.
std::string DecimalText(std::optional<double> value, int decimals);
