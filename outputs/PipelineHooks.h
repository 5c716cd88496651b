// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CalendarDate.h"
#include "ReportValues.h"
#include "StationState.h"

// The two places where the processing path hands its results to outputs:
// after every accepted record, and at every five-minute point.

// Told after each accepted record, on the processing thread, in list order.
class RecordListener {
  public:
    virtual ~RecordListener() = default;
    virtual void OnRecord(const StationState& state) = 0;
};

// Everything a five-minute point produced, fixed at that point.
struct FivePointValues {
    int minuteOfDay = 0;
    int year = 0;
    CalendarDate date{};
    int directionDegrees = 0;   // five-minute average, 1..360
    int compassIndex = 0;       // 0..15 of that average
    double windSpeedAvg = 0.0;  // mph
    double gust = 0.0;          // mph
    double tempOutdoor = 0.0;   // degrees F
    double tempIndoor = 0.0;
    double humidityOutdoor = 0.0;  // percent
    double humidityIndoor = 0.0;
    double rainToday = 0.0;  // inches
    double pressure = 0.0;   // inHg
    ReportValues report{};
    std::string line;
};

// Given every five-minute point, in list order.
class FivePointWriter {
  public:
    virtual ~FivePointWriter() = default;
    virtual void Write(const FivePointValues& point) = 0;
};
