// SPDX-License-Identifier: GPL-3.0-or-later
#include "FivePointValues.h"

#include <utility>

FivePointValues FivePointValues::FromState(const StationState& s, std::string line) {
    FivePointValues v;
    v.line = std::move(line);
    v.minuteOfDay = s.raw.minuteOfDay;
    v.year = s.currentYear;
    v.date = s.currentDate;
    v.directionDegrees = AverageDirectionDegrees(s.windDirAvg);
    v.compassIndex = CompassIndexOfDegrees(v.directionDegrees);
    v.windSpeedAvg = s.windSpeedAvg;
    v.gust = s.gust;
    v.tempOutdoor = s.tempOutdoor;
    v.tempIndoor = s.tempIndoor;
    v.humidityOutdoor = s.humidityOutdoor;
    v.humidityIndoor = s.humidityIndoor;
    v.rainToday = s.rainToday;
    v.pressure = s.pressure;

    v.report.direction = v.directionDegrees;
    v.report.speed = RoundForReport(s.windSpeedAvg);
    v.report.gust = RoundForReport(s.gust);
    v.report.temperature = RoundForReport(s.tempOutdoor);
    v.report.rain = RoundForReport(s.rainToday * 100.0);
    v.report.humidity = RoundForReport(s.humidityOutdoor);
    v.report.pressure = s.raw.pressure;
    v.fieldsReceived = s.fieldsReceived;
    v.directionSamples = s.windDirSamples;
    return v;
}

int AverageDirectionDegrees(int rawAverage) {
    const int degrees = static_cast<int>(rawAverage * 1.4117647);
    if (degrees < 1) return 1;
    if (degrees > 360) return 360;
    return degrees;
}

int CompassIndexOfDegrees(int degrees) {
    const int index = static_cast<int>(degrees * 0.044444444444444446 + 0.5);
    return index > 15 ? 0 : index;
}
