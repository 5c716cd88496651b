// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The twelve raw fields of one data-logger record, in record order.
// -1 (0xFFFF) marks a field that was absent or did not decode;
// dayOfYear holds the decoded value plus one, so an undecodable day reads 0.
struct SampleRecord {
    static constexpr int kFieldCount = 12;

    int16_t windSpeed = 0;        // 0.1 km/h
    int16_t windDirection = 0;    // 0-255 for a full circle (only the low byte counts)
    int16_t tempOutdoor = 0;      // 0.1 degree F
    int16_t rainLongTerm = 0;     // 0.01 inch
    int16_t pressure = 0;         // 0.1 mbar
    int16_t tempIndoor = 0;       // 0.1 degree F
    int16_t humidityOutdoor = 0;  // 0.1 percent
    int16_t humidityIndoor = 0;   // 0.1 percent
    int16_t dayOfYear = 0;        // station day number + 1 (1 is 1 January)
    int16_t minuteOfDay = 0;      // minutes since station midnight
    int16_t rainToday = 0;        // 0.01 inch
    int16_t windSpeedAvg = 0;     // instrument's one-minute average, 0.1 km/h

    // Field k in record order, 1 to 12.
    int16_t& Field(int k);
    int16_t Field(int k) const;
};
