// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "FivePointValues.h"

// The values of a data log line as JSON, each key naming its unit: station
// date and time, one-minute average wind speed, the five-minute average
// direction (compass point 0..15 as in the log, and degrees), gust,
// temperatures, pressure, humidities and today's rain.
std::string FivePointJson(const FivePointValues& point);
