// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The user's choice of units. Processing keeps every reading in US units
// (mph, degrees F, inches, inHg), which the files are written in; the labels
// and the chart show them in the chosen system. The rain gauge says what one
// count of the two rain fields is.
struct UnitSettings {
    static constexpr int32_t kUs = 0;
    static constexpr int32_t kMetric = 1;
    static constexpr int32_t kGaugeHundredthInch = 0;
    static constexpr int32_t kGaugeTenthMillimetre = 1;

    int32_t units = kUs;                      // stored as "Units"
    int32_t rainGauge = kGaugeHundredthInch;  // stored as "RainGauge"

    bool Metric() const { return units == kMetric; }
    // Inches of rain per count of a rain field.
    double RainInchesPerCount() const {
        return rainGauge == kGaugeTenthMillimetre ? 0.1 / 25.4 : 0.01;
    }

    bool operator==(const UnitSettings&) const = default;
};

inline constexpr UnitSettings kUsUnits{};

enum class Quantity { Speed, Temperature, Humidity, Rain, Pressure };

// A reading kept in US units, in the units shown: km/h, degrees C, mm and hPa
// for metric. Speed and pressure undo the record's fixed multipliers, so the
// instrument's own 0.1 km/h and 0.1 hPa come back.
double ToDisplay(Quantity quantity, double usValue, bool metric);
// Decimals of a reading label.
int LabelDecimals(Quantity quantity, bool metric);
