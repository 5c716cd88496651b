// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// value + 0.5, truncated toward zero: the rounding of the report files
// (5.5 gives 6, 5.4 gives 5, -3.7 gives -3, -3.2 gives -2).
int RoundForReport(double value);

// The integers both report files are made of, formed from the readings at
// one five-minute point.
struct ReportValues {
    int direction = 0;    // degrees 1..360, the five-minute average as it stands
    int speed = 0;        // mph, the instrument's one-minute average
    int gust = 0;         // mph, highest speed of the five minutes
    int temperature = 0;  // degrees F, outdoor
    int rain = 0;         // hundredths of an inch today
    int humidity = 0;     // percent, outdoor
    int pressure = 0;     // tenths of a millibar, the record's field itself
};
