// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "CalendarDate.h"
#include "ReportValues.h"
#include "StationState.h"

// Everything the files of one five-minute point are written from, taken once
// after the point's pump; no writer looks at the station state.
struct FivePointValues {
    std::string line;  // the accepted record line that made the point
    int minuteOfDay = 0;
    int year = 0;
    CalendarDate date{};

    int directionDegrees = 1;  // the five-minute average, 1..360
    int compassIndex = 0;      // its compass point, 0..15

    // Readings in display units (mph, degrees F, percent, inches, inHg).
    double windSpeedAvg = 0.0;
    double gust = 0.0;
    double tempOutdoor = 0.0;
    double tempIndoor = 0.0;
    double humidityOutdoor = 0.0;
    double humidityIndoor = 0.0;
    double rainToday = 0.0;
    double pressure = 0.0;

    ReportValues report{};  // the same readings rounded for the report files

    // Record fields (bit k-1 for field k) that have given a value since
    // start, and the directions averaged into this point: the files print a
    // start value or north where these say there was nothing.
    uint16_t fieldsReceived = 0;
    int directionSamples = 0;
    bool Received(int field) const { return (fieldsReceived >> (field - 1)) & 1u; }

    static FivePointValues FromState(const StationState& state, std::string line);
};

// The running average of the raw direction (0..255) in degrees, 1..360.
int AverageDirectionDegrees(int rawAverage);
// Compass point 0..15 of a direction in degrees (349..360 wrap to north).
int CompassIndexOfDegrees(int degrees);
