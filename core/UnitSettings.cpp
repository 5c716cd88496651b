// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnitSettings.h"

namespace {
constexpr double kMphPerKmh = 0.62;      // the record's 0.062 mph per 0.1 km/h
constexpr double kInHgPerHpa = 0.02953;  // the record's 0.002953 inHg per 0.1 hPa
constexpr double kMillimetresPerInch = 25.4;
}  // namespace

double ToDisplay(Quantity quantity, double usValue, bool metric) {
    if (!metric) return usValue;
    switch (quantity) {
        case Quantity::Speed:
            return usValue / kMphPerKmh;
        case Quantity::Temperature:
            return (usValue - 32.0) / 1.8;
        case Quantity::Rain:
            return usValue * kMillimetresPerInch;
        case Quantity::Pressure:
            return usValue / kInHgPerHpa;
        case Quantity::Humidity:
            break;
    }
    return usValue;
}

int LabelDecimals(Quantity quantity, bool metric) {
    const bool hundredths = quantity == Quantity::Rain || quantity == Quantity::Pressure;
    // Millimetres and hectopascals have the instrument's resolution at one decimal.
    return hundredths && !metric ? 2 : 1;
}
