// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "CalendarDate.h"
#include "SampleRecord.h"

// The readings of the last five-minute point, scaled by 10 or 100 and kept
// as signed 16-bit integers (the fraction truncated toward zero).
struct FiveMinuteSummary {
    int16_t windSpeedAvgX10 = 0;
    int16_t tempOutdoorX10 = 0;
    int16_t tempIndoorX10 = 0;
    int16_t pressureX100 = 0;
    int16_t humidityOutdoorX10 = 0;
    int16_t humidityIndoorX10 = 0;
    int16_t rainTodayX100 = 0;
};

// Everything record processing keeps between records. One instance per
// running station display, touched only by the user-interface thread.
struct StationState {
    // --- readings of the last accepted record ---
    char hexDigits[48] = {};  // hex text of the last record; absent fields start with '-'
    SampleRecord raw{};
    int32_t recordCount = 0;  // accepted records since start, never reset

    double windSpeed = 0.0;     // mph
    double windSpeedAvg = 0.0;  // mph, the instrument's one-minute average
    double gust = 0.0;          // mph, highest speed since the last five-minute point
    double tempOutdoor = 0.0;   // degrees F
    double tempIndoor = 0.0;
    double humidityOutdoor = 0.0;  // percent
    double humidityIndoor = 0.0;
    double rainToday = 0.0;  // inches
    double rainLongTerm = 0.0;
    double pressure = 0.0;  // inHg

    int32_t windDirAvg =
        0;  // running average of the raw direction 0-255; degrees after a five-minute point
    int32_t windDirSamples = 0;
    int32_t compassIndex = 0;       // compass point 0-15 of the latest direction
    int32_t shownCompassIndex = 0;  // compass point whose picture is shown

    // --- station clock ---
    int32_t lastMinute = -10;  // negative: no record taken yet
    int32_t currentYear = 0;
    CalendarDate currentDate{};
    FiveMinuteSummary summary{};
};
