// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

// The twelve raw fields of a data-logger record in record order: wind speed
// (0.1 km/h), direction (0-255), outdoor temperature (0.1 F), long-term rain
// (0.01 in), pressure (0.1 mbar), indoor temperature, outdoor humidity
// (0.1 %), indoor humidity, day of year (0-based), minute of day, today's rain
// (0.01 in), one-minute average wind speed (0.1 km/h).
using RecordFields = std::array<int, 12>;

// "!!" + each field as four upper-case hex digits of its 16-bit two's
// complement + CR LF.
std::string FormatRecord(const RecordFields& fields);
