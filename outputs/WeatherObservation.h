// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <optional>

#include "StationState.h"

// What the weather networks are sent at one five-minute point, in US units.
// A reading the station does not have stays empty and is left out.
struct WeatherObservation {
    std::time_t time = 0;                 // the computer's clock when the point was taken (UTC)
    std::optional<double> windDirection;  // degrees 1..360, the five-minute average
    std::optional<double> windSpeed;      // mph, the instrument's one-minute average
    std::optional<double> windGust;       // mph, highest speed of the five minutes
    std::optional<double> temperature;    // degrees F, outdoor
    std::optional<double> humidity;       // percent, outdoor
    std::optional<double> dewPoint;       // degrees F
    std::optional<double> pressure;       // inHg
    std::optional<double> rainLastHour;   // inches
    std::optional<double> rainToday;      // inches since the station's midnight
};

// The observation of the state as it stands at a five-minute point (before
// the point starts the next five minutes' gust and direction average).
WeatherObservation ObservationFromState(const StationState& state, std::time_t now);
