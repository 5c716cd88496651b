// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// The published formulas behind the derived readings, in degrees F, percent
// relative humidity and mph. Each gives no value where it does not apply.

// Dew point by the Magnus formula with the Alduchov-Eskridge constants
// (a = 17.625, b = 243.04 degrees C), within 0.1 degree C of the saturation
// tables from -40 to 50 degrees C; only for humidity above 0 and up to 100 %.
std::optional<double> DewPointF(double tempF, double humidityPct);

// The wind chill temperature index of the NWS (2001):
// 35.74 + 0.6215 T - 35.75 V^0.16 + 0.4275 T V^0.16, only below 50 F and
// with more than 3 mph of wind.
std::optional<double> WindChillF(double tempF, double windMph);

// The heat index as the NWS Weather Prediction Center computes it: Steadman's
// simple formula 0.5 (T + 61 + 1.2 (T - 68) + 0.094 RH), and where that
// averaged with the temperature reaches 80 F the Rothfusz regression with its
// low- and high-humidity adjustments instead. For any temperature; the
// published reading starts at 80 F.
std::optional<double> HeatIndexF(double tempF, double humidityPct);

// The wind chill where it applies, else the heat index where it is above
// the temperature, else the temperature itself. A missing wind or humidity
// rules out the reading that needs it.
double FeelsLikeF(double tempF, std::optional<double> windMph, std::optional<double> humidityPct);
