// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "CalendarDate.h"
#include "DerivedReadings.h"
#include "SampleRecord.h"

// Everything record processing keeps between records. One instance per
// running station display, touched only by the user-interface thread.
struct StationState {
    // --- readings of the last accepted record ---
    char hexDigits[48] = {};  // hex text of the last record; absent fields start with '-'
    SampleRecord raw{};
    int32_t recordCount = 0;  // accepted records since start, never reset
    // Bit k-1 set once record field k has given a value: a reading whose
    // field never came holds its start value, which is no reading at all.
    uint16_t fieldsReceived = 0;

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

    // Running average of the raw direction 0-255 since the last five-minute
    // point; the point turns it into degrees for its own value only.
    int32_t windDirAvg = 0;
    int32_t windDirSamples = 0;
    int32_t compassIndex = 0;       // compass point 0-15 of the latest direction
    int32_t shownCompassIndex = 0;  // compass point whose picture is shown

    // Dew point, feels-like, pressure trend, recent rain, today's highs and
    // lows: filled by StationPipeline (its DerivedTracker) before the record
    // listeners are told, so every listener reads the same values.
    DerivedReadings derived;

    // --- station clock ---
    int32_t lastMinute = -10;  // negative: no record taken yet
    int32_t currentYear = 0;
    CalendarDate currentDate{};
};
