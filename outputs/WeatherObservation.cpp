// SPDX-License-Identifier: GPL-3.0-or-later
#include "WeatherObservation.h"

#include "FivePointValues.h"

WeatherObservation ObservationFromState(const StationState& s, std::time_t now) {
    WeatherObservation o;
    o.time = now;
    o.windDirection = AverageDirectionDegrees(s.windDirAvg);
    o.windSpeed = s.windSpeedAvg;
    o.windGust = s.gust;
    o.temperature = s.tempOutdoor;
    // A station without a humidity sensor reads 0 and one without a
    // barometer -1 in the record, as the report files take them.
    if (s.humidityOutdoor >= 1.0) o.humidity = s.humidityOutdoor;
    if (s.raw.pressure > 0) o.pressure = s.pressure;
    o.rainToday = s.rainToday;
    o.dewPoint = s.derived.dewPoint;
    o.rainLastHour = s.derived.rainLastHour;
    return o;
}
